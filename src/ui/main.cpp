// The desktop program zlgen: the main window over the Access reader.
#include <QApplication>
#include <QStyle>
#include <string>
#include <vector>

#include "controller/core_services.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"

#if __has_include("schema/jet/jet_engine.h")
#include "schema/jet/jet_engine.h"
#define ZL_HAVE_JET_ENGINE 1
#endif

#ifndef ZL_HAVE_JET_ENGINE
namespace {
// Stands in until the Access reader is part of the build.
class NoEngine : public zl::schema::Engine {
public:
    std::unique_ptr<zl::schema::Database> openDatabase(const std::string&) override {
        throw zl::schema::EngineError("This build cannot read Access databases.");
    }
};
}  // namespace
#endif

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zlgen"));
    // No application display name: the platform would append it to every window caption.
    QApplication::setWindowIcon(app.style()->standardIcon(QStyle::SP_DriveHDIcon));

#ifdef ZL_HAVE_JET_ENGINE
    zl::schema::jet::JetEngine engine;
#else
    NoEngine engine;
#endif
    zl::controller::CoreServices services;
    zl::ui::MainWindow window(engine, services);
    window.show();

    // Qt has taken its own options (-platform, -style, ...) off the command line by now.
    std::vector<std::string> arguments;
    const QStringList qtArguments = QApplication::arguments();
    for (qsizetype i = 1; i < qtArguments.size(); ++i) {
        arguments.push_back(zl::ui::toStdString(qtArguments[i]));
    }
    window.start(arguments);
    return QApplication::exec();
}
