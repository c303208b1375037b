// The B-trees of physical indexes: every entry reachable from the root in order, node entries
// that repeat the last entry below them, linked leaves, and page headers that add up.
#include "jetwrite/index_tree_writer.h"

#include <gtest/gtest.h>

#include <set>

#include "jetwrite/index_key_encoder.h"
#include "jetwrite/index_tree_walker.h"

namespace zl::jetwrite::testing {
namespace {

constexpr PageNumber kTablePage = 2;

std::vector<IndexEntry> longKeyEntries(std::size_t count, bool ascending, std::int64_t first) {
    ColumnLayout column;
    column.name = "N";
    column.type = jet::ColumnType::Long;
    column.length = 4;
    PhysicalIndexLayout index;
    index.columns = {{0, ascending}};
    std::vector<IndexEntry> entries;
    for (std::size_t i = 0; i < count; ++i) {
        const Value value = first + static_cast<std::int64_t>(i);
        entries.push_back({encodeIndexKey(index, {column}, {value}, "test"),
                           RowLocation{static_cast<PageNumber>(100 + i / 200),
                                       static_cast<std::uint8_t>(i % 200)}});
    }
    std::sort(entries.begin(), entries.end(),
              [](const IndexEntry& a, const IndexEntry& b) { return a.key < b.key; });
    return entries;
}

Bytes leafBytes(const IndexEntry& entry) {
    ByteWriter out;
    out.bytes(entry.key);
    out.u24BigEndian(entry.row.page);
    out.u8(entry.row.row);
    return out.take();
}

class IndexTreeSizes : public ::testing::TestWithParam<std::size_t> {};

TEST_P(IndexTreeSizes, EveryEntryIsReachableInOrderFromTheRootAndAlongTheLeaves) {
    PageFile file;
    for (int i = 0; i < 3; ++i) file.allocate();
    const std::vector<IndexEntry> entries =
        longKeyEntries(GetParam(), GetParam() % 2 == 0, -static_cast<std::int64_t>(GetParam() / 2));
    const IndexTree tree = writeIndexTree(file, kTablePage, entries);
    std::vector<Bytes> expected;
    for (const IndexEntry& entry : entries) expected.push_back(leafBytes(entry));
    EXPECT_EQ(leafEntriesInTreeOrder(file, tree.root), expected);
    EXPECT_EQ(leafEntriesAlongLinks(file, tree.root), expected);
    EXPECT_EQ(tree.pages.back(), tree.root);
    EXPECT_EQ(std::set<PageNumber>(tree.pages.begin(), tree.pages.end()).size(), tree.pages.size());
    for (const PageNumber page : tree.pages) {
        const WalkedPage walked = readIndexPage(file, page);
        EXPECT_EQ(walked.tablePage, kTablePage);
        EXPECT_EQ(walked.freeSpace, 4096 - 480 - walked.usedBytes) << "page " << page;
        if (!walked.leaf && walked.tail != 0) {
            EXPECT_GE(walked.entries.size(), 1u) << "a node with a tail has entries";
        }
    }
}

// 0 and 1 entry: a single leaf root; 401: just past one page; 300,000: three levels.
INSTANTIATE_TEST_SUITE_P(Sizes, IndexTreeSizes,
                         ::testing::Values(0, 1, 2, 401, 2000, 40000, 300000));

TEST(IndexTree, EmptyIndexIsOneEmptyLeaf) {
    PageFile file;
    const IndexTree tree = writeIndexTree(file, kTablePage, {});
    ASSERT_EQ(tree.pages.size(), 1u);
    const WalkedPage root = readIndexPage(file, tree.root);
    EXPECT_TRUE(root.leaf);
    EXPECT_TRUE(root.entries.empty());
    EXPECT_EQ(root.freeSpace, 4096 - 480);
}

TEST(IndexTree, LeavesShareTheKeyPrefixOfTheirEntries) {
    PageFile file;
    const IndexTree tree = writeIndexTree(file, kTablePage, longKeyEntries(100, true, 1024));
    const auto page = file.page(tree.root);
    // Keys 1024 to 1123 share the flag byte and the three high bytes (80 00 04).
    EXPECT_EQ(std::to_integer<int>(page[24]), 4);
    EXPECT_LT(readIndexPage(file, tree.root).usedBytes, 100u * 9u);
}

TEST(IndexTree, LargeTreesHaveNodePagesWithTails) {
    PageFile file;
    const IndexTree tree = writeIndexTree(file, kTablePage, longKeyEntries(300000, true, 0));
    const WalkedPage root = readIndexPage(file, tree.root);
    EXPECT_FALSE(root.leaf);
    EXPECT_NE(root.tail, 0u);
    const WalkedPage child = readIndexPage(file, childOf(root.entries.front()));
    EXPECT_FALSE(child.leaf) << "300,000 entries need three levels";
}

}  // namespace
}  // namespace zl::jetwrite::testing
