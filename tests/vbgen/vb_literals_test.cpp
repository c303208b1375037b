// Identifiers, literals and the SQL line split of the module generator.
#include "vbgen/vb_literals.h"

#include <gtest/gtest.h>

namespace {

using namespace zl::vbgen;

TEST(VbLiteralsTest, MakeIdentifier) {
    const std::pair<std::string, std::string> cases[] = {
        {"Order Details", "OrderDetails"},
        {"Ship_Via", "ShipVia"},
        {"2nd Qtr", "2ndQtr"},
        {"%%", ""},
        {"Gr\xC3\xB6\xC3\x9F"
         "e",
         "Gre"},  // G r o-umlaut sharp-s e
        {"Customers!", "Customers"},
        {std::string(40, 'x'), std::string(33, 'x')},
        {"a-b c\td\"e", "abcde"},
    };
    for (const auto& [name, id] : cases) EXPECT_EQ(MakeIdentifier(name), id) << name;
}

TEST(VbLiteralsTest, Literals) {
    EXPECT_EQ(QuoteLiteral(""), "\"\"");
    EXPECT_EQ(QuoteLiteral("\""), "\"\"\"\"");
    EXPECT_EQ(QuoteLiteral("a\"b"), "\"a\"\"b\"");
    EXPECT_EQ(QuoteLiteral("x\r\nMsgBox \"y\"\t\x01"), "\"x  MsgBox \"\"y\"\"  \"");
}

TEST(VbLiteralsTest, SplitSqlLines) {
    using Lines = std::vector<std::string>;
    const std::pair<std::string, Lines> cases[] = {
        {"SELECT *\r\nFROM T;\r\n", {"SELECT *", "FROM T;"}},
        {"", {""}},
        {"A\r\n\r\nB", {"A"}},
        {"SELECT 1", {"SELECT 1"}},
        {"\r\nB\r\n", {"", "B"}},
        {"A\r\n" + std::string(1, '\0') + "\r\nB", {"A"}},
        {"A\r\n" + std::string(2, '\0'), {"A", std::string(2, '\0')}},
        {"A\nB\rC\r\nD", {"A\nB\rC", "D"}},
    };
    for (const auto& [sql, lines] : cases) EXPECT_EQ(SplitSqlLines(sql), lines);
    const std::string longLine(100000, 'x');
    EXPECT_EQ(SplitSqlLines(longLine + "\r\ny\r\n"), (Lines{longLine, "y"}));
}

}  // namespace
