// Typed reads and writes of the settings file, on real files.
#include "settings/profile.h"

#include "settings_fixture.h"

namespace {

using zl::settings::ProfileDefault;
using zl::settings::ProfileGet;
using zl::settings::ProfileSet;
using zl::settings::ProfileValue;
using zl::testing::readFile;
using zl::testing::writeFile;

using ProfileTest = SettingsFileTest;

ProfileDefault text(const char* t) { return std::string(t); }

TEST_F(ProfileTest, BooleanReads) {
    struct Case {
        const char* stored;  // nullptr: key absent
        const char* marker;
        bool expected;
    };
    const Case cases[] = {
        {nullptr, "BOOLEAN_TRUE", true},   {nullptr, "BOOLEAN_FALSE", false},
        {"", "BOOLEAN_TRUE", false},       {"-1", "BOOLEAN_FALSE", true},
        {"0", "BOOLEAN_TRUE", false},      {"True", "BOOLEAN_FALSE", true},
        {"FALSE", "BOOLEAN_TRUE", false},  {"\"FALSE   \"", "BOOLEAN_TRUE", false},
        {"yes", "BOOLEAN_FALSE", true},    {"1", "BOOLEAN_FALSE", true},
        {"false x", "BOOLEAN_TRUE", true}, {"  0  ", "BOOLEAN_TRUE", false},
    };
    for (const Case& c : cases) {
        writeIni(c.stored ? std::string("[Code]\nKey=") + c.stored + "\n" : "[Code]\n");
        ProfileValue v = ProfileGet("Code", "Key", text(c.marker));
        ASSERT_TRUE(std::holds_alternative<bool>(v)) << c.marker;
        EXPECT_EQ(std::get<bool>(v), c.expected) << (c.stored ? c.stored : "(absent)");
    }
}

TEST_F(ProfileTest, MarkersAreCaseSensitive) {
    writeIni("[S]\nK=4\n");
    EXPECT_EQ(std::get<std::string>(ProfileGet("S", "K", text("boolean_true"))), "4");
}

TEST_F(ProfileTest, TextsAreCutAt255Characters) {
    const std::string ascii(300, 'a');
    std::string umlauts;
    for (int i = 0; i < 300; ++i) umlauts += "\xC3\xA4";  // U+00E4, two bytes each
    writeIni("[S]\nA=" + ascii + "\nU=" + umlauts + "\n");
    EXPECT_EQ(std::get<std::string>(ProfileGet("S", "A", text("d"))), std::string(255, 'a'));
    EXPECT_EQ(std::get<std::string>(ProfileGet("S", "U", text("d"))), umlauts.substr(0, 510))
        << "255 characters, not 255 bytes";
    EXPECT_EQ(std::get<std::string>(ProfileGet("S", "Absent", text("default"))), "default");
    EXPECT_EQ(std::get<std::string>(ProfileGet("S", "Absent", ProfileDefault(ascii))),
              std::string(255, 'a'));
}

TEST_F(ProfileTest, SectionsAndKeysIgnoreCase) {
    writeIni("[code]\nPRIVATE functions = 0\n");
    EXPECT_FALSE(std::get<bool>(ProfileGet("Code", "Private functions", text("BOOLEAN_TRUE"))));
    ASSERT_TRUE(ProfileSet("CODE", "private FUNCTIONS", ProfileValue(true)));
    EXPECT_EQ(readIni(), "[code]\nPRIVATE functions=True\n") << "key keeps its spelling";
}

TEST_F(ProfileTest, AbsentFileGivesDefaultsAndWriteCreatesFolderAndFile) {
    const std::string nested = (m_dir / "a" / "b" / "ZLGEN.INI").string();
    ::setenv("ZLGEN_INI", nested.c_str(), 1);
    EXPECT_EQ(std::get<std::string>(ProfileGet("S", "K", text("x"))), "x");
    ASSERT_TRUE(ProfileSet("Tutorial", "Show", ProfileValue(false)));
    ASSERT_TRUE(ProfileSet("Code", "Private functions", ProfileValue(std::int32_t{-1})));
    EXPECT_EQ(readFile(nested), "[Tutorial]\nShow=False\n\n[Code]\nPrivate functions=-1\n");
}

TEST_F(ProfileTest, RewriteKeepsEveryOtherLine) {
    const std::string original =
        "; settings\r\n"
        "[Code]\r\n"
        "Private functions = -1\r\n"
        "Odd line without equals\r\n"
        "\r\n"
        "; about the tutorial\r\n"
        "[Tutorial]\r\n"
        "Show=True";
    writeIni(original);
    ASSERT_TRUE(ProfileSet("code", "private functions", ProfileValue(std::int32_t{0})));
    ASSERT_TRUE(ProfileSet("Code", "Encoding", ProfileValue(std::string("UTF-8"))));
    ASSERT_TRUE(ProfileSet("Tutorial", "Extra", ProfileValue(std::string("1"))));
    ASSERT_TRUE(ProfileSet("New", "K", ProfileValue(std::string("v"))));
    EXPECT_EQ(readIni(),
              "; settings\r\n"
              "[Code]\r\n"
              "Private functions=0\r\n"
              "Encoding=UTF-8\r\n"
              "Odd line without equals\r\n"
              "\r\n"
              "; about the tutorial\r\n"
              "[Tutorial]\r\n"
              "Show=True\r\n"
              "Extra=1\r\n"
              "\r\n"
              "[New]\r\n"
              "K=v\r\n");
}

TEST_F(ProfileTest, TextValuesReadBackUnchanged) {
    const std::string values[] = {"  padded  ", "\"quoted\"", "'single'",      "it's \"x\" here",
                                  "",           "a=b;c",      "\xE2\x82\xAC 5"};
    for (const std::string& v : values) {
        ASSERT_TRUE(ProfileSet("Error message", "Table", ProfileValue(v)));
        EXPECT_EQ(std::get<std::string>(ProfileGet("Error message", "Table", text("built-in"))), v);
    }
}

TEST_F(ProfileTest, LineBreakInValueCannotAddKeys) {
    ASSERT_TRUE(ProfileSet("Error message", "Table",
                           ProfileValue(std::string("x\n[Code]\nPrivate functions=0"))));
    EXPECT_TRUE(std::get<bool>(ProfileGet("Code", "Private functions", text("BOOLEAN_TRUE"))));
    EXPECT_EQ(std::get<std::string>(ProfileGet("Error message", "Table", text("d"))),
              "x [Code] Private functions=0");
}

TEST_F(ProfileTest, FailingWriteSaysSoAndChangesNothing) {
    writeFile((m_dir / "plainfile").string(), "x");
    const std::string impossible = (m_dir / "plainfile" / "ZLGEN.INI").string();
    ::setenv("ZLGEN_INI", impossible.c_str(), 1);
    const zl::support::Status written =
        ProfileSet("Code", "Private functions", ProfileValue(false));
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().message, "Not a directory");
    EXPECT_TRUE(std::get<bool>(ProfileGet("Code", "Private functions", text("BOOLEAN_TRUE"))));
}

