#pragma once

// The Protel net list: one "[ ... ]" record per component, then one "( ... )" record per net, every line
// ending with CR LF. Nothing else: no header, no blank line between records.

#include <string>
#include <string_view>
#include <vector>

#include "export/ExportModel.h"

namespace korvane {

// One net of the list with its nodes (component and pad designators, trimmed), as every net-list format
// lists them.
struct ExportNode {
    std::string component, pad;
};
struct ExportNet {
    std::string name;
    std::vector<ExportNode> nodes;
};

// The nets in the list's order. A net's nodes are the pads whose "NetName", trimmed of blanks, equals the
// net's name with letters compared without case (the pad dialog treats "gnd" and "GND" as one net, and
// wildcard characters in names such as "CS#" or "D[0]" are plain characters here), in document order, written
// as "CompName-PadName"; a pad without a component or pad designator is listed in no net. Each pad lands in
// exactly one net. The pads are indexed by net once, so the cost grows with pads plus nets.
std::vector<ExportNet> NetsWithNodes(const ExportModel& model);

// The whole file, with the nodes of NetsWithNodes written as "CompName-PadName".
std::string NetListText(const ExportModel& model);

// Appends text and CR LF. A CR, LF or NUL inside text is written as a blank, so no name can break a
// record apart.
void AppendExportLine(std::string& out, std::string_view text);

}  // namespace korvane
