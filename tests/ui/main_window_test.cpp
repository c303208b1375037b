// The real main window on the offscreen platform: list clicks, menu shortcuts, tutorial, viewer.
#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
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
    void ctrlCCopiesTheSqlSelectionElseClosesTheDatabase();
    void captionsShowWholeAndTheirMnemonicsMoveTheFocus();
    void cutEntriesAndCaptionsShowTheirTextAsTooltip();
    void oneUiFontAndFixedWidthSql();
    void menuShortcutsReachTheCommands();
    void exportCommandsNeedAnOpenDatabase();
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

namespace {
// A QueryDef longer than the display: sixty lines.
QString longSql(const QString& lineEnd) {
    QString sql = "SELECT *" + lineEnd;
    for (int i = 0; i < 60; ++i) sql += QString("  AND Field%1 = %1").arg(i) + lineEnd;
    return sql;
}
}  // namespace

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
    content.query("Open orders", longSql("\r\n").toStdString());
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
    auto* sql = m_window->findChild<QPlainTextEdit*>("SQL");
    QVERIFY(sql->isVisible());
    QCOMPARE(sql->toPlainText(), longSql("\n"));
    // Longer than the display: the rest can be scrolled to.
    QVERIFY(sql->verticalScrollBar()->maximum() > 0);
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

void MainWindowTest::ctrlCCopiesTheSqlSelectionElseClosesTheDatabase() {
    click("Tables", 1);
    auto* sql = m_window->findChild<QPlainTextEdit*>("SQL");
    sql->setFocus();
    QTextCursor cursor = sql->textCursor();
    cursor.setPosition(0);
    cursor.setPosition(8, QTextCursor::KeepAnchor);
    sql->setTextCursor(cursor);
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(sql, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("SELECT *"));
    QCOMPARE(list("Tables")->count(), 3);  // the database and its selections stay

    cursor.clearSelection();
    sql->setTextCursor(cursor);
    QTest::keyClick(sql, Qt::Key_C, Qt::ControlModifier);  // no selection: Close Database
    QCOMPARE(list("Tables")->count(), 0);
}

void MainWindowTest::captionsShowWholeAndTheirMnemonicsMoveTheFocus() {
    const struct {
        const char* caption;
        Qt::Key key;
        const char* list;
    } rows[] = {{"Label1", Qt::Key_T, "Tables"},
                {"TableName", Qt::Key_E, "Fields"},
                {"Indexeslabel", Qt::Key_I, "Indexes"}};
    for (const auto& row : rows) {
        auto* caption = m_window->findChild<QLabel*>(row.caption);
        // The whole height of the text, underline included, lies within the caption and
        // above the list it names.
        QVERIFY2(caption->height() >= caption->sizeHint().height(), row.caption);
        QVERIFY2(caption->y() + caption->sizeHint().height() <= list(row.list)->y(), row.caption);
        QTest::keyClick(m_window.get(), row.key, Qt::AltModifier);
        QVERIFY2(list(row.list)->hasFocus(), row.caption);
    }
}

void MainWindowTest::cutEntriesAndCaptionsShowTheirTextAsTooltip() {
    QListWidget* tables = list("Tables");
    const QString longName = QString("Customers ").repeated(12).trimmed();
    tables->item(0)->setText(longName);
    const auto tipAt = [&](int row) {
        QToolTip::hideText();
        if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); })) return QString("tip stays");
        const QPoint at = tables->visualItemRect(tables->item(row)).center();
        QHelpEvent help(QEvent::ToolTip, at, tables->viewport()->mapToGlobal(at));
        QApplication::sendEvent(tables->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(tipAt(0), longName);
    QCOMPARE(tipAt(2), QString());  // "Orders" shows whole

    click("Tables", 0);
    click("Tables", 0);
    auto* caption = m_window->findChild<QLabel*>("TableName");
    QCOMPARE(caption->toolTip(), QString());
    m_window->resize(m_window->minimumSize());
    QTRY_VERIFY(caption->sizeHint().width() > caption->width());
    click("Tables", 2);
    QCOMPARE(caption->toolTip(), QString("Fields in table 'Orders':"));
}

void MainWindowTest::oneUiFontAndFixedWidthSql() {
    const QFont ui = QApplication::font();
    for (QWidget* widget : m_window->findChildren<QWidget*>()) {
        if (widget->objectName() == QLatin1String("SQL")) continue;
        if (qobject_cast<QLabel*>(widget) == nullptr &&
            qobject_cast<QListWidget*>(widget) == nullptr)
            continue;
        QVERIFY2(widget->font().family() == ui.family() &&
                     widget->font().pointSizeF() == ui.pointSizeF(),
                 qPrintable(widget->objectName()));
    }
    auto* sql = m_window->findChild<QPlainTextEdit*>("SQL");
    const QFontMetrics code(sql->font());
    QCOMPARE(code.horizontalAdvance('i'), code.horizontalAdvance('W'));
    QCOMPARE(sql->font().pointSizeF(), ui.pointSizeF());
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

void MainWindowTest::exportCommandsNeedAnOpenDatabase() {
    QAction* sqlite = action("mExportSqlite");
    QAction* postgres = action("mExportPostgres");
    QVERIFY(sqlite != nullptr);
    QVERIFY(postgres != nullptr);
    QCOMPARE(sqlite->text(), QString("Export to S&QLite database..."));
    QCOMPARE(postgres->text(), QString("Export to &PostgreSQL..."));
    QVERIFY(sqlite->isEnabled());
    QVERIFY(postgres->isEnabled());
    action("mFileClose")->trigger();
    QVERIFY(!sqlite->isEnabled());
    QVERIFY(!postgres->isEnabled());
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
    // The loadable targets end with their ledger summary under the script.
    for (const char* name : {"mGenerateSQL3", "mGenerateSQL4"}) {
        action(name)->trigger();
        QCOMPARE(topLevel("MemoForm"), viewer);
        const QString script = viewer->findChild<QPlainTextEdit*>("Memo")->toPlainText();
        QVERIFY(script.contains("CREATE TABLE"));
        QVERIFY(script.trimmed().section('\n', -1).contains("queries became views"));
    }

    m_window->close();  // closing the main window takes the viewer with it
    QTRY_VERIFY(topLevel("MemoForm") == nullptr);
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
