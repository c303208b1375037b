// Character-level conversions of UTF-8 text: Windows-1252 output, control characters, lengths.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zl::support {

// Encodes UTF-8 `text` in Windows-1252. A character the code page cannot hold, and every byte
// of a malformed UTF-8 sequence, becomes "?".
std::string toWindows1252(std::string_view text);

// `text` with every byte of a malformed UTF-8 sequence replaced by "?", so that a file written
// as UTF-8 is valid UTF-8 even when a name (a Linux file name, say) was not.
std::string toValidUtf8(std::string_view text);

// `text` with every control character below U+0020 replaced by a space.
std::string controlsToSpaces(std::string_view text);
// The same, appended to `out`.
void appendControlsToSpaces(std::string& out, std::string_view text);
// The same, but CR and LF are kept.
std::string controlsToSpacesKeepingLineBreaks(std::string_view text);

// The first `maxCharacters` characters of UTF-8 `text` (a character is a code point; a malformed
// byte counts as one character).
std::string utf8Prefix(std::string_view text, std::size_t maxCharacters);

}  // namespace zl::support
