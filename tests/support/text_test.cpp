// Replace-all and the routines that cut a line or a piece off a text.
#include "support/text.h"

#include <gtest/gtest.h>

namespace {

using namespace zl::support;

TEST(TextTest, ReplaceAll) {
    struct Case {
        std::string text, find, replacement, expected;
    };
    const Case cases[] = {
        {"a\"b", "\"", "\"\"", "a\"\"b"},
        {"ab", "\"", "\"\"", "ab"},
        {"Could not create table '%n' (%n)", "%n", "Orders",
         "Could not create table 'Orders' (Orders)"},
        {"aaa", "a", "aa", "aaaaaa"},
        {"aaaa", "aa", "b", "bb"},
        {"aaa", "aa", "b", "ba"},
        {"%n", "%n", "%n%n", "%n%n"},
        {"", "x", "y", ""},
        {"abc", "", "y", "abc"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReplaceAll(c.text, c.find, c.replacement), c.expected) << c.text;
    }
}

// Each routine returns the piece it cuts off and leaves the rest in its argument.
TEST(TextTest, CuttingPieces) {
    struct Case {
        std::string_view (*cut)(std::string_view&);
        std::string_view text, piece, rest;
    };
    auto line = [](std::string_view& t) { return NextLine(t); };
    auto equals = [](std::string_view& t) { return SplitAt(t, "="); };
    auto twoEquals = [](std::string_view& t) { return SplitAt(t, "=="); };
    const Case cases[] = {
        {line, "x\r\ny", "x", "y"}, {line, "\r\n", "", ""},
        {line, "x\ny", "x\ny", ""}, {line, "x\ry\r\n", "x\ry", ""},
        {line, "", "", ""},         {equals, "OPEN=X.MDB", "OPEN", "X.MDB"},
        {equals, "ABC", "ABC", ""}, {twoEquals, "A==B", "A", "B"},
        {equals, "", "", ""},
    };
    for (const Case& c : cases) {
        std::string_view text = c.text;
        EXPECT_EQ(c.cut(text), c.piece) << c.text;
        EXPECT_EQ(text, c.rest) << c.text;
    }
}

}  // namespace
