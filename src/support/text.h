// Small text routines: ASCII case folding, hexadecimal numbers for messages, replace-all, and
// cutting the first line or piece off a text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zl::support {

// `c` made lower case when it is an ASCII letter A-Z; every other byte stays.
constexpr char asciiLowerChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
// `text` with the ASCII letters A-Z made lower case; every other byte (UTF-8 included) stays.
std::string asciiLower(std::string_view text);
// Whether `a` and `b` are equal once their ASCII letters are made lower case: the case rule of
// Access names and of settings sections, keys and words.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

// "0x2A": `value` in upper-case hexadecimal, as messages give offsets and flags.
std::string hexText(std::uint64_t value);

// Returns `text` with every occurrence of `find` replaced by `replacement`, left to right and
// without overlap; a replacement is never searched again. An empty `find` changes nothing.
std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement);

// Returns the text before the first CR LF pair; `text` keeps what follows the pair. Without a
// CR LF the whole text is returned and `text` becomes empty. A lone CR or LF ends nothing.
std::string_view NextLine(std::string_view& text);

// Returns the text before the first occurrence of `separator` (one or more characters); `text`
// keeps what follows it. Without one the whole text is returned and `text` becomes empty.
std::string_view SplitAt(std::string_view& text, std::string_view separator);

}  // namespace zl::support
