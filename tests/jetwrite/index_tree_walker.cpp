// Test-side index page decoding: header fields, entry-end bitmask, shared prefix.
#include "jetwrite/index_tree_walker.h"

#include <stdexcept>
#include <string>

namespace zl::jetwrite::testing {

namespace {

constexpr std::size_t kMaskOffset = 27;
constexpr std::size_t kMaskSize = 453;
constexpr std::size_t kEntriesOffset = 480;
constexpr std::size_t kChildPointer = 4;

std::uint32_t le32(std::span<const std::byte> page, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= std::to_integer<std::uint32_t>(page[offset + i]) << (8 * i);
    return value;
}

std::uint16_t le16(std::span<const std::byte> page, std::size_t offset) {
    return static_cast<std::uint16_t>(std::to_integer<unsigned>(page[offset]) |
                                      (std::to_integer<unsigned>(page[offset + 1]) << 8));
}

void collectTreeOrder(const PageFile& file, PageNumber number, std::vector<Bytes>& out, int depth) {
    if (depth > 16) throw std::runtime_error("index tree deeper than 16 levels");
    const WalkedPage page = readIndexPage(file, number);
    if (page.leaf) {
        out.insert(out.end(), page.entries.begin(), page.entries.end());
        return;
    }
    std::vector<PageNumber> children;
    for (const Bytes& entry : page.entries) children.push_back(childOf(entry));
    if (page.tail != 0) children.push_back(page.tail);
    for (std::size_t i = 0; i < children.size(); ++i) {
        const std::size_t before = out.size();
        collectTreeOrder(file, children[i], out, depth + 1);
        if (out.size() == before)
            throw std::runtime_error("empty child page " + std::to_string(children[i]));
        if (i < page.entries.size()) {
            const Bytes& nodeEntry = page.entries[i];
            const Bytes expected(nodeEntry.begin(), nodeEntry.end() - kChildPointer);
            // The child's last leaf entry equals the node entry for leaves directly below;
            // deeper down the node entry still names the last entry of the subtree.
            if (out.back() != expected)
                throw std::runtime_error("node entry is not the last entry of its child");
        }
    }
}

}  // namespace

PageNumber childOf(const Bytes& nodeEntry) {
    PageNumber page = 0;
    for (std::size_t i = nodeEntry.size() - kChildPointer; i < nodeEntry.size(); ++i) {
        page = (page << 8) | std::to_integer<PageNumber>(nodeEntry[i]);
    }
    return page;
}

WalkedPage readIndexPage(const PageFile& file, PageNumber number) {
    const auto page = file.page(number);
    WalkedPage result;
    const auto type = std::to_integer<unsigned>(page[0]);
    if (type != 0x03 && type != 0x04)
        throw std::runtime_error("page " + std::to_string(number) + " is no index page");
    result.leaf = type == 0x04;
    result.freeSpace = le16(page, 2);
    result.tablePage = le32(page, 4);
    result.previous = le32(page, 12);
    result.next = le32(page, 16);
    result.tail = le32(page, 20);
    const std::size_t prefixLength = le16(page, 24);
    std::size_t start = 0;
    Bytes prefix;
    for (std::size_t bit = 1; bit < kMaskSize * 8; ++bit) {
        if ((std::to_integer<unsigned>(page[kMaskOffset + bit / 8]) & (1u << (bit % 8))) == 0)
            continue;
        if (kEntriesOffset + bit > page.size()) throw std::runtime_error("entry past the page end");
        Bytes entry(page.begin() + static_cast<std::ptrdiff_t>(kEntriesOffset + start),
                    page.begin() + static_cast<std::ptrdiff_t>(kEntriesOffset + bit));
        if (result.entries.empty()) {
            if (entry.size() < prefixLength)
                throw std::runtime_error("first entry shorter than the prefix");
            prefix.assign(entry.begin(), entry.begin() + static_cast<std::ptrdiff_t>(prefixLength));
        } else {
            entry.insert(entry.begin(), prefix.begin(), prefix.end());
        }
        result.entries.push_back(std::move(entry));
        start = bit;
    }
    result.usedBytes = start;
    return result;
}

std::vector<Bytes> leafEntriesInTreeOrder(const PageFile& file, PageNumber root) {
    std::vector<Bytes> entries;
    collectTreeOrder(file, root, entries, 0);
    return entries;
}

std::vector<Bytes> leafEntriesAlongLinks(const PageFile& file, PageNumber root) {
    PageNumber current = root;
    for (WalkedPage page = readIndexPage(file, current); !page.leaf;
         page = readIndexPage(file, current)) {
        current = page.entries.empty() ? page.tail : childOf(page.entries.front());
    }
    std::vector<Bytes> entries;
    for (std::size_t guard = 0; current != 0 && guard < file.pageCount(); ++guard) {
        const WalkedPage page = readIndexPage(file, current);
        entries.insert(entries.end(), page.entries.begin(), page.entries.end());
        current = page.next;
    }
    return entries;
}

}  // namespace zl::jetwrite::testing
