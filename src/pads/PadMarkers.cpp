#include "pads/PadMarkers.h"

namespace korvane {

MarkerArray::MarkerArray() : items_(1) {
    items_[0].emplace();  // the template: invisible, never a pad
}

bool MarkerArray::exists(int n) const {
    return n >= 1 && n < int(items_.size()) && items_[std::size_t(n)].has_value();
}

PadMarker* MarkerArray::get(int n) {
    return exists(n) ? &*items_[std::size_t(n)] : nullptr;
}

const PadMarker* MarkerArray::get(int n) const {
    return exists(n) ? &*items_[std::size_t(n)] : nullptr;
}

bool MarkerArray::create(int n) {
    if (n < 1 || n > kMaxPadNumber || exists(n)) {
        return false;
    }
    if (n >= int(items_.size())) {
        items_.resize(std::size_t(n) + 1);
    }
    items_[std::size_t(n)].emplace();
    ++count_;
    return true;
}

bool MarkerArray::destroy(int n) {
    if (!exists(n)) {
        return false;
    }
    items_[std::size_t(n)].reset();
    --count_;
    while (items_.size() > 1 && !items_.back().has_value()) {
        items_.pop_back();
    }
    return true;
}

void MarkerArray::clear() {
    items_.resize(1);
    count_ = 0;
}

bool PadMarkers::create(int n) {
    if (!Pad1.create(n)) {
        return false;
    }
    if (!Pad2.create(n)) {
        Pad1.destroy(n);
        return false;
    }
    return true;
}

bool PadMarkers::destroy(int n) {
    const bool had = Pad1.destroy(n);
    Pad2.destroy(n);
    return had;
}

void PadMarkers::clear() {
    Pad1.clear();
    Pad2.clear();
}

bool PadMarkers::selected(int n) const {
    const PadMarker* marker = Pad1.get(n);
    return marker != nullptr && marker->value == 1;
}

void PadMarkers::setSelected(int n, bool selected) {
    for (MarkerArray* markers : {&Pad1, &Pad2}) {
        if (PadMarker* marker = markers->get(n)) {
            marker->value = selected ? 1 : 0;
        }
    }
}

void PadMarkers::selectAll() {
    for (int n = 1; n <= highest(); ++n) {
        setSelected(n, true);
    }
}

void PadMarkers::deselectAll() {
    for (MarkerArray* markers : {&Pad1, &Pad2}) {
        for (int n = 1; n <= markers->highest(); ++n) {
            if (PadMarker* marker = markers->get(n)) {
                marker->value = 0;
            }
        }
    }
}

void PadMarkers::invert() {
    for (MarkerArray* markers : {&Pad1, &Pad2}) {
        for (int n = 1; n <= markers->highest(); ++n) {
            if (PadMarker* marker = markers->get(n)) {
                marker->value = marker->value == 0 ? 1 : 0;
            }
        }
    }
}

int PadMarkers::selectedCount() const {
    int count = 0;
    for (int n = 1; n <= highest(); ++n) {
        count += selected(n) ? 1 : 0;
    }
    return count;
}

std::vector<int> PadMarkers::selectedPads() const {
    std::vector<int> pads;
    for (int n = 1; n <= highest(); ++n) {
        if (selected(n)) {
            pads.push_back(n);
        }
    }
    return pads;
}

int PadMarkers::visibleCount() const {
    int count = 0;
    for (int n = 1; n <= Pad1.highest(); ++n) {
        const PadMarker* marker = Pad1.get(n);
        count += marker != nullptr && marker->visible ? 1 : 0;
    }
    return count;
}

void PadMarkers::setDescription(int n, const std::string& text) {
    for (MarkerArray* markers : {&Pad1, &Pad2}) {
        if (PadMarker* marker = markers->get(n)) {
            marker->toolTipText = text;
        }
    }
}

PadMarkers::ColourChange PadMarkers::applyColour(std::int32_t selectedColour) {
    ColourChange change;
    bool* flags[] = {&change.picture1, &change.picture2};
    int picture = 0;
    for (MarkerArray* markers : {&Pad1, &Pad2}) {
        bool& changed = *flags[picture++];
        for (int n = 1; n <= markers->highest(); ++n) {
            PadMarker* marker = markers->get(n);
            if (marker == nullptr) {
                continue;
            }
            const std::int32_t colour = marker->value == 1 ? selectedColour : kButtonFace;
            if (marker->backColour != colour) {
                marker->backColour = colour;
                changed = changed || marker->visible;
            }
        }
    }
    return change;
}

}  // namespace korvane
