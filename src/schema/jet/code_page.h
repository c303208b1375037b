// Texts of Jet 3 files, stored in the Windows code page named in the header, as UTF-8.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "schema/jet/byte_cursor.h"

namespace zl::schema::jet {

// Appends the UTF-8 form of `codePoint` (U+FFFD for values that are not scalar values).
void appendUtf8(std::string& out, char32_t codePoint);

// Converts `bytes` in Windows code page `codePage` to UTF-8. Single-byte pages 874 and
// 1250-1258 are converted by table; the double-byte pages 932, 936, 949 and 950 through the C
// library's iconv when it has them; any other page is read as 1252. Never fails: bytes that
// cannot be converted become U+FFFD.
std::string decodeCodePage(Bytes bytes, std::uint16_t codePage);

// Upper halves of the single-byte pages (code_page_tables.cpp).
extern const std::array<std::uint16_t, 128> kCodePage874;
extern const std::array<std::uint16_t, 128> kCodePage1250;
extern const std::array<std::uint16_t, 128> kCodePage1251;
extern const std::array<std::uint16_t, 128> kCodePage1252;
extern const std::array<std::uint16_t, 128> kCodePage1253;
extern const std::array<std::uint16_t, 128> kCodePage1254;
extern const std::array<std::uint16_t, 128> kCodePage1255;
extern const std::array<std::uint16_t, 128> kCodePage1256;
extern const std::array<std::uint16_t, 128> kCodePage1257;
extern const std::array<std::uint16_t, 128> kCodePage1258;

}  // namespace zl::schema::jet
