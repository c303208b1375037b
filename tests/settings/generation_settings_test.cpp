// The module options in the settings file.
#include "settings/generation_settings.h"

#include "settings/profile.h"
#include "settings_fixture.h"

namespace {

using zl::settings::GenerationSettings;

using GenerationSettingsTest = SettingsFileTest;

TEST_F(GenerationSettingsTest, NoFileGivesBuiltInValues) {
    GenerationSettings s = zl::settings::loadGenerationSettings(m_path);
    EXPECT_TRUE(s.PrivateFunctions);
    EXPECT_TRUE(s.IncludeProcedures);
    EXPECT_FALSE(s.NameAfterDatabase);
    EXPECT_EQ(s.TableErrorMessage, "Could not create table '%n'");
    EXPECT_EQ(s.QueryDefErrorMessage, "Could not create query '%n'");
    EXPECT_EQ(s.DatabaseErrorMessage, "Could not create a new database '%n'");
}

TEST_F(GenerationSettingsTest, StoringUnchangedValuesWritesAllSixKeysInOrder) {
    ASSERT_TRUE(zl::settings::storeGenerationSettings(GenerationSettings{}, m_path));
    EXPECT_EQ(readIni(),
              "[Code]\n"
              "Private functions=-1\n"
              "Use DBCREATE.BAS=False\n"
              "Create_FNAME_Database=0\n"
              "\n"
              "[Error message]\n"
              "Table=Could not create table '%n'\n"
              "QueryDef=Could not create query '%n'\n"
              "Database=Could not create a new database '%n'\n");
}

TEST_F(GenerationSettingsTest, EveryValueRoundTrips) {
    GenerationSettings s;
    s.PrivateFunctions = false;
    s.IncludeProcedures = false;
    s.NameAfterDatabase = true;
    s.TableErrorMessage = "";
    s.QueryDefErrorMessage = "Query \"%n\" failed ";
    s.DatabaseErrorMessage = " '%n'";
    ASSERT_TRUE(zl::settings::storeGenerationSettings(s, m_path));
    EXPECT_NE(readIni().find("Use DBCREATE.BAS=True\n"), std::string::npos);
    EXPECT_NE(readIni().find("Private functions=0\n"), std::string::npos);
    EXPECT_NE(readIni().find("Create_FNAME_Database=-1\n"), std::string::npos);
    GenerationSettings back = zl::settings::loadGenerationSettings(m_path);
    EXPECT_FALSE(back.PrivateFunctions);
    EXPECT_FALSE(back.IncludeProcedures);
    EXPECT_TRUE(back.NameAfterDatabase);
    EXPECT_EQ(back.TableErrorMessage, "") << "an emptied message is not the built-in one";
    EXPECT_EQ(back.QueryDefErrorMessage, s.QueryDefErrorMessage);
    EXPECT_EQ(back.DatabaseErrorMessage, s.DatabaseErrorMessage);
}

TEST_F(GenerationSettingsTest, EncodingSetting) {
    const std::pair<const char*, zl::vbgen::ModuleEncoding> cases[] = {
        {"", zl::vbgen::ModuleEncoding::Windows1252},
        {"[Code]\nEncoding=UTF-8\n", zl::vbgen::ModuleEncoding::Utf8},
        {"[code]\nencoding = utf-8\n", zl::vbgen::ModuleEncoding::Utf8},
        {"[Code]\nEncoding=UTF8\n", zl::vbgen::ModuleEncoding::Windows1252},
        {"[Code]\nEncoding=Windows-1252\n", zl::vbgen::ModuleEncoding::Windows1252},
        {"[Other]\nEncoding=UTF-8\n", zl::vbgen::ModuleEncoding::Windows1252},
    };
    for (const auto& [ini, expected] : cases) {
        writeIni(ini);
        EXPECT_EQ(zl::settings::loadModuleEncoding(m_path), expected) << ini;
    }
}

}  // namespace
