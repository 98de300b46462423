#include "export/Libraries.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "text/Ascii.h"

namespace korvane {

namespace {

// The symbol name stands this many lines after its "Component" line.
constexpr std::size_t kNameLineOffset = 19;
// Lines 1 to 13 of the schematic library are its own header, never copied into a schematic.
constexpr std::size_t kSchematicHeaderLines = 13;

// The whole file, or nothing when it is missing, not a regular file, or cannot be read to its end:
// the messages say "not found or access denied" for all of these alike.
std::optional<std::string> readLibrary(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::filesystem::path(path), ec) || ec) {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        return std::nullopt;
    }
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) {
        return std::nullopt;
    }
    return text;
}

bool isSymbolWord(std::string_view line, SymbolWordCase wordCase) {
    const std::string_view word = trimBlanks(line);
    return wordCase == SymbolWordCase::Exact ? word == "Component" : equalsIgnoreCase(word, "Component");
}

}  // namespace

std::string FootprintLibraryPath(const std::string& programDir) {
    return programDir + "/Lib/pcb.lb";
}

std::string SchematicLibraryPath(const std::string& programDir) {
    return programDir + "/Lib/sch.lb";
}

std::vector<std::string_view> SplitLibraryLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(text.substr(start, i - start));
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

std::vector<std::string> ParseFootprintLibrary(std::string_view text) {
    std::vector<std::string> entries;
    for (std::string_view line : SplitLibraryLines(text)) {
        entries.emplace_back(trimBlanks(line));
    }
    return entries;
}

std::vector<std::string> ParseSchematicSymbols(std::string_view text, SymbolWordCase wordCase) {
    const std::vector<std::string_view> lines = SplitLibraryLines(text);
    std::vector<std::string> names;
    std::size_t i = 0;
    while (i < lines.size()) {
        if (!isSymbolWord(lines[i], wordCase)) {
            ++i;
            continue;
        }
        const std::size_t nameLine = i + kNameLineOffset;
        if (nameLine >= lines.size()) {
            break;  // the record is cut short by the end of the file
        }
        names.emplace_back(trimBlanks(lines[nameLine]));
        i = nameLine + 1;
    }
    return names;
}

std::optional<std::vector<std::string>> ReadFootprintPickList(const std::string& programDir) {
    const std::optional<std::string> text = readLibrary(FootprintLibraryPath(programDir));
    if (!text) {
        return std::nullopt;
    }
    return ParseFootprintLibrary(*text);
}

std::optional<std::vector<std::string>> ReadSchematicPickList(const std::string& programDir,
                                                              SymbolWordCase wordCase) {
    const std::optional<std::string> text = readLibrary(SchematicLibraryPath(programDir));
    if (!text) {
        return std::nullopt;
    }
    return ParseSchematicSymbols(*text, wordCase);
}

MessageRequest FootprintLibraryMissingMessage(const std::string& programDir) {
    return MessageRequest{"PSB's component library: " + FootprintLibraryPath(programDir) +
                              " - not found or access denied. Check this file or enter footprints of "
                              "PCB manually.",
                          "Library not found:", MsgButtons::Ok, MsgIcon::Information, 1};
}

MessageRequest SchematicLibraryMissingMessage(const std::string& programDir) {
    return MessageRequest{"Scheme's component library: " + SchematicLibraryPath(programDir) +
                              " - not found or access denied. Export of scheme will be skipped.",
                          "Sch library not found:", MsgButtons::Ok, MsgIcon::Information, 1};
}

bool LoadFootprintPickList(const std::string& programDir, Ui& ui, std::vector<std::string>& list) {
    std::optional<std::vector<std::string>> names = ReadFootprintPickList(programDir);
    if (!names) {
        ui.message(FootprintLibraryMissingMessage(programDir));
        return false;
    }
    list = std::move(*names);
    return true;
}

bool LoadSchematicPickList(const std::string& programDir, Ui& ui, SymbolWordCase wordCase,
                           std::vector<std::string>& list) {
    std::optional<std::vector<std::string>> names = ReadSchematicPickList(programDir, wordCase);
    if (!names) {
        ui.message(SchematicLibraryMissingMessage(programDir));
        return false;
    }
    list = std::move(*names);
    return true;
}

bool SchematicLibraryAvailable(const std::string& programDir) {
    // Readable, not merely present: a library that cannot be opened would leave a schematic whose parts
    // point at symbols it does not contain.
    return readLibrary(SchematicLibraryPath(programDir)).has_value();
}

std::vector<std::string> SchematicLibraryBody(const std::string& programDir) {
    const std::optional<std::string> text = readLibrary(SchematicLibraryPath(programDir));
    if (!text) {
        return {};
    }
    const std::vector<std::string_view> lines = SplitLibraryLines(*text);
    std::vector<std::string> body;
    for (std::size_t i = kSchematicHeaderLines; i < lines.size(); ++i) {
        body.emplace_back(lines[i]);
    }
    return body;
}

}  // namespace korvane
