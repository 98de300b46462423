#pragma once

// The user's edits of pads and components as steps of the project's history: placing a pad, moving one
// marker (one step per Ctrl + drag), deleting pads, naming pads (one step per Apply, however many pads it
// touches) and storing a component's data. Each step runs its edit on the project's pads with a journal
// attached; undo takes back exactly what the journal recorded, the pad records at their places in the
// document included, and redo runs the edit again on the state the undo restored.
//
// Each step announces what it changed (pads added, moved, renamed, removed; components) in both
// directions, so the views follow without being told by the window that made the edit.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "nets/CheckReport.h"
#include "pads/PadBoard.h"
#include "pads/PadJournal.h"
#include "project/UndoStack.h"

namespace korvane {

class Project;

class PadEdit final : public UndoCommand {
  public:
    using Action = std::function<void(PadBoard&)>;
    // Names the step once its first run shows what it changed.
    using Namer = std::function<std::string(const PadChanges&)>;

    PadEdit(Action action, Namer namer);

    std::string text() const override { return text_; }
    void undo(Project& project) override;
    void redo(Project& project) override;

    // The last run changed nothing: such a step is not kept.
    bool changedNothing() const { return journal_.empty(); }
    const PadChanges& changes() const { return changes_; }

  private:
    Action action_;
    Namer namer_;
    std::string text_;
    PadJournal journal_;
    PadChanges changes_;
};

// Runs the edit and keeps it on the project's history; an edit that changed nothing is dropped and false
// returned.
bool ApplyPadEdit(Project& project, std::unique_ptr<PadEdit> edit);

struct PadPlace {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// A double click: pad n with visible markers at the two places, named with the chosen fields of names,
// and, when data is given, that component's data stored (under the component list's spelling of its
// designator, once the naming has listed it). "place pad".
std::unique_ptr<PadEdit> PlacePadEdit(int n, PadPlace place, unsigned fields, PadNames names,
                                      std::optional<ComponentData> data);
// The end of a Ctrl + drag: one marker of pad n at its new top-left corner. "move pad".
std::unique_ptr<PadEdit> MovePadEdit(int picture, int n, double left, double top);
// "Delete selected pads": the pads and their records. With no pad left the name lists, the component table
// and "ComponentsSection" go too; otherwise the net and component lists lose the entries that the
// remembered selection patterns match and no remaining pad carries. "delete N pads".
std::unique_ptr<PadEdit> DeletePadsEdit(std::vector<int> pads, std::string netPattern,
                                        std::string compPattern);
// The pad dialog's "Del": the current pad, its designator leaving the list when no other pad carries it.
// "delete pad".
std::unique_ptr<PadEdit> DeletePadEdit(int n);
// The pad dialog's Apply: the chosen name fields into every existing pad of pads, and the component data
// typed in the dialog when given. "name N pads", or "component data" when only the data changed.
std::unique_ptr<PadEdit> NamePadsEdit(std::vector<int> pads, unsigned fields, PadNames names,
                                      std::optional<ComponentData> data);
// The connectivity check's suggestions taken at once: each pad named with its suggested net, net only,
// in one step. "name N pads".
std::unique_ptr<PadEdit> NameSuggestedPadsEdit(std::vector<NetSuggestion> suggestions);
// The export dialog's Update: a listed component's symbol, part type and footprint. "component data".
std::unique_ptr<PadEdit> ComponentDataEdit(ComponentData data);

// Actions at selected pads: the pads' copper on one picture only (1, 2: surface-mount pads, which join no
// copper of the other side in the connectivity check) or on both (0). "pads on one side", "through pads".
std::unique_ptr<PadEdit> PadLayerEdit(std::vector<int> pads, int layer);

// "delete 1 pad", "delete 3 pads".
std::string CountedPads(const char* verb, std::size_t count);

}  // namespace korvane
