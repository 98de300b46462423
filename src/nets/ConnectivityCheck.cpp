#include "nets/ConnectivityCheck.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <set>

#include "export/ExportModel.h"
#include "nets/DisjointSets.h"
#include "text/Ascii.h"

namespace korvane {

namespace {

// The pixel column or row a marker position falls in, as the picture draws the marker at 1:1. Positions
// beyond any picture clamp, so that the arithmetic below stays within int.
int markerCell(double position) {
    if (!(position > -1e9)) {
        return -1000000000;
    }
    return position < 1e9 ? int(std::floor(position)) : 1000000000;
}

struct CheckedPad {
    int number = 0;
    std::string key;  // the net as the net list groups it; empty: unnamed
    std::string net;  // as typed, blanks around it taken off
    bool touches = false;
};

}  // namespace

CheckReport CheckConnectivity(const PadBoard& pads, const CopperRuns& layer1, const CopperRuns& layer2) {
    // The pads as the net list reads them: each existing pad's record.
    std::vector<CheckedPad> checked;
    for (const ExportPad& pad : ExistingPads(pads)) {
        const std::string_view trimmed = trimBlanks(pad.netName);
        checked.push_back(CheckedPad{pad.number, asciiUpper(trimmed), std::string(trimmed), false});
    }
    std::sort(checked.begin(), checked.end(),
              [](const CheckedPad& a, const CheckedPad& b) { return a.number < b.number; });
    std::map<std::string, std::string> spelling;  // key -> the net as shown
    for (const CheckedPad& pad : checked) {
        if (!pad.key.empty()) {
            spelling.try_emplace(pad.key, pad.net);
        }
    }
    // The list's first spelling wins: going backwards, it is written last.
    const std::vector<std::string>& listed = pads.netNames.items();
    for (auto it = listed.rbegin(); it != listed.rend(); ++it) {
        if (auto found = spelling.find(asciiUpper(trimBlanks(*it))); found != spelling.end()) {
            found->second = std::string(trimBlanks(*it));
        }
    }

    // Nodes: the pads, then layer 1's regions, then layer 2's.
    const std::size_t padCount = checked.size();
    const std::size_t offset1 = padCount;
    const std::size_t offset2 = offset1 + std::size_t(layer1.regionCount());
    DisjointSets<std::size_t> groups(offset2 + std::size_t(layer2.regionCount()));
    std::vector<int> touched;
    for (std::size_t i = 0; i < padCount; ++i) {
        CheckedPad& pad = checked[i];
        const int layerOnly = pads.padLayer(pad.number);
        for (int picture : {1, 2}) {
            const PadMarker* marker = pads.markers.array(picture).get(pad.number);
            // A surface-mount pad's marker on the other picture stands over whatever copper runs beneath
            // the board there: it joins nothing.
            if (marker == nullptr || (layerOnly != 0 && layerOnly != picture)) {
                continue;
            }
            const int x = markerCell(marker->left);
            const int y = markerCell(marker->top);
            touched.clear();
            const CopperRuns& layer = picture == 1 ? layer1 : layer2;
            layer.regionsIn(x, y, x + kPadSquare - 1, y + kPadSquare - 1, touched);
            for (int region : touched) {
                groups.join(i, (picture == 1 ? offset1 : offset2) + std::size_t(region));
                pad.touches = true;
            }
        }
    }

    // The groups of pads that touch copper, each with its pads ascending (pads are sorted by number).
    std::map<std::size_t, std::vector<std::size_t>> members;  // root -> pad indices
    for (std::size_t i = 0; i < padCount; ++i) {
        if (checked[i].touches) {
            members[groups.find(i)].push_back(i);
        }
    }

    CheckReport report;
    std::set<std::string> shorted, open;
    std::map<std::string, std::vector<std::vector<int>>> netGroups;  // key -> its pads in each group
    for (const auto& [root, indices] : members) {
        std::set<std::string> keys;
        for (std::size_t i : indices) {
            if (!checked[i].key.empty()) {
                keys.insert(checked[i].key);
            }
        }
        std::vector<int> numbers;
        for (std::size_t i : indices) {
            numbers.push_back(checked[i].number);
        }
        if (keys.size() >= 2) {
            ShortFinding finding;
            for (const std::string& key : keys) {
                finding.nets.push_back(spelling[key]);
                shorted.insert(key);
            }
            std::sort(finding.nets.begin(), finding.nets.end());
            finding.pads = numbers;
            report.shorts.push_back(std::move(finding));
        } else if (keys.size() == 1) {
            for (std::size_t i : indices) {
                if (checked[i].key.empty()) {
                    report.suggestions.push_back(NetSuggestion{checked[i].number, spelling[*keys.begin()]});
                }
            }
        }
        for (const std::string& key : keys) {
            std::vector<int> ofNet;
            for (std::size_t i : indices) {
                if (checked[i].key == key) {
                    ofNet.push_back(checked[i].number);
                }
            }
            netGroups[key].push_back(std::move(ofNet));
        }
    }
    std::sort(report.shorts.begin(), report.shorts.end(),
              [](const ShortFinding& a, const ShortFinding& b) { return a.pads.front() < b.pads.front(); });
    std::sort(report.suggestions.begin(), report.suggestions.end(),
              [](const NetSuggestion& a, const NetSuggestion& b) { return a.pad < b.pad; });

    for (auto& [key, found] : netGroups) {
        if (found.size() >= 2) {
            std::sort(found.begin(), found.end());
            report.opens.push_back(OpenFinding{spelling[key], std::move(found)});
            open.insert(key);
        }
    }
    std::sort(report.opens.begin(), report.opens.end(),
              [](const OpenFinding& a, const OpenFinding& b) { return a.net < b.net; });

    std::set<std::string> untracedNets;
    for (const CheckedPad& pad : checked) {
        if (!pad.key.empty() && !pad.touches) {
            report.untraced.push_back(pad.number);
            untracedNets.insert(pad.key);
        }
    }
    for (const auto& [key, shown] : spelling) {
        const NetCheckState state = shorted.contains(key)        ? NetCheckState::Short
                                    : open.contains(key)         ? NetCheckState::Open
                                    : untracedNets.contains(key) ? NetCheckState::Untraced
                                                                 : NetCheckState::Good;
        report.nets[shown] = state;
    }
    return report;
}

namespace {

void appendNumbers(std::string& out, const std::vector<int>& numbers) {
    out += '[';
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        out += (i == 0 ? "" : ", ") + std::to_string(numbers[i]);
    }
    out += ']';
}

}  // namespace

