// The Settings dialog and the text viewer on the offscreen platform.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <functional>
#include <memory>

#include "common/memory_engine.h"
#include "controller/core_services.h"
#include "settings/generation_settings.h"
#include "settings/profile.h"
#include "ui/export_dialogs.h"
#include "ui/main_window.h"
#include "ui/text_viewer.h"

using namespace zl;

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void settingsOkStoresAllSixOptions();
    void settingsCancelStoresNothing();
    void settingsMnemonicsMoveTheFocus();
    void copyTakesTheSelectionOrTheWholeText();
    void progressCancelStopsTheWorkAndWaitsForIt();

private:
    // Runs the Settings command; `edit` works on the modal dialog, then presses `button`.
    void runSettings(const std::function<void(QDialog&)>& edit, const char* button);
    QString iniText() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    testing::MemoryEngine m_engine;
    controller::CoreServices m_services;
    std::unique_ptr<ui::MainWindow> m_window;
};

void DialogsTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("ZLGEN_INI", m_dir->filePath("ZLGEN.INI").toUtf8());
    m_services = controller::CoreServices();
    m_window = std::make_unique<ui::MainWindow>(m_engine, m_services);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void DialogsTest::cleanup() {
    m_window.reset();
    m_dir.reset();
}

QString DialogsTest::iniText() const {
    QFile file(m_dir->filePath("ZLGEN.INI"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

void DialogsTest::runSettings(const std::function<void(QDialog&)>& edit, const char* button) {
    bool seen = false;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        QCOMPARE(dialog->objectName(), QString("Settings"));
        seen = true;
        edit(*dialog);
        QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
    });
    m_window->findChild<QAction*>("mFileSettings")->trigger();
    QVERIFY(seen);
}

void DialogsTest::settingsOkStoresAllSixOptions() {
    runSettings(
        [](QDialog& d) {
            // First start: the built-in values.
            QVERIFY(d.findChild<QCheckBox*>("Privt")->isChecked());
            QVERIFY(d.findChild<QRadioButton*>("AllInOne0")->isChecked());
            QVERIFY(!d.findChild<QCheckBox*>("No_Create_Database")->isChecked());
            QCOMPARE(d.findChild<QLineEdit*>("ErrMsg0")->text(),
                     QString("Could not create table '%n'"));
            d.findChild<QRadioButton*>("AllInOne1")->setChecked(true);
            d.findChild<QLineEdit*>("ErrMsg1")->clear();
        },
        "OK");
    const QString ini = iniText();
    QVERIFY2(ini.contains("Private functions=-1"), qPrintable(ini));
    QVERIFY2(ini.contains("Use DBCREATE.BAS=True"), qPrintable(ini));
    QVERIFY2(ini.contains("Create_FNAME_Database=0"), qPrintable(ini));
    QVERIFY2(ini.contains("QueryDef=\n") || ini.contains("QueryDef=\r\n"), qPrintable(ini));
    QVERIFY(!m_services.currentSettings().IncludeProcedures);
    QCOMPARE(m_services.currentSettings().QueryDefErrorMessage, std::string());

    runSettings([](QDialog& d) { QVERIFY(d.findChild<QRadioButton*>("AllInOne1")->isChecked()); },
                "Cancel");
}

void DialogsTest::settingsCancelStoresNothing() {
    runSettings([](QDialog& d) { d.findChild<QLineEdit*>("ErrMsg0")->setText("edited"); },
                "Cancel");
    QVERIFY(!QFile::exists(m_dir->filePath("ZLGEN.INI")));
    runSettings(
        [](QDialog& d) {
            QCOMPARE(d.findChild<QLineEdit*>("ErrMsg0")->text(),
                     QString("Could not create table '%n'"));
        },
        "Cancel");
}

void DialogsTest::settingsMnemonicsMoveTheFocus() {
    runSettings(
        [](QDialog& d) {
            d.activateWindow();
            QVERIFY(QTest::qWaitFor([&d] { return QApplication::activeWindow() == &d; }));
            const struct {
                Qt::Key key;
                const char* target;
            } rows[] = {{Qt::Key_T, "ErrMsg0"},
                        {Qt::Key_Q, "ErrMsg1"},
                        {Qt::Key_D, "ErrMsg2"},
                        {Qt::Key_P, "Privt"},
                        {Qt::Key_U, "AllInOne1"}};
            for (const auto& row : rows) {
                QTest::keyClick(&d, row.key, Qt::AltModifier);
                QVERIFY2(d.findChild<QWidget*>(row.target)->hasFocus(), row.target);
            }
        },
        "Cancel");
}

void DialogsTest::copyTakesTheSelectionOrTheWholeText() {
    auto* viewer = new ui::TextViewer();
    QPointer<ui::TextViewer> guard(viewer);
    viewer->showText("Caption", "CREATE TABLE a\r\n(x);\r\n");
    QCOMPARE(viewer->windowTitle(), QString("Caption"));
    auto* copy = viewer->findChild<QPushButton*>("Copy");
    QTest::mouseClick(copy, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("CREATE TABLE a\r\n(x);\r\n"));

    auto* memo = viewer->findChild<QPlainTextEdit*>("Memo");
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(7);
    cursor.setPosition(10, QTextCursor::KeepAnchor);
    memo->setTextCursor(cursor);
    QTest::mouseClick(copy, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("TAB"));
    cursor.setPosition(13);
    cursor.setPosition(16, QTextCursor::KeepAnchor);  // "a", the line break, "("
    memo->setTextCursor(cursor);
    QTest::mouseClick(copy, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("a\r\n("));
    // Ctrl+C in the text copies as the button does.
    QGuiApplication::clipboard()->clear();
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("a\r\n("));
    QVERIFY(viewer->isVisible());

    QTest::keyClick(viewer, Qt::Key_Escape);
    QTRY_VERIFY(guard.isNull());
}

// Cancel reaches the work on its thread, and the dialog returns only once the work has ended.
void DialogsTest::progressCancelStopsTheWorkAndWaitsForIt() {
    bool shownWhileStopping = false;
    QTimer::singleShot(300, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QProgressDialog*>(widget); dialog != nullptr) {
                QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
                shownWhileStopping = dialog->isVisible();
            }
        }
    });
    bool ended = false;
    const controller::ExportOutcome outcome = ui::runUnderProgress(
        nullptr, "Export", [&](const std::atomic<bool>& cancel, const auto& progress) {
            std::uint64_t done = 0;
            while (!cancel.load()) {
                progress("Numbers", ++done, 1000000);
                QThread::msleep(5);
            }
            QThread::msleep(200);  // the clean-up after the flag
            ended = true;
            controller::ExportOutcome stopped;
            stopped.kind = controller::ExportOutcomeKind::Cancelled;
            return stopped;
        });
    QVERIFY(ended);
    QVERIFY(shownWhileStopping);
    QCOMPARE(outcome.kind, controller::ExportOutcomeKind::Cancelled);
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
