// The real main window on the offscreen platform: list clicks, menu shortcuts, tutorial, viewer.
#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "common/memory_engine.h"
#include "controller/core_services.h"
#include "settings/generation_settings.h"
#include "settings/profile.h"

using namespace zl;

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void clicksToggleEntriesAndFieldsWithoutStoringTheDisplay();
    void queryDefEntryShowsItsSqlInPlaceOfTheLists();
    void menuShortcutsReachTheCommands();
    void tutorialHideIsRemembered();
    void generatedScriptReusesOneViewer();

private:
    QListWidget* list(const char* name) const { return m_window->findChild<QListWidget*>(name); }
    QAction* action(const char* name) const { return m_window->findChild<QAction*>(name); }
    QList<bool> selection(const char* name) const;
    void click(const char* name, int row);
    QWidget* topLevel(const char* name) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<testing::MemoryEngine> m_engine;
    std::unique_ptr<controller::CoreServices> m_services;
    std::unique_ptr<ui::MainWindow> m_window;
};

void MainWindowTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("ZLGEN_INI", m_dir->filePath("ZLGEN.INI").toUtf8());
    QVERIFY(settings::ProfileSet("Tutorial", "Show", false));

    testing::MemoryDatabaseContent content;
    content.name = "/data/orders.mdb";
    content.table({"Customers",
                   {testing::longField("ID", true), testing::textField("Name", 50),
                    testing::textField("City", 30)},
                   {testing::index("PrimaryKey", "+ID", true, true)}});
    content.query("Open orders", "SELECT *\r\nFROM Orders;\r\n");
    content.table({"Orders", {testing::longField("OrderID", true)}, {}});
    content.listing = std::vector<schema::TableListRow>{
        {"Customers", 1, 0}, {"Open orders", 5, 0}, {"Orders", 1, 0}};
    m_engine = std::make_unique<testing::MemoryEngine>();
    m_engine->add(content);
    m_services = std::make_unique<controller::CoreServices>();
    m_window = std::make_unique<ui::MainWindow>(*m_engine, *m_services);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->start({"OPEN=/data/orders.mdb"});
}

void MainWindowTest::cleanup() {
    m_window.reset();
    m_services.reset();
    m_engine.reset();
    m_dir.reset();
}

QList<bool> MainWindowTest::selection(const char* name) const {
    QList<bool> flags;
    QListWidget* widget = list(name);
    for (int row = 0; row < widget->count(); ++row) flags << widget->item(row)->isSelected();
    return flags;
}

void MainWindowTest::click(const char* name, int row) {
    QListWidget* widget = list(name);
    const QRect rect = widget->visualItemRect(widget->item(row));
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

QWidget* MainWindowTest::topLevel(const char* name) const {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
    }
    return nullptr;
}

void MainWindowTest::clicksToggleEntriesAndFieldsWithoutStoringTheDisplay() {
    QCOMPARE(m_window->windowTitle(), QString("Zerlin Wizard 1.1"));
    QCOMPARE(list("Tables")->count(), 3);
    QCOMPARE(selection("Tables"), (QList<bool>{true, true, true}));
    QCOMPARE(selection("Fields"), (QList<bool>{true, true, true}));
    QCOMPARE(m_window->findChild<QLabel*>("TableName")->text(),
             QString("Fi&elds in table 'Customers':"));

    click("Fields", 1);  // the user unselects Customers.Name
    QCOMPARE(selection("Fields"), (QList<bool>{true, false, true}));
    click("Tables", 0);  // unselect Customers: its fields show unselected
    QCOMPARE(selection("Tables"), (QList<bool>{false, true, true}));
    QCOMPARE(selection("Fields"), (QList<bool>{false, false, false}));
    QCOMPARE(selection("Indexes"), (QList<bool>{false}));
    click("Tables", 0);  // and back: the user's own choice, not the display, was kept
    QCOMPARE(selection("Fields"), (QList<bool>{true, false, true}));
    QCOMPARE(selection("Indexes"), (QList<bool>{true}));
}