std::string CheckReportJson(const CheckReport& report) {
    std::string out = "{\"shorts\": [";
    for (std::size_t i = 0; i < report.shorts.size(); ++i) {
        out += i == 0 ? "{\"nets\": [" : ", {\"nets\": [";
        const ShortFinding& finding = report.shorts[i];
        for (std::size_t n = 0; n < finding.nets.size(); ++n) {
            out += n == 0 ? "" : ", ";
            out += jsonString(finding.nets[n]);
        }
        out += "], \"pads\": ";
        appendNumbers(out, finding.pads);
        out += '}';
    }
    out += "], \"opens\": [";
    for (std::size_t i = 0; i < report.opens.size(); ++i) {
        out += i == 0 ? "{\"net\": " : ", {\"net\": ";
        out += jsonString(report.opens[i].net);
        out += ", \"groups\": [";
        const auto& found = report.opens[i].groups;
        for (std::size_t g = 0; g < found.size(); ++g) {
            out += g == 0 ? "" : ", ";
            appendNumbers(out, found[g]);
        }
        out += "]}";
    }
    out += "], \"suggestions\": [";
    for (std::size_t i = 0; i < report.suggestions.size(); ++i) {
        out += (i == 0 ? "{\"pad\": " : ", {\"pad\": ") + std::to_string(report.suggestions[i].pad) +
               ", \"net\": ";
        out += jsonString(report.suggestions[i].net);
        out += '}';
    }
    out += "], \"untraced\": ";
    appendNumbers(out, report.untraced);
    out += '}';
    return out;
}

}  // namespace korvane
