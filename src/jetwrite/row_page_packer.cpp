// Data page layout: header, row offset table, rows stored from the page end downwards.
//   OFFSET SIZE DESCRIPTION
//   0      1    page type 0x01
//   1      1    0x01
//   2      2    free space (page size less header, offsets and rows)
//   4      4    owner: table definition page, "LVAL", or 0 for usage-map pages
//   8      4    unknown, 0
//   12     2    number of rows
//   14     2n   offset of each row from the page start
#include "jetwrite/row_page_packer.h"

#include <algorithm>
#include <string>

#include "jetwrite/jet_format.h"
#include "jetwrite/write_error.h"

namespace zl::jetwrite {

namespace {
constexpr std::size_t kFreeSpaceOffset = 2;
constexpr std::size_t kOwnerOffset = 4;
constexpr std::size_t kRowOffsetSize = 2;
constexpr std::size_t kMaxRowOnPage = jet::kPageSize - jet::kDataPageHeaderSize - kRowOffsetSize;
}  // namespace

RowPagePacker::RowPagePacker(PageFile& pages, std::uint32_t owner)
    : m_pages(pages), m_owner(owner) {}

bool RowPagePacker::fitsOnCurrentPage(std::size_t size) const {
    if (!m_open || m_rowCount >= jet::kMaxRowsPerDataPage) return false;
    const std::size_t tableEnd = jet::kDataPageHeaderSize + (m_rowCount + 1) * kRowOffsetSize;
    return m_dataStart >= tableEnd && m_dataStart - tableEnd >= size;
}

void RowPagePacker::openPage() {
    m_current = m_pages.allocate();
    auto page = m_pages.page(m_current);
    page[0] = std::byte{static_cast<std::uint8_t>(jet::PageType::Data)};
    page[1] = std::byte{0x01};
    storeU32(page, kOwnerOffset, m_owner);
    m_open = true;
    m_rowCount = 0;
    m_dataStart = jet::kPageSize;
    m_used.push_back(m_current);
    m_free.push_back(jet::kPageSize - jet::kDataPageHeaderSize);
    storeU16(page, kFreeSpaceOffset, static_cast<std::uint16_t>(m_free.back()));
}

RowLocation RowPagePacker::add(std::span<const std::byte> row) {
    if (row.size() > kMaxRowOnPage) {
        throw WriteError("a row of " + std::to_string(row.size()) +
                         " bytes does not fit on a page");
    }
    if (!fitsOnCurrentPage(row.size())) openPage();
    m_dataStart -= row.size();
    auto page = m_pages.page(m_current);
    storeBytes(page, m_dataStart, row);
    storeU16(page, jet::kDataPageHeaderSize + m_rowCount * kRowOffsetSize,
             static_cast<std::uint16_t>(m_dataStart));
    const RowLocation location{m_current, static_cast<std::uint8_t>(m_rowCount)};
    ++m_rowCount;
    m_free.back() -= row.size() + kRowOffsetSize;
    storeU16(page, kFreeSpaceOffset, static_cast<std::uint16_t>(m_free.back()));
    storeU16(page, jet::kDataPageRowCountOffset, static_cast<std::uint16_t>(m_rowCount));
    return location;
}

std::size_t RowPagePacker::freeSpace(PageNumber page) const {
    // Pages are allocated in increasing order, so the list is sorted.
    const auto found = std::lower_bound(m_used.begin(), m_used.end(), page);
    if (found == m_used.end() || *found != page) return 0;
    return m_free[static_cast<std::size_t>(found - m_used.begin())];
}

}  // namespace zl::jetwrite
