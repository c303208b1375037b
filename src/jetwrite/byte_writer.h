// Appends little- and big-endian integers and raw bytes to a growing byte buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zl::jetwrite {

using Bytes = std::vector<std::byte>;

// A growing buffer with typed appends and bounds-checked patches of bytes already written.
class ByteWriter {
public:
    void u8(std::uint8_t value);
    void u16(std::uint16_t value);
    void u24(std::uint32_t value);
    void u32(std::uint32_t value);
    void i32(std::int32_t value) { u32(static_cast<std::uint32_t>(value)); }
    void u64(std::uint64_t value);
    void u24BigEndian(std::uint32_t value);
    void u32BigEndian(std::uint32_t value);
    void bytes(std::span<const std::byte> data);
    void zeros(std::size_t count);

    // Overwrites bytes written earlier; throws std::logic_error when the range is not written yet.
    void patchU32(std::size_t offset, std::uint32_t value);

    std::size_t size() const { return m_bytes.size(); }
    const Bytes& data() const { return m_bytes; }
    Bytes take() { return std::move(m_bytes); }

private:
    Bytes m_bytes;
};

// Stores a value little-endian into `target` at `offset`; throws std::logic_error when the field
// does not fit inside `target`.
void storeU16(std::span<std::byte> target, std::size_t offset, std::uint16_t value);
void storeU32(std::span<std::byte> target, std::size_t offset, std::uint32_t value);
void storeBytes(std::span<std::byte> target, std::size_t offset, std::span<const std::byte> data);

}  // namespace zl::jetwrite
