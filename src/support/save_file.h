// Writing a whole file so that a failure never leaves a half-written file in its place.
#pragma once

#include <string>
#include <string_view>

#include "support/result.h"

namespace zl::support {

// Replaces the content of `path` by `bytes`: the bytes go to a new file beside it, which is then
// renamed over it, keeping an existing file's permission bits. An existing file that may not be
// written (read-only, a directory) is refused. On failure the Status carries the system's error
// text (e.g. "Permission denied") as an Io error, with any existing file left as it was. An
// existing target that is not a regular file (a device, a pipe), or a writable file in a folder
// where nothing may be created, is written in place instead.
[[nodiscard]] Status saveFileReplacing(const std::string& path, std::string_view bytes);

}  // namespace zl::support
