// Small text routines. Positions are byte offsets into UTF-8 text; every separator searched for
// is ASCII, so a cut never falls inside a multi-byte character.
#include "support/text.h"

namespace zl::support {

namespace {

// Cuts `text` at a 0-based offset, dropping `skip` characters of separator.
std::string_view cut(std::string_view& text, std::size_t at, std::size_t skip) {
    if (at == std::string_view::npos) {
        std::string_view whole = text;
        text = {};
        return whole;
    }
    std::string_view piece = text.substr(0, at);
    text.remove_prefix(at + skip);
    return piece;
}

}  // namespace

std::string hexText(std::uint64_t value) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    char digits[16];
    std::size_t count = 0;
    do {
        digits[count++] = kDigits[value & 0xFu];
        value >>= 4;
    } while (value != 0);
    std::string text = "0x";
    while (count > 0) text += digits[--count];
    return text;
}

std::string asciiLower(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = asciiLowerChar(c);
    return result;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLowerChar(a[i]) != asciiLowerChar(b[i])) return false;
    }
    return true;
}

std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement) {
    if (find.empty()) return std::string(text);
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = text.find(find); at != std::string_view::npos;
         at = text.find(find, from)) {
        result.append(text, from, at - from);
        result.append(replacement);
        from = at + find.size();
    }
    result.append(text, from);
    return result;
}

std::string_view NextLine(std::string_view& text) { return cut(text, text.find("\r\n"), 2); }

std::string_view SplitAt(std::string_view& text, std::string_view separator) {
    if (separator.empty()) return cut(text, std::string_view::npos, 0);
    return cut(text, text.find(separator), separator.size());
}

}  // namespace zl::support
