// Korvane: a desktop tool for re-engineering printed circuit boards from scans of their copper layers.

#include <QApplication>
#include <QImageReader>
#include <iostream>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/Shell.h"
#include "platform/ProgramOptions.h"
#include "platform/QtUi.h"
#include "project/Project.h"

namespace {

const char* const kUsage =
    "usage: korvane [PROJECT.kvp]\n"
    "\n"
    "Opens the main window; a project file named here is offered in the Open dialog.\n"
    "\n"
    "  -h, --help   print this text and exit\n"
    "  --version    print the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    // Answered before the application object exists: they must work without a display.
    if (const auto reply = korvane::StandardOptionReply(arguments, "korvane", kUsage)) {
        std::cout << *reply;
        return 0;
    }

    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Korvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Korvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(KORVANE_VERSION_MAJOR)
                                                .arg(KORVANE_VERSION_MINOR)
                                                .arg(KORVANE_VERSION_PATCH));
    // Board scans are large: a 10000 x 10000 picture needs far more than Qt's default 128 MB.
    QImageReader::setAllocationLimit(2048);

    korvane::QtUi ui;
    korvane::Project project;
    korvane::MainWindow window(ui, project);
    ui.setOwner(&window);
    window.startUp(korvane::JoinCommandLine(arguments));
    window.show();
    return app.exec();
}
