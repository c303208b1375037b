// Writes page usage maps (which pages belong to a table, an index or a long-value column) as
// rows of usage-map pages, with bitmap pages for maps that cover a wide range of pages.
#pragma once

#include <cstdint>
#include <vector>

#include "jetwrite/row_page_packer.h"

namespace zl::jetwrite {

class UsageMapStore {
public:
    explicit UsageMapStore(PageFile& pages);

    // Writes a map whose set bits are `pages` (any order, no duplicates needed) and returns the
    // pointer to its row, as table definitions store it. Throws WriteError when a page lies
    // beyond what a map can address.
    std::uint32_t add(std::vector<PageNumber> pages);

    // The bytes of a usage-map row for `pages` (allocating bitmap pages when needed).
    Bytes encodeRow(std::vector<PageNumber> pages);

private:
    Bytes inlineRow(const std::vector<PageNumber>& pages) const;
    Bytes referenceRow(const std::vector<PageNumber>& pages);

    PageFile& m_pages;
    RowPagePacker m_packer;
};

}  // namespace zl::jetwrite
