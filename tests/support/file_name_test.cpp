// Splitting file names, and the path operations built on the splitter.
#include "support/file_name.h"

#include <gtest/gtest.h>

namespace {

using namespace zl::support;

TEST(FileNameTest, SplitFileName) {
    struct Case {
        std::string text;
        bool valid;
        FileNameParts parts;  // Drive, Directory, FullName, BaseName, Extension
    };
    const Case cases[] = {
        {"C:\\data\\orders.mdb", true, {"C:", "C:\\data", "orders.mdb", "orders", "mdb"}},
        {"C:\\orders.mdb", true, {"C:", "C:\\", "orders.mdb", "orders", "mdb"}},
        {"\\orders.mdb", true, {"", "\\", "orders.mdb", "orders", "mdb"}},
        {"orders.mdb", true, {"", "", "orders.mdb", "orders", "mdb"}},
        {"C:orders.mdb", true, {"C:", "", "orders.mdb", "orders", "mdb"}},
        {"\"C:\\my data\\orders.mdb\"", true, {"C:", "C:\\my data", "orders.mdb", "orders", "mdb"}},
        {"\"C:\\my data\\orders.mdb", false, {}},
        {"C:\\data\\", true, {"C:", "C:\\data", "", "", ""}},
        {"C:\\data\\archive.tar.gz",
         true,
         {"C:", "C:\\data", "archive.tar.gz", "archive.tar", "gz"}},
        {"C:\\data.old\\orders", true, {"C:", "C:\\data.old", "orders", "orders", ""}},
        {"orders.", true, {"", "", "orders", "orders", ""}},
        {".profile", false, {}},
        {"LPT1:", true, {"LPT1:", "", "", "", ""}},
        {"CON:", true, {"CON:", "", "", "", ""}},
        {"ab:c", false, {}},
        {"C:\\x:y", true, {"C:", "C:\\", "x:y", "x:y", ""}},
        {"C:\\data\\..", true, {"C:", "C:\\data\\..", "", "", ""}},
        {"C:\\..", true, {"C:", "C:\\..", "", "", ""}},
        {"..", true, {"", "..", "", "", ""}},
        {"", true, {}},
        {"a b .txt ", true, {"", "", "a b.txt ", "a b ", "txt "}},
        // "/" separates like "\", and ":" past the first separator is part of a name.
        {"/home/me/orders.mdb", true, {"", "/home/me", "orders.mdb", "orders", "mdb"}},
        {"/orders.mdb", true, {"", "/", "orders.mdb", "orders", "mdb"}},
        {"/data/v1:2.mdb", true, {"", "/data", "v1:2.mdb", "v1:2", "mdb"}},
        {"C:/data\\x.mdb", true, {"C:", "C:/data", "x.mdb", "x", "mdb"}},
        {"/data/..", true, {"", "/data/..", "", "", ""}},
    };
    for (const Case& c : cases) {
        FileNameParts parts{"junk", "junk", "junk", "junk", "junk"};
        EXPECT_EQ(SplitFileName(c.text, parts), c.valid) << c.text;
        EXPECT_EQ(parts.Drive, c.parts.Drive) << c.text;
        EXPECT_EQ(parts.Directory, c.parts.Directory) << c.text;
        EXPECT_EQ(parts.FullName, c.parts.FullName) << c.text;
        EXPECT_EQ(parts.BaseName, c.parts.BaseName) << c.text;
        EXPECT_EQ(parts.Extension, c.parts.Extension) << c.text;
    }
}

TEST(FileNameTest, BaseName) {
    EXPECT_EQ(FileBaseName("C:\\data\\orders.mdb"), "orders");
    EXPECT_EQ(FileBaseName("C:\\data\\my.db.mdb"), "my.db");
    EXPECT_EQ(FileBaseName("C:\\data\\orders"), "orders");
    EXPECT_EQ(FileBaseName(".profile"), "");
    EXPECT_EQ(FileBaseName(""), "");
    EXPECT_EQ(FileBaseName("/srv/db/ORDERS.MDB"), "ORDERS");
}

}  // namespace
