// A small test-side reader of index pages, to check the B-trees the writer builds: decodes each
// page's entries (undoing the shared prefix) and walks the tree from its root.
#pragma once

#include <cstdint>
#include <vector>

#include "jetwrite/byte_writer.h"
#include "jetwrite/page_file.h"

namespace zl::jetwrite::testing {

struct WalkedPage {
    bool leaf = true;
    std::uint32_t tablePage = 0;
    std::uint32_t previous = 0;
    std::uint32_t next = 0;
    std::uint32_t tail = 0;
    std::uint16_t freeSpace = 0;
    std::size_t usedBytes = 0;
    std::vector<Bytes> entries;  // full entries: key, row pointer, and child page on node pages
};

// Decodes index page `number`; throws std::runtime_error for anything malformed.
WalkedPage readIndexPage(const PageFile& file, PageNumber number);

// Every leaf entry under `root`, in tree order: node entries first, then the tail child.
// Checks on the way that each node entry repeats the last entry of its child, and throws
// std::runtime_error when it does not.
std::vector<Bytes> leafEntriesInTreeOrder(const PageFile& file, PageNumber root);

// The leaves from the leftmost one along the next-page links.
std::vector<Bytes> leafEntriesAlongLinks(const PageFile& file, PageNumber root);

// The child page number stored at the end of a node entry.
PageNumber childOf(const Bytes& nodeEntry);

}  // namespace zl::jetwrite::testing
