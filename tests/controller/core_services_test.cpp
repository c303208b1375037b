// The commands' link to the real generators and settings file.
#include "controller/core_services.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/memory_engine.h"
#include "schema/schema_model.h"
#include "settings/generation_settings.h"

namespace zl::controller {
namespace {

namespace fs = std::filesystem;

class CoreServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("zl_core_services_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
        ::setenv("ZLGEN_INI", (m_dir / "ZLGEN.INI").c_str(), 1);
        settings::resetCurrentSettings();
        testing::MemoryDatabaseContent content;
        content.name = "/data/orders.mdb";
        content.table({"Orders", {testing::longField("OrderID", true)}, {}});
        m_db = testing::openMemoryDatabase(content);
        m_model.addEntry("Orders", false);
        m_model.ResetSelection();
    }
    void TearDown() override {
        ::unsetenv("ZLGEN_INI");
        settings::resetCurrentSettings();
        fs::remove_all(m_dir);
    }

    fs::path m_dir;
    std::unique_ptr<schema::Database> m_db;
    schema::SchemaModel m_model;
    CoreServices m_services;
};

TEST_F(CoreServicesTest, ModuleIsWrittenWithTheOptionsFromTheSettingsFile) {
    settings::GenerationSettings s;
    s.NameAfterDatabase = true;
    m_services.storeSettings(s);
    const fs::path bas = m_dir / "orders.bas";
    const vbgen::ModuleOutcome outcome = m_services.writeModule(bas.string(), m_model, *m_db);
    EXPECT_TRUE(outcome.success) << outcome.message;
    EXPECT_EQ(outcome.message, vbgen::kModuleSuccessMessage);
    std::ifstream in(bas, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("Function Create_orders_Database ("), std::string::npos);
    EXPECT_NE(text.str().find("CTable_Orders"), std::string::npos);
}

TEST_F(CoreServicesTest, UnwritableModuleGivesTheErrorText) {
    const vbgen::ModuleOutcome outcome =
        m_services.writeModule((m_dir / "missing" / "x.bas").string(), m_model, *m_db);
    EXPECT_FALSE(outcome.success);
    EXPECT_FALSE(outcome.message.empty());
}

TEST_F(CoreServicesTest, TutorialSettingDefaultsToShownAndIsRemembered) {
    EXPECT_TRUE(m_services.tutorialShownAtStart());
    m_services.setTutorialShownAtStart(false);
    EXPECT_FALSE(m_services.tutorialShownAtStart());
    std::ifstream in(m_dir / "ZLGEN.INI");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("Show=False"), std::string::npos) << text.str();
}

TEST_F(CoreServicesTest, ScriptComesFromTheSqlGenerator) {
    const std::string script =
        m_services.sqlScript(sqlgen::SqlDialect::MsAccess, m_model, m_db.get());
    EXPECT_NE(script.find("CREATE TABLE"), std::string::npos);
    EXPECT_NE(script.find("Orders"), std::string::npos);
}

}  // namespace
}  // namespace zl::controller
