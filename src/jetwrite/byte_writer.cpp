// Little- and big-endian byte appends for the page builders.
#include "jetwrite/byte_writer.h"

#include <stdexcept>

namespace zl::jetwrite {

namespace {

std::byte byteOf(std::uint64_t value, int shift) {
    return static_cast<std::byte>((value >> shift) & 0xFFu);
}

void checkRange(std::size_t size, std::size_t offset, std::size_t length) {
    if (offset > size || length > size - offset) {
        throw std::logic_error("byte patch outside the buffer");
    }
}

}  // namespace

void ByteWriter::u8(std::uint8_t value) { m_bytes.push_back(static_cast<std::byte>(value)); }

void ByteWriter::u16(std::uint16_t value) {
    m_bytes.push_back(byteOf(value, 0));
    m_bytes.push_back(byteOf(value, 8));
}

void ByteWriter::u24(std::uint32_t value) {
    for (int shift = 0; shift < 24; shift += 8) m_bytes.push_back(byteOf(value, shift));
}

void ByteWriter::u32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) m_bytes.push_back(byteOf(value, shift));
}

void ByteWriter::u64(std::uint64_t value) {
    for (int shift = 0; shift < 64; shift += 8) m_bytes.push_back(byteOf(value, shift));
}

void ByteWriter::u24BigEndian(std::uint32_t value) {
    for (int shift = 16; shift >= 0; shift -= 8) m_bytes.push_back(byteOf(value, shift));
}

void ByteWriter::u32BigEndian(std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) m_bytes.push_back(byteOf(value, shift));
}

void ByteWriter::bytes(std::span<const std::byte> data) {
    m_bytes.insert(m_bytes.end(), data.begin(), data.end());
}

void ByteWriter::zeros(std::size_t count) { m_bytes.insert(m_bytes.end(), count, std::byte{0}); }

void ByteWriter::patchU32(std::size_t offset, std::uint32_t value) {
    storeU32(m_bytes, offset, value);
}

void storeU16(std::span<std::byte> target, std::size_t offset, std::uint16_t value) {
    checkRange(target.size(), offset, 2);
    target[offset] = byteOf(value, 0);
    target[offset + 1] = byteOf(value, 8);
}

void storeU32(std::span<std::byte> target, std::size_t offset, std::uint32_t value) {
    checkRange(target.size(), offset, 4);
    for (std::size_t i = 0; i < 4; ++i) target[offset + i] = byteOf(value, static_cast<int>(8 * i));
}

void storeBytes(std::span<std::byte> target, std::size_t offset, std::span<const std::byte> data) {
    checkRange(target.size(), offset, data.size());
    for (std::size_t i = 0; i < data.size(); ++i) target[offset + i] = data[i];
}

}  // namespace zl::jetwrite
