// Offset-to-page mapping for messages, and the corruption route.
#include "schema/jet/origin.h"

#include "support/text.h"

namespace zl::schema::jet {

using support::hexText;

Origin::Origin(std::uint32_t page, std::size_t pageOffset)
    : m_first{0, page, pageOffset, SIZE_MAX}, m_hasFirst(true) {}

Origin::Origin(std::string label) : m_label(std::move(label)) {}

const Origin::Segment* Origin::segment(std::size_t index) const {
    if (!m_hasFirst) {
        return nullptr;
    }
    return index == 0 ? &m_first : &m_more[index - 1];
}

void Origin::addSegment(std::uint32_t page, std::size_t pageOffset, std::size_t length) {
    if (!m_hasFirst) {
        m_first = {0, page, pageOffset, length};
        m_hasFirst = true;
        return;
    }
    const Segment& last = *segment(segmentCount() - 1);
    m_more.push_back({last.bufferStart + last.length, page, pageOffset, length});
}

Origin Origin::shifted(std::size_t offset) const {
    Origin copy = *this;
    copy.m_shift += offset;
    return copy;
}

std::string Origin::describe(std::size_t offset) const {
    const std::size_t at = offset + m_shift;
    for (std::size_t i = 0; i < segmentCount(); ++i) {
        const Segment& piece = *segment(i);
        if (at >= piece.bufferStart && at - piece.bufferStart < piece.length) {
            return "page " + std::to_string(piece.page) + " +" +
                   hexText(piece.pageOffset + (at - piece.bufferStart));
        }
    }
    if (m_hasFirst) {
        // Past the last segment: name the end of the last piece.
        const Segment& last = *segment(segmentCount() - 1);
        return "page " + std::to_string(last.page) + " +" +
               hexText(last.pageOffset + (at - last.bufferStart));
    }
    return (m_label.empty() ? std::string("offset") : m_label) + " +" + hexText(at);
}

std::uint32_t Origin::startPage() const { return m_hasFirst ? m_first.page : kNoPage; }

std::size_t Origin::startOffset() const { return m_hasFirst ? m_first.pageOffset + m_shift : 0; }

Error corruption(const Origin& origin, std::size_t offset, const std::string& what) {
    return corruption(origin.describe(offset) + ": " + what);
}

Error corruption(const std::string& what) { return Error{ErrorKind::Corrupt, what}; }

}  // namespace zl::schema::jet
