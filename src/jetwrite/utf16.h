// Converts the UTF-8 texts of a description into the UTF-16LE bytes that Jet 4 stores.
#pragma once

#include <string>
#include <string_view>

#include "jetwrite/byte_writer.h"

namespace zl::jetwrite {

// Returns `text` as UTF-16 little-endian bytes (surrogate pairs for characters past U+FFFF).
// Throws WriteError naming `what` when `text` is not valid UTF-8.
Bytes toUtf16le(std::string_view text, std::string_view what = "text");

// Returns the number of UTF-16 code units of `text` (what Jet counts as characters).
// Throws WriteError naming `what` when `text` is not valid UTF-8.
std::size_t utf16Length(std::string_view text, std::string_view what = "text");

}  // namespace zl::jetwrite
