// Windows-1252 output, control characters and character counts of UTF-8 text.
#include "support/encoding.h"

#include <gtest/gtest.h>

namespace {

using namespace zl::support;

TEST(EncodingTest, Windows1252) {
    struct Case {
        std::string utf8, expected;
    };
    const Case cases[] = {
        {"plain ASCII\r\n", "plain ASCII\r\n"},
        {"Gr\xC3\xB6\xC3\x9F"
         "e \xC3\xA9\xC3\xBF\xC2\xA0",
         "Gr\xF6\xDF"
         "e \xE9\xFF\xA0"},
        {"\xE2\x82\xAC \xE2\x80\x9C\xE2\x80\x9D \xC5\xB8 \xE2\x84\xA2", "\x80 \x93\x94 \x9F \x99"},
        {"\xE6\x9D\xB1\xF0\x9F\x98\x80", "??"},  // CJK, emoji
        {"\xC2\x81\xC2\x90", "??"},              // C1 controls the code page leaves out
        {"a\xFF"
         "b\xC3",
         "a?b?"},                 // malformed and truncated
        {"\xC0\xAF", "??"},       // overlong "/"
        {"\xED\xA0\x80", "???"},  // a UTF-16 surrogate
    };
    for (const Case& c : cases) EXPECT_EQ(toWindows1252(c.utf8), c.expected) << c.utf8;
}

TEST(EncodingTest, ValidUtf8KeepsCharactersAndMarksMalformedBytes) {
    EXPECT_EQ(toValidUtf8("Gr\xC3\xB6\xC3\x9F"
                          "e \xF0\x9F\x98\x80"),
              "Gr\xC3\xB6\xC3\x9F"
              "e \xF0\x9F\x98\x80");
    EXPECT_EQ(toValidUtf8("caf\xE9\xFF-x"), "caf?\?-x");
    EXPECT_EQ(toValidUtf8("\xED\xA0\x80"), "???");
}

TEST(EncodingTest, ControlCharacters) {
    const std::string text = std::string("a\tb\r\nc\x01\x1F\x7F") + '\0' + "\xC3\xA4";
    EXPECT_EQ(controlsToSpaces(text), "a b  c  \x7F \xC3\xA4");
    EXPECT_EQ(controlsToSpacesKeepingLineBreaks(text), "a b\r\nc  \x7F \xC3\xA4");
}

TEST(EncodingTest, Utf8PrefixCountsCharacters) {
    EXPECT_EQ(utf8Prefix("\xC3\xA4\xE2\x82\xAC"
                         "x",
                         2),
              "\xC3\xA4\xE2\x82\xAC");
    EXPECT_EQ(utf8Prefix("abc", 5), "abc");
    EXPECT_EQ(utf8Prefix("\xFF\xFF"
                         "a",
                         2),
              "\xFF\xFF");
}

}  // namespace