void MainWindowTest::queryDefEntryShowsItsSqlInPlaceOfTheLists() {
    click("Tables", 1);
    auto* sql = m_window->findChild<QLabel*>("SQL");
    QVERIFY(sql->isVisible());
    QCOMPARE(sql->text(), QString("SELECT *\nFROM Orders;\n"));
    QCOMPARE(m_window->findChild<QLabel*>("TableName")->text(), QString("QueryDef 'Open orders':"));
    QVERIFY(!list("Fields")->isVisible());
    QVERIFY(!list("Indexes")->isVisible());
    QVERIFY(!m_window->findChild<QLabel*>("Indexeslabel")->isVisible());
    click("Tables", 2);
    QVERIFY(!sql->isVisible());
    QVERIFY(list("Fields")->isVisible());
    QVERIFY(list("Indexes")->isVisible());
    QCOMPARE(list("Fields")->item(0)->text(), QString("OrderID"));
}

void MainWindowTest::menuShortcutsReachTheCommands() {
    list("Tables")->setFocus();
    QTest::keyClick(m_window.get(), Qt::Key_U, Qt::ControlModifier);
    QCOMPARE(selection("Tables"), (QList<bool>{false, false, false}));
    QCOMPARE(selection("Fields"), (QList<bool>{false, false, false}));
    QTest::keyClick(m_window.get(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(selection("Tables"), (QList<bool>{true, true, true}));
    QCOMPARE(selection("Fields"), (QList<bool>{true, true, true}));
    QVERIFY(action("mFileClose")->isEnabled());
    QVERIFY(action("mFileCreate")->isEnabled());

    QTest::keyClick(m_window.get(), Qt::Key_C, Qt::ControlModifier);  // Close Database
    QCOMPARE(list("Tables")->count(), 0);
    QCOMPARE(list("Fields")->count(), 0);
    QVERIFY(!action("mFileClose")->isEnabled());
    QVERIFY(!action("mFileCreate")->isEnabled());
    QCOMPARE(action("mFileOpen")->shortcut(), QKeySequence("Ctrl+O"));
    QCOMPARE(action("mFileCreate")->shortcut(), QKeySequence("F5"));
    QCOMPARE(action("mFileExit")->shortcut(), QKeySequence("Ctrl+X"));
    QCOMPARE(action("mHelpTutorial")->shortcut(), QKeySequence("F1"));
}

void MainWindowTest::tutorialHideIsRemembered() {
    QVERIFY(topLevel("HelpForm") == nullptr);
    QTest::keyClick(m_window.get(), Qt::Key_F1);
    QWidget* tutorial = topLevel("HelpForm");
    QVERIFY(tutorial != nullptr);
    QCOMPARE(tutorial->windowTitle(), QString("Zerlin Wizard - Quick Tutorial"));
    QVERIFY(settings::profileBool(
        settings::ProfileGet("Tutorial", "Show", std::string("BOOLEAN_FALSE"))));
    QTest::mouseClick(tutorial->findChild<QWidget*>("OK"), Qt::LeftButton);
    QTRY_VERIFY(topLevel("HelpForm") == nullptr);
    QVERIFY(!settings::profileBool(
        settings::ProfileGet("Tutorial", "Show", std::string("BOOLEAN_TRUE"))));
}

void MainWindowTest::generatedScriptReusesOneViewer() {
    action("mGenerateSQL1")->trigger();
    QWidget* viewer = topLevel("MemoForm");
    QVERIFY(viewer != nullptr);
    QCOMPARE(viewer->windowTitle(), QString("SQL Create Table Statements"));
    const QString access = viewer->findChild<QPlainTextEdit*>("Memo")->toPlainText();
    QVERIFY(access.contains("CREATE TABLE"));
    viewer->move(viewer->pos() + QPoint(-30, -20));
    const QPoint moved = viewer->pos();
    action("mGenerateSQL2")->trigger();
    QCOMPARE(topLevel("MemoForm"), viewer);
    QCOMPARE(viewer->pos(), moved);
    QVERIFY(viewer->findChild<QPlainTextEdit*>("Memo")->toPlainText() != access);

    m_window->close();  // closing the main window takes the viewer with it
    QTRY_VERIFY(topLevel("MemoForm") == nullptr);
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
