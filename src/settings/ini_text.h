// Reading one key from, and setting one key in, the text of an INI file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zl::settings {

// The value stored under `key` in `section` of the INI text `content`, or nullopt when the
// section or the key is absent. Sections and keys match without regard to ASCII case; the
// first matching section and, in it, the first matching key count. The value is trimmed of
// blanks and tabs, and one pair of enclosing quotes (" or ') is removed.
std::optional<std::string> iniLookup(std::string_view content, std::string_view section,
                                     std::string_view key);

// `content` with `key` in `section` set to `value`: the key's line is replaced, or the key is
// added at the end of its section, or the section is added at the end of the text. Every other
// line stays as it was. The value is quoted when it would not otherwise read back unchanged; CR
// and LF in it become spaces, since they would end the line.
std::string iniUpdate(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view value);

}  // namespace zl::settings
