#pragma once

// The nets of the open project as the Nets panel lists them: every net name the pads carry, with the
// numbers of its pads. Names are grouped the way the net-list export groups them (blanks around a name
// and letter case do not make another net), so the panel never shows a net the export would merge.
// Pads without a net name form one entry of their own.

#include <string>
#include <string_view>
#include <vector>

#include "pads/PadBoard.h"

namespace korvane {

struct NetEntry {
    // The name as the user spelled it, trimmed: the net list's spelling when it holds the net, else the
    // spelling of the net's first pad record. Empty for the entry of unnamed pads.
    std::string name;
    std::vector<int> pads;  // ascending
    bool unnamed() const { return name.empty(); }
};

// The key under which names count as one net: trimmed, upper case. Empty for no net.
std::string NetKey(std::string_view name);

class NetList {
  public:
    NetList() = default;
    // Every existing pad, by the net name of its record (a pad without a record has no net).
    static NetList Build(const PadBoard& board);

    // Named nets ordered by key, then the entry of unnamed pads when there are any.
    const std::vector<NetEntry>& nets() const { return nets_; }
    // Position in nets() of the net of pad n, -1 when there is no pad n.
    int indexOfPad(int n) const;
    // Position of the net a name stands for (any spelling; empty text: the unnamed pads), -1 for none.
    int indexOfName(std::string_view name) const;

  private:
    std::vector<NetEntry> nets_;
    std::vector<int> netOfPad_;  // by pad number, -1 where there is no pad
};

}  // namespace korvane
