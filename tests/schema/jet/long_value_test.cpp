// Long values and usage maps over pages built in memory: inline, one row, chains, reference
// maps, and the loops and overruns a damaged file can hold.
#include "schema/jet/long_value.h"

#include <gtest/gtest.h>

#include "schema/jet/usage_map.h"
#include "test_database.h"

namespace zl::schema::jet {
namespace {

using test::ByteVector;

const JetFormat& kFormat = formatFor(JetVersion::Jet4);

ByteVector text(const std::string& value) {
    ByteVector out;
    for (const char c : value) {
        out.push_back(static_cast<std::byte>(c));
    }
    return out;
}

ByteVector u32(std::uint32_t value) {
    ByteVector out;
    for (std::size_t i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::byte>((value >> (8 * i)) & 0xFF));
    }
    return out;
}

ByteVector join(std::initializer_list<ByteVector> parts) {
    ByteVector out;
    for (const ByteVector& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

// A file of `pages` (page 0 left empty).
PageReader reader(std::vector<ByteVector> pages) {
    ByteVector file(test::kPageSize);
    for (const ByteVector& page : pages) {
        file.insert(file.end(), page.begin(), page.end());
    }
    const auto count = static_cast<std::uint32_t>(file.size() / test::kPageSize);
    return PageReader(std::make_unique<MemoryPageSource>(file), test::kPageSize, count);
}

// The 12-byte reference: length with kind bits, row pointer, 4 unused bytes.
ByteVector reference(std::uint32_t lengthAndKind, std::uint32_t page, std::uint8_t row) {
    return join({u32(lengthAndKind), u32((page << 8) | row), u32(0)});
}

Result<std::vector<std::byte>> read(PageReader& pages, const ByteVector& field,
                                    std::size_t limit = 1 << 20) {
    static const Origin origin(1, 0x40);
    return readLongValue(pages, kFormat, field, origin, limit);
}

std::string asText(const std::vector<std::byte>& bytes) {
    std::string out;
    for (const std::byte b : bytes) {
        out.push_back(std::to_integer<char>(b));
    }
    return out;
}

TEST(LongValueTest, ReadsInlineSingleRowAndChainedValues) {
    PageReader pages = reader({test::dataPage(0, {text("whole value")}),
                               test::dataPage(0, {join({u32((3u << 8) | 0), text("first ")})}),
                               test::dataPage(0, {join({u32(0), text("second and spare")})})});
    const auto inlineValue = read(pages, join({reference(0x80000000u | 4, 0, 0), text("abcd")}));
    ASSERT_TRUE(inlineValue.ok()) << inlineValue.error().message;
    EXPECT_EQ(asText(*inlineValue), "abcd");
    const auto single = read(pages, reference(0x40000000u | 5, 1, 0));
    ASSERT_TRUE(single.ok()) << single.error().message;
    EXPECT_EQ(asText(*single), "whole");
    const auto chained = read(pages, reference(12, 2, 0));
    ASSERT_TRUE(chained.ok()) << chained.error().message;
    EXPECT_EQ(asText(*chained), "first second");
}

TEST(LongValueTest, RejectsLoopsOverrunsAndUnknownKinds) {
    PageReader pages = reader({test::dataPage(0, {join({u32((1u << 8) | 0), text("again")})}),
                               test::dataPage(0, {join({u32(0), text("end")})})});
    const std::vector<std::pair<ByteVector, std::string>> cases = {
        {reference(100, 1, 0), "long value chain loops back to page 1 row 0"},
        {reference(100, 2, 0), "long value chain ends after 3 of 100 bytes"},
        {reference(0x40000000u | 50, 2, 0), "long value row holds 7 bytes, 50 expected"},
        {reference(0x40000000u | 5, 9, 0), "data page 9 is past the end of the file (3 pages)"},
        {reference(0x40000000u | 5, 1, 4), "row 4 wanted, the page has 1"},
        {reference(0xC0000000u | 5, 1, 0), "page 1 +0x43: long value kind 0xC0 is unknown"},
        {reference(0x80000000u | 40, 0, 0), "inline long value needs 40 bytes, only 0 left"},
        {reference(0x3FFFFFFF, 1, 0), "long value length 1073741823 exceeds the limit of"},
        {ByteVector(5), "long value row needs 4 bytes, only 1 left"},
    };
    for (const auto& [field, expected] : cases) {
        const auto value = read(pages, field);
        ASSERT_FALSE(value.ok()) << expected;
        EXPECT_NE(value.error().message.find(expected), std::string::npos) << value.error().message;
    }
}

ByteVector bitmapPage(std::initializer_list<std::size_t> bits) {
    ByteVector page(test::kPageSize);
    page[0] = std::byte{0x05};
    page[1] = std::byte{0x01};
    for (const std::size_t bit : bits) {
        page[4 + bit / 8] |= static_cast<std::byte>(1u << (bit % 8));
    }
    return page;
}

TEST(UsageMapTest, ReadsInlineAndReferenceMaps) {
    ByteVector inlineMap = join({ByteVector{std::byte{0}}, u32(2), ByteVector(64)});
    inlineMap[5] = std::byte{0x05};  // pages 2 and 4
    const ByteVector referenceMap = join({ByteVector{std::byte{1}}, u32(0), u32(3)});
    std::vector<ByteVector> pages = {test::dataPage(0, {inlineMap, referenceMap}), bitmapPage({})};
    // Bitmap page 3 is the second entry, so its bit 0 stands for page (4096 - 4) * 8.
    pages.push_back(bitmapPage({1, 2}));
    pages.resize(6, ByteVector(test::kPageSize));
    PageReader small = reader(pages);
    const auto inlinePages = readUsageMap(small, kFormat, (1u << 8) | 0);
    ASSERT_TRUE(inlinePages.ok()) << inlinePages.error().message;
    EXPECT_EQ(*inlinePages, (std::vector<std::uint32_t>{2, 4}));
    const auto referencePages = readUsageMap(small, kFormat, (1u << 8) | 1);
    ASSERT_FALSE(referencePages.ok());  // those pages lie far past this small file
    EXPECT_NE(referencePages.error().message.find("usage map marks page 32737, past the end"),
              std::string::npos)
        << referencePages.error().message;
}

TEST(UsageMapTest, RejectsBitmapPagesOfTheWrongType) {
    const ByteVector referenceMap = join({ByteVector{std::byte{1}}, u32(1)});
    PageReader pages = reader({test::dataPage(0, {referenceMap})});
    const auto result = readUsageMap(pages, kFormat, (1u << 8) | 0);
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.error().message.find("points to page 1 of type 1, expected a bitmap page"),
              std::string::npos)
        << result.error().message;
}

}  // namespace
}  // namespace zl::schema::jet
