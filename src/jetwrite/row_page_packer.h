// Packs rows into data pages (table rows, long values, usage maps), filling each page before
// starting the next.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "jetwrite/page_file.h"

namespace zl::jetwrite {

// Where a row lives: page number and row number on that page.
struct RowLocation {
    PageNumber page = 0;
    std::uint8_t row = 0;
    // The 4-byte pointer form: row number in the low byte, page number above it.
    std::uint32_t pointer() const { return (page << 8) | row; }
};

class RowPagePacker {
public:
    // `owner` is stored at offset 4 of every page: the table definition page of a table's data
    // pages, 0 for usage-map pages, the text "LVAL" for long-value pages.
    RowPagePacker(PageFile& pages, std::uint32_t owner);

    // Places `row` on the current page, or on a new one when it does not fit.
    // Throws WriteError when the row is larger than a page can hold.
    RowLocation add(std::span<const std::byte> row);
    // True when `size` more bytes fit on the current page.
    bool fitsOnCurrentPage(std::size_t size) const;
    // Starts a new page for the next row.
    void startNewPage() { m_open = false; }

    const std::vector<PageNumber>& pages() const { return m_used; }
    // Free bytes left on page `page` written by this packer (0 for other pages).
    std::size_t freeSpace(PageNumber page) const;

    // The `owner` value of long-value pages.
    static constexpr std::uint32_t kLongValueOwner = 0x4C41564C;  // "LVAL" read little-endian

private:
    void openPage();

    PageFile& m_pages;
    std::uint32_t m_owner;
    bool m_open = false;
    PageNumber m_current = 0;
    std::size_t m_rowCount = 0;
    std::size_t m_dataStart = 0;  // offset of the lowest row on the current page
    std::vector<PageNumber> m_used;
    std::vector<std::size_t> m_free;  // parallel to m_used
};

}  // namespace zl::jetwrite
