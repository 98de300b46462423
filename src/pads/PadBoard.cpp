#include "pads/PadBoard.h"

#include <algorithm>
#include <unordered_set>

#include "text/Ascii.h"

namespace korvane {

namespace {

constexpr std::string_view kPadNameKey = "PadName";
constexpr std::string_view kNetNameKey = "NetName";
constexpr std::string_view kCompNameKey = "CompName";

// A name as it enters a list: without the blanks around it, and without NULs there either, because the
// file holds a NUL as a blank and a save would otherwise write "R1" and "R1<NUL>" as two components whose
// keys differ only in trailing blanks, of which the next open keeps one.
std::string_view listName(std::string_view name) {
    constexpr std::string_view kBlanks(" \0", 2);
    const std::size_t first = name.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return name.substr(name.size());
    }
    return name.substr(first, name.find_last_not_of(kBlanks) - first + 1);
}

std::string folded(std::string_view name) {
    return asciiUpper(listName(name));
}

}  // namespace

bool PadBoard::setValue(const std::string& section, std::string_view key, std::string_view value) {
    const bool hadSection = doc_->SectionExists(section);
    const bool hadEntry = hadSection && doc_->ValueExists(section, key);
    std::string old = hadEntry ? doc_->Value(section, key) : std::string();
    if (hadEntry && old == value) {
        return false;
    }
    if (journal_ != nullptr) {
        journal_->valueSet(section, std::string(key), hadSection, hadEntry, std::move(old));
    }
    doc_->SetValue(section, key, value);
    return true;
}

bool PadBoard::removeValue(const std::string& section, std::string_view key) {
    if (!doc_->SectionExists(section) || !doc_->ValueExists(section, key)) {
        return false;
    }
    // Taken back as a value set: the entry returns at the end of its section, where it was written.
    if (journal_ != nullptr) {
        journal_->valueSet(section, std::string(key), true, true, doc_->Value(section, key));
    }
    doc_->RemoveValue(section, key);
    return true;
}

int PadBoard::padLayer(int n) const {
    const std::string section = PadSectionName(n);
    if (!doc_->SectionExists(section)) {
        return 0;
    }
    const std::string value = doc_->Value(section, kLayerKey);
    return value == "1" ? 1 : value == "2" ? 2 : 0;
}

bool PadBoard::setPadLayer(const std::vector<int>& pads, int layer) {
    bool changed = false;
    for (int n : pads) {
        if (!markers.exists(n) || !doc_->SectionExists(PadSectionName(n))) {
            continue;
        }
        const std::string section = PadSectionName(n);
        changed = (layer == 1 || layer == 2 ? setValue(section, kLayerKey, std::to_string(layer))
                                            : removeValue(section, kLayerKey)) ||
                  changed;
    }
    return changed;
}

bool PadBoard::removeSection(std::string_view section) {
    const int index = doc_->SectionIndex(section);
    if (index == 0) {
        return false;
    }
    if (journal_ != nullptr) {
        journal_->sectionRemoved(index, doc_->SectionAt(index), doc_->SectionName(index - 1),
                                 doc_->SectionName(index + 1));
    }
    return doc_->RemoveSection(section);
}

PadList PadBoard::listId(const NameList& list) const {
    return &list == &padNames ? PadList::Pad : &list == &netNames ? PadList::Net : PadList::Comp;
}

void PadBoard::insertName(NameList& list, int index, std::string name) {
    list.insertAt(index, std::move(name));
    if (journal_ != nullptr) {
        journal_->nameInserted(listId(list), index);
    }
}

void PadBoard::removeName(NameList& list, int index) {
    if (journal_ != nullptr) {
        journal_->nameRemoved(listId(list), index, list[index]);
    }
    list.removeAt(index);
}

void PadBoard::saveMarkers(int n, bool moved) {
    const PadMarker* first = markers.Pad1.get(n);
    const PadMarker* second = markers.Pad2.get(n);
    if (journal_ != nullptr && first != nullptr && second != nullptr) {
        journal_->markersChanged(n, *first, *second, moved);
    }
}

