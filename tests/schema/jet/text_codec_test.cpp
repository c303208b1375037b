// Stored texts to UTF-8: compressed Unicode, surrogate pairs, Windows code pages.
#include "schema/jet/text_codec.h"

#include <gtest/gtest.h>

#include <vector>

#include "schema/jet/code_page.h"
#include "schema/jet/value_decoding.h"

namespace zl::schema::jet {
namespace {

std::vector<std::byte> bytes(std::initializer_list<int> values) {
    std::vector<std::byte> out;
    for (const int value : values) {
        out.push_back(static_cast<std::byte>(value));
    }
    return out;
}

struct TextCase {
    const char* what;
    std::vector<std::byte> stored;
    std::string expected;
};

TEST(TextCodecTest, DecodesJet4TextValues) {
    const std::vector<TextCase> cases = {
        {"plain UTF-16", bytes({'H', 0, 'i', 0}), "Hi"},
        {"compressed", bytes({0xFF, 0xFE, 'a', 'b', 'c'}), "abc"},
        {"compressed with a two-byte run",
         bytes({0xFF, 0xFE, 'A', 0x00, 0x2D, 0x4E, 0x87, 0x65, 0x00, 'B'}), "A\u4E2D\u6587B"},
        {"two-byte run to the end", bytes({0xFF, 0xFE, 0x00, 0xAC, 0x20}), "\u20AC"},
        {"surrogate pair", bytes({0x3D, 0xD8, 0x00, 0xDE}), "\U0001F600"},
        {"surrogate pair in a compressed value",
         bytes({0xFF, 0xFE, 'x', 0x00, 0x3D, 0xD8, 0x02, 0xDE}), "x\U0001F602"},
        {"lone high surrogate", bytes({0x3D, 0xD8, 'A', 0}), "\uFFFDA"},
        {"lone low surrogate", bytes({0x00, 0xDE}), "\uFFFD"},
        {"odd trailing byte", bytes({'A', 0, 'B'}), "A\uFFFD"},
        {"odd trailing byte after a high surrogate", bytes({0x3D, 0xD8, 'B'}), "\uFFFD\uFFFD"},
        {"cut two-byte run after a high surrogate", bytes({0xFF, 0xFE, 0x00, 0x3D, 0xD8, 0x41}),
         "\uFFFD\uFFFD"},
        {"cut two-byte run", bytes({0xFF, 0xFE, 0x00, 0x41}), "\uFFFD"},
        {"empty", bytes({}), ""},
        {"lone high surrogate before a one-byte run",
         bytes({0xFF, 0xFE, 0x00, 0x3D, 0xD8, 0x00, 'A', 'B'}), "\uFFFDAB"},
        {"long plain ASCII, then more", {}, std::string(300, 'a') + "\u00E9b"},
    };
    std::vector<TextCase> all = cases;
    for (const char c : all.back().expected.substr(0, 300)) {
        all.back().stored.insert(all.back().stored.end(), {std::byte(c), std::byte{0}});
    }
    all.back().stored.insert(all.back().stored.end(),
                             {std::byte{0xE9}, std::byte{0}, std::byte{'b'}, std::byte{0}});
    for (const TextCase& c : all) {
        EXPECT_EQ(decodeJet4Text(c.stored), c.expected) << c.what;
    }
}

TEST(TextCodecTest, NamesAreNeverCompressed) {
    const TextDecoder jet4(JetVersion::Jet4, 1252);
    const auto stored = bytes({0xFF, 0xFE});
    EXPECT_EQ(jet4.name(stored), "\uFEFF");
    EXPECT_EQ(jet4.value(stored), "");
}

TEST(TextCodecTest, DecodesJet3TextsInTheHeaderCodePage) {
    const std::vector<std::pair<std::uint16_t, std::string>> cases = {
        {1252, "A\u20AC\u00E9\u0081"},  // undefined 0x81 stays a C1 control
        {1251, "A\u0402\u0449\u0401"},
        {1250, "A\u20AC\u0161\u00E9"},
        {437, "A\u20AC\u00E9\u0081"},  // an unknown page reads as 1252
    };
    const auto stored = bytes({'A', 0x80, 0xE9, 0x81});
    const std::vector<std::vector<std::byte>> inputs = {stored, bytes({'A', 0x80, 0xF9, 0xA8}),
                                                        bytes({'A', 0x80, 0x9A, 0xE9}), stored};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(decodeCodePage(inputs[i], cases[i].first), cases[i].second)
            << "code page " << cases[i].first;
    }
    const TextDecoder jet3(JetVersion::Jet3, 1252);
    EXPECT_EQ(jet3.value(bytes({0xFF, 0xFE})), "\u00FF\u00FE");
}

TEST(TextCodecTest, DecodesDoubleByteCodePages) {
    // Hiragana "a" in Shift-JIS; a cut-off lead byte becomes U+FFFD.
    const std::string decoded = decodeCodePage(bytes({0x82, 0xA0, 'x', 0x82}), 932);
    if (decoded.find("\u3042") == std::string::npos) {
        GTEST_SKIP() << "the C library has no CP932 converter";
    }
    EXPECT_EQ(decoded, "\u3042x\uFFFD");
}

TEST(TextCodecTest, WritesUtf8ForEveryRange) {
    std::string out;
    for (const char32_t code :
         {U'\u007F', U'\u0080', U'\u07FF', U'\u0800', U'\uFFFF', U'\U00010000', U'\U0010FFFF'}) {
        appendUtf8(out, code);
    }
    EXPECT_EQ(out, "\u007F\u0080\u07FF\u0800\uFFFF\U00010000\U0010FFFF");
    std::string invalid;
    appendUtf8(invalid, 0xD800);
    appendUtf8(invalid, 0x110000);
    EXPECT_EQ(invalid, "\uFFFD\uFFFD");
}

}  // namespace
}  // namespace zl::schema::jet
