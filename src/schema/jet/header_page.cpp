// Header page decoding.
//
// Header page (page 0), all generations:
//   OFFSET SIZE DESCRIPTION
//   0x00   4    00 01 00 00
//   0x04   15   engine name: "Standard Jet DB" or "Standard ACE DB" ("MSISAM Database" for
//               the Money variant, which is always encrypted)
//   0x14   1    version: 0 Jet 3, 1 Jet 4, 2 ACE 2007, 3 ACE 2010, 5 ACE 2016, 6 ACE 2019
//   0x18   126 (Jet 3) or 128 bytes masked by XOR with a fixed RC4 key stream; inside it:
//   0x3A   2    Jet 3 sort order (collating order)
//   0x3C   2    code page of Jet 3 texts
//   0x3E   4    encryption key: 0 when the pages are not encrypted
//   0x42   20/40 database password (Jet 4 and later: also XORed with the creation date)
//   0x6E   4    Jet 4/ACE sort order: low 16 bits the collating order, byte 3 its version
//   0x72   8    creation date (double), source of the extra password mask
#include "schema/jet/header_page.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace zl::schema::jet {
namespace {

constexpr std::size_t kVersionOffset = 0x14;
constexpr std::size_t kMaskedStart = 0x18;
constexpr std::size_t kJet3SortOrder = 0x3A;
constexpr std::size_t kCodePage = 0x3C;
constexpr std::size_t kEncryptionKey = 0x3E;
constexpr std::size_t kPassword = 0x42;
constexpr std::size_t kJet4SortOrder = 0x6E;
constexpr std::size_t kCreationDate = 0x72;
constexpr std::size_t kHeaderBytes = kMaskedStart + 128;
// Tables are defined from page 2 on, so a database has at least three pages.
constexpr std::uint64_t kMinimumPages = 3;
constexpr int kGeneralSortOrder = 1033;

// The RC4 key stream that masks the header fields (the same in every file).
constexpr std::array<std::uint8_t, 128> kHeaderMask = {
    0xB5, 0x6F, 0x03, 0x62, 0x61, 0x08, 0xC2, 0x55, 0xEB, 0xA9, 0x67, 0x72, 0x43, 0x3F, 0x00, 0x9C,
    0x7A, 0x9F, 0x90, 0xFF, 0x80, 0x9A, 0x31, 0xC5, 0x79, 0xBA, 0xED, 0x30, 0xBC, 0xDF, 0xCC, 0x9D,
    0x63, 0xD9, 0xE4, 0xC3, 0x7B, 0x42, 0xFB, 0x8A, 0xBC, 0x4E, 0x86, 0xFB, 0xEC, 0x37, 0x5D, 0x44,
    0x9C, 0xFA, 0xC6, 0x5E, 0x28, 0xE6, 0x13, 0xB6, 0x8A, 0x60, 0x54, 0x94, 0x7B, 0x36, 0xF5, 0x72,
    0xDF, 0xB1, 0x77, 0xF4, 0x13, 0x43, 0xCF, 0xAF, 0xB1, 0x33, 0x34, 0x61, 0x79, 0x5B, 0x92, 0xB5,
    0x7C, 0x2A, 0x05, 0xF1, 0x7C, 0x99, 0x01, 0x1B, 0x98, 0xFD, 0x12, 0x4F, 0x4A, 0x94, 0x6C, 0x3E,
    0x60, 0x26, 0x5F, 0x95, 0xF8, 0xD0, 0x89, 0x24, 0x85, 0x67, 0xC6, 0x1F, 0x27, 0x44, 0xD2, 0xEE,
    0xCF, 0x65, 0xED, 0xFF, 0x07, 0xC7, 0x46, 0xA1, 0x78, 0x16, 0x0C, 0xED, 0xE9, 0x2D, 0x62, 0xD4};

constexpr char kNotDatabase[] = "The file is not a Microsoft Access database.";

bool startsWith(Bytes page, std::size_t offset, const char* text) {
    const std::size_t length = std::strlen(text);
    if (page.size() < offset + length) {
        return false;
    }
    for (std::size_t i = 0; i < length; ++i) {
        if (std::to_integer<char>(page[offset + i]) != text[i]) {
            return false;
        }
    }
    return true;
}

Result<JetVersion> detectVersion(Bytes page) {
    const bool magic = page.size() >= kHeaderBytes && std::to_integer<int>(page[0]) == 0 &&
                       std::to_integer<int>(page[1]) == 1 && std::to_integer<int>(page[2]) == 0 &&
                       std::to_integer<int>(page[3]) == 0;
    if (magic && startsWith(page, 4, "MSISAM Database")) {
        return Error{ErrorKind::Unsupported,
                     "The file is an MSISAM database (Microsoft Money), which is always "
                     "encrypted; only Microsoft Access databases can be opened."};
    }
    if (!magic ||
        !(startsWith(page, 4, "Standard Jet DB") || startsWith(page, 4, "Standard ACE DB"))) {
        return Error{ErrorKind::NotDatabase, kNotDatabase};
    }
    const int version = std::to_integer<int>(page[kVersionOffset]);
    if (version == 0) {
        return JetVersion::Jet3;
    }
    if (version == 1) {
        return JetVersion::Jet4;
    }
    if (version <= 6) {
        return JetVersion::Ace;
    }
    return Error{ErrorKind::Unsupported,
                 "The database was made by a version of Microsoft Access newer than this "
                 "program knows (format " +
                     std::to_string(version) + ")."};
}

// The masked header fields in clear.
std::vector<std::uint8_t> unmask(Bytes page, JetVersion version) {
    std::vector<std::uint8_t> clear(kHeaderBytes);
    for (std::size_t i = 0; i < kHeaderBytes; ++i) {
        clear[i] = std::to_integer<std::uint8_t>(page[i]);
    }
    toggleHeaderMask(clear, version);
    return clear;
}

bool hasPassword(const std::vector<std::uint8_t>& clear, JetVersion version) {
    const std::size_t length = version == JetVersion::Jet3 ? 20 : 40;
    std::array<std::uint8_t, 4> dateMask{};
    if (version != JetVersion::Jet3) {
        // Jet 4 and later XOR the password with the whole days of the creation date as well.
        double date = 0;
        std::memcpy(&date, clear.data() + kCreationDate, sizeof date);
        std::int32_t days = 0;
        if (std::isfinite(date) && date > -2147483648.0 && date < 2147483648.0) {
            days = static_cast<std::int32_t>(date);
        }
        const auto bits = static_cast<std::uint32_t>(days);
        for (std::size_t i = 0; i < 4; ++i) {
            dateMask[i] = static_cast<std::uint8_t>(bits >> (8 * i));
        }
    }
    for (std::size_t i = 0; i < length; ++i) {
        if ((clear[kPassword + i] ^ dateMask[i % 4]) != 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

void toggleHeaderMask(std::span<std::uint8_t> header, JetVersion version) {
    const std::size_t length = version == JetVersion::Jet3 ? 126 : 128;
    for (std::size_t i = 0; i < length && kMaskedStart + i < header.size(); ++i) {
        header[kMaskedStart + i] ^= kHeaderMask[i];
    }
}

Result<HeaderInfo> parseHeader(Bytes page, std::uint64_t fileSize) {
    JET_ASSIGN_OR_RETURN(const JetVersion version, detectVersion(page));
    const std::vector<std::uint8_t> clear = unmask(page, version);
    const Bytes clearBytes = std::as_bytes(std::span<const std::uint8_t>(clear));

    if (loadU32(clearBytes, kEncryptionKey) != 0) {
        return Error{ErrorKind::Unsupported,
                     "The database is encrypted. Decrypt it in Microsoft Access (remove its "
                     "password or encoding) and open it again."};
    }
    if (hasPassword(clear, version)) {
        return Error{ErrorKind::Unsupported,
                     "The database is protected by a password. Remove the password in "
                     "Microsoft Access and open it again."};
    }

    HeaderInfo info;
    info.version = version;
    info.versionByte = std::to_integer<std::uint8_t>(page[kVersionOffset]);
    info.codePage = loadU16(clearBytes, kCodePage);
    const std::size_t sortOffset = version == JetVersion::Jet3 ? kJet3SortOrder : kJet4SortOrder;
    info.collatingOrder = loadU16(clearBytes, sortOffset);
    if (info.collatingOrder == 0) {
        info.collatingOrder = kGeneralSortOrder;
    }
    const std::uint64_t pages = fileSize / formatFor(version).pageSize;
    if (pages < kMinimumPages) {
        return corruption("the file has " + std::to_string(fileSize) +
                          " bytes, too short for a database (at least " +
                          std::to_string(kMinimumPages) + " pages expected)");
    }
    // Page numbers are 32-bit in the file; larger files cannot be addressed anyway.
    info.pageCount = static_cast<std::uint32_t>(std::min<std::uint64_t>(pages, 0xFFFFFFu + 1));
    return info;
}

Result<HeaderInfo> readHeader(PageSource& source) {
    std::vector<std::byte> page(kHeaderBytes);
    if (source.size() < page.size()) {
        return Error{ErrorKind::NotDatabase, kNotDatabase};
    }
    JET_TRY(source.readAt(0, page));
    return parseHeader(page, source.size());
}

}  // namespace zl::schema::jet
