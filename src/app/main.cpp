// Korvane: a desktop tool for re-engineering printed circuit boards from scans of their copper layers.

#include <QApplication>
#include <QImageReader>
#include <string>
#include <vector>

#include "app/F.h"
#include "app/Shell.h"
#include "platform/QtUi.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Korvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Korvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(KORVANE_VERSION_MAJOR)
                                                .arg(KORVANE_VERSION_MINOR)
                                                .arg(KORVANE_VERSION_PATCH));
    // Board scans are large: a 10000 x 10000 picture needs far more than Qt's default 128 MB.
    QImageReader::setAllocationLimit(2048);

    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }

    korvane::QtUi ui;
    korvane::F window(ui);
    ui.setOwner(&window);
    window.Form_Load(korvane::JoinCommandLine(arguments));
    window.show();
    return app.exec();
}
