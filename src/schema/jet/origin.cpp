// Offset-to-page mapping for messages, and the corruption route.
#include "schema/jet/origin.h"

#include <cstdio>

namespace zl::schema::jet {
namespace {

std::string hex(std::size_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%zX", value);
    return text;
}

}  // namespace

Origin::Origin(std::uint32_t page, std::size_t pageOffset) {
    m_segments.push_back({0, page, pageOffset, SIZE_MAX});
}

Origin::Origin(std::string label) : m_label(std::move(label)) {}

void Origin::addSegment(std::uint32_t page, std::size_t pageOffset, std::size_t length) {
    std::size_t start = 0;
    if (!m_segments.empty()) {
        const Segment& last = m_segments.back();
        start = last.bufferStart + last.length;
    }
    m_segments.push_back({start, page, pageOffset, length});
}

Origin Origin::shifted(std::size_t offset) const {
    Origin copy = *this;
    copy.m_shift += offset;
    return copy;
}

std::string Origin::describe(std::size_t offset) const {
    const std::size_t at = offset + m_shift;
    for (const Segment& segment : m_segments) {
        if (at >= segment.bufferStart && at - segment.bufferStart < segment.length) {
            return "page " + std::to_string(segment.page) + " +" +
                   hex(segment.pageOffset + (at - segment.bufferStart));
        }
    }
    if (!m_segments.empty()) {
        // Past the last segment: name the end of the last piece.
        const Segment& last = m_segments.back();
        return "page " + std::to_string(last.page) + " +" +
               hex(last.pageOffset + (at - last.bufferStart));
    }
    return (m_label.empty() ? std::string("offset") : m_label) + " +" + hex(at);
}

std::uint32_t Origin::startPage() const {
    return m_segments.empty() ? kNoPage : m_segments.front().page;
}

std::size_t Origin::startOffset() const {
    return m_segments.empty() ? 0 : m_segments.front().pageOffset + m_shift;
}

Error corruption(const Origin& origin, std::size_t offset, const std::string& what) {
    return corruption(origin.describe(offset) + ": " + what);
}

Error corruption(const std::string& what) { return Error{ErrorKind::Corrupt, what}; }

}  // namespace zl::schema::jet
