// Builds the B-tree pages of one physical index from its sorted entries.
#pragma once

#include <vector>

#include "jetwrite/byte_writer.h"
#include "jetwrite/page_file.h"
#include "jetwrite/row_page_packer.h"

namespace zl::jetwrite {

// One index entry: the encoded key and the row it points to.
struct IndexEntry {
    Bytes key;
    RowLocation row;
};

struct IndexTree {
    PageNumber root = 0;
    std::vector<PageNumber> pages;  // every page of the tree, root included
};

// Writes the tree for `entries` (sorted by key, then row) and returns its root and pages. An
// index without entries gets one empty leaf page as its root. `tablePage` is the table's
// definition page, which every index page names.
IndexTree writeIndexTree(PageFile& file, PageNumber tablePage,
                         const std::vector<IndexEntry>& entries);

}  // namespace zl::jetwrite
