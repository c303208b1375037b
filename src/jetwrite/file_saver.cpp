// Save-then-rename: a failed or interrupted write never leaves a half-written database at the
// target path.
#include "jetwrite/file_saver.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "jetwrite/write_error.h"

namespace zl::jetwrite {

namespace {

// Owns a file descriptor and the temporary path until the rename succeeds.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path& target)
        : m_path(target.string() + ".XXXXXX") {
        std::string pattern = m_path.string();
        m_fd = ::mkstemp(pattern.data());
        if (m_fd < 0) fail("cannot create a temporary file beside " + target.string());
        m_path = pattern;
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (m_fd >= 0) ::close(m_fd);
        if (!m_kept) ::unlink(m_path.c_str());
    }

    void write(std::span<const std::byte> bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) fail("cannot write " + m_path.string());
            done += static_cast<std::size_t>(n);
        }
        if (::fsync(m_fd) != 0) fail("cannot flush " + m_path.string());
        if (::close(m_fd) != 0) fail("cannot close " + m_path.string());
        m_fd = -1;
    }

    void renameTo(const std::filesystem::path& target) {
        if (::chmod(m_path.c_str(), 0644) != 0)
            fail("cannot set the permissions of " + m_path.string());
        if (::rename(m_path.c_str(), target.c_str()) != 0)
            fail("cannot rename the new file to " + target.string());
        m_kept = true;
    }

private:
    [[noreturn]] static void fail(const std::string& what) {
        throw WriteError(what + ": " + std::strerror(errno));
    }

    std::filesystem::path m_path;
    int m_fd = -1;
    bool m_kept = false;
};

}  // namespace

void saveBesideAndRename(const std::filesystem::path& target, std::span<const std::byte> bytes) {
    TemporaryFile temporary(target);
    temporary.write(bytes);
    temporary.renameTo(target);
}

}  // namespace zl::jetwrite
