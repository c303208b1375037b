// Options of one generation and the module encoding, from a real settings file.
#include "vbgen/module_options.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "settings/generation_settings.h"

namespace {

class ModuleOptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "zlopt-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        m_path = (m_dir / "ZLGEN.INI").string();
        ::setenv("ZLGEN_INI", m_path.c_str(), 1);
        zl::settings::resetCurrentSettings();
    }
    void TearDown() override {
        zl::settings::resetCurrentSettings();
        ::unsetenv("ZLGEN_INI");
        std::filesystem::remove_all(m_dir);
    }
    void writeIni(const std::string& text) const { std::ofstream(m_path) << text; }

    std::filesystem::path m_dir;
    std::string m_path;
};

TEST_F(ModuleOptionsTest, PrivateFunctionsIsReadAgainOthersComeFromTheRecordInForce) {
    writeIni(
        "[Code]\nPrivate functions=0\nUse DBCREATE.BAS=True\n"
        "[Error message]\nTable=T %n\n");
    zl::vbgen::ModuleOptions first = zl::vbgen::gatherModuleOptions();
    EXPECT_FALSE(first.PrivateFunctions);
    EXPECT_FALSE(first.IncludeProcedures);
    EXPECT_EQ(first.TableErrorMessage, "T %n");
    EXPECT_EQ(first.QueryDefErrorMessage, "Could not create query '%n'");

    writeIni("[Code]\nPrivate functions=-1\nUse DBCREATE.BAS=False\n");
    zl::vbgen::ModuleOptions second = zl::vbgen::gatherModuleOptions();
    EXPECT_TRUE(second.PrivateFunctions) << "read from the file at every generation";
    EXPECT_FALSE(second.IncludeProcedures) << "the record in force is loaded once";
    EXPECT_EQ(second.TableErrorMessage, "T %n");
}

TEST_F(ModuleOptionsTest, EncodingSetting) {
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
        EXPECT_EQ(zl::vbgen::moduleEncodingSetting(), expected) << ini;
    }
}

}  // namespace
