// Small text routines: replace-all, and cutting the first line, piece or word off a text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zl::support {

// Returns `text` with every occurrence of `find` replaced by `replacement`, left to right and
// without overlap; a replacement is never searched again. An empty `find` changes nothing.
std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement);

// Returns the text before the first CR LF pair; `text` keeps what follows the pair. Without a
// CR LF the whole text is returned and `text` becomes empty. A lone CR or LF ends nothing.
std::string NextLine(std::string& text);
std::string_view NextLine(std::string_view& text);

// Returns the text before the first occurrence of `separator` (one or more characters); `text`
// keeps what follows it. Without one the whole text is returned and `text` becomes empty.
std::string SplitAt(std::string& text, std::string_view separator);
std::string_view SplitAt(std::string_view& text, std::string_view separator);

// Returns the first word together with the character that ends it (a space, LF or hyphen);
// `text` keeps what follows that character. Without one the whole text is returned.
std::string NextWord(std::string& text);

// The earlier of two 1-based search results, where 0 means "not found": the smaller of two
// nonzero positions, the nonzero one when only one is nonzero, 0 when both are 0.
std::size_t MinPosition(std::size_t a, std::size_t b);

}  // namespace zl::support
