// The controller over the real Access reader, on a fixture file (skipped, saying so, when it is
// absent).
#include <filesystem>

#include "controller_fixture.h"
#include "schema/jet/jet_engine.h"

namespace zl::testing {
namespace {

const std::filesystem::path kFixtures = "../shared/fixtures";

class RealDatabaseTest : public ::testing::Test {
protected:
    RealDatabaseTest() {
        view.onToggle = [this](ListId list, int row, bool selected) {
            controller.rowToggled(list, row, selected);
        };
        services.tutorialSetting = false;
    }

    void open(const char* file) {
        const std::filesystem::path path = kFixtures / file;
        if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " is not available";
        controller.start({path.string()});
    }

    schema::jet::JetEngine engine;
    FakeMainView view;
    FakeServices services;
    controller::MainController controller{engine, view, services};
};

TEST_F(RealDatabaseTest, QueryDefsAndTablesOfARealFileAreListedWithoutSystemObjects) {
    open("queryTestV2003.mdb");
    if (IsSkipped()) return;
    EXPECT_TRUE(view.messages.empty());
    const std::vector<std::string> entries = view.texts(ListId::Tables);
    ASSERT_EQ(entries.size(), 12u);
    EXPECT_EQ(entries.front(), "AppendQuery");
    for (const std::string& name : entries) EXPECT_NE(name.rfind("MSys", 0), 0u) << name;
    EXPECT_EQ(view.labelText[LabelId::TableName], "QueryDef 'AppendQuery':");
    EXPECT_EQ(view.labelText[LabelId::Sql].rfind("INSERT INTO", 0), 0u);

    view.click(ListId::Tables, 7);  // Table1
    EXPECT_EQ(view.labelText[LabelId::TableName], "Fi&elds in table 'Table1':");
    EXPECT_FALSE(view.texts(ListId::Fields).empty());
    EXPECT_TRUE(view.listVisible[ListId::Fields]);
}

// Needs no fixture: the tests run from the checkout, whose README is no database.
TEST_F(RealDatabaseTest, AFileThatIsNotADatabaseIsRefusedWithTheReadersDescription) {
    ASSERT_TRUE(std::filesystem::exists("README.md"));
    controller.start({"README.md"});
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].title, "Couldn't open database");
    EXPECT_FALSE(view.messages[0].text.empty());
    EXPECT_FALSE(controller.connection().isOpen());
}

}  // namespace
}  // namespace zl::testing
