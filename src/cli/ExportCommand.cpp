#include <QCoreApplication>
#include <filesystem>
#include <optional>
#include <ostream>
#include <stdexcept>

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

namespace fs = std::filesystem;

class Failure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Options {
    std::string project, netList, schematic, libDir;
    bool help = false;
};

Options parseOptions(const std::vector<std::string>& args) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        auto valueOf = [&](const char* name) {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                throw Failure(std::string(name) + " needs a value");
            }
            return args[++i];
        };
        if (word == "--help" || word == "-h") {
            options.help = true;
        } else if (word == "--netlist") {
            options.netList = valueOf("--netlist");
        } else if (word == "--schematic") {
            options.schematic = valueOf("--schematic");
        } else if (word == "--lib-dir") {
            options.libDir = valueOf("--lib-dir");
        } else if (!word.empty() && word.front() == '-') {
            throw Failure("unknown option \"" + word + "\"");
        } else if (options.project.empty()) {
            options.project = word;
        } else {
            throw Failure("unexpected argument \"" + word + "\"");
        }
    }
    if (options.help) {
        return options;
    }
    if (options.project.empty()) {
        throw Failure("no project file given");
    }
    if (options.netList.empty()) {
        throw Failure("--netlist is required");
    }
    return options;
}

// Two names of one file: equal after normalising, or the same existing file.
bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ignored;
    if (fs::absolute(a, ignored).lexically_normal() == fs::absolute(b, ignored).lexically_normal()) {
        return true;
    }
    return fs::exists(a, ignored) && fs::exists(b, ignored) && fs::equivalent(a, b, ignored);
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
    std::error_code error;
    if (!fs::is_regular_file(options.project, error)) {
        throw Failure("project file not found: " + options.project);
    }
    for (const std::string* output : {&options.netList, &options.schematic}) {
        if (!output->empty() && sameFile(*output, options.project)) {
            throw Failure("the output would replace the project file: " + *output);
        }
    }
    if (!options.schematic.empty() && sameFile(options.netList, options.schematic)) {
        throw Failure("the net list and the schematic must be two different files");
    }

    clsINI doc;
    try {
        doc.SetFileName(options.project);
    } catch (const IniReadError&) {
        throw Failure("cannot read the project file " + options.project);
    }
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
    try {
        const Options options = parseOptions(args);
        if (options.help) {
            out << kExportUsage;
            return 0;
        }
        return exportProject(options);
    } catch (const std::exception& failure) {
        // Names from the project may hold line breaks; the report stays one line.
        std::string line = failure.what();
        for (char& c : line) {
            if (c == '\r' || c == '\n') {
                c = ' ';
            }
        }
        err << "korvane-cli export: " << line << "\n";
        return 1;
    }
}

}  // namespace korvane::cli
