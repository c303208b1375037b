// Replace-all and the routines that cut a line, a piece or a word off a text.
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

TEST(TextTest, LongTextsHaveNoLengthLimit) {
    std::string text(70000, 'a');
    text += "\"";
    EXPECT_EQ(ReplaceAll(text, "\"", "\"\""), std::string(70000, 'a') + "\"\"");
    std::string lines = std::string(40000, 'x') + "\r\ny";
    EXPECT_EQ(NextLine(lines), std::string(40000, 'x'));
    EXPECT_EQ(lines, "y");
}

// Each routine returns the piece it cuts off and leaves the rest in its argument.
TEST(TextTest, CuttingPieces) {
    struct Case {
        std::string (*cut)(std::string&);
        std::string text, piece, rest;
    };
    auto line = [](std::string& t) { return NextLine(t); };
    auto word = [](std::string& t) { return NextWord(t); };
    auto equals = [](std::string& t) { return SplitAt(t, "="); };
    auto twoEquals = [](std::string& t) { return SplitAt(t, "=="); };
    const Case cases[] = {
        {line, "x\r\ny", "x", "y"},   {line, "\r\n", "", ""},
        {line, "x\ny", "x\ny", ""},   {line, "x\ry\r\n", "x\ry", ""},
        {line, "", "", ""},           {equals, "OPEN=X.MDB", "OPEN", "X.MDB"},
        {equals, "ABC", "ABC", ""},   {twoEquals, "A==B", "A", "B"},
        {equals, "", "", ""},         {word, "OPEN=X.MDB /Q", "OPEN=X.MDB ", "/Q"},
        {word, "MY-DB", "MY-", "DB"}, {word, "A\nB", "A\n", "B"},
        {word, "A B-C", "A ", "B-C"}, {word, "ONE", "ONE", ""},
        {word, "", "", ""},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(c.cut(text), c.piece) << c.text;
        EXPECT_EQ(text, c.rest) << c.text;
    }
}

TEST(TextTest, MinPosition) {
    EXPECT_EQ(MinPosition(0, 5), 5u);
    EXPECT_EQ(MinPosition(5, 0), 5u);
    EXPECT_EQ(MinPosition(3, 5), 3u);
    EXPECT_EQ(MinPosition(5, 3), 3u);
    EXPECT_EQ(MinPosition(0, 0), 0u);
}

}  // namespace
