// Property blobs: names chunk, the object's map, column maps, and damaged layouts.
#include "schema/jet/property_map.h"

#include <gtest/gtest.h>

#include "test_database.h"

namespace zl::schema::jet {
namespace {

const TextDecoder kJet4Text(JetVersion::Jet4, 1252);
const Origin kOrigin("property blob");

TEST(PropertyMapTest, ReadsTheObjectAndColumnMaps) {
    const test::ByteVector blob = test::PropertyBlob()
                                      .text("Description", "orders")
                                      .column("Amount")
                                      .boolean("Required", true)
                                      .text("DefaultValue", "0")
                                      .column("Note")
                                      .boolean("Required", false)
                                      .build();
    const Result<PropertySet> set = PropertySet::parse(blob, kOrigin, kJet4Text);
    ASSERT_TRUE(set.ok()) << set.error().message;
    EXPECT_EQ(textProperty(&set->own(), "description", kJet4Text), "orders");
    const PropertyMap* amount = set->child("AMOUNT");
    ASSERT_NE(amount, nullptr);
    EXPECT_EQ(booleanProperty(amount, "Required"), true);
    EXPECT_EQ(textProperty(amount, "DefaultValue", kJet4Text), "0");
    EXPECT_EQ(booleanProperty(set->child("Note"), "Required"), false);
    EXPECT_EQ(set->child("Missing"), nullptr);
    EXPECT_EQ(booleanProperty(nullptr, "Required"), std::nullopt);
}

TEST(PropertyMapTest, AnEmptyBlobHasNoProperties) {
    const Result<PropertySet> set = PropertySet::parse({}, kOrigin, kJet4Text);
    ASSERT_TRUE(set.ok());
    EXPECT_TRUE(set->own().empty());
}

void put32(test::ByteVector& bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes.at(offset + i) = static_cast<std::byte>((value >> (8 * i)) & 0xFF);
    }
}

TEST(PropertyMapTest, RejectsDamagedLayouts) {
    const test::ByteVector good =
        test::PropertyBlob().column("A").boolean("Required", true).build();
    // The names chunk starts at 4, holding "Required" (2 + 16 bytes): 24 bytes in all. The
    // object's chunk follows at 28, the column's after it.
    struct Case {
        const char* what;
        std::function<void(test::ByteVector&)> damage;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"magic", [](auto& b) { b[0] = std::byte{'X'}; },
         "property blob +0x0: property blob does not start with MR2 or KKD"},
        {"chunk length past the end", [](auto& b) { put32(b, 4, 5000); },
         "property blob +0x4: property chunk length 5000 outside 6.."},
        {"chunk length below its header", [](auto& b) { put32(b, 4, 3); },
         "property chunk length 3 outside"},
        {"name index", [](auto& b) { b[b.size() - 5] = std::byte{9}; },
         "property name index 9, only 1 names"},
        {"entry length", [](auto& b) { b[b.size() - 9] = std::byte{2}; },
         "property entry length 2 outside 8.."},
        {"map header length", [](auto& b) { put32(b, 34, 2); },
         "property map header length 2 is below 4"},
        {"cut short", [](auto& b) { b.resize(b.size() - 1); }, "outside 6.."},
    };
    for (const Case& c : cases) {
        test::ByteVector blob = good;
        c.damage(blob);
        const Result<PropertySet> set = PropertySet::parse(blob, kOrigin, kJet4Text);
        ASSERT_FALSE(set.ok()) << c.what;
        EXPECT_NE(set.error().message.find(c.expected), std::string::npos)
            << c.what << ": " << set.error().message;
    }
}

TEST(PropertyMapTest, AcceptsJet3BlobsInTheCodePage) {
    // "KKD\0", names chunk with "Required", one column map "A" with Required = true.
    const std::vector<int> raw = {'K', 'K', 'D', 0,   16,  0,   0,  0, 0x80, 0, 8,    0, 'R', 'e',
                                  'q', 'u', 'i', 'r', 'e', 'd', 22, 0, 0,    0, 0x01, 0, 7,   0,
                                  0,   0,   1,   0,   'A', 9,   0,  0, 1,    0, 0,    1, 0,   0xFF};
    test::ByteVector blob;
    for (const int value : raw) {
        blob.push_back(static_cast<std::byte>(value));
    }
    const TextDecoder jet3(JetVersion::Jet3, 1252);
    const Result<PropertySet> set = PropertySet::parse(blob, kOrigin, jet3);
    ASSERT_TRUE(set.ok()) << set.error().message;
    EXPECT_EQ(booleanProperty(set->child("a"), "Required"), true);
}

}  // namespace
}  // namespace zl::schema::jet
