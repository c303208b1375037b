// Index pages: leaves hold key + row pointer; node pages hold the last entry of each child plus
// the child's page number. Entries after the first omit the prefix that all keys on the page
// share. A node with several children keeps its last child only as the "child tail" pointer.
//   OFFSET SIZE DESCRIPTION
//   0      1    page type: 0x03 node, 0x04 leaf
//   1      1    0x01
//   2      2    free space
//   4      4    table definition page
//   8      4    unknown, 0
//   12     4    previous page on this level (0 = none)
//   16     4    next page on this level
//   20     4    child tail page (node pages)
//   24     2    length of the prefix shared by the entries
//   26     1    unknown, 0
//   27     453  bitmask: bit n set where an entry ends n bytes into the entry area
//   480    ...  entries: key, 3-byte page and 1-byte row (big-endian), node pages then 4-byte
//               child page (big-endian)
#include "jetwrite/index_tree_writer.h"

#include <algorithm>

#include "jetwrite/jet_format.h"

namespace zl::jetwrite {

namespace {

constexpr std::size_t kRowPointerSize = 4;  // 3-byte page and 1-byte row, big-endian

struct TreeEntry {
    Bytes bytes;  // key, row pointer and, on node pages, child page
    std::size_t keySize = 0;
};

struct TreePage {
    PageNumber number = 0;
    bool leaf = true;
    std::vector<TreeEntry> entries;
    TreeEntry last;  // the last leaf entry below this page, which the parent's entry repeats
    std::size_t prefix = 0;
    PageNumber previous = 0;
    PageNumber next = 0;
    PageNumber tail = 0;
};

std::size_t commonPrefix(const TreeEntry& a, const TreeEntry& b) {
    const std::size_t limit = std::min(a.keySize, b.keySize);
    std::size_t n = 0;
    while (n < limit && a.bytes[n] == b.bytes[n]) ++n;
    return n;
}

TreeEntry makeEntry(const IndexEntry& source) {
    TreeEntry entry;
    entry.keySize = source.key.size();
    ByteWriter out;
    out.bytes(source.key);
    out.u24BigEndian(source.row.page);
    out.u8(source.row.row);
    entry.bytes = out.take();
    return entry;
}

// Splits `entries` into pages, each as full as the page capacity allows after prefix sharing.
std::vector<TreePage> packLevel(PageFile& file, std::vector<TreeEntry> entries, bool leaf) {
    std::vector<TreePage> pages;
    std::size_t first = 0;
    while (first < entries.size()) {
        std::size_t prefix = entries[first].keySize;
        std::size_t restSize = 0;
        std::size_t end = first + 1;
        for (; end < entries.size(); ++end) {
            const std::size_t candidatePrefix =
                std::min(prefix, commonPrefix(entries[first], entries[end]));
            const std::size_t count = end - first;
            const std::size_t size = entries[first].bytes.size() + restSize +
                                     entries[end].bytes.size() - count * candidatePrefix;
            if (size > jet::kIndexEntryCapacity) break;
            prefix = candidatePrefix;
            restSize += entries[end].bytes.size();
        }
        TreePage page;
        page.number = file.allocate();
        page.leaf = leaf;
        page.entries.assign(
            std::make_move_iterator(entries.begin() + static_cast<std::ptrdiff_t>(first)),
            std::make_move_iterator(entries.begin() + static_cast<std::ptrdiff_t>(end)));
        page.prefix = end - first > 1 ? prefix : 0;
        page.last = page.entries.back();
        page.last.bytes.resize(page.last.keySize + kRowPointerSize);
        pages.push_back(std::move(page));
        first = end;
    }
    return pages;
}

TreeEntry parentEntry(const TreePage& child) {
    TreeEntry entry = child.last;
    ByteWriter pointer;
    pointer.u32BigEndian(child.number);
    entry.bytes.insert(entry.bytes.end(), pointer.data().begin(), pointer.data().end());
    return entry;
}

void linkPeers(std::vector<TreePage>& pages, std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
        pages[i].previous = i > begin ? pages[i - 1].number : 0;
        pages[i].next = i + 1 < end ? pages[i + 1].number : 0;
    }
}

// Moves the last child of every node page with several children to its tail pointer, and
// links node pages only with the other children of the same parent.
void finishNodeLevel(std::vector<TreePage>& children, std::vector<TreePage>& parents) {
    std::size_t child = 0;
    for (TreePage& parent : parents) {
        const std::size_t count = parent.entries.size();
        if (!children.front().leaf) linkPeers(children, child, child + count);
        if (count > 1) {
            parent.tail = children[child + count - 1].number;
            parent.entries.pop_back();
        }
        child += count;
    }
}

void writePage(PageFile& file, PageNumber tablePage, const TreePage& page) {
    auto bytes = file.page(page.number);
    bytes[0] = std::byte{
        static_cast<std::uint8_t>(page.leaf ? jet::PageType::IndexLeaf : jet::PageType::IndexNode)};
    bytes[1] = std::byte{0x01};
    storeU32(bytes, 4, tablePage);
    storeU32(bytes, 12, page.previous);
    storeU32(bytes, 16, page.next);
    storeU32(bytes, 20, page.tail);
    storeU16(bytes, jet::kIndexPrefixLengthOffset, static_cast<std::uint16_t>(page.prefix));
    std::size_t position = 0;
    for (std::size_t i = 0; i < page.entries.size(); ++i) {
        const std::span<const std::byte> entry(page.entries[i].bytes);
        const std::size_t skip = i == 0 ? 0 : page.prefix;
        storeBytes(bytes, jet::kIndexEntriesOffset + position, entry.subspan(skip));
        position += entry.size() - skip;
        // One bit per byte of entry data marks where each entry ends.
        bytes[jet::kIndexMaskOffset + position / 8] |=
            std::byte{static_cast<std::uint8_t>(1u << (position % 8))};
    }
    storeU16(bytes, 2, static_cast<std::uint16_t>(jet::kIndexEntryCapacity - position));
}

}  // namespace

IndexTree writeIndexTree(PageFile& file, PageNumber tablePage,
                         const std::vector<IndexEntry>& entries) {
    IndexTree tree;
    std::vector<TreeEntry> level;
    level.reserve(entries.size());
    for (const IndexEntry& entry : entries) level.push_back(makeEntry(entry));
    std::vector<TreePage> current = packLevel(file, std::move(level), true);
    if (current.empty()) {
        TreePage empty;
        empty.number = file.allocate();
        current.push_back(std::move(empty));
    }
    linkPeers(current, 0, current.size());
    while (current.size() > 1) {
        std::vector<TreeEntry> parents;
        parents.reserve(current.size());
        for (const TreePage& child : current) parents.push_back(parentEntry(child));
        std::vector<TreePage> upper = packLevel(file, std::move(parents), false);
        finishNodeLevel(current, upper);
        for (const TreePage& page : current) {
            writePage(file, tablePage, page);
            tree.pages.push_back(page.number);
        }
        current = std::move(upper);
    }
    writePage(file, tablePage, current.front());
    tree.pages.push_back(current.front().number);
    tree.root = current.front().number;
    return tree;
}

}  // namespace zl::jetwrite
