#include <ostream>

#include "cli/CommandLine.h"
#include "cli/ExportCommands.h"
#include "pads/PadBoard.h"
#include "project/Project.h"
#include "project/ProjectFile.h"
#include "storage/IniDocument.h"
#include "storage/ProjectKeys.h"
#include "text/Ascii.h"
#include "text/Numbers.h"
#include "transforms/PixelTransforms.h"

namespace korvane::cli {

const char* const kInfoUsage =
    "usage: korvane-cli info PROJECT.kvp\n"
    "\n"
    "Prints a JSON summary of the project as the program reads it when opening it: the two stored picture\n"
    "paths, the cursor-move scale, the cursor positions, the pads in document order, every component\n"
    "named on the pads with its data (in the export's order), the trace records (first picture's list,\n"
    "then the second's) and the two pictures' stored orientations. Names that are not valid UTF-8 are\n"
    "read as Windows-1252. The project is never changed.\n";

namespace {

std::string jsonNumber(double value) {
    return formatNumber(value);
}

std::string point(double x, double y) {
    return "[" + jsonNumber(x) + ", " + jsonNumber(y) + "]";
}

// Writes items as a JSON array, one item per line.
void writeArray(std::ostream& out, const char* name, const std::vector<std::string>& items, bool last) {
    out << "  \"" << name << "\": [";
    for (std::size_t i = 0; i < items.size(); ++i) {
        out << (i == 0 ? "\n" : ",\n") << "    " << items[i];
    }
    out << (items.empty() ? "]" : "\n  ]") << (last ? "\n" : ",\n");
}

int info(const std::string& path, std::ostream& out) {
    Project project;
    ReadProject(project.doc, path);

    // The project as opening reads it, in memory only: pad sections renamed and the sections that make
    // no pad left out, the traces moved into their two lists.
    const auto [first, second] = PictureEntries(project.doc);
    const OpenedProject opened = ReadProjectModel(project);
    const MainValues& values = opened.values;
    std::vector<std::string> pads;
    for (const PadRecord& pad : opened.pads) {
        pads.push_back("{\"number\": " + std::to_string(pad.number) +
                       ", \"pad\": " + jsonString(pad.padName) + ", \"net\": " + jsonString(pad.netName) +
                       ", \"comp\": " + jsonString(pad.compName) + ", \"pos1\": " + point(pad.x1, pad.y1) +
                       ", \"pos2\": " + point(pad.x2, pad.y2) + "}");
    }
    // The component table as opening builds it: every component named on the pads, in the order the
    // export lists them, with empty fields where "ComponentsSection" holds nothing for it.
    std::vector<std::string> components;
    for (const ComponentData& component : project.pads.componentTable()) {
        components.push_back("{\"designator\": " + jsonString(component.designator) +
                             ", \"libref\": " + jsonString(component.libRef) +
                             ", \"parttype\": " + jsonString(component.partType) +
                             ", \"footprint\": " + jsonString(component.footprint) + "}");
    }
    std::vector<std::string> traces;
    for (const TraceList* list : {&project.traces1, &project.traces2}) {
        for (const std::string& record : *list) {
            traces.push_back(jsonString(record));
        }
    }

    out << "{\n";
    out << "  \"pictures\": [" << jsonString(first) << ", " << jsonString(second) << "],\n";
    out << "  \"scale\": {\"x\": " << jsonNumber(values.scaleX) << ", \"y\": " << jsonNumber(values.scaleY)
        << "},\n";
    out << "  \"cursors\": {\"x1\": " << jsonNumber(values.x1) << ", \"y1\": " << jsonNumber(values.y1)
        << ", \"x2\": " << jsonNumber(values.x2) << ", \"y2\": " << jsonNumber(values.y2) << "},\n";
    writeArray(out, "pads", pads, false);
    writeArray(out, "components", components, false);
    writeArray(out, "traces", traces, false);
    out << "  \"orientation\": [" << jsonString(project.doc.Value(kFilePathSection, OrientationKey(1)))
        << ", " << jsonString(project.doc.Value(kFilePathSection, OrientationKey(2))) << "]\n";
    out << "}\n";
    return 0;
}

}  // namespace

int RunInfoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return RunReporting("info", err, [&] {
        const Arguments parsed = ParseArguments(args, {});
        if (parsed.help) {
            out << kInfoUsage;
            return 0;
        }
        return info(parsed.project, out);
    });
}

}  // namespace korvane::cli
