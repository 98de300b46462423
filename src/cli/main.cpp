// korvane-cli: the program's logic without windows, for batch work and end-to-end tests.

#include <QCoreApplication>
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "cli/AlignCommand.h"
#include "cli/CheckCommand.h"
#include "cli/ExportCommands.h"
#include "cli/RenderCommand.h"
#include "platform/DataFolder.h"
#include "platform/ProgramOptions.h"

namespace {

const char* const kUsage =
    "usage: korvane-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "commands:\n"
    "  info PROJECT.kvp                                 JSON summary of the project\n"
    "  export PROJECT.kvp [--netlist OUT.net] [--kicad-netlist OUT.net]\n"
    "                    [--schematic OUT.sch] [--lib-dir DIR]\n"
    "  render PROJECT.kvp --picture 1|2 --out OUT.png   the picture with its traces replayed\n"
    "  align PROJECT.kvp [--auto] [--write]             the layers' affine mapping as JSON\n"
    "  check PROJECT.kvp                                pad names against the traced copper as JSON\n"
    "\n"
    "korvane-cli COMMAND --help describes a command; korvane-cli --version prints the version.\n";

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (const auto reply = korvane::StandardOptionReply(args, "korvane-cli", kUsage)) {
        std::cout << *reply;
        return 0;
    }
    // Image format plug-ins (JPEG, GIF) are found through the application object.
    QCoreApplication app(argc, argv);
    if (args.empty()) {
        std::cerr << "korvane-cli: no command given (korvane-cli --help lists them)\n";
        return 2;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "export" && std::find(args.begin(), args.end(), "--lib-dir") == args.end()) {
        // The libraries of this installation: beside the executable in a build folder, in
        // ../share/korvane/ in an installed tree.
        args.insert(args.end(),
                    {"--lib-dir",
                     korvane::DataFolder(QCoreApplication::applicationDirPath().toStdString()) + "/Lib"});
    }
    if (command == "export" || command == "info") {
        const auto run = command == "export" ? korvane::cli::RunExportCommand : korvane::cli::RunInfoCommand;
        return run(args, std::cout, std::cerr);
    }
    if (command == "render") {
        return korvane::cli::RunRender(args, std::cout, std::cerr);
    }
    if (command == "check") {
        return korvane::cli::RunCheck(args, std::cout, std::cerr);
    }
    if (command == "align") {
        return korvane::cli::RunAlign(args, std::cout, std::cerr);
    }
    std::cerr << "korvane-cli: unknown command \"" << command << "\" (korvane-cli --help lists them)\n";
    return 2;
}
