// The INI text format on its own: what counts as a section, a key and a comment.
#include "settings/ini_text.h"

#include <gtest/gtest.h>

namespace {

using zl::settings::iniLookup;
using zl::settings::iniUpdate;

TEST(IniTextTest, LookupSkipsCommentsAndKeysOutsideTheSection) {
    const std::string text =
        "\xEF\xBB\xBF[Code]\n"  // byte order mark of an editor's UTF-8 file
        "; Private functions=0\n"
        "  Private functions\t=\t-1  \n"
        "[Other]\n"
        "Encoding=UTF-8\n";
    EXPECT_EQ(iniLookup(text, "code", "private functions"), "-1");
    EXPECT_EQ(iniLookup(text, "Code", "Encoding"), std::nullopt);
    EXPECT_EQ(iniLookup("Encoding=UTF-8\n[Code]\n", "Code", "Encoding"), std::nullopt);
    EXPECT_EQ(iniLookup("[ Code ]\r\nK=v\r\n", "Code", "K"), "v");
    EXPECT_EQ(iniLookup("[Code]\nK=\"a\"b\"\n", "Code", "K"), "a\"b") << "one pair removed";
}

TEST(IniTextTest, UpdateOfLastLineWithoutLineEnd) {
    EXPECT_EQ(iniUpdate("[S]\nK=1", "S", "K", "2"), "[S]\nK=2\n");
    EXPECT_EQ(iniUpdate("[S]\nA=1", "S", "K", "2"), "[S]\nA=1\nK=2\n");
    EXPECT_EQ(iniUpdate("[S]\nA=1", "T", "K", "2"), "[S]\nA=1\n\n[T]\nK=2\n");
    EXPECT_EQ(iniUpdate("", "T", "K", "2"), "[T]\nK=2\n");
}

TEST(IniTextTest, NewKeyGoesAfterTheLastKeyOfItsSection) {
    EXPECT_EQ(iniUpdate("[S]\n\n; next\n[T]\n", "S", "K", "v"), "[S]\nK=v\n\n; next\n[T]\n");
    EXPECT_EQ(iniUpdate("[S]\nA=1\n\n[T]\n", "s", "K", "v"), "[S]\nA=1\nK=v\n\n[T]\n");
}

}  // namespace