bool PadBoard::place(int n, double x1, double y1, double x2, double y2) {
    if (!markers.create(n)) {
        return false;
    }
    if (journal_ != nullptr) {
        journal_->markersCreated(n);
    }
    PadMarker& first = *markers.Pad1.get(n);
    PadMarker& second = *markers.Pad2.get(n);
    first.left = x1;
    first.top = y1;
    first.visible = true;
    second.left = x2;
    second.top = y2;
    second.visible = true;
    return true;
}

bool PadBoard::move(int picture, int n, double left, double top) {
    PadMarker* marker = markers.array(picture).get(n);
    if (marker == nullptr || (marker->left == left && marker->top == top)) {
        return false;
    }
    saveMarkers(n, true);
    marker->left = left;
    marker->top = top;
    setValue(PadSectionName(n), picture == 2 ? "2Pad" : "1Pad", FormatPadPosition(left, top));
    return true;
}

bool PadBoard::appendName(NameList& list, std::string_view name) {
    const std::string_view trimmed = listName(name);
    if (trimmed.empty() || list.holds(trimmed)) {
        return false;
    }
    if (&list == &compNames) {
        addComponent(std::string(trimmed), false);
    } else {
        insertName(list, list.size(), std::string(trimmed));
    }
    return true;
}

void PadBoard::offerName(NameList& list, std::string_view name) {
    const std::string_view trimmed = listName(name);
    if (trimmed.empty() || list.holds(trimmed)) {
        return;
    }
    if (&list == &compNames) {
        addComponent(std::string(trimmed), true);
    } else {
        insertName(list, 0, std::string(trimmed));
    }
}

ComponentData PadBoard::storedComponent(std::string_view designator) const {
    return SplitComponent(designator, doc_->Value(kComponentsSection, designator), CaseMode::Insensitive);
}

ComponentData PadBoard::componentData(std::string_view designator) const {
    const std::string_view name = listName(designator);
    if (name.empty()) {
        return {};
    }
    const int index = compNames.indexOf(name);
    return index >= 0 ? components[std::size_t(index)] : storedComponent(name);
}

void PadBoard::addComponent(std::string name, bool atFront) {
    ComponentData data = storedComponent(name);
    const int index = atFront ? 0 : compNames.size();
    insertName(compNames, index, std::move(name));
    components.insert(components.begin() + index, std::move(data));
    if (journal_ != nullptr) {
        journal_->componentInserted(index);
    }
}

void PadBoard::removeComponentAt(int index) {
    if (index < 0 || index >= compNames.size()) {
        return;
    }
    removeName(compNames, index);
    if (journal_ != nullptr) {
        journal_->componentRemoved(index, components[std::size_t(index)]);
    }
    components.erase(components.begin() + index);
}

bool PadBoard::describe(int n) {
    const std::string section = PadSectionName(n);
    std::string text = PadDescription(doc_->Value(section, kCompNameKey), doc_->Value(section, kPadNameKey),
                                      doc_->Value(section, kNetNameKey));
    const PadMarker* first = markers.Pad1.get(n);
    const PadMarker* second = markers.Pad2.get(n);
    if (first != nullptr && second != nullptr && first->toolTipText == text && second->toolTipText == text) {
        return false;
    }
    saveMarkers(n, false);
    markers.setDescription(n, text);
    return true;
}

bool PadBoard::writeNames(const std::vector<int>& pads, unsigned fields, const PadNames& names) {
    bool changed = false;
    for (int n : pads) {
        const PadMarker* first = markers.Pad1.get(n);
        const PadMarker* second = markers.Pad2.get(n);
        if (first == nullptr || second == nullptr) {
            continue;
        }
        const std::string section = PadSectionName(n);
        bool recordChanged = false;
        auto set = [&](std::string_view key, std::string_view value) {
            recordChanged = setValue(section, key, value) || recordChanged;
        };
        if ((fields & kPadNameField) != 0) {
            set(kPadNameKey, names.pad);
            changed = appendName(padNames, names.pad) || changed;
        }
        set("1Pad", FormatPadPosition(first->left, first->top));
        set("2Pad", FormatPadPosition(second->left, second->top));
        if ((fields & kNetNameField) != 0) {
            set(kNetNameKey, names.net);
            changed = appendName(netNames, names.net) || changed;
        }
        if ((fields & kCompNameField) != 0) {
            set(kCompNameKey, names.comp);
            changed = appendName(compNames, names.comp) || changed;
        }
        describe(n);
        if (recordChanged) {
            changed = true;
            if (journal_ != nullptr) {
                journal_->padRenamed(n);
            }
        }
    }
    return changed;
}

