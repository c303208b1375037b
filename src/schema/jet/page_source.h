// Where the reader's bytes come from: a read-only file, or memory in tests and fuzzing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "schema/jet/result.h"

namespace zl::schema::jet {

// A read-only sequence of bytes addressed by offset. Implementations never write.
class PageSource {
public:
    virtual ~PageSource() = default;
    // Total length in bytes.
    virtual std::uint64_t size() const = 0;
    // Fills `out` with the bytes at `offset`; fails (ErrorKind::Io) when they cannot be read.
    virtual Status readAt(std::uint64_t offset, std::span<std::byte> out) = 0;
};

// A database file opened read-only (O_RDONLY, no locks taken, never written).
class FilePageSource final : public PageSource {
public:
    // Opens `path`; fails with ErrorKind::Io and the system's reason.
    static Result<std::unique_ptr<FilePageSource>> open(const std::string& path);
    ~FilePageSource() override;
    FilePageSource(const FilePageSource&) = delete;
    FilePageSource& operator=(const FilePageSource&) = delete;

    std::uint64_t size() const override { return m_size; }
    Status readAt(std::uint64_t offset, std::span<std::byte> out) override;

private:
    FilePageSource(int fd, std::uint64_t size, std::string path);
    int m_fd;
    std::uint64_t m_size;
    std::string m_path;
};

// Bytes held in memory.
class MemoryPageSource final : public PageSource {
public:
    explicit MemoryPageSource(std::vector<std::byte> bytes);
    // Shares bytes that several sources read (benchmarks open one buffer many times).
    explicit MemoryPageSource(std::shared_ptr<const std::vector<std::byte>> bytes);
    // Copies `size` raw bytes (fuzzer input).
    MemoryPageSource(const std::uint8_t* data, std::size_t size);

    std::uint64_t size() const override { return m_bytes->size(); }
    Status readAt(std::uint64_t offset, std::span<std::byte> out) override;

private:
    std::shared_ptr<const std::vector<std::byte>> m_bytes;
};

}  // namespace zl::schema::jet
