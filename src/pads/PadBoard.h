#pragma once

// The pads of the open project as data: the two marker arrays, the pad records in the project document,
// the three name lists and the component table. Every user edit of pads (place, move, name, delete,
// component data) is made of the functions here; the project's pad commands run them with a journal
// attached, which records each change so that an undo takes back exactly that edit.
//
// Pad n's record is the section "Pad" + n of the document. Records are written the moment a pad is named,
// so the document always holds every pad; the component table is written into the document by the
// project save (componentTable()), and a component's data also the moment they are stored.

#include <string>
#include <string_view>
#include <vector>

#include "pads/PadJournal.h"
#include "pads/PadMarkers.h"
#include "pads/PadText.h"
#include "storage/IniDocument.h"
#include "storage/ProjectKeys.h"

namespace korvane {

struct PadNames {
    std::string pad, net, comp;
};

// Which name fields an edit writes.
enum PadField : unsigned { kPadNameField = 1, kNetNameField = 2, kCompNameField = 4, kAllNameFields = 7 };

class PadBoard {
  public:
    explicit PadBoard(IniDocument& doc) : doc_(&doc) {}

    IniDocument& doc() const { return *doc_; }

    PadMarkers markers;
    NameList padNames;
    NameList netNames;
    NameList compNames;
    // Entry i holds the data of component compNames[i] (designator included), so the two always have the
    // same length.
    std::vector<ComponentData> components;

    // While a journal is attached, every change below is written into it (null: none).
    void setJournal(PadJournal* journal) { journal_ = journal; }

    // ---- edits ----

    // Creates pad n with visible markers at (x1, y1) on picture 1 and (x2, y2) on picture 2. Its record is
    // written by the naming that follows. False when n is not a free number 1..32767.
    bool place(int n, double x1, double y1, double x2, double y2);
    // Moves one marker of pad n and stores the new position in its record. True when anything changed.
    bool move(int picture, int n, double left, double top);
    // Writes the chosen name fields and both marker positions into the record of every existing pad of
    // pads, appends names that their lists do not hold yet, and rebuilds each pad's description. True when
    // the document or a list changed.
    bool writeNames(const std::vector<int>& pads, unsigned fields, const PadNames& names);
    // Removes the pads that exist among pads, markers and records; returns their numbers.
    std::vector<int> deletePads(const std::vector<int>& pads);
    // Removes the pads whose picture-1 marker is selected, markers and records; returns their numbers.
    std::vector<int> deleteSelected() { return deletePads(markers.selectedPads()); }
    // Which pictures show pad n's copper: 0 both (a through pad, as every pad is until told otherwise), 1 or
    // 2 that picture only (a surface-mount pad). Kept in the record as "Layer", which only one-sided pads
    // carry, so that a record nobody marked stays as it was written.
    static constexpr std::string_view kLayerKey = "Layer";
    int padLayer(int n) const;
    // Marks the existing pads among pads as one-sided (layer 1 or 2) or through (0). True when a record
    // changed.
    bool setPadLayer(const std::vector<int>& pads, int layer);
    // Removes pad n, markers and record. Its designator leaves the pad designator list when no other pad
    // carries it: the list is what the dialog offers for picking, and a name that names nothing any more
    // would only invite mistakes.
    bool deletePad(int n);
    // Removes the first section of that name from the document; false when there is none.
    bool removeSection(std::string_view section);
    // Removes every marker, empties the name lists and the component table, and removes every section
    // whose name begins with "Pad" in any case. The project goes away: no edit, never journaled.
    void clearAll();

    // ---- lists ----

    // Empties the three name lists and the component table.
    void clearLists();
    // Removes every entry of the net (or component) list that pattern matches and no remaining pad
    // carries.
    void pruneNets(std::string_view pattern);
    void pruneComponents(std::string_view pattern);
    // Reads the table anew from "ComponentsSection" for every entry of the component list. Not an edit
    // (the table and the section agree while the project is open), never journaled.
    void rebuildComponentTable();
    // Stores new data for a component of the list in the table only; false when it is not listed.
    bool setComponentData(const ComponentData& data);
    // Stores a component's data in the table and in its "ComponentsSection" value at once, so that the next
    // showing of the export dialog and the next save both keep them; false when it is not listed.
    bool storeComponentData(const ComponentData& data);
    const std::vector<ComponentData>& componentTable() const { return components; }
    // The data of a component named as a user types it (blanks around it and letter case do not matter):
    // its row of the table when the list holds it, else what "ComponentsSection" stores for it (empty
    // texts when nothing). The designator is the list's spelling when listed.
    ComponentData componentData(std::string_view designator) const;

    // ---- queries ----

    PadNames namesOf(int n) const;
    // Selects (both markers) every pad whose record's key matches pattern; returns how many. The caller
    // deselects first.
    int selectMatching(std::string_view key, std::string_view pattern);
    // Whether a pad record other than none carries names that the three field texts match as patterns
    // (the current pad's own record included). Never with an empty pad designator.
    bool duplicateExists(const PadNames& fields) const;
    // Descriptions of the selected pads in pad-number order.
    std::vector<std::string> selectedDescriptions() const;

    // ---- project open ----

    // Renames pad sections in place to the canonical "Pad" + n ("pad3" -> "Pad3", "Pad01" -> "Pad1"); a
    // section whose number an earlier section already took gets the next free number above the highest.
    // Sections that name no usable number stay as they are. The document is rewritten only when a name
    // changes.
    static void NormalisePadSections(IniDocument& doc);
    // Creates the pad of a record read at open: markers at its positions, its description, and its names
    // offered to the lists (inserted at the top, trimmed, when not held yet). False when the record's
    // section names no usable, free pad number.
    bool loadPad(const PadRecord& record);

  private:
    // True when the description changed.
    bool describe(int n);
    bool appendName(NameList& list, std::string_view name);
    void offerName(NameList& list, std::string_view name);
    void addComponent(std::string name, bool atFront);
    void removeComponentAt(int index);
    void pruneList(NameList& list, std::string_view key, std::string_view pattern);
    ComponentData storedComponent(std::string_view designator) const;

    // The journaled primitives every edit is made of.
    // Sets a value when it differs (or the entry is missing); true when the document changed.
    bool setValue(const std::string& section, std::string_view key, std::string_view value);
    // Removes an entry; true when there was one.
    bool removeValue(const std::string& section, std::string_view key);
    void insertName(NameList& list, int index, std::string name);
    void removeName(NameList& list, int index);
    PadList listId(const NameList& list) const;
    void saveMarkers(int n, bool moved);

    IniDocument* doc_;
    PadJournal* journal_ = nullptr;
};

}  // namespace korvane
