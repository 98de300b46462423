#pragma once

// The Protel net list: one "[ ... ]" record per component, then one "( ... )" record per net, every line
// ending with CR LF. Nothing else: no header, no blank line between records.

#include <string>
#include <string_view>

#include "export/ExportModel.h"

namespace korvane {

// The whole file. A net's nodes are the pads whose "NetName", trimmed of blanks, equals the net's name
// with letters compared without case (the pad dialog treats "gnd" and "GND" as one net, and wildcard
// characters in names such as "CS#" or "D[0]" are plain characters here), in document order, written as
// "CompName-PadName"; a pad without a component or pad designator is listed in no net. Each pad lands in
// exactly one net. The pads are indexed by net once, so the cost grows with pads plus nets.
std::string NetListText(const ExportModel& model);

// Appends text and CR LF. A CR, LF or NUL inside text is written as a blank, so no name can break a
// record apart.
void AppendExportLine(std::string& out, std::string_view text);

}  // namespace korvane
