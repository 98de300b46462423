#pragma once

// The connectivity check: the names the user gave the pads set against the copper the traces painted.
// On each layer a pad touches a copper region when a painted pixel of the region lies within the pad's
// marker square there (the 8 x 8 picture pixels whose top-left corner stands on the marker's position),
// and a through pad joins the regions it touches on both layers; a pad marked as one-sided (surface
// mount, PadBoard::padLayer) touches copper on its own side only. The pads that copper joins this way
// form groups, and the groups are held against the net names.

#include <string>

#include "nets/CheckReport.h"
#include "nets/CopperRuns.h"
#include "pads/PadBoard.h"

namespace korvane {

// Side of a pad's marker square in picture pixels.
inline constexpr int kPadSquare = 8;

// Net names are compared as the net list groups them: blanks around them and letter case do not matter.
// A net is shown with the net list's spelling when the list holds it, else as the lowest pad carries it.
CheckReport CheckConnectivity(const PadBoard& pads, const CopperRuns& layer1, const CopperRuns& layer2);

// The report as one JSON object on one line: "shorts", "opens", "suggestions" and "untraced".
std::string CheckReportJson(const CheckReport& report);

}  // namespace korvane
