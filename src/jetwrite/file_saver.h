// Saves a file beside its target and renames it over the target only when complete.
#pragma once

#include <filesystem>
#include <span>

namespace zl::jetwrite {

// Writes `bytes` to a new file in the target's folder, flushes it, and renames it to `target`
// (support::saveFileReplacing). On failure `target` is left as it was and WriteError says what
// failed.
void saveBesideAndRename(const std::filesystem::path& target, std::span<const std::byte> bytes);

}  // namespace zl::jetwrite
