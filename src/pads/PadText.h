#pragma once

// Texts around pads: the description shown as a marker's tip and printed by the listing, the name
// comparisons of the pad dialog, the names the project file cannot keep, pad section names, and the
// dialog's name lists.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace korvane {

// "R1-2, connected to \"GND\"", "Free pad , no name, not connected".
std::string PadDescription(std::string_view compName, std::string_view padName, std::string_view netName);

// The pad dialog's comparison of a name with a pattern: wildcards as in likeMatch, letters without case.
// A text equal to the pattern always matches, so names that hold wildcard characters ("CS#", "D[0]")
// can still be selected and recognised.
bool NameMatches(std::string_view text, std::string_view pattern);

enum class NameField { Pad, Net, Comp };
// Empty when the project file can keep the name as typed; otherwise the message that says why not. A ";"
// starts a comment on reload, line breaks and NUL would split the entry, and a component designator is
// also a key of "ComponentsSection", where "=" ends the key, a leading "[" starts a section and blanks at
// either end are trimmed away.
std::string NameProblem(NameField field, std::string_view name);

// The section names the first three letters of which are "Pad" in any case.
bool IsPadSectionName(std::string_view section);
// The pad number a pad section names (the lenient number from its fourth character on), or 0 when that is
// no usable pad number (1..32767): "Pad0", "PadList" and "Pad99999" name none.
int UsablePadNumber(std::string_view section);

// One of the dialog's name lists, in list order. Whether a name is held is decided by equality with
// letters compared without case, kept in a folded index so that opening a large board stays linear.
class NameList {
  public:
    const std::vector<std::string>& items() const { return items_; }
    int size() const { return int(items_.size()); }
    bool empty() const { return items_.empty(); }
    const std::string& operator[](int index) const { return items_[std::size_t(index)]; }

    bool holds(std::string_view name) const;
    // Position of the first entry equal to name without case, or -1.
    int indexOf(std::string_view name) const;
    void append(std::string name);
    void insertFront(std::string name);
    // At a position 0..size().
    void insertAt(int index, std::string name);
    void removeAt(int index);
    void clear();
    // Entries whose trimmed text is not empty.
    int nonEmptyCount() const;

  private:
    void count(const std::string& name, int delta);

    std::vector<std::string> items_;
    std::unordered_map<std::string, int> folded_;  // upper-case name -> number of entries
};

}  // namespace korvane
