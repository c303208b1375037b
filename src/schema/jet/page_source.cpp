// File and memory page sources.
#include "schema/jet/page_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zl::schema::jet {
namespace {

Error ioError(const std::string& what, int error) {
    return Error{ErrorKind::Io, what + ": " + std::strerror(error)};
}

Error notRegular(const std::string& path, mode_t mode) {
    const char* kind = S_ISDIR(mode)    ? "a folder"
                       : S_ISFIFO(mode) ? "a named pipe"
                       : S_ISCHR(mode)  ? "a character device"
                       : S_ISBLK(mode)  ? "a block device"
                       : S_ISSOCK(mode) ? "a socket"
                                        : "something other than a file";
    return Error{ErrorKind::Io, "Cannot open \"" + path + "\": it is " + std::string(kind) +
                                    ", not a database file"};
}

}  // namespace

Result<std::unique_ptr<FilePageSource>> FilePageSource::open(const std::string& path) {
    // Only a regular file is opened: opening a pipe waits for a writer and opening a device may
    // act on it, so the path is looked at first. O_NONBLOCK keeps a pipe put in its place since
    // from blocking the open, and the check is repeated on what was opened.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return notRegular(path, info.st_mode);
    }
    // O_RDONLY without O_CREAT or O_TRUNC: opening can never create or change the file, and no
    // lock is taken, so other programs may use the database at the same time.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return ioError("Cannot open \"" + path + "\"", errno);
    }
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return ioError("Cannot read \"" + path + "\"", error);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return notRegular(path, info.st_mode);
    }
    return std::unique_ptr<FilePageSource>(
        new FilePageSource(fd, static_cast<std::uint64_t>(info.st_size), path));
}

FilePageSource::FilePageSource(int fd, std::uint64_t size, std::string path)
    : m_fd(fd), m_size(size), m_path(std::move(path)) {}

FilePageSource::~FilePageSource() { ::close(m_fd); }

Status FilePageSource::readAt(std::uint64_t offset, std::span<std::byte> out) {
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t got =
            ::pread(m_fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return ioError("Cannot read \"" + m_path + "\"", errno);
        }
        if (got == 0) {
            return Error{ErrorKind::Io, "Cannot read \"" + m_path + "\": the file ended early"};
        }
        done += static_cast<std::size_t>(got);
    }
    return {};
}

MemoryPageSource::MemoryPageSource(std::vector<std::byte> bytes)
    : m_bytes(std::make_shared<const std::vector<std::byte>>(std::move(bytes))) {}

MemoryPageSource::MemoryPageSource(std::shared_ptr<const std::vector<std::byte>> bytes)
    : m_bytes(bytes ? std::move(bytes) : std::make_shared<const std::vector<std::byte>>()) {}

MemoryPageSource::MemoryPageSource(const std::uint8_t* data, std::size_t size) {
    std::vector<std::byte> bytes(size);
    if (size > 0) {
        std::memcpy(bytes.data(), data, size);
    }
    m_bytes = std::make_shared<const std::vector<std::byte>>(std::move(bytes));
}

Status MemoryPageSource::readAt(std::uint64_t offset, std::span<std::byte> out) {
    if (offset > m_bytes->size() || m_bytes->size() - offset < out.size()) {
        return Error{ErrorKind::Io, "read past the end of the data"};
    }
    std::copy_n(m_bytes->begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
    return {};
}

}  // namespace zl::schema::jet
