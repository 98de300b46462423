#include <QCoreApplication>
#include <optional>
#include <ostream>

#include "cli/CommandLine.h"
#include "cli/ExportCommands.h"
#include "export/ExportModel.h"
#include "export/NetListWriter.h"
#include "export/SchematicWriter.h"
#include "storage/AtomicFile.h"
#include "storage/clsINI.h"

namespace korvane::cli {

const char* const kExportUsage =
    "usage: korvane-cli export PROJECT.kvp --netlist OUT.net [--schematic OUT.sch] [--lib-dir DIR]\n"
    "\n"
    "Writes the project's Protel net list and, with --schematic, its Protel ASCII schematic, exactly as\n"
    "the export dialog writes them right after opening the project. The schematic takes its symbols from\n"
    "DIR/sch.lb (by default the Lib folder beside the program); every component needs a reference to one\n"
    "of them. Files completed before a failure stay. The project is never changed.\n";

namespace {

struct Options {
    std::string project, netList, schematic, libDir;
};

Options parseOptions(const Arguments& args) {
    Options options{args.project, args.value("--netlist"), args.value("--schematic"),
                    args.value("--lib-dir")};
    if (options.netList.empty()) {
        throw Failure("--netlist is required");
    }
    return options;
}

void write(const std::string& path, const std::string& bytes) {
    std::string reason;
    if (!writeFileAtomically(path, bytes, &reason)) {
        throw Failure("cannot write " + path + (reason.empty() ? std::string() : ": " + reason));
    }
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

int exportProject(const Options& options) {
    for (const std::string* output : {&options.netList, &options.schematic}) {
        if (!output->empty() && SameFile(*output, options.project)) {
            throw Failure("the output would replace the project file: " + *output);
        }
    }
    if (!options.schematic.empty() && SameFile(options.netList, options.schematic)) {
        throw Failure("the net list and the schematic must be two different files");
    }

    clsINI doc;
    ReadProject(doc, options.project);
    // Opening changes the document in memory only; nothing is written back.
    const ExportModel model = ExportModelOfOpenedProject(doc);
    if (model.components.empty()) {
        throw Failure("nothing to export: the project names no component");
    }

    write(options.netList, NetListText(model));
    if (options.schematic.empty()) {
        return 0;
    }
    const std::string libDir = options.libDir.empty()
                                   ? QCoreApplication::applicationDirPath().toStdString() + "/Lib"
                                   : options.libDir;
    const std::string libraryPath = libDir + "/sch.lb";
    const std::optional<SchematicLibrary> library = ReadSchematicLibrary(libraryPath);
    if (!library) {
        throw Failure("schematic library not found or not readable: " + libraryPath +
                      " (the net list is written, the schematic is not)");
    }
    const std::vector<std::string> missing = ComponentsWithoutSymbol(model, library->symbols.size());
    if (!missing.empty()) {
        throw Failure("no symbol of " + libraryPath + " is chosen for " + joined(missing) +
                      " (the net list is written, the schematic is not)");
    }
    write(options.schematic, SchematicText(model, *library));
    return 0;
}

}  // namespace

int RunExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return RunReporting("export", err, [&] {
        const Arguments parsed = ParseArguments(args, {"--netlist", "--schematic", "--lib-dir"});
        if (parsed.help) {
            out << kExportUsage;
            return 0;
        }
        return exportProject(parseOptions(parsed));
    });
}

}  // namespace korvane::cli
