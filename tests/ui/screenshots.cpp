// Takes pictures of the program's windows as the window manager frames them, for review:
// ui_screenshots DATABASE OUTPUT_FOLDER SUFFIX. Runs under a real X server (scripts/run-x11.sh).
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <string>

#include "controller/core_services.h"
#include "schema/jet/jet_engine.h"
#include "ui/main_window.h"

namespace {

QString g_folder;
QString g_suffix;

// The window with its frame, as it is on the screen.
void shoot(QWidget* window, const char* name) {
    QTest::qWait(400);
    QApplication::processEvents();
    const QRect frame = window->frameGeometry();
    const QPixmap picture =
        window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    const QString path = g_folder + QStringLiteral("/%1-%2.png").arg(name, g_suffix);
    if (!picture.save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    std::printf("%s %dx%d\n", qPrintable(path), frame.width(), frame.height());
}

QWidget* topLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
    }
    return nullptr;
}

// Shoots the modal dialog the action opens, then closes it.
void shootModal(QWidget& main, const char* action, const char* name) {
    QTimer::singleShot(0, &main, [name] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr) return;
        shoot(dialog, name);
        dialog->close();
    });
    main.findChild<QAction*>(action)->trigger();
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zlgen"));
    if (argc != 4) {
        std::fprintf(stderr, "usage: ui_screenshots DATABASE OUTPUT_FOLDER SUFFIX\n");
        return 2;
    }
    g_folder = QString::fromLocal8Bit(argv[2]);
    g_suffix = QString::fromLocal8Bit(argv[3]);
    QDir().mkpath(g_folder);
    qputenv("ZLGEN_INI", (g_folder + QStringLiteral("/ZLGEN.INI")).toLocal8Bit());

    zl::schema::jet::JetEngine engine;
    zl::controller::CoreServices services;
    zl::ui::MainWindow window(engine, services);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    window.start({std::string("OPEN=") + argv[1]});
    QTest::qWait(300);
    if (QWidget* tutorial = topLevel("HelpForm")) tutorial->close();
    auto* tables = window.findChild<QListWidget*>("Tables");
    window.activateWindow();
    shoot(&window, "main");

    // A QueryDef with the longest SQL of the sample.
    for (int row = 0; row < tables->count(); ++row) {
        if (tables->item(row)->text() == QLatin1String("Customer and Supplier Countries")) {
            tables->setCurrentRow(row, QItemSelectionModel::NoUpdate);
            const QRect rect = tables->visualItemRect(tables->item(row));
            QTest::mouseClick(tables->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
            QTest::mouseClick(tables->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
        }
    }
    shoot(&window, "main-querydef");

    window.findChild<QAction*>("mGenerateSQL2")->trigger();
    if (QWidget* viewer = topLevel("MemoForm")) {
        shoot(viewer, "viewer");
        viewer->close();
    }
    window.findChild<QAction*>("mHelpTutorial")->trigger();
    if (QWidget* tutorial = topLevel("HelpForm")) {
        shoot(tutorial, "tutorial");
        tutorial->close();
    }
    shootModal(window, "mFileSettings", "settings");
    shootModal(window, "mHelpAbout", "about");
    return 0;
}
