#include "export/ExportDialogModel.h"

#include <algorithm>
#include <cmath>

#include "export/E24.h"
#include "export/Libraries.h"
#include "text/Numbers.h"

namespace korvane {

namespace {

const std::string& entryAt(const std::vector<std::string>& list, int index) {
    static const std::string none;
    return index >= 0 && index < int(list.size()) ? list[std::size_t(index)] : none;
}

}  // namespace

ExportDialogModel::ExportDialogModel() = default;

const std::vector<std::string>& ExportDialogModel::partTypePicks() const {
    return PartTypePickList();
}

bool ExportDialogModel::NothingToExport(const PadBoard& board, Ui& ui) {
    if (!board.compNames.empty()) {
        return false;
    }
    ui.message(
        MessageRequest{"Nothing to export.", "Abort exporting:", MsgButtons::Ok, MsgIcon::Information, 1});
    return true;
}

bool ExportDialogModel::Show(const PadBoard& board, const std::string& programDir, Ui& ui) {
    if (NothingToExport(board, ui)) {
        return false;
    }
    readLists(board);
    chosen_ = -1;
    Choose(0);
    LoadFootprintPickList(programDir, ui, footprintPicks_);
    LoadSchematicPickList(programDir, ui, SymbolWordCase::Exact, symbolPicks_);
    return true;
}

void ExportDialogModel::readLists(const PadBoard& board) {
    designators_.clear();
    libRefs_.clear();
    partTypes_.clear();
    footprints_.clear();
    for (ComponentData& component : ExportComponentList(board.compNames.items(), board.doc())) {
        designators_.push_back(std::move(component.designator));
        libRefs_.push_back(std::move(component.libRef));
        partTypes_.push_back(std::move(component.partType));
        footprints_.push_back(std::move(component.footprint));
    }
}

void ExportDialogModel::Refresh(const PadBoard& board) {
    readLists(board);
    chosen_ = std::min(chosen_, int(designators_.size()) - 1);
}

void ExportDialogModel::Choose(int index) {
    if (index < 0 || index >= int(designators_.size())) {
        return;
    }
    chosen_ = index;
    libRefField = libRefs_[std::size_t(index)];
    partTypeField = partTypes_[std::size_t(index)];
    footprintField = footprints_[std::size_t(index)];
}

void ExportDialogModel::PickPartType(int index) {
    if (index >= 0 && index < int(partTypePicks().size())) {
        partTypeField = partTypePicks()[std::size_t(index)];
    }
}

void ExportDialogModel::PickFootprint(int index) {
    if (index >= 0 && index < int(footprintPicks_.size())) {
        footprintField = footprintPicks_[std::size_t(index)];
    }
}

void ExportDialogModel::PickSymbol(int index) {
    if (index >= 0 && index < int(symbolPicks_.size())) {
        libRefField = std::to_string(index);
    }
}

bool ExportDialogModel::UpdateEnabled() const {
    return chosen_ >= 0 && !libRefField.empty() && !partTypeField.empty() && !footprintField.empty();
}

std::optional<ComponentData> ExportDialogModel::Update() {
    if (!UpdateEnabled()) {
        return std::nullopt;
    }
    const std::size_t at = std::size_t(chosen_);
    libRefs_[at] = libRefField;
    partTypes_[at] = partTypeField;
    footprints_[at] = footprintField;
    ComponentData data{designators_[at], libRefField, partTypeField, footprintField};
    Choose(chosen_ + 1);
    return data;
}

std::string ExportDialogModel::ReferenceToolTip() const {
    if (libRefField.empty()) {
        return "Select from list ONLY !";
    }
    const double position = parseNumber(libRefField);
    if (position < 0 || position != std::floor(position) || position >= double(symbolPicks_.size())) {
        return {};
    }
    return entryAt(symbolPicks_, int(position));
}

std::vector<ComponentData> ExportDialogModel::Components() const {
    std::vector<ComponentData> components;
    components.reserve(designators_.size());
    for (std::size_t i = 0; i < designators_.size(); ++i) {
        components.push_back(ComponentData{designators_[i], libRefs_[i], partTypes_[i], footprints_[i]});
    }
    return components;
}

ExportModel ExportDialogModel::Model(const PadBoard& board) const {
    return MakeExportModel(board, Components());
}

}  // namespace korvane
