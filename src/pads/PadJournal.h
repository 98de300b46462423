#pragma once

// What one edit of the pads changed, step by step, so that an undo takes back exactly that: markers with
// their positions and descriptions, pad records at their places in the project document, entries of the
// name lists and rows of the component table. PadBoard writes the steps while a journal is attached to it;
// nothing else needs to know what an edit touched.
//
// It also sums up which pads the edit added, removed, moved or renamed, for the change events that views
// follow.

#include <set>
#include <string>
#include <variant>
#include <vector>

#include "pads/PadMarkers.h"
#include "storage/IniDocument.h"
#include "storage/ProjectKeys.h"

namespace korvane {

class PadBoard;

// The pads an edit touched, each list ascending.
struct PadChanges {
    std::vector<int> added, removed, moved, renamed;
    bool names = false;  // a name list or the component table changed
    // What taking the edit back changes: the pads it added go, the pads it removed come back.
    PadChanges inverse() const;
};

enum class PadList { Pad, Net, Comp };

class PadJournal {
  public:
    bool empty() const { return steps_.empty(); }
    void clear();
    PadChanges changes() const;
    // Takes every step back, the newest first. The journal is empty afterwards.
    void rollback(PadBoard& board);

    // ---- written by PadBoard as it edits ----
    void markersCreated(int n);
    void markersDestroyed(int n, const PadMarker& first, const PadMarker& second);
    // The markers as they were before their position (moved) or description changed.
    void markersChanged(int n, const PadMarker& first, const PadMarker& second, bool moved);
    void padRenamed(int n);
    void valueSet(std::string section, std::string key, bool hadSection, bool hadEntry, std::string old);
    // The section that was at index, between the sections named previous and next (one NUL character
    // where there was none, as IniDocument::SectionName gives it).
    void sectionRemoved(int index, IniSection section, std::string previous, std::string next);
    void nameInserted(PadList list, int index);
    void nameRemoved(PadList list, int index, std::string name);
    void componentInserted(int index);
    void componentRemoved(int index, ComponentData data);
    void componentChanged(int index, ComponentData old);
    void listsCleared(std::vector<std::string> pads, std::vector<std::string> nets,
                      std::vector<std::string> comps, std::vector<ComponentData> table);

  private:
    struct Created {
        int n;
    };
    struct Destroyed {
        int n;
        PadMarker first, second;
    };
    struct Changed {
        int n;
        PadMarker first, second;
    };
    struct ValueSet {
        std::string section, key, old;
        bool hadSection, hadEntry;
    };
    struct SectionRemoved {
        int index;
        IniSection section;
        std::string previous, next;
    };
    struct NameInserted {
        PadList list;
        int index;
    };
    struct NameRemoved {
        PadList list;
        int index;
        std::string name;
    };
    struct RowInserted {
        int index;
    };
    struct RowRemoved {
        int index;
        ComponentData data;
    };
    struct RowChanged {
        int index;
        ComponentData old;
    };
    struct Cleared {
        std::vector<std::string> pads, nets, comps;
        std::vector<ComponentData> table;
    };
    using Step = std::variant<Created, Destroyed, Changed, ValueSet, SectionRemoved, NameInserted,
                              NameRemoved, RowInserted, RowRemoved, RowChanged, Cleared>;

    void touchedNames();

    std::vector<Step> steps_;
    std::set<int> added_, removed_, moved_, renamed_;
    bool names_ = false;
};

}  // namespace korvane
