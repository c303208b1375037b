// Visual Basic identifiers, literals and SQL line splitting.
#include "vbgen/vb_literals.h"

#include "support/text.h"

namespace zl::vbgen {

namespace {
// Longest identifier part taken from a name.
constexpr std::size_t kIdentifierLength = 33;
}  // namespace

std::string MakeIdentifier(std::string_view text) {
    std::string id;
    for (char c : text) {
        if (id.size() == kIdentifierLength) break;
        // Bytes of multi-byte UTF-8 characters are all above 0x7F and so never kept.
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            id.push_back(c);
        }
    }
    return id;
}

void appendQuoteLiteral(std::string& out, std::string_view text) {
    out.push_back('"');
    bool plain = true;
    for (char c : text) plain = plain && c != '"' && static_cast<unsigned char>(c) >= 0x20;
    if (plain) {
        out.append(text);
    } else {
        for (char c : text) {
            if (c == '"') out.push_back('"');
            // Bytes below 0x20 are always whole characters in UTF-8.
            out.push_back(static_cast<unsigned char>(c) < 0x20 ? ' ' : c);
        }
    }
    out.push_back('"');
}

std::string QuoteLiteral(std::string_view text) {
    std::string literal;
    literal.reserve(text.size() + 2);
    appendQuoteLiteral(literal, text);
    return literal;
}

void line(std::string& out, std::initializer_list<std::string_view> pieces) {
    for (std::string_view piece : pieces) out.append(piece);
    out.append("\r\n");
}

std::vector<std::string> SplitSqlLines(std::string_view sql) {
    std::vector<std::string> lines;
    lines.emplace_back(support::NextLine(sql));
    // The stored text ends with CR LF, so the empty line after it ends the list; some stored
    // texts carry a NUL terminator on a line of its own.
    while (true) {
        std::string_view line = support::NextLine(sql);
        if (line.empty() || line == std::string_view("\0", 1)) break;
        lines.emplace_back(line);
    }
    return lines;
}

}  // namespace zl::vbgen
