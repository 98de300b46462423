#include "nets/NetList.h"

#include <algorithm>
#include <map>

#include "export/ExportModel.h"
#include "text/Ascii.h"

namespace korvane {

std::string NetKey(std::string_view name) {
    return asciiUpper(trimBlanks(name));
}

NetList NetList::Build(const PadBoard& board) {
    NetList list;
    const int highest = board.markers.highest();
    list.netOfPad_.assign(std::size_t(highest) + 1, -1);

    // The records the export reads: for each existing pad the first section that names it.
    std::map<std::string, NetEntry> named;
    std::vector<std::string> keyOfPad(std::size_t(highest) + 1);
    std::vector<bool> recorded(std::size_t(highest) + 1, false);
    for (const ExportPad& pad : ExistingPads(board)) {
        recorded[std::size_t(pad.number)] = true;
        std::string key = NetKey(pad.netName);
        if (key.empty()) {
            continue;
        }
        NetEntry& entry = named[key];
        if (entry.name.empty()) {
            entry.name = std::string(trimBlanks(pad.netName));
        }
        entry.pads.push_back(pad.number);
        keyOfPad[std::size_t(pad.number)] = std::move(key);
    }
    for (const std::string& spelling : board.netNames.items()) {
        auto found = named.find(NetKey(spelling));
        if (found != named.end()) {
            found->second.name = std::string(trimBlanks(spelling));
        }
    }

    NetEntry unnamed;
    for (int n = 1; n <= highest; ++n) {
        if (board.markers.exists(n) && (!recorded[std::size_t(n)] || keyOfPad[std::size_t(n)].empty())) {
            unnamed.pads.push_back(n);
        }
    }

    list.nets_.reserve(named.size() + 1);
    for (auto& [key, entry] : named) {
        std::sort(entry.pads.begin(), entry.pads.end());
        const int index = int(list.nets_.size());
        for (int n : entry.pads) {
            list.netOfPad_[std::size_t(n)] = index;
        }
        list.nets_.push_back(std::move(entry));
    }
    if (!unnamed.pads.empty()) {
        const int index = int(list.nets_.size());
        for (int n : unnamed.pads) {
            list.netOfPad_[std::size_t(n)] = index;
        }
        list.nets_.push_back(std::move(unnamed));
    }
    return list;
}

int NetList::indexOfPad(int n) const {
    return n >= 1 && std::size_t(n) < netOfPad_.size() ? netOfPad_[std::size_t(n)] : -1;
}

int NetList::indexOfName(std::string_view name) const {
    const std::string key = NetKey(name);
    if (key.empty()) {
        return !nets_.empty() && nets_.back().unnamed() ? int(nets_.size()) - 1 : -1;
    }
    // Named nets are ordered by key.
    const auto named = nets_.end() - (!nets_.empty() && nets_.back().unnamed() ? 1 : 0);
    const auto found =
        std::lower_bound(nets_.begin(), named, key,
                         [](const NetEntry& entry, const std::string& k) { return NetKey(entry.name) < k; });
    return found != named && NetKey(found->name) == key ? int(found - nets_.begin()) : -1;
}

}  // namespace korvane
