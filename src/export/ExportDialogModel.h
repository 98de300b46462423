#pragma once

// Everything the export dialog does apart from showing widgets: the working copy of the component data
// (four parallel lists), the chosen component, the three fields, the pick lists, Update and the refresh
// state. The dialog copies these into its controls and forwards its events here.

#include <optional>
#include <string>
#include <vector>

#include "export/ExportModel.h"
#include "pads/PadBoard.h"
#include "platform/Ui.h"

namespace korvane {

class ExportDialogModel {
  public:
    ExportDialogModel();

    // Says "Nothing to export." when the pad dialog lists no component, and returns true in that case;
    // the menu command and the dialog's showing both ask this first.
    static bool NothingToExport(const PadBoard& board, Ui& ui);

    // Showing: false (after "Nothing to export.") when there is no component, and the dialog hides.
    // Otherwise rebuilds the four lists from the pad dialog's component list and "ComponentsSection",
    // chooses the first component and reloads the footprint and schematic pick lists from programDir
    // (with their messages when a library is missing; a pick list then keeps what it held).
    bool Show(const PadBoard& board, const std::string& programDir, Ui& ui);

    // The four parallel lists: entry i of each belongs to component i.
    const std::vector<std::string>& designators() const { return designators_; }
    const std::vector<std::string>& libRefs() const { return libRefs_; }
    const std::vector<std::string>& partTypes() const { return partTypes_; }
    const std::vector<std::string>& footprints() const { return footprints_; }

    // Pick lists: part types (filled once), footprint names and symbol names.
    const std::vector<std::string>& partTypePicks() const;
    const std::vector<std::string>& footprintPicks() const { return footprintPicks_; }
    const std::vector<std::string>& symbolPicks() const { return symbolPicks_; }

    // -1 when there is none.
    int chosen() const { return chosen_; }
    // Shows the stored data of component index in the three fields; ignored when out of range.
    void Choose(int index);

    // The three fields, which the user may also type into.
    std::string libRefField, partTypeField, footprintField;

    void PickPartType(int index);   // copies the entry into the part-type field
    void PickFootprint(int index);  // copies the entry into the footprint field
    void PickSymbol(int index);     // writes the position in decimal into the reference field

    // Rebuilds the four lists from the component list and "ComponentsSection" as Show does, keeping the
    // chosen position (the last one when the list got shorter) and the three fields as they are.
    void Refresh(const PadBoard& board);

    // Update is possible when a component is chosen and none of the three fields is empty.
    bool UpdateEnabled() const;
    // Takes the three fields for the chosen component into the lists here, then chooses the next component
    // (the last one stays chosen). Returns the data for the caller to store in the project (the component
    // table and "ComponentsSection"), none when Update is not possible.
    std::optional<ComponentData> Update();

    // The reference field's tool tip: the name of the symbol its text points at (empty when none), or
    // "Select from list ONLY !" while the field is empty.
    std::string ReferenceToolTip() const;

    // The component data in list order, as the writers take them.
    std::vector<ComponentData> Components() const;
    ExportModel Model(const PadBoard& board) const;

  private:
    void readLists(const PadBoard& board);

    std::vector<std::string> designators_, libRefs_, partTypes_, footprints_;
    std::vector<std::string> footprintPicks_, symbolPicks_;
    int chosen_ = -1;
};

}  // namespace korvane
