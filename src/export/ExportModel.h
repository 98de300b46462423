#pragma once

// What the export writes, gathered in one plain value: the components with their data, the nets, and the
// named pads. The writers take only this, so the export dialog and korvane-cli produce the same bytes from
// the same project, and tests build the value directly.
//
// Where the pieces come from:
// - components: the export dialog's four parallel lists, built from the pad dialog's component list and
//   "ComponentsSection" (markers in exact case);
// - nets: the pad dialog's net list;
// - pads: the records of the pads that exist, in document order. A hand-made section that makes no pad
//   ("Pad0", "PadList", a number another section already took) contributes nothing.

#include <string>
#include <string_view>
#include <vector>

#include "pads/PadBoard.h"
#include "storage/IniDocument.h"
#include "storage/ProjectKeys.h"

namespace korvane {

struct ExportPad {
    int number = 0;
    std::string padName, netName, compName;
};

struct ExportModel {
    std::vector<ComponentData> components;  // in the export dialog's order
    std::vector<std::string> nets;          // in the pad dialog's order
    std::vector<ExportPad> pads;            // existing pads, in document order
};

// The export dialog's reading of a "ComponentsSection" value: the text before "{label}", between the
// markers, and after "{footprint}", markers in exact case. A value that lacks a marker or has them in the
// wrong order gives three empty fields rather than texts cut at the wrong places; the value itself stays
// as it is until the user stores new data.
ComponentData SplitExportComponent(std::string_view designator, std::string_view value);

// The four parallel lists for the given designators in order (empty designators skipped), each with its
// stored data or three empty texts.
std::vector<ComponentData> ExportComponentList(const std::vector<std::string>& designators,
                                               const IniDocument& doc);

// The records of the pads that exist on the board, in document order: for each pad number the first
// section that names it.
std::vector<ExportPad> ExistingPads(const PadBoard& board);

// The model from the board's lists and records, with the component data the export dialog holds.
ExportModel MakeExportModel(const PadBoard& board, std::vector<ComponentData> components);

// The model as the dialogs hold it right after opening the project in doc: pad sections renamed as
// opening renames them, name lists in reverse order of first appearance, component data from
// "ComponentsSection". doc is changed as opening changes it (pad section names, an empty
// "ComponentsSection" added when missing); nothing is written to disk.
ExportModel ExportModelOfOpenedProject(IniDocument& doc);

}  // namespace korvane