TEST_F(ProfileTest, UnreadableFileGivesDefaultsAndIsNotReplaced) {
    const std::filesystem::path folder = m_dir / "ZLGEN.INI";
    std::filesystem::create_directory(folder);
    ::setenv("ZLGEN_INI", folder.c_str(), 1);
    EXPECT_EQ(std::get<std::string>(ProfileGet("S", "K", text("x"))), "x");
    EXPECT_TRUE(std::get<bool>(ProfileGet("Code", "Private functions", text("BOOLEAN_TRUE"))));
    EXPECT_FALSE(ProfileSet("Code", "Private functions", ProfileValue(false)));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST_F(ProfileTest, FirstOfDuplicateSectionsAndKeysCounts) {
    writeIni("[S]\nK=1\nK=2\n[S]\nK=3\nL=4\n");
    EXPECT_EQ(std::get<std::string>(ProfileGet("S", "K", text("d"))), "1");
    EXPECT_EQ(std::get<std::string>(ProfileGet("S", "L", text("d"))), "d");
    ASSERT_TRUE(ProfileSet("S", "K", ProfileValue(std::string("9"))));
    EXPECT_EQ(readIni(), "[S]\nK=9\nK=2\n[S]\nK=3\nL=4\n");
}

TEST_F(ProfileTest, DefaultPathFollowsEnvironment) {
    EXPECT_EQ(zl::settings::defaultProfilePath(), m_path);
    ::unsetenv("ZLGEN_INI");
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "";
    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(zl::settings::defaultProfilePath(), "/cfg/zlgen/ZLGEN.INI");
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    const char* home = std::getenv("HOME");
    if (home) {
        EXPECT_EQ(zl::settings::defaultProfilePath(),
                  std::string(home) + "/.config/zlgen/ZLGEN.INI");
    }
    if (oldXdg) {
        ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
    } else {
        ::unsetenv("XDG_CONFIG_HOME");
    }
}

}  // namespace
