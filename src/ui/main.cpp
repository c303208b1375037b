// The desktop program zlgen: the main window over the Access reader.
#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <string>
#include <vector>

#include "controller/core_services.h"
#include "schema/jet/jet_engine.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zlgen"));
    // No application display name: the platform would append it to every window caption.
    // The desktop entry's name, which window managers match the windows to.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zerlinwizard.zlgen"));
    // The installed theme icon, else the one built in; without the SVG icon engine, a stock one.
    QIcon icon = QIcon::fromTheme(QStringLiteral("org.zerlinwizard.zlgen"),
                                  QIcon(QStringLiteral(":/icons/zlgen.svg")));
    if (icon.pixmap(32).isNull()) icon = app.style()->standardIcon(QStyle::SP_DriveHDIcon);
    QApplication::setWindowIcon(icon);

    zl::schema::jet::JetEngine engine;
    zl::controller::CoreServices services;
    zl::ui::MainWindow window(engine, services);
    window.show();

    // QApplication has taken its own options (-platform, -style, ...) out of argv; the rest
    // stay as the bytes they were given, so that a file name reaches the reader unchanged.
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    window.start(arguments);
    return QApplication::exec();
}
