// Bounds-checked little-endian reading.
#include "schema/jet/byte_cursor.h"

#include <stdexcept>

namespace zl::schema::jet {

bool ByteCursor::takeFailed(std::size_t count, const char* what) {
    if (!m_failed.empty()) {
        return false;
    }
    m_failedAt = m_position;
    m_failed = std::string(what != nullptr ? what : "value") + " needs " + std::to_string(count) +
               " bytes, only " + std::to_string(remaining()) + " left";
    return false;
}

std::uint32_t ByteCursor::u24(const char* what) {
    if (!take(3, what)) {
        return 0;
    }
    const std::uint32_t value = loadU16(m_data, m_position) |
                                (std::to_integer<std::uint32_t>(m_data[m_position + 2]) << 16);
    m_position += 3;
    return value;
}

void ByteCursor::seekFailed(std::size_t position, const char* what) {
    if (!m_failed.empty()) {
        return;
    }
    m_failedAt = m_position;
    m_failed = std::string(what != nullptr ? what : "position") + " " + std::to_string(position) +
               " is past the end at " + std::to_string(m_data.size());
}

Status ByteCursor::failedStatus() const { return corruption(*m_origin, m_failedAt, m_failed); }

Error ByteCursor::failAt(std::size_t position, const std::string& what) const {
    return corruption(*m_origin, position, what);
}

std::uint16_t loadU16(Bytes data, std::size_t offset) {
    if (offset > data.size() || data.size() - offset < 2) {
        throw SpanOverrun{"a 2-byte value past the end of its span"};
    }
    return static_cast<std::uint16_t>(std::to_integer<unsigned>(data[offset]) |
                                      (std::to_integer<unsigned>(data[offset + 1]) << 8));
}

std::uint32_t loadU32(Bytes data, std::size_t offset) {
    if (offset > data.size() || data.size() - offset < 4) {
        throw SpanOverrun{"a 4-byte value past the end of its span"};
    }
    return std::to_integer<std::uint32_t>(data[offset]) |
           (std::to_integer<std::uint32_t>(data[offset + 1]) << 8) |
           (std::to_integer<std::uint32_t>(data[offset + 2]) << 16) |
           (std::to_integer<std::uint32_t>(data[offset + 3]) << 24);
}

}  // namespace zl::schema::jet
