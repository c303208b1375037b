// Small text routines. Positions are byte offsets into UTF-8 text; every separator searched for
// is ASCII, so a cut never falls inside a multi-byte character.
#include "support/text.h"

namespace zl::support {

namespace {

// Converts a find() result to a 1-based position, 0 when not found.
std::size_t position(std::size_t found) { return found == std::string_view::npos ? 0 : found + 1; }

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

std::string cutString(std::string& text, std::size_t at, std::size_t skip) {
    std::string_view view = text;
    std::string piece(cut(view, at, skip));
    text = std::string(view);
    return piece;
}

}  // namespace

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

std::string NextLine(std::string& text) { return cutString(text, text.find("\r\n"), 2); }

std::string_view SplitAt(std::string_view& text, std::string_view separator) {
    if (separator.empty()) return cut(text, std::string_view::npos, 0);
    return cut(text, text.find(separator), separator.size());
}

std::string SplitAt(std::string& text, std::string_view separator) {
    if (separator.empty()) return cutString(text, std::string::npos, 0);
    return cutString(text, text.find(separator), separator.size());
}

std::string NextWord(std::string& text) {
    std::size_t p = MinPosition(position(text.find(' ')), position(text.find('\n')));
    p = MinPosition(position(text.find('-')), p);
    if (p == 0) return cutString(text, std::string::npos, 0);
    // The word keeps the character that ends it.
    std::string word = text.substr(0, p);
    text.erase(0, p);
    return word;
}

std::size_t MinPosition(std::size_t a, std::size_t b) {
    if (a > b) return b == 0 ? a : b;
    return a == 0 ? b : a;
}

}  // namespace zl::support