std::vector<int> PadBoard::deletePads(const std::vector<int>& pads) {
    std::vector<int> deleted;
    for (int n : pads) {
        const PadMarker* first = markers.Pad1.get(n);
        const PadMarker* second = markers.Pad2.get(n);
        if (first == nullptr || second == nullptr) {
            continue;
        }
        if (journal_ != nullptr) {
            journal_->markersDestroyed(n, *first, *second);
        }
        markers.destroy(n);
        removeSection(PadSectionName(n));
        deleted.push_back(n);
    }
    return deleted;
}

bool PadBoard::deletePad(int n) {
    if (!markers.exists(n)) {
        return false;
    }
    const std::string section = PadSectionName(n);
    const std::string designator = folded(doc_->Value(section, kPadNameKey));
    deletePads({n});
    if (designator.empty()) {
        return true;
    }
    for (int other = 1; other <= markers.highest(); ++other) {
        if (markers.exists(other) && folded(doc_->Value(PadSectionName(other), kPadNameKey)) == designator) {
            return true;
        }
    }
    for (int i = padNames.size() - 1; i >= 0; --i) {
        if (folded(padNames[i]) == designator) {
            removeName(padNames, i);
        }
    }
    return true;
}

void PadBoard::clearAll() {
    markers.clear();
    clearLists();
    // Walking backwards keeps the positions still to visit valid while sections go.
    for (int i = doc_->SectionsCount(); i >= 1; --i) {
        const std::string name = doc_->SectionName(i);
        if (IsPadSectionName(name)) {
            doc_->RemoveSection(name);
        }
    }
}

void PadBoard::clearLists() {
    if (padNames.empty() && netNames.empty() && compNames.empty() && components.empty()) {
        return;
    }
    if (journal_ != nullptr) {
        journal_->listsCleared(padNames.items(), netNames.items(), compNames.items(), components);
    }
    padNames.clear();
    netNames.clear();
    compNames.clear();
    components.clear();
}

void PadBoard::pruneList(NameList& list, std::string_view key, std::string_view pattern) {
    std::unordered_set<std::string> carried;
    for (int n = 1; n <= markers.highest(); ++n) {
        if (markers.exists(n)) {
            carried.insert(folded(doc_->Value(PadSectionName(n), key)));
        }
    }
    for (int i = list.size() - 1; i >= 0; --i) {
        if (NameMatches(list[i], pattern) && carried.count(folded(list[i])) == 0) {
            if (&list == &compNames) {
                removeComponentAt(i);
            } else {
                removeName(list, i);
            }
        }
    }
}

void PadBoard::pruneNets(std::string_view pattern) {
    pruneList(netNames, kNetNameKey, pattern);
}

void PadBoard::pruneComponents(std::string_view pattern) {
    pruneList(compNames, kCompNameKey, pattern);
}

void PadBoard::rebuildComponentTable() {
    std::vector<ComponentData> table;
    table.reserve(components.size());
    for (const std::string& designator : compNames.items()) {
        table.push_back(storedComponent(designator));
    }
    auto same = [](const ComponentData& a, const ComponentData& b) {
        return a.designator == b.designator && a.libRef == b.libRef && a.partType == b.partType &&
               a.footprint == b.footprint;
    };
    if (!std::equal(table.begin(), table.end(), components.begin(), components.end(), same)) {
        components = std::move(table);
    }
}

bool PadBoard::setComponentData(const ComponentData& data) {
    const int index = compNames.indexOf(data.designator);
    if (index < 0) {
        return false;
    }
    ComponentData& row = components[std::size_t(index)];
    if (row.libRef == data.libRef && row.partType == data.partType && row.footprint == data.footprint) {
        return true;
    }
    if (journal_ != nullptr) {
        journal_->componentChanged(index, row);
    }
    row.libRef = data.libRef;
    row.partType = data.partType;
    row.footprint = data.footprint;
    return true;
}

