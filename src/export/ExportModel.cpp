#include "export/ExportModel.h"

#include <unordered_set>

#include "pads/PadText.h"

namespace korvane {

namespace {

constexpr std::string_view kLabelMarker = "{label}";
constexpr std::string_view kFootprintMarker = "{footprint}";

}  // namespace

ComponentData SplitExportComponent(std::string_view designator, std::string_view value) {
    ComponentData data;
    data.designator = designator;
    const std::size_t label = value.find(kLabelMarker);
    const std::size_t footprint = value.find(kFootprintMarker);
    if (label == std::string_view::npos || footprint == std::string_view::npos ||
        footprint < label + kLabelMarker.size()) {
        return data;
    }
    const std::size_t typeBegin = label + kLabelMarker.size();
    data.libRef = value.substr(0, label);
    data.partType = value.substr(typeBegin, footprint - typeBegin);
    data.footprint = value.substr(footprint + kFootprintMarker.size());
    return data;
}

std::vector<ComponentData> ExportComponentList(const std::vector<std::string>& designators,
                                               const IniDocument& doc) {
    std::vector<ComponentData> components;
    components.reserve(designators.size());
    for (const std::string& designator : designators) {
        if (!designator.empty()) {
            components.push_back(SplitExportComponent(designator, doc.Value(kComponentsSection, designator)));
        }
    }
    return components;
}

std::vector<ExportPad> ExistingPads(const PadBoard& board) {
    const IniDocument& doc = board.doc();
    std::vector<ExportPad> pads;
    std::unordered_set<int> seen;
    const int count = doc.SectionsCount();
    for (int i = 1; i <= count; ++i) {
        const std::string section = doc.SectionName(i);
        const int n = UsablePadNumber(section);
        if (n == 0 || !board.markers.exists(n) || !seen.insert(n).second) {
            continue;
        }
        pads.push_back(ExportPad{n, doc.Value(section, "PadName"), doc.Value(section, "NetName"),
                                 doc.Value(section, "CompName")});
    }
    return pads;
}

ExportModel MakeExportModel(const PadBoard& board, std::vector<ComponentData> components) {
    ExportModel model;
    model.components = std::move(components);
    model.nets = board.netNames.items();
    model.pads = ExistingPads(board);
    return model;
}

ExportModel ExportModelOfOpenedProject(IniDocument& doc) {
    PadBoard::NormalisePadSections(doc);
    PadBoard board(doc);
    for (const PadRecord& record : ReadPads(doc)) {
        board.loadPad(record);
    }
    doc.AddSection(kComponentsSection);
    return MakeExportModel(board, ExportComponentList(board.compNames.items(), doc));
}

}  // namespace korvane
