// Bounds-checked little-endian reading over a byte span: the only way the reader looks at bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "schema/jet/origin.h"
#include "schema/jet/result.h"

namespace zl::schema::jet {

using Bytes = std::span<const std::byte>;

// Reads fixed-size little-endian values from a span. A read past the end does not throw: it
// returns 0 (or an empty span), leaves the cursor failed, and the first failure is kept for
// status(). Callers check ok()/status() before trusting values for sizes, offsets or loops.
// `what` names the field in the message ("column count"); the origin must outlive the cursor.
class ByteCursor {
public:
    ByteCursor(Bytes data, const Origin& origin) : m_data(data), m_origin(&origin) {}
    ByteCursor(Bytes data, const Origin&& origin) = delete;  // the origin must outlive it

    // The reads are inline: they are the reader's innermost steps.
    std::uint8_t u8(const char* what = nullptr) {
        if (!take(1, what)) {
            return 0;
        }
        return std::to_integer<std::uint8_t>(m_data[m_position++]);
    }
    std::uint16_t u16(const char* what = nullptr) {
        if (!take(2, what)) {
            return 0;
        }
        const auto value = static_cast<std::uint16_t>(byteAt(0) | (byteAt(1) << 8));
        m_position += 2;
        return value;
    }
    std::uint32_t u24(const char* what = nullptr);
    std::uint32_t u32(const char* what = nullptr) {
        if (!take(4, what)) {
            return 0;
        }
        const std::uint32_t value =
            byteAt(0) | (byteAt(1) << 8) | (byteAt(2) << 16) | (byteAt(3) << 24);
        m_position += 4;
        return value;
    }
    std::int16_t i16(const char* what = nullptr) { return static_cast<std::int16_t>(u16(what)); }
    std::int32_t i32(const char* what = nullptr) { return static_cast<std::int32_t>(u32(what)); }
    // The next `count` bytes, or an empty span (and failure) when fewer are left.
    Bytes bytes(std::size_t count, const char* what = nullptr) {
        if (!take(count, what)) {
            return {};
        }
        const Bytes out = m_data.subspan(m_position, count);
        m_position += count;
        return out;
    }
    void skip(std::size_t count, const char* what = nullptr) { (void)bytes(count, what); }
    // Moves to an absolute position; a position past the end fails.
    void seek(std::size_t position, const char* what = nullptr) {
        if (m_failed.empty() && position <= m_data.size()) {
            m_position = position;
            return;
        }
        seekFailed(position, what);
    }

    std::size_t position() const { return m_position; }
    std::size_t size() const { return m_data.size(); }
    std::size_t remaining() const { return m_data.size() - m_position; }
    bool ok() const { return m_failed.empty(); }
    // Ok, or the corruption of the first failed read.
    Status status() const { return m_failed.empty() ? Status() : failedStatus(); }
    // A corruption at the current position / at `position`, through the common route.
    Error fail(const std::string& what) const { return failAt(m_position, what); }
    Error failAt(std::size_t position, const std::string& what) const;
    const Origin& origin() const { return *m_origin; }
    Bytes data() const { return m_data; }

private:
    // Whether `count` more bytes can be read; on the first shortfall, records the failure.
    bool take(std::size_t count, const char* what) {
        if (m_failed.empty() && count <= remaining()) {
            return true;
        }
        return takeFailed(count, what);
    }
    bool takeFailed(std::size_t count, const char* what);
    void seekFailed(std::size_t position, const char* what);
    Status failedStatus() const;
    std::uint32_t byteAt(std::size_t ahead) const {
        return std::to_integer<std::uint32_t>(m_data[m_position + ahead]);
    }

    Bytes m_data;
    const Origin* m_origin;
    std::size_t m_position = 0;
    std::size_t m_failedAt = 0;
    std::string m_failed;
};

// Raised by loadU16/loadU32 when a caller's check was wrong; the engine interface reports it as
// corruption of what it was reading, like every other fault of the file.
struct SpanOverrun {
    const char* what;
};

// Little-endian values from spans already known to be long enough (checked by the caller).
std::uint16_t loadU16(Bytes data, std::size_t offset);
std::uint32_t loadU32(Bytes data, std::size_t offset);

}  // namespace zl::schema::jet
