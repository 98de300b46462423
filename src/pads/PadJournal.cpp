#include "pads/PadJournal.h"

#include "pads/PadBoard.h"

namespace korvane {

namespace {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

std::vector<int> sorted(const std::set<int>& numbers) {
    return {numbers.begin(), numbers.end()};
}

NameList& listOf(PadBoard& board, PadList list) {
    switch (list) {
        case PadList::Pad:
            return board.padNames;
        case PadList::Net:
            return board.netNames;
        case PadList::Comp:
            break;
    }
    return board.compNames;
}

void restoreList(NameList& list, const std::vector<std::string>& items) {
    list.clear();
    for (const std::string& item : items) {
        list.append(item);
    }
}

// Position and description come back; whether the marker is selected is no part of an edit.
void restoreMarker(PadMarker* marker, const PadMarker& old) {
    if (marker != nullptr) {
        marker->left = old.left;
        marker->top = old.top;
        marker->visible = old.visible;
        marker->toolTipText = old.toolTipText;
    }
}

// Where a removed section goes back: at its old position while a neighbour still stands there. A save in
// between moves the component and trace sections to the end of the document; the section then goes back
// beside the neighbour that is still there, so the file written next is the one written before the edit.
int placeOf(const IniDocument& doc, int index, const std::string& previous, const std::string& next) {
    if (doc.SectionName(index) == next || doc.SectionName(index - 1) == previous) {
        return index;
    }
    if (const int at = doc.SectionIndex(next); at != 0) {
        return at;
    }
    if (const int at = doc.SectionIndex(previous); at != 0) {
        return at + 1;
    }
    return index;
}

}  // namespace

PadChanges PadChanges::inverse() const {
    PadChanges back = *this;
    std::swap(back.added, back.removed);
    return back;
}

void PadJournal::clear() {
    steps_.clear();
    added_.clear();
    removed_.clear();
    moved_.clear();
    renamed_.clear();
    names_ = false;
}

PadChanges PadJournal::changes() const {
    return {sorted(added_), sorted(removed_), sorted(moved_), sorted(renamed_), names_};
}

void PadJournal::touchedNames() {
    names_ = true;
}

void PadJournal::markersCreated(int n) {
    steps_.push_back(Created{n});
    added_.insert(n);
}

void PadJournal::markersDestroyed(int n, const PadMarker& first, const PadMarker& second) {
    steps_.push_back(Destroyed{n, first, second});
    if (added_.erase(n) == 0) {
        removed_.insert(n);
    }
    moved_.erase(n);
    renamed_.erase(n);
}

void PadJournal::markersChanged(int n, const PadMarker& first, const PadMarker& second, bool moved) {
    steps_.push_back(Changed{n, first, second});
    if (added_.count(n) == 0) {
        (moved ? moved_ : renamed_).insert(n);
    }
}

void PadJournal::padRenamed(int n) {
    if (added_.count(n) == 0) {
        renamed_.insert(n);
    }
}

void PadJournal::valueSet(std::string section, std::string key, bool hadSection, bool hadEntry,
                          std::string old) {
    steps_.push_back(ValueSet{std::move(section), std::move(key), std::move(old), hadSection, hadEntry});
}

void PadJournal::sectionRemoved(int index, IniSection section, std::string previous, std::string next) {
    steps_.push_back(SectionRemoved{index, std::move(section), std::move(previous), std::move(next)});
}

void PadJournal::nameInserted(PadList list, int index) {
    steps_.push_back(NameInserted{list, index});
    touchedNames();
}

void PadJournal::nameRemoved(PadList list, int index, std::string name) {
    steps_.push_back(NameRemoved{list, index, std::move(name)});
    touchedNames();
}

void PadJournal::componentInserted(int index) {
    steps_.push_back(RowInserted{index});
    touchedNames();
}

void PadJournal::componentRemoved(int index, ComponentData data) {
    steps_.push_back(RowRemoved{index, std::move(data)});
    touchedNames();
}

void PadJournal::componentChanged(int index, ComponentData old) {
    steps_.push_back(RowChanged{index, std::move(old)});
    touchedNames();
}

void PadJournal::listsCleared(std::vector<std::string> pads, std::vector<std::string> nets,
                              std::vector<std::string> comps, std::vector<ComponentData> table) {
    steps_.push_back(Cleared{std::move(pads), std::move(nets), std::move(comps), std::move(table)});
    touchedNames();
}

void PadJournal::rollback(PadBoard& board) {
    IniDocument& doc = board.doc();
    std::vector<ComponentData>& table = board.components;
    for (auto step = steps_.rbegin(); step != steps_.rend(); ++step) {
        std::visit(Overloaded{
                       [&](const Created& s) { board.markers.destroy(s.n); },
                       [&](const Destroyed& s) {
                           board.markers.create(s.n);
                           *board.markers.Pad1.get(s.n) = s.first;
                           *board.markers.Pad2.get(s.n) = s.second;
                       },
                       [&](const Changed& s) {
                           restoreMarker(board.markers.Pad1.get(s.n), s.first);
                           restoreMarker(board.markers.Pad2.get(s.n), s.second);
                       },
                       [&](const ValueSet& s) {
                           // A section or entry the edit appended is the only one of its name: removing by
                           // name takes exactly it.
                           if (!s.hadSection) {
                               doc.RemoveSection(s.section);
                           } else if (!s.hadEntry) {
                               doc.RemoveValue(s.section, s.key);
                           } else {
                               doc.SetValue(s.section, s.key, s.old);
                           }
                       },
                       [&](const SectionRemoved& s) {
                           doc.InsertSection(placeOf(doc, s.index, s.previous, s.next), s.section);
                       },
                       [&](const NameInserted& s) { listOf(board, s.list).removeAt(s.index); },
                       [&](const NameRemoved& s) { listOf(board, s.list).insertAt(s.index, s.name); },
                       [&](const RowInserted& s) { table.erase(table.begin() + s.index); },
                       [&](const RowRemoved& s) { table.insert(table.begin() + s.index, s.data); },
                       [&](const RowChanged& s) { table[std::size_t(s.index)] = s.old; },
                       [&](const Cleared& s) {
                           restoreList(board.padNames, s.pads);
                           restoreList(board.netNames, s.nets);
                           restoreList(board.compNames, s.comps);
                           table = s.table;
                       },
                   },
                   *step);
    }
    steps_.clear();
}

}  // namespace korvane
