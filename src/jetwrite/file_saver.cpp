// Save-then-rename through the project's one file saver: a failed or interrupted write never
// leaves a half-written database at the target path.
#include "jetwrite/file_saver.h"

#include <string>
#include <string_view>

#include "jetwrite/write_error.h"
#include "support/save_file.h"

namespace zl::jetwrite {

void saveBesideAndRename(const std::filesystem::path& target, std::span<const std::byte> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const support::Status saved = support::saveFileReplacing(target.string(), text);
    if (!saved) throw WriteError("cannot save " + target.string() + ": " + saved.error().message);
}

}  // namespace zl::jetwrite
