// The database header (page 0): format detection, refusal of what cannot be read, and the
// masked fields the schema needs.
#pragma once

#include <cstdint>

#include "schema/jet/byte_cursor.h"
#include "schema/jet/jet_format.h"
#include "schema/jet/page_source.h"
#include "schema/jet/result.h"

namespace zl::schema::jet {

// What the header says about the file.
struct HeaderInfo {
    JetVersion version = JetVersion::Jet4;
    std::uint8_t versionByte = 0;  // raw byte 0x14: 0 Jet 3, 1 Jet 4, 2 and up ACE
    std::uint16_t codePage = 0;    // Windows code page of Jet 3 texts
    int collatingOrder = 0;        // DAO CollatingOrder (1033 General, 1053 Swedish, ...)
    std::uint32_t pageCount = 0;   // whole pages in the file
};

// Reads and checks the header of `source`. Fails with NotDatabase for anything that is not an
// Access database, Unsupported for encrypted, password-protected or unknown-version files, and
// Corrupt when the file is too short for its format.
Result<HeaderInfo> readHeader(PageSource& source);

// Decodes a header page already in memory (`page` holds at least the first 0x98 bytes).
Result<HeaderInfo> parseHeader(Bytes page, std::uint64_t fileSize);

// Bytes 0x18.. of the header are XORed with this fixed key stream (126 bytes of it in Jet 3,
// all 128 later); applying it twice gives the original bytes.
void toggleHeaderMask(std::span<std::uint8_t> header, JetVersion version);

}  // namespace zl::schema::jet
