// Stored texts to UTF-8: UCS-2 with the "compressed Unicode" scheme in Jet 4/ACE, the
// header's code page in Jet 3.
#pragma once

#include <cstdint>
#include <string>

#include "schema/jet/byte_cursor.h"
#include "schema/jet/jet_format.h"

namespace zl::schema::jet {

// Little-endian UTF-16 to UTF-8; surrogate pairs become one code point, a lone surrogate or a
// trailing odd byte becomes U+FFFD.
std::string decodeUtf16(Bytes bytes);

// A Jet 4 text value: when it starts with FF FE it is compressed (runs of one-byte characters
// and of two-byte characters, each 00 byte switching between them), else plain UTF-16.
std::string decodeJet4Text(Bytes bytes);
// The same into `out` (its buffer reused from row to row); sets `inexact` when a lone surrogate
// or a broken unit had to become U+FFFD.
void decodeJet4Text(Bytes bytes, std::string& out, bool& inexact);

// Decodes the texts of one database.
class TextDecoder {
public:
    TextDecoder(JetVersion version, std::uint16_t codePage)
        : m_jet3(version == JetVersion::Jet3), m_codePage(codePage) {}

    // A text value of a row or a property (compression allowed in Jet 4).
    std::string value(Bytes bytes) const;
    // A name in a table definition or a property blob (never compressed).
    std::string name(Bytes bytes) const;

private:
    bool m_jet3;
    std::uint16_t m_codePage;
};

}  // namespace zl::schema::jet
