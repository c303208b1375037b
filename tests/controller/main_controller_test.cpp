// Start-up, commands and menu enabling of the main window's controller.
#include "controller_fixture.h"

namespace zl::testing {
namespace {

using Strings = std::vector<std::string>;

TEST_F(ControllerTest, StartShowsTheTutorialBeforeOpeningTheCommandLineDatabase) {
    services.tutorialSetting = true;
    controller.start({"--verbose", "open=/data/missing.mdb"});
    EXPECT_EQ(view.caption, "Zerlin Wizard 1.1");
    EXPECT_EQ(view.events,
              (Strings{"tutorial", "message: Could not find file '/data/missing.mdb'."}));
    EXPECT_EQ(view.messages.at(0).title, "Couldn't open database");
    EXPECT_EQ(services.tutorialWrites, (std::vector<bool>{true}));
    EXPECT_EQ(view.databaseCommandsEnabled, false);
}

TEST_F(ControllerTest, StartWithoutArgumentsOpensNothingAndAsksNothing) {
    services.tutorialSetting = false;
    controller.start({});
    EXPECT_TRUE(view.events.empty());
    EXPECT_FALSE(view.tutorialOpen);
    EXPECT_EQ(engine.openCount(), 0);
    EXPECT_EQ(view.databaseCommandsEnabled, false);
}

TEST_F(ControllerTest, CommandLineDatabaseNameIsKeptExactly) {
    MemoryDatabaseContent content = ordersDatabase();
    content.name = "/Data/My-DB 2.mdb";
    engine.add(content);
    services.tutorialSetting = false;
    controller.start({"OPEN=/data/other.mdb", "Open=/Data/My-DB 2.mdb", "VERBOSE=1"});
    EXPECT_TRUE(controller.connection().isOpen());
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(engine.openCount(), 1) << "only the last OPEN= is opened";
}

TEST_F(ControllerTest, TutorialRemembersOnlyTheHideButton) {
    services.tutorialSetting = false;
    controller.start({});
    controller.helpTutorial();
    EXPECT_TRUE(view.tutorialOpen);
    EXPECT_EQ(services.tutorialWrites, (std::vector<bool>{true}));
    controller.helpTutorial();  // already open: only brought forward
    EXPECT_EQ(view.tutorialOpenings, 1);
    EXPECT_EQ(services.tutorialWrites, (std::vector<bool>{true}));
    controller.tutorialHidden();
    EXPECT_FALSE(view.tutorialOpen);
    EXPECT_EQ(services.tutorialWrites, (std::vector<bool>{true, false}));
}

TEST_F(ControllerTest, MenuEnablingFollowsTheOpenDatabase) {
    services.tutorialSetting = false;
    controller.start({});
    view.databaseCommandsEnabled.reset();
    controller.fileMenuOpening();
    EXPECT_EQ(view.databaseCommandsEnabled, false);
    open(ordersDatabase());
    controller.fileMenuOpening();
    EXPECT_EQ(view.databaseCommandsEnabled, true);
    controller.fileClose();
    EXPECT_EQ(view.databaseCommandsEnabled, false);
    EXPECT_TRUE(view.texts(ListId::Tables).empty());
}

TEST_F(ControllerTest, CreateModuleAsksForTheFileAndReportsTheOutcome) {
    open(ordersDatabase());
    controller.CreateVisualBasicModule();  // cancelled
    EXPECT_TRUE(services.modulesWritten.empty());
    EXPECT_TRUE(view.messages.empty());
    ASSERT_EQ(view.saveRequests.size(), 1u);
    const controller::FileDialogRequest& request = view.saveRequests[0];
    EXPECT_EQ(request.title, "Open Access database");
    EXPECT_EQ(request.filters, (Strings{"Basic module (*.bas)", "All files (*)"}));
    EXPECT_EQ(request.defaultSuffix, "bas");
    EXPECT_TRUE(request.confirmOverwrite);

    view.saveAnswers.push_back("/out/orders.bas");
    controller.CreateVisualBasicModule();
    EXPECT_EQ(services.modulesWritten, (Strings{"/out/orders.bas"}));
    EXPECT_EQ(view.messages.back(), (ShownMessage{"The VB module has been created successfully",
                                                  "Zerlin Wizard", MessageIcon::Information}));

    services.moduleOutcome = support::Error{support::ErrorKind::Io, "Permission denied"};
    view.saveAnswers.push_back("/out/orders.bas");
    controller.CreateVisualBasicModule();
    EXPECT_EQ(view.messages.back(),
              (ShownMessage{"Permission denied", "Zerlin Wizard", MessageIcon::Exclamation}));
}

TEST_F(ControllerTest, CreateModuleNeedsAnOpenDatabase) {
    services.tutorialSetting = false;
    controller.start({});
    view.saveAnswers.push_back("/out/x.bas");
    controller.CreateVisualBasicModule();
    EXPECT_TRUE(view.saveRequests.empty());
    EXPECT_TRUE(services.modulesWritten.empty());
}

TEST_F(ControllerTest, GeneratedScriptIsShownInTheViewer) {
    open(ordersDatabase());
    controller.generateSqlDefinition(sqlgen::SqlDialect::SqlServer);
    controller.generateSqlDefinition(sqlgen::SqlDialect::MsAccess);
    EXPECT_EQ(services.dialects, (std::vector<sqlgen::SqlDialect>{sqlgen::SqlDialect::SqlServer,
                                                                  sqlgen::SqlDialect::MsAccess}));
    ASSERT_EQ(view.viewerShows.size(), 2u);
    EXPECT_EQ(view.viewerShows[1].first, "SQL Create Table Statements");
    EXPECT_EQ(view.viewerShows[1].second, "CREATE TABLE x\r\n");
}

TEST_F(ControllerTest, FailingScriptIsReportedAndTheWindowStaysUsable) {
    open(ordersDatabase());
    services.scriptFailure = "Item not found in this collection.";
    controller.generateSqlDefinition(sqlgen::SqlDialect::MsAccess);
    EXPECT_TRUE(view.viewerShows.empty());
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0], (ShownMessage{"Item not found in this collection.", "Zerlin Wizard",
                                              MessageIcon::Exclamation}));
    view.click(ListId::Tables, 2);
    EXPECT_EQ(view.texts(ListId::Fields), (Strings{"OrderID", "CustomerID"}));
    services.scriptFailure.reset();
    controller.generateSqlDefinition(sqlgen::SqlDialect::MsAccess);
    EXPECT_EQ(view.viewerShows.size(), 1u);
}

