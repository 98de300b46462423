#include "export/SchematicWriter.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "export/Libraries.h"
#include "export/NetListWriter.h"

namespace korvane {

namespace {

// Lines 1 to 13 of the library are its own header.
constexpr std::size_t kLibraryHeaderLines = 13;
constexpr std::string_view kDescriptionLine = "     PartDescription  474 661 0 8388608 1 0 1 '*'";
constexpr std::string_view kSheetFileLine = "     SheetPartFileName  474 501 0 8388608 1 0 1 '*' ";

}  // namespace

SchematicLibrary ParseSchematicLibrary(std::string_view text) {
    SchematicLibrary library;
    // The export's pick list takes only the exact word "Component" as a record start, like the readers of
    // the schematics we write.
    library.symbols = ParseSchematicSymbols(text, SymbolWordCase::Exact);
    const std::vector<std::string_view> lines = SplitLibraryLines(text);
    for (std::size_t i = kLibraryHeaderLines; i < lines.size(); ++i) {
        library.body.emplace_back(lines[i]);
    }
    return library;
}

std::optional<SchematicLibrary> ReadSchematicLibrary(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::filesystem::path(path), ec) || ec) {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        return std::nullopt;
    }
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) {
        return std::nullopt;
    }
    return ParseSchematicLibrary(text);
}

bool ValidSchematicReference(std::string_view reference, std::size_t symbolCount) {
    if (reference.empty()) {
        return false;
    }
    std::size_t value = 0;
    for (char c : reference) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + std::size_t(c - '0');
        if (value >= symbolCount) {
            return false;  // also keeps the arithmetic from overflowing on a long digit string
        }
    }
    return true;
}

std::vector<std::string> ComponentsWithoutSymbol(const ExportModel& model, std::size_t symbolCount) {
    std::vector<std::string> missing;
    for (const ComponentData& component : model.components) {
        if (!ValidSchematicReference(component.libRef, symbolCount)) {
            missing.push_back(component.designator);
        }
    }
    return missing;
}

std::string SchematicText(const ExportModel& model, const SchematicLibrary& library) {
    std::string out;
    AppendExportLine(out, "Protel for Windows - Schematic Capture Ascii File Version 1.2 - 2.0");
    AppendExportLine(out, "10");
    for (const std::string& line : library.body) {
        out.append(line).append("\r\n");  // the library's own lines, unchanged
    }
    AppendExportLine(out, "Organization");
    AppendExportLine(out, "    Automatic SCH from Korvane");
    for (int i = 0; i < 7; ++i) {
        AppendExportLine(out, "");
    }
    AppendExportLine(out, "  1 1");
    AppendExportLine(out, "End");
    AppendExportLine(out, "Future  1 8 6");
    AppendExportLine(out, "EndFuture  1");
    AppendExportLine(out, "Sheet");
    AppendExportLine(out, "  1 6 0 1 1 0 15269887 1 10 1 10 1000 800 0");
    for (const ComponentData& component : model.components) {
        AppendExportLine(out, "     Part  470 700 0 0 0 0 1 " + component.libRef + " 0 0 '' '" +
                                  component.footprint + "'");
        AppendExportLine(out, "     Designator  474 681 0 8388608 1 0 0 '" + component.designator + "'");
        AppendExportLine(out, "     PartType  474 671 0 8388608 1 0 0 '" + component.partType + "'");
        for (int i = 0; i < 8; ++i) {
            AppendExportLine(out, kDescriptionLine);
        }
        AppendExportLine(out, kSheetFileLine);
    }
    AppendExportLine(out, "EndSheet");
    return out;
}

}  // namespace korvane
