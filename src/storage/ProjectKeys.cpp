#include "storage/ProjectKeys.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <limits>
#include <optional>
#include <system_error>

#include "text/Ascii.h"
#include "text/Numbers.h"
#include "tracing/TraceRecords.h"

namespace korvane {

namespace {

constexpr std::string_view kLabelMarker = "{label}";
constexpr std::string_view kFootprintMarker = "{footprint}";

std::size_t findMarker(std::string_view text, std::string_view marker, CaseMode mode) {
    if (mode == CaseMode::Exact) {
        return text.find(marker);
    }
    for (std::size_t at = 0; at + marker.size() <= text.size(); ++at) {
        if (equalsIgnoreCase(text.substr(at, marker.size()), marker)) {
            return at;
        }
    }
    return std::string_view::npos;
}

// Text of one field: from the end of its marker to the other marker when that comes later.
std::string fieldAfter(std::string_view text, std::size_t marker, std::size_t markerSize, std::size_t other) {
    if (marker == std::string_view::npos) {
        return {};
    }
    std::size_t begin = marker + markerSize;
    std::size_t end = other != std::string_view::npos && other > marker ? other : text.size();
    return std::string(text.substr(begin, end > begin ? end - begin : 0));
}

bool isRegularFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

// Absolute in either world: "/x", "\x" or a drive "C:". Such a path is not re-rooted in the project folder.
bool isRooted(std::string_view path) {
    if (!path.empty() && (path.front() == '/' || path.front() == '\\')) {
        return true;
    }
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

}  // namespace

void WriteMainValues(IniDocument& ini, const MainValues& values) {
    const std::pair<std::string_view, double> entries[] = {
        {"X", values.scaleX},    {"Y", values.scaleY},    {"OldX1", values.oldX1}, {"OldY1", values.oldY1},
        {"OldX2", values.oldX2}, {"OldY2", values.oldY2}, {"X1", values.x1},       {"Y1", values.y1},
        {"X2", values.x2},       {"Y2", values.y2},
    };
    for (const auto& [key, number] : entries) {
        ini.SetValue(kFilePathSection, key, formatNumber(number));
    }
}

MainValues ReadMainValues(const IniDocument& ini) {
    auto number = [&ini](std::string_view key) { return parseNumber(ini.Value(kFilePathSection, key)); };
    auto whole = [&ini](std::string_view key) { return parseWhole(ini.Value(kFilePathSection, key)); };
    auto scale = [&number](std::string_view key) {
        double value = number(key);
        // The window holds the scales in single precision: a value that would become 0 or infinity there
        // is as unusable as a negative one.
        const float held = float(value);
        return value > 0 && held > 0 && held <= std::numeric_limits<float>::max() ? value : 1.0;
    };
    MainValues values;
    values.scaleX = scale("X");
    values.scaleY = scale("Y");
    values.oldX1 = whole("OldX1");
    values.oldY1 = whole("OldY1");
    values.oldX2 = whole("OldX2");
    values.oldY2 = whole("OldY2");
    auto coordinate = [&ini](std::string_view key) {
        return ReadCoordinate(ini.Value(kFilePathSection, key));
    };
    values.x1 = coordinate("X1");
    values.y1 = coordinate("Y1");
    values.x2 = coordinate("X2");
    values.y2 = coordinate("Y2");
    return values;
}

std::string PadSectionName(int n) {
    return "Pad" + std::to_string(n);
}

std::string FormatPadPosition(double x, double y) {
    return formatNumber(x) + "," + formatNumber(y);
}

double ReadCoordinate(std::string_view text) {
    return std::clamp(parseNumber(text), -kCoordinateLimit, kCoordinateLimit);
}

void ParsePadPosition(std::string_view text, double& x, double& y) {
    std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) {
        x = y = ReadCoordinate(text);
        return;
    }
    x = ReadCoordinate(text.substr(0, comma));
    y = ReadCoordinate(text.substr(comma + 1));
}

std::vector<PadRecord> ReadPads(const IniDocument& ini) {
    std::vector<PadRecord> pads;
    int count = ini.SectionsCount();
    for (int i = 1; i <= count; ++i) {
        std::string name = ini.SectionName(i);
        if (name.size() < 3 || !equalsIgnoreCase(std::string_view(name).substr(0, 3), "Pad")) {
            continue;
        }
        PadRecord pad;
        pad.number = parseWhole(std::string_view(name).substr(3));
        pad.padName = ini.Value(name, "PadName");
        pad.netName = ini.Value(name, "NetName");
        pad.compName = ini.Value(name, "CompName");
        ParsePadPosition(ini.Value(name, "1Pad"), pad.x1, pad.y1);
        ParsePadPosition(ini.Value(name, "2Pad"), pad.x2, pad.y2);
        pad.sectionName = std::move(name);
        pads.push_back(std::move(pad));
    }
    return pads;
}

void WritePad(IniDocument& ini, int n, std::string_view padName, std::string_view netName,
              std::string_view compName, double x1, double y1, double x2, double y2) {
    std::string section = PadSectionName(n);
    ini.SetValue(section, "PadName", padName);
    ini.SetValue(section, "NetName", netName);
    ini.SetValue(section, "CompName", compName);
    ini.SetValue(section, "1Pad", FormatPadPosition(x1, y1));
    ini.SetValue(section, "2Pad", FormatPadPosition(x2, y2));
}

std::string JoinComponent(std::string_view libRef, std::string_view partType, std::string_view footprint) {
    std::string value;
    value.reserve(libRef.size() + partType.size() + footprint.size() + kLabelMarker.size() +
                  kFootprintMarker.size());
    value.append(libRef).append(kLabelMarker).append(partType).append(kFootprintMarker).append(footprint);
    return value;
}

ComponentData SplitComponent(std::string_view designator, std::string_view value, CaseMode markerCase) {
    std::size_t label = findMarker(value, kLabelMarker, markerCase);
    std::size_t footprint = findMarker(value, kFootprintMarker, markerCase);
    ComponentData data;
    data.designator = designator;
    data.libRef = value.substr(0, std::min(std::min(label, footprint), value.size()));
    data.partType = fieldAfter(value, label, kLabelMarker.size(), footprint);
    data.footprint = fieldAfter(value, footprint, kFootprintMarker.size(), label);
    return data;
}

bool StorableKey(std::string_view name) {
    // Judged on the written text: a name that begins with a NUL or a line break loses it on the way out,
    // and what follows ("[", ";") would then start the line.
    const std::string written = IniDocument::WrittenName(name);
    return !trimBlanks(written).empty() && written.front() != '[' &&
           written.find_first_of("=;") == std::string::npos;
}

void WriteComponents(IniDocument& ini, const std::vector<ComponentData>& components) {
    if (components.empty()) {
        return;
    }
    // A hand-edited file may hold the section twice; the rebuilt one must be the only one, or the next
    // save would write into the leftover and every save would move the entries about.
    while (ini.RemoveSection(kComponentsSection)) {
    }
    for (const ComponentData& component : components) {
        // Two designators that differ only in what the writer drops or turns into blanks (a NUL) would be
        // written as one key twice; the first keeps its place and its data, as the reader would find it.
        const std::string key = IniDocument::WrittenName(component.designator);
        if (StorableKey(component.designator) && !ini.ValueExists(kComponentsSection, key)) {
            ini.SetValue(kComponentsSection, key,
                         JoinComponent(component.libRef, component.partType, component.footprint));
        }
    }
}

std::vector<ComponentData> ReadComponents(const IniDocument& ini) {
    std::vector<ComponentData> components;
    int count = ini.ValuesCount(kComponentsSection);
    for (int i = 1; i <= count; ++i) {
        components.push_back(
            SplitComponent(ini.ValueName(kComponentsSection, i), ini.ValueAt(kComponentsSection, i)));
    }
    return components;
}

std::pair<std::string, std::string> SplitTraceRecord(std::string_view record) {
    std::size_t equals = record.find('=');
    if (equals == std::string_view::npos) {
        return {std::string(record), std::string()};
    }
    return {std::string(record.substr(0, equals)), std::string(record.substr(equals + 1))};
}

namespace {

void writeTraceSections(IniDocument& ini, const std::vector<std::string>& list1,
                        const std::vector<std::string>& list2) {
    while (ini.RemoveSection(kTraceSection)) {
    }
    while (ini.RemoveSection(kModeTraceSection)) {
    }
    ini.AddSection(kTraceSection);
    std::vector<std::pair<std::string, std::string>> placed;
    for (const auto* list : {&list1, &list2}) {
        for (std::size_t place = 0; place < list->size(); ++place) {
            const std::string& record = (*list)[place];
            if (TraceRecordMode(record) != FillMode::Packed) {
                placed.emplace_back((list == &list1 ? "1." : "2.") + std::to_string(place), record);
                continue;
            }
            auto [key, value] = SplitTraceRecord(record);
            // Keyed as the file will give the key back, so that records the reader will see as one are
            // one entry already in this save, and the next save writes the same.
            ini.SetValue(kTraceSection, IniDocument::WrittenName(key), value);
        }
    }
    if (!placed.empty()) {
        ini.AddSection(kModeTraceSection);
        for (const auto& [key, record] : placed) {
            ini.AddValue(kModeTraceSection, key, record);
        }
    }
}

// "<list>.<place>" as written by WriteTraces; nullopt for anything else.
std::optional<std::pair<int, std::size_t>> parsePlace(std::string_view key) {
    if (key.size() < 3 || (key[0] != '1' && key[0] != '2') || key[1] != '.') {
        return std::nullopt;
    }
    std::size_t place = 0;
    const std::string_view digits = key.substr(2);
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), place);
    if (ec != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return std::pair<int, std::size_t>{key[0] - '0', place};
}

// Puts the placed records into the list among the others: each at its place as long as the records
// before it are there, the rest after them in order of place.
void placeRecords(std::vector<std::string>& list, std::vector<std::pair<std::size_t, std::string>> placed) {
    std::stable_sort(placed.begin(), placed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> merged;
    merged.reserve(list.size() + placed.size());
    std::size_t next = 0;
    for (auto& [place, record] : placed) {
        while (merged.size() < place && next < list.size()) {
            merged.push_back(std::move(list[next++]));
        }
        merged.push_back(std::move(record));
    }
    while (next < list.size()) {
        merged.push_back(std::move(list[next++]));
    }
    list = std::move(merged);
}

}  // namespace

void WriteTraces(IniDocument& ini, const std::vector<std::string>& list1,
                 const std::vector<std::string>& list2) {
    // Lists that would not read back as they stand (records with equal keys collapse, a mode record's
    // place counts records that collapsed) are written as they will be read, so that saving what was
    // read writes the same bytes. A list of distinct packed records is its own reading: one round.
    std::vector<std::string> first = list1, second = list2;
    for (int round = 0; round < 3; ++round) {
        IniDocument scratch;
        writeTraceSections(scratch, first, second);
        TraceLists back = TakeTraces(scratch);
        if (back.first == first && back.second == second) {
            break;
        }
        first = std::move(back.first);
        second = std::move(back.second);
    }
    writeTraceSections(ini, first, second);
}

TraceLists TakeTraces(IniDocument& ini) {
    TraceLists lists;
    int count = ini.ValuesCount(kTraceSection);
    lists.offerDrawing = count != 0;
    // Every "TraceSection" of a hand-edited file, in document order: the save keeps only the lists, so
    // the records of a repeated section would otherwise vanish unseen.
    for (; count >= 0; count = ini.ValuesCount(kTraceSection)) {
        for (int i = 1; i <= count; ++i) {
            std::string key = ini.ValueName(kTraceSection, i);
            std::string record = key + "=" + ini.ValueAt(kTraceSection, i);
            (!key.empty() && key.front() == '1' ? lists.first : lists.second).push_back(std::move(record));
        }
        ini.RemoveSection(kTraceSection);
    }
    ini.AddSection(kTraceSection);

    std::vector<std::pair<std::size_t, std::string>> placed[2];
    for (count = ini.ValuesCount(kModeTraceSection); count >= 0; count = ini.ValuesCount(kModeTraceSection)) {
        for (int i = 1; i <= count; ++i) {
            const std::string key = ini.ValueName(kModeTraceSection, i);
            std::string record = ini.ValueAt(kModeTraceSection, i);
            if (const auto place = parsePlace(key)) {
                placed[place->first - 1].emplace_back(place->second, std::move(record));
            } else {
                const bool first = !record.empty() && record.front() == '1';
                placed[first ? 0 : 1].emplace_back(std::numeric_limits<std::size_t>::max(),
                                                   std::move(record));
            }
        }
        ini.RemoveSection(kModeTraceSection);
    }
    placeRecords(lists.first, std::move(placed[0]));
    placeRecords(lists.second, std::move(placed[1]));
    lists.offerDrawing = lists.offerDrawing || !lists.first.empty() || !lists.second.empty();
    return lists;
}

std::pair<std::string, std::string> PictureEntries(const IniDocument& ini) {
    return {ini.ValueAt(kFilePathSection, 1), ini.ValueAt(kFilePathSection, 2)};
}

std::string FolderOfPath(std::string_view path) {
    std::size_t last = path.find_last_of("/\\:");
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::string NameOfPath(std::string_view path) {
    std::size_t last = path.find_last_of("/\\");
    return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

std::string StoredPicturePath(const std::string& picturePath, const std::string& projectPath) {
    return FolderOfPath(picturePath) == FolderOfPath(projectPath) ? NameOfPath(picturePath) : picturePath;
}

std::string ResolvePicturePath(const std::string& stored, const std::string& projectPath) {
    if (stored.empty()) {
        return {};
    }
    std::string projectFolder = FolderOfPath(projectPath);
    std::string primary = isRooted(stored) ? stored : projectFolder + stored;
    if (isRegularFile(primary)) {
        return primary;
    }
    std::string besideProject = projectFolder + NameOfPath(stored);
    if (besideProject != primary && isRegularFile(besideProject)) {
        return besideProject;
    }
    return primary;
}

}  // namespace korvane
