// Header page layout (offsets in the page; 0x18..0x97 are stored XOR an RC4 key stream):
//   OFFSET SIZE DESCRIPTION
//   0x00   4    00 01 00 00
//   0x04   16   "Standard Jet DB" and a NUL
//   0x14   4    format version: 1 = Jet 4
//   0x18   24   constant words of unknown meaning, the same in every Jet 4 file
//   0x3C   2    code page of texts: 1252
//   0x3E   4    encryption key: 0 = pages are not encrypted
//   0x42   40   password, XOR a mask made from the creation date: all mask = no password
//   0x6E   2    collating order (1033 General, ...)
//   0x72   8    creation date (days since 1899-12-30)
//   0x9C   4    "4.0" and a NUL, unmasked
#include "jetwrite/header_page.h"

#include <array>
#include <bit>
#include <cmath>

#include "jetwrite/byte_writer.h"
#include "jetwrite/jet_format.h"
#include "jetwrite/rc4.h"
#include "jetwrite/value_encoder.h"

namespace zl::jetwrite {

namespace {

constexpr std::size_t kMaskedStart = 0x18;
constexpr std::size_t kMaskedLength = 128;
constexpr std::size_t kCodePageOffset = 0x3C;
constexpr std::size_t kPasswordOffset = 0x42;
constexpr std::size_t kPasswordLength = 40;
constexpr std::size_t kSortOrderOffset = 0x6E;
constexpr std::size_t kDateOffset = 0x72;
constexpr std::size_t kVersionTextOffset = 0x9C;
constexpr std::uint16_t kCodePage1252 = 1252;
// The key of the RC4 stream that masks the header area (its little-endian bytes).
constexpr std::array<std::uint8_t, 4> kHeaderKey{0xC7, 0xDA, 0x39, 0x6B};

void storeBytesOf(std::span<std::byte> page, std::size_t offset, std::string_view text) {
    storeBytes(page, offset, std::as_bytes(std::span(text.data(), text.size())));
}

void writePlainFields(std::span<std::byte> page, int collatingOrder, double created) {
    page[1] = std::byte{0x01};
    storeBytesOf(page, 0x04, std::string_view("Standard Jet DB\0", 16));
    storeU32(page, 0x14, 1);
    static constexpr std::array<std::uint32_t, 6> kConstantWords{0x100, 0x101, 2, 3, 4, 5};
    for (std::size_t i = 0; i < kConstantWords.size(); ++i)
        storeU32(page, kMaskedStart + 4 * i, kConstantWords[i]);
    storeU16(page, kCodePageOffset, kCodePage1252);
    // An empty password is stored as the mask itself: the date's whole days, repeated.
    const auto mask = static_cast<std::uint32_t>(static_cast<std::int64_t>(std::floor(created)));
    for (std::size_t i = 0; i < kPasswordLength; i += 4) storeU32(page, kPasswordOffset + i, mask);
    storeU16(page, kSortOrderOffset, static_cast<std::uint16_t>(collatingOrder));
    ByteWriter date;
    date.u64(std::bit_cast<std::uint64_t>(created));
    storeBytes(page, kDateOffset, date.data());
}

}  // namespace

void writeHeaderPage(std::span<std::byte> page, int collatingOrder, const DateTime& created) {
    writePlainFields(page, collatingOrder, dateToDays(created));
    const auto stream = rc4KeyStream(kHeaderKey, kMaskedLength);
    for (std::size_t i = 0; i < kMaskedLength; ++i) page[kMaskedStart + i] ^= std::byte{stream[i]};
    storeBytesOf(page, kVersionTextOffset, std::string_view("4.0\0", 4));
}

}  // namespace zl::jetwrite
