// Placement, stacking and titles as a window manager on a real X server sees them
// (run through scripts/run-x11.sh: Xvfb, openbox and the xcb platform).
#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "common/memory_engine.h"
#include "controller/core_services.h"
#include "controller/main_layout.h"
#include "settings/generation_settings.h"
#include "settings/profile.h"
#include "ui/main_window.h"
#include "ui/twips.h"

using namespace zl;

class X11Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void mainWindowIsCentredAndClampedByItsFrame();
    void viewerFrameSitsInTheBottomRightCorner();
    void tutorialStaysAboveTheMaximisedMainWindowWhichKeepsTheFocus();
    void aboutTitleStaysEmpty();

private:
    QWidget* topLevel(const char* name) const;
    static QRect area() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    static bool framed(const QWidget* w) { return w->frameGeometry() != w->geometry(); }
    // What xprop reports; the X server's own view of a window or of the root.
    static QString xprop(const QStringList& arguments);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<testing::MemoryEngine> m_engine;
    std::unique_ptr<controller::CoreServices> m_services;
    std::unique_ptr<ui::MainWindow> m_window;
};

void X11Test::initTestCase() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        QFAIL(
            "needs the xcb platform on an X server with a window manager: run it through "
            "scripts/run-x11.sh");
    }
    QVERIFY2(!xprop({"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("not found"),
             "no window manager on the X server");
}

void X11Test::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("ZLGEN_INI", m_dir->filePath("ZLGEN.INI").toUtf8());
    QVERIFY(settings::ProfileSet("Tutorial", "Show", false));
    testing::MemoryDatabaseContent content;
    content.table({"Customers",
                   {testing::longField("ID", true), testing::textField("Name", 50)},
                   {testing::index("PrimaryKey", "+ID", true, true)}});
    m_engine = std::make_unique<testing::MemoryEngine>();
    m_engine->add(content);
    m_services = std::make_unique<controller::CoreServices>();
    m_window = std::make_unique<ui::MainWindow>(*m_engine, *m_services);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->start({"OPEN=/data/orders.mdb"});
    QTRY_VERIFY(framed(m_window.get()));
}

void X11Test::cleanup() {
    m_window.reset();
    m_services.reset();
    m_engine.reset();
    m_dir.reset();
}

QWidget* X11Test::topLevel(const char* name) const {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
    }
    return nullptr;
}

QString X11Test::xprop(const QStringList& arguments) {
    QProcess process;
    process.start("xprop", arguments);
    if (!process.waitForFinished(5000)) return "xprop did not run";
    return QString::fromUtf8(process.readAllStandardOutput());
}

void X11Test::mainWindowIsCentredAndClampedByItsFrame() {
    const QRect a = area();
    // The frame, title bar included, is centred on the screen.
    QTRY_VERIFY2(qAbs(m_window->frameGeometry().center().x() - a.center().x()) <= 1 &&
                     qAbs(m_window->frameGeometry().center().y() - a.center().y()) <= 1,
                 qPrintable(QString("frame %1,%2 %3x%4 on %5x%6")
                                .arg(m_window->frameGeometry().x())
                                .arg(m_window->frameGeometry().y())
                                .arg(m_window->frameGeometry().width())
                                .arg(m_window->frameGeometry().height())
                                .arg(a.width())
                                .arg(a.height())));
    // The smallest frame the user can drag to is the layout's minimum, decorations included.
    const QSize decorations = m_window->frameGeometry().size() - m_window->geometry().size();
    const QSize smallest = m_window->minimumSize() + decorations;
    QCOMPARE(smallest.width(), ui::toPixels(*m_window, controller::kMainMinWidth));
    QCOMPARE(smallest.height(), ui::toPixels(*m_window, controller::kMainMinHeight));
}

void X11Test::viewerFrameSitsInTheBottomRightCorner() {
    m_window->findChild<QAction*>("mGenerateSQL1")->trigger();
    QWidget* viewer = topLevel("MemoForm");
    QVERIFY(viewer != nullptr);
    QTRY_VERIFY(framed(viewer));
    const QRect a = area();
    QTRY_COMPARE(viewer->frameGeometry().bottomRight(), a.bottomRight());
}

void X11Test::tutorialStaysAboveTheMaximisedMainWindowWhichKeepsTheFocus() {
    m_window->showMaximized();
    QTRY_VERIFY(m_window->isMaximized());
    QTRY_VERIFY(m_window->frameGeometry().right() >= area().right());
    QTRY_VERIFY(m_window->isActiveWindow());
    QTest::keyClick(m_window.get(), Qt::Key_F1);
    QWidget* tutorial = topLevel("HelpForm");
    QVERIFY(tutorial != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(tutorial));
    QTRY_VERIFY(framed(tutorial));
    // Against the screen's right edge, whole on the screen.
    QTRY_COMPARE(tutorial->frameGeometry().right(), area().right());
    QVERIFY(area().contains(tutorial->frameGeometry()));

    // Above the main window in the window manager's stacking order (bottom to top).
    const auto stackIndex = [](const QString& stacking, WId id) {
        const QRegularExpression ids("0x[0-9a-f]+");
        int index = 0;
        for (const QRegularExpressionMatch& match : ids.globalMatch(stacking)) {
            if (match.captured().toULongLong(nullptr, 16) == id) return index;
            ++index;
        }
        return -1;
    };
    QTest::qWait(200);
    const QString stacking = xprop({"-root", "_NET_CLIENT_LIST_STACKING"});
    const int mainAt = stackIndex(stacking, m_window->winId());
    const int tutorialAt = stackIndex(stacking, tutorial->winId());
    QVERIFY2(mainAt >= 0 && tutorialAt > mainAt, qPrintable(stacking));
    QTRY_VERIFY(m_window->isActiveWindow());
    QVERIFY(!tutorial->isActiveWindow());
}

void X11Test::aboutTitleStaysEmpty() {
    QString title;
    bool seen = false;
    QTimer::singleShot(300, this, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr) return;
        seen = true;
        title = xprop({"-id", QString::number(box->winId()), "WM_NAME", "_NET_WM_NAME"});
        box->close();
    });
    m_window->findChild<QAction*>("mHelpAbout")->trigger();
    QVERIFY(seen);
    QVERIFY2(!title.contains("zlgen") && !title.contains("ui_x11_test"), qPrintable(title));
    QVERIFY2(title.contains("WM_NAME"), qPrintable(title));
}

QTEST_MAIN(X11Test)
#include "x11_test.moc"
