#include <QCoreApplication>
#include <optional>
#include <ostream>

#include "cli/CommandLine.h"
#include "cli/ExportCommands.h"
#include "export/ExportModel.h"
#include "export/KiCadNetListWriter.h"
#include "export/NetListWriter.h"
#include "export/SchematicWriter.h"
#include "storage/AtomicFile.h"
#include "storage/IniDocument.h"

namespace korvane::cli {

const char* const kExportUsage =
    "usage: korvane-cli export PROJECT.kvp [--netlist OUT.net] [--kicad-netlist OUT.net]\n"
    "                          [--schematic OUT.sch] [--lib-dir DIR]\n"
    "\n"
    "Writes the project's Protel net list (--netlist), its KiCad net list (--kicad-netlist) and, with\n"
    "--schematic, its Protel ASCII schematic, exactly as the export dialog writes them right after opening\n"
    "the project; at least one of the net lists is required, and the files are written in this order.\n"
    "The schematic takes its symbols from DIR/sch.lb (by default the Lib folder beside the program); every\n"
    "component needs a reference to one of them. Files completed before a failure stay. The project is\n"
    "never changed.\n";

namespace {

struct Options {
    std::string project, netList, kiCadNetList, schematic, libDir;
};

Options parseOptions(const Arguments& args) {
    Options options{args.project, args.value("--netlist"), args.value("--kicad-netlist"),
                    args.value("--schematic"), args.value("--lib-dir")};
    if (options.netList.empty() && options.kiCadNetList.empty()) {
        throw Failure("--netlist or --kicad-netlist is required");
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
    const std::string* const outputs[] = {&options.netList, &options.kiCadNetList, &options.schematic};
    for (const std::string* output : outputs) {
        if (!output->empty() && SameFile(*output, options.project)) {
            throw Failure("the output would replace the project file: " + *output);
        }
    }
    for (std::size_t i = 0; i < std::size(outputs); ++i) {
        for (std::size_t j = i + 1; j < std::size(outputs); ++j) {
            if (!outputs[i]->empty() && !outputs[j]->empty() && SameFile(*outputs[i], *outputs[j])) {
                throw Failure("every output must be a file of its own: " + *outputs[j]);
            }
        }
    }

    IniDocument doc;
    ReadProject(doc, options.project);
    // Opening changes the document in memory only; nothing is written back.
    const ExportModel model = ExportModelOfOpenedProject(doc);
    if (model.components.empty()) {
        throw Failure("nothing to export: the project names no component");
    }

    if (!options.netList.empty()) {
        write(options.netList, NetListText(model));
    }
    if (!options.kiCadNetList.empty()) {
        write(options.kiCadNetList, KiCadNetListText(model, KiCadDesignOf(options.project)));
    }
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
                      " (the net lists are written, the schematic is not)");
    }
    const std::vector<std::string> missing = ComponentsWithoutSymbol(model, library->symbols.size());
    if (!missing.empty()) {
        throw Failure("no symbol of " + libraryPath + " is chosen for " + joined(missing) +
                      " (the net lists are written, the schematic is not)");
    }
    write(options.schematic, SchematicText(model, *library));
    return 0;
}

}  // namespace

int RunExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return RunReporting("export", err, [&] {
        const Arguments parsed =
            ParseArguments(args, {"--netlist", "--kicad-netlist", "--schematic", "--lib-dir"});
        if (parsed.help) {
            out << kExportUsage;
            return 0;
        }
        return exportProject(parseOptions(parsed));
    });
}

}  // namespace korvane::cli
