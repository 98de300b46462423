#include "tracing/TraceReplay.h"

namespace korvane {

ReplayOutcome ReplayRecord(const TraceRecord& record, ReplayMode mode, ImageView& picture,
                           FillControl& control) {
    std::int32_t fill = mode == ReplayMode::Erase ? record.origColor : record.fillColor;
    bool quiet = true;
    const FillResult result =
        FillArea(picture, record.x, record.y, fill, record.dmin, record.dmax, quiet, control, record.mode);
    switch (result.outcome) {
        case FillOutcome::SeedHasFillColour:
            return ReplayOutcome::AlreadyPainted;
        case FillOutcome::RangeRefused:
            return ReplayOutcome::RangeRefused;
        case FillOutcome::SeedOutside:
            return ReplayOutcome::SeedOutside;
        case FillOutcome::PictureGone:
            return ReplayOutcome::PictureGone;
        case FillOutcome::Painted:
            break;
    }
    return result.stopped ? ReplayOutcome::Stopped : ReplayOutcome::Painted;
}

std::string DescribeReplayOutcome(ReplayOutcome outcome) {
    switch (outcome) {
        case ReplayOutcome::Painted:
            return {};
        case ReplayOutcome::Malformed:
            return "not a readable trace record";
        case ReplayOutcome::AlreadyPainted:
            return "the seed already has the colour to paint";
        case ReplayOutcome::RangeRefused:
            return "the seed's colour lies within the range around the colour to paint";
        case ReplayOutcome::SeedOutside:
            return "the seed lies outside the picture";
        case ReplayOutcome::Stopped:
            return "stopped";
        case ReplayOutcome::PictureGone:
            return "the picture was closed";
    }
    return {};
}

}  // namespace korvane
