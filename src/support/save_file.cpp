// Save beside, then rename: the rename is atomic within one directory, so readers see either the
// old file or the complete new one.
#include "support/save_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace zl::support {

namespace {

std::string errorText(int error) { return std::system_category().message(error); }

Status failure(int error) { return Error{ErrorKind::Io, errorText(error)}; }

// Writes all of `bytes` to `fd`; returns 0 or the errno of the failure.
int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// A symbolic link is followed, so that the file it names is replaced and the link stays.
std::string resolveLink(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) return path;
    std::filesystem::path target = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : target.string();
}

// Creates a new, empty file beside `target`; returns its descriptor (or -1 with `error` set).
int createBeside(const std::string& target, std::string& tempName, int& error) {
    static std::atomic<unsigned> counter{0};
    std::filesystem::path where(target);
    std::filesystem::path dir = where.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "." + where.filename().string() + ".tmp" + std::to_string(::getpid()) +
                           "-" + std::to_string(counter++);
        tempName = (dir.empty() ? std::filesystem::path(name) : dir / name).string();
        // Mode 0666 lets the process umask decide, as for any newly created file.
        int fd = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        if (errno != EEXIST) break;
    }
    error = errno;
    return -1;
}

std::string writeInPlace(const std::string& target, std::string_view bytes) {
    int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errorText(errno);
    int error = writeAll(fd, bytes);
    if (::close(fd) != 0 && error == 0) error = errno;
    return error == 0 ? std::string() : errorText(error);
}

}  // namespace

Status saveFileReplacing(const std::string& path, std::string_view bytes) {
    const std::string target = resolveLink(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists) {
        if (S_ISDIR(existing.st_mode)) return failure(EISDIR);
        if (!S_ISREG(existing.st_mode)) {
            std::string error = writeInPlace(target, bytes);
            if (error.empty()) return {};
            return Error{ErrorKind::Io, error};
        }
        // The rename would replace even a read-only file; that file's owner said no, so ask the
        // system whether the file itself may be written.
        int probe = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
        if (probe < 0) return failure(errno);
        ::close(probe);
    }

    std::string tempName;
    int error = 0;
    int fd = createBeside(target, tempName, error);
    if (fd < 0 && exists && (error == EACCES || error == EPERM || error == EROFS)) {
        // The file may be written but its folder may not: nothing can be made beside it, so
        // it is written in place (only then can a failed write lose the old content).
        std::string inPlace = writeInPlace(target, bytes);
        if (inPlace.empty()) return {};
        return Error{ErrorKind::Io, inPlace};
    }
    if (fd < 0) return failure(error);
    if (exists && ::fchmod(fd, existing.st_mode & 07777) != 0) error = errno;
    if (error == 0) error = writeAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(tempName.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(tempName.c_str());
        return failure(error);
    }
    return {};
}

}  // namespace zl::support
