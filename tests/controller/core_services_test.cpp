// The commands' link to the real generators and settings file.
#include "controller/core_services.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/memory_engine.h"
#include "common/temporary_folder.h"
#include "schema/schema_model.h"
#include "settings/generation_settings.h"

namespace zl::controller {
namespace {

namespace fs = std::filesystem;

class CoreServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::MemoryDatabaseContent content;
        content.name = "/data/orders.mdb";
        content.table({"Orders", {testing::longField("OrderID", true)}, {}});
        m_db = testing::openMemoryDatabase(content);
        m_model.addEntry("Orders", false);
        m_model.ResetSelection();
    }
    void writeIni(const std::string& text) const { std::ofstream(m_dir / "ZLGEN.INI") << text; }

    testing::TemporaryFolder m_folder;
    fs::path m_dir = m_folder.path();
    std::unique_ptr<schema::Database> m_db;
    schema::SchemaModel m_model;
    CoreServices m_services{(m_dir / "ZLGEN.INI").string()};
};

TEST_F(CoreServicesTest, RecordInForceIsLoadedOnceAndReplacedByStore) {
    writeIni("[Error message]\nTable=first\n");
    EXPECT_EQ(m_services.currentSettings().TableErrorMessage, "first");
    writeIni("[Error message]\nTable=second\n");
    EXPECT_EQ(m_services.currentSettings().TableErrorMessage, "first") << "not read again";

    settings::GenerationSettings edited;
    edited.TableErrorMessage = "third";
    ASSERT_TRUE(m_services.storeSettings(edited));
    EXPECT_EQ(m_services.currentSettings().TableErrorMessage, "third");
    EXPECT_EQ(settings::loadGenerationSettings((m_dir / "ZLGEN.INI").string()).TableErrorMessage,
              "third");
}

TEST_F(CoreServicesTest, PrivateFunctionsIsReadAgainAtEveryGeneration) {
    writeIni("[Code]\nUse DBCREATE.BAS=True\n");
    EXPECT_FALSE(m_services.currentSettings().IncludeProcedures);
    writeIni("[Code]\nPrivate functions=0\nUse DBCREATE.BAS=False\n");
    const fs::path bas = m_dir / "orders.bas";
    ASSERT_TRUE(m_services.writeModule(bas.string(), m_model, *m_db));
    std::ifstream in(bas, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("\r\nFunction CTable_Orders"), std::string::npos)
        << "read from the file at every generation";
    EXPECT_NE(text.str().find("' Needs DBCREATE.BAS to work"), std::string::npos)
        << "the record in force is loaded once";
}

TEST_F(CoreServicesTest, ModuleIsWrittenWithTheOptionsFromTheSettingsFile) {
    settings::GenerationSettings s;
    s.NameAfterDatabase = true;
    ASSERT_TRUE(m_services.storeSettings(s));
    const fs::path bas = m_dir / "orders.bas";
    const support::Status written = m_services.writeModule(bas.string(), m_model, *m_db);
    EXPECT_TRUE(written) << written.error().message;
    std::ifstream in(bas, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("Function Create_orders_Database ("), std::string::npos);
    EXPECT_NE(text.str().find("CTable_Orders"), std::string::npos);
}

TEST_F(CoreServicesTest, UnwritableModuleGivesTheErrorText) {
    const support::Status written =
        m_services.writeModule((m_dir / "missing" / "x.bas").string(), m_model, *m_db);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().message, "No such file or directory");
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
