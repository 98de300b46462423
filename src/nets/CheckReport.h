#pragma once

// What the connectivity check found: the names the user gave the pads set against the copper the traces
// painted. Pad numbers ascend within every list, net names are sorted, and the findings come in the order
// the check window and `korvane-cli check` list them.

#include <map>
#include <string>
#include <vector>

namespace korvane {

// One connected group of traced copper whose pads carry two or more net names.
struct ShortFinding {
    std::vector<std::string> nets;
    std::vector<int> pads;
};

// A net whose pads that touch traced copper lie in two or more groups; each group's pads of that net.
struct OpenFinding {
    std::string net;
    std::vector<std::vector<int>> groups;
};

// An unnamed pad in a group whose named pads all carry this one net.
struct NetSuggestion {
    int pad = 0;
    std::string net;
};

// How a net stands after a check, worst first.
enum class NetCheckState { Short, Open, Untraced, Good };

struct CheckReport {
    std::vector<ShortFinding> shorts;
    std::vector<OpenFinding> opens;
    std::vector<NetSuggestion> suggestions;
    std::vector<int> untraced;  // named pads that touch no traced copper
    // Every named net's state; a net in a short and an open is a short.
    std::map<std::string, NetCheckState> nets;

    bool passed() const { return shorts.empty() && opens.empty(); }
};

}  // namespace korvane