TEST_F(ControllerTest, SettingsAreStoredOnlyWhenAccepted) {
    services.tutorialSetting = false;
    controller.start({});
    services.settingsInForce.TableErrorMessage = "before";
    controller.fileSettings();  // cancelled
    EXPECT_EQ(services.settingsStored, 0);
    EXPECT_EQ(view.settingsShown.at(0).TableErrorMessage, "before");

    settings::GenerationSettings edited;
    edited.TableErrorMessage = "";
    edited.IncludeProcedures = false;
    view.settingsAnswer = edited;
    controller.fileSettings();
    EXPECT_EQ(services.settingsStored, 1);
    EXPECT_EQ(services.settingsInForce.TableErrorMessage, "");
    EXPECT_FALSE(services.settingsInForce.IncludeProcedures);
    EXPECT_EQ(view.busyPointer, (std::vector<bool>{true, false, true, false}));
    EXPECT_TRUE(view.messages.empty());

    services.storeOutcome = support::Error{support::ErrorKind::Io, "Permission denied"};
    controller.fileSettings();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "Cannot store the settings: Permission denied");
}

TEST_F(ControllerTest, AboutShowsTheBusyPointerWhileOpening) {
    services.tutorialSetting = false;
    controller.start({});
    controller.helpAbout();
    EXPECT_EQ(view.aboutShown, 1);
    EXPECT_EQ(view.busyPointer, (std::vector<bool>{true, false}));
}

TEST_F(ControllerTest, ClosingTheWindowClosesTheDatabase) {
    open(ordersDatabase());
    controller.windowClosing();
    EXPECT_FALSE(controller.connection().isOpen());
    EXPECT_EQ(controller.connection().database(), nullptr);
    EXPECT_TRUE(view.texts(ListId::Tables).empty());
}

}  // namespace
}  // namespace zl::testing