bool PadBoard::storeComponentData(const ComponentData& data) {
    if (!setComponentData(data)) {
        return false;
    }
    setValue(std::string(kComponentsSection), data.designator,
             JoinComponent(data.libRef, data.partType, data.footprint));
    return true;
}

PadNames PadBoard::namesOf(int n) const {
    const std::string section = PadSectionName(n);
    return {doc_->Value(section, kPadNameKey), doc_->Value(section, kNetNameKey),
            doc_->Value(section, kCompNameKey)};
}

int PadBoard::selectMatching(std::string_view key, std::string_view pattern) {
    int selected = 0;
    const int count = doc_->SectionsCount();
    for (int i = 1; i <= count; ++i) {
        const std::string section = doc_->SectionName(i);
        const int n = UsablePadNumber(section);
        if (n != 0 && markers.exists(n) && NameMatches(doc_->Value(section, key), pattern)) {
            markers.setSelected(n, true);
            ++selected;
        }
    }
    return selected;
}

bool PadBoard::duplicateExists(const PadNames& fields) const {
    if (fields.pad.empty()) {
        return false;
    }
    const int count = doc_->SectionsCount();
    for (int i = 1; i <= count; ++i) {
        const std::string section = doc_->SectionName(i);
        if (IsPadSectionName(section) && NameMatches(doc_->Value(section, kPadNameKey), fields.pad) &&
            NameMatches(doc_->Value(section, kNetNameKey), fields.net) &&
            NameMatches(doc_->Value(section, kCompNameKey), fields.comp)) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> PadBoard::selectedDescriptions() const {
    std::vector<std::string> lines;
    for (int n : markers.selectedPads()) {
        lines.push_back(markers.Pad1.get(n)->toolTipText);
    }
    return lines;
}

void PadBoard::NormalisePadSections(IniDocument& doc) {
    const int count = doc.SectionsCount();
    std::vector<int> target(std::size_t(count) + 1, 0);
    std::vector<bool> taken(kMaxPadNumber + 1, false);
    std::vector<int> repeated;
    int highest = 0;
    for (int i = 1; i <= count; ++i) {
        const int n = UsablePadNumber(doc.SectionName(i));
        if (n == 0) {
            continue;
        }
        if (taken[std::size_t(n)]) {
            repeated.push_back(i);
            continue;
        }
        taken[std::size_t(n)] = true;
        target[std::size_t(i)] = n;
        highest = std::max(highest, n);
    }
    for (int i : repeated) {
        if (highest >= kMaxPadNumber) {
            break;  // no number left: the section stays as it is and makes no pad
        }
        target[std::size_t(i)] = ++highest;
    }

    bool renaming = false;
    for (int i = 1; i <= count && !renaming; ++i) {
        renaming =
            target[std::size_t(i)] != 0 && doc.SectionName(i) != PadSectionName(target[std::size_t(i)]);
    }
    if (!renaming) {
        return;
    }
    // The document has no rename, so its canonical text is rewritten and read back. In that text a section
    // header is the first line and every line after an empty one; entry lines are never empty.
    const std::string text = doc.ToText();
    std::string out;
    out.reserve(text.size() + 64);
    int section = 0;
    bool atHeader = true;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string_view line(text.data() + pos, end - pos);
        if (atHeader && !line.empty()) {
            ++section;
            const int n = section <= count ? target[std::size_t(section)] : 0;
            if (n != 0) {
                out += "[" + PadSectionName(n) + "]";
            } else {
                out += line;
            }
        } else {
            out += line;
        }
        out += "\r\n";
        atHeader = line.empty();
        pos = end + 2;
    }
    if (section != count) {
        return;  // not the layout this rewrite relies on: leave the names alone rather than guess
    }
    doc.LoadFromText(out);
}

bool PadBoard::loadPad(const PadRecord& record) {
    const int n = UsablePadNumber(record.sectionName);
    if (n == 0 || !place(n, record.x1, record.y1, record.x2, record.y2)) {
        return false;
    }
    markers.setDescription(n, PadDescription(record.compName, record.padName, record.netName));
    offerName(padNames, record.padName);
    offerName(netNames, record.netName);
    offerName(compNames, record.compName);
    return true;
}

}  // namespace korvane
