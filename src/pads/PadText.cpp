#include "pads/PadText.h"

#include <algorithm>

#include "pads/PadMarkers.h"
#include "text/Ascii.h"
#include "text/Numbers.h"
#include "text/Pattern.h"

namespace korvane {

std::string PadDescription(std::string_view compName, std::string_view padName, std::string_view netName) {
    std::string text;
    if (!compName.empty()) {
        text.append(compName).append("-");
    } else {
        text.append("Free pad ");
    }
    if (!padName.empty()) {
        text.append(padName).append(", ");
    } else {
        text.append(", no name, ");
    }
    if (!netName.empty()) {
        text.append("connected to \"").append(netName).append("\"");
    } else {
        text.append("not connected");
    }
    return text;
}

bool NameMatches(std::string_view text, std::string_view pattern) {
    return equalsIgnoreCase(text, pattern) || likeMatch(text, pattern, CaseMode::Insensitive);
}

std::string NameProblem(NameField field, std::string_view name) {
    const char* what = field == NameField::Pad   ? "pad designator"
                       : field == NameField::Net ? "net name"
                                                 : "component designator";
    const std::string quoted = "\"" + std::string(name) + "\"";
    for (char c : name) {
        if (c == ';' || c == '\r' || c == '\n' || c == '\0') {
            return "The " + std::string(what) + " " + quoted +
                   " cannot be kept in the project file: names must not hold \";\", line breaks or NUL "
                   "characters.";
        }
    }
    if (field == NameField::Comp && !name.empty()) {
        if (name.find('=') != std::string_view::npos || name.front() == '[' || name.front() == ' ' ||
            name.back() == ' ') {
            return "The component designator " + quoted +
                   " cannot be kept in the project file: it must not hold \"=\", begin with \"[\" or begin "
                   "or end with a blank.";
        }
    }
    return {};
}

bool IsPadSectionName(std::string_view section) {
    return section.size() >= 3 && equalsIgnoreCase(section.substr(0, 3), "Pad");
}

int UsablePadNumber(std::string_view section) {
    if (!IsPadSectionName(section)) {
        return 0;
    }
    // A NUL reads as the blank that a save writes in its place, so a section is the same pad before and
    // after the save.
    std::string rest(section.substr(3));
    std::replace(rest.begin(), rest.end(), '\0', ' ');
    const double number = parseNumber(rest);
    if (!(number >= 1 && number <= kMaxPadNumber)) {
        return 0;
    }
    return int(nearest(number));
}

bool NameList::holds(std::string_view name) const {
    return folded_.find(asciiUpper(name)) != folded_.end();
}

int NameList::indexOf(std::string_view name) const {
    if (!holds(name)) {
        return -1;
    }
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (equalsIgnoreCase(items_[i], name)) {
            return int(i);
        }
    }
    return -1;
}

void NameList::count(const std::string& name, int delta) {
    const std::string key = asciiUpper(name);
    int& entries = folded_[key];
    entries += delta;
    if (entries <= 0) {
        folded_.erase(key);
    }
}

void NameList::append(std::string name) {
    count(name, 1);
    items_.push_back(std::move(name));
}

void NameList::insertFront(std::string name) {
    count(name, 1);
    items_.insert(items_.begin(), std::move(name));
}

void NameList::insertAt(int index, std::string name) {
    index = std::clamp(index, 0, size());
    count(name, 1);
    items_.insert(items_.begin() + index, std::move(name));
}

void NameList::removeAt(int index) {
    if (index < 0 || index >= size()) {
        return;
    }
    count(items_[std::size_t(index)], -1);
    items_.erase(items_.begin() + index);
}

void NameList::clear() {
    items_.clear();
    folded_.clear();
}

int NameList::nonEmptyCount() const {
    int count = 0;
    for (const std::string& item : items_) {
        count += trimBlanks(item).empty() ? 0 : 1;
    }
    return count;
}

}  // namespace korvane
