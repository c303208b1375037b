// Visual Basic identifiers, literals and SQL line splitting.
#include "vbgen/vb_literals.h"

#include "support/encoding.h"
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

std::string QuoteLiteral(std::string_view text) {
    return "\"" + support::ReplaceAll(support::controlsToSpaces(text), "\"", "\"\"") + "\"";
}

std::string QuoteIfNotEmpty(std::string_view text) {
    return text.empty() ? std::string() : QuoteLiteral(text);
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
