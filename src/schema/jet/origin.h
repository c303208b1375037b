// Where bytes under decoding came from, and the one route by which every corruption is reported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "schema/jet/result.h"

namespace zl::schema::jet {

inline constexpr std::uint32_t kNoPage = 0xFFFFFFFFu;

// Maps offsets in a decoded buffer back to file pages. A buffer may be one page, a slice of a
// page (a row) or the concatenation of several pages (a table definition, a long value); each
// piece is a segment so that messages name the real page and offset.
class Origin {
public:
    Origin() = default;
    // A buffer that is one piece of `page` starting at `pageOffset` in it.
    Origin(std::uint32_t page, std::size_t pageOffset);
    // A buffer not taken from a page (tests, property blobs): offsets are reported as is,
    // after `label`.
    explicit Origin(std::string label);

    // Appends the next `length` bytes of the buffer, taken from `page` at `pageOffset`.
    void addSegment(std::uint32_t page, std::size_t pageOffset, std::size_t length);
    // A copy whose offset 0 is `offset` of this origin (for a sub-span of the buffer).
    Origin shifted(std::size_t offset) const;
    // "page 12 +0x2A" (or "<label> +0x2A") for an offset of the buffer.
    std::string describe(std::size_t offset) const;
    // The page and page offset of the buffer's first byte; kNoPage when not from a page.
    std::uint32_t startPage() const;
    std::size_t startOffset() const;

private:
    struct Segment {
        std::size_t bufferStart;
        std::uint32_t page;
        std::size_t pageOffset;
        std::size_t length;
    };
    const Segment* segment(std::size_t index) const;
    std::size_t segmentCount() const { return m_hasFirst ? 1 + m_more.size() : 0; }

    // Most buffers are one piece of one page (every row): its segment is held inline so that
    // copying an origin, once per row read, allocates nothing.
    Segment m_first{};
    bool m_hasFirst = false;
    std::vector<Segment> m_more;
    std::string m_label;
    std::size_t m_shift = 0;
};

// The single corruption route: "page 12 +0x2A: column count 300 exceeds 255". Every value that
// breaks the format's rules ends here, so one breakpoint catches them all.
Error corruption(const Origin& origin, std::size_t offset, const std::string& what);
// A corruption that has no byte position (a chain of pages, a missing catalog entry).
Error corruption(const std::string& what);

}  // namespace zl::schema::jet
