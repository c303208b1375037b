// Splitting file names, and the path operations built on the splitter.
#include "support/file_name.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

TEST(FileNameTest, Accessors) {
    EXPECT_EQ(FileBaseName("C:\\data\\orders.mdb"), "orders");
    EXPECT_EQ(FileBaseName("C:\\data\\my.db.mdb"), "my.db");
    EXPECT_EQ(FileBaseName("C:\\data\\orders"), "orders");
    EXPECT_EQ(FileBaseName(".profile"), "");
    EXPECT_EQ(FileBaseName(""), "");
    EXPECT_EQ(FileBaseName("/srv/db/ORDERS.MDB"), "ORDERS");
    EXPECT_EQ(FileDrive("C:\\x.mdb"), "C:");
    EXPECT_EQ(FileDrive("ab:c"), "");
    EXPECT_EQ(FileFullName("/a/b.c"), "b.c");
    EXPECT_EQ(FileFullName(".txt"), "");
}

TEST(FileNameTest, SplitFirstComponent) {
    struct Case {
        std::string text, component, rest;
    };
    const Case cases[] = {
        {"C:\\a\\b", "\\", "a\\b"},
        {"a\\b", "a", "b"},
        {"abc", "abc", ""},
        {"C:abc", "abc", ""},
        {"/x/y", "/", "x/y"},
        {"x/y\\z", "x", "y\\z"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(SplitFirstComponent(text), c.component) << c.text;
        EXPECT_EQ(text, c.rest) << c.text;
    }
}

TEST(FileNameTest, ResolvePathAndDirectoryOf) {
    EXPECT_EQ(ResolvePath("C:\\data", "orders.mdb"), "C:\\data\\orders.mdb");
    EXPECT_EQ(ResolvePath("C:\\data\\sub", "..\\x.mdb"), "C:\\data\\x.mdb");
    EXPECT_EQ(ResolvePath("C:\\data\\", ".."), "C:\\")
        << "a trailing separator names the same folder";
    EXPECT_EQ(ResolvePath("C:\\data", ".\\a\\.\\b"), "C:\\data\\a\\b");
    EXPECT_EQ(ResolvePath("C:\\data", "\\top"), "C:\\top");
    EXPECT_EQ(ResolvePath("/srv/data", "../x"), "/srv/x");
    EXPECT_EQ(ResolvePath("/srv/data", "/etc"), "/etc");
    EXPECT_EQ(ResolvePath("/", ".."), "/");
    EXPECT_EQ(ResolvePath("", "x"), (std::filesystem::current_path() / "x").string());
    EXPECT_EQ(DirectoryOf(""), "");
    EXPECT_EQ(DirectoryOf("C:"), "C:");
    EXPECT_EQ(DirectoryOf("C:\\data\\"), "C:\\data\\");
    EXPECT_EQ(DirectoryOf("C:\\no such dir"), "C:\\no such dir\\");

    const auto dir = std::filesystem::temp_directory_path() / "zl-dirof-test";
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "f.txt").string();
    std::ofstream(file) << "x";
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(dir.string())) << "a directory is not a file";
    EXPECT_FALSE(FileExists((dir / "none").string()));
    EXPECT_EQ(DirectoryOf(file), dir.string() + "/");
    EXPECT_EQ(DirectoryOf(dir.string()), dir.string() + "/");
    std::filesystem::remove_all(dir);
}

}  // namespace
