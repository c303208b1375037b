// Writes memo and long binary values that do not fit in their row to long-value (LVAL) pages.
#pragma once

#include <span>
#include <vector>

#include "jetwrite/byte_writer.h"
#include "jetwrite/row_page_packer.h"

namespace zl::jetwrite {

// The long-value pages of one column.
class LongValueStore {
public:
    explicit LongValueStore(PageFile& pages);

    // Returns the 12-byte field that the row holds for `payload`, followed by the payload itself
    // when it is small enough to stay in the row; larger payloads go to LVAL pages (one row, or
    // a chain of rows across pages).
    Bytes fieldFor(std::span<const std::byte> payload);

    const std::vector<PageNumber>& pages() const { return m_packer.pages(); }
    const RowPagePacker& packer() const { return m_packer; }

private:
    RowLocation storeChain(std::span<const std::byte> payload);

    RowPagePacker m_packer;
};

}  // namespace zl::jetwrite
