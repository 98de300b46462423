#pragma once

// Replaying a trace record: the fill it describes run again quietly, to draw a saved trace on freshly
// loaded pictures or to erase it. The window and the command-line tool replay through this one function,
// so a rendered picture is exactly what the window shows after drawing all traces.

#include <string>
#include <string_view>

#include "tracing/FloodFill.h"
#include "tracing/TraceRecords.h"

namespace korvane {

enum class ReplayMode { Draw = 1, Erase = 2 };

enum class ReplayOutcome {
    Painted,         // the fill ran (it may have been stopped: see FillResult)
    Malformed,       // not a well-formed record: skipped, nothing painted
    AlreadyPainted,  // the seed already has the colour to paint: beeped, nothing painted
    RangeRefused,    // the seed's colour lies within the range around the colour to paint
    SeedOutside,     // the seed is not on the picture
    Stopped,         // the pass was stopped (Esc, closing)
    PictureGone,     // the picture went away meanwhile
};

// Draws (fill colour) or erases (the seed's old colour) the record's fill on `picture`, which must be
// the picture the record names. The range centre is the seed's present colour. With the control's
// history set, what the replay paints is logged there, so that a batch of replays can be undone exactly.
ReplayOutcome ReplayRecord(const TraceRecord& record, ReplayMode mode, ImageView& picture,
                           FillControl& control);

// A short reason for a trace that could not be replayed, for reports; empty for Painted.
std::string DescribeReplayOutcome(ReplayOutcome outcome);

}  // namespace korvane
