#pragma once

// The ratsnest of a net: the shortest tree of straight lines that joins its pads, drawn so that the user
// sees at a glance which pads a net still has to connect and where they lie. Nothing here knows about
// widgets; positions are whatever plane the caller measures in (picture pixels on the panes).

#include <vector>

namespace korvane {

struct RatsPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const RatsPoint&, const RatsPoint&) = default;
};

struct RatsLine {
    RatsPoint from;
    RatsPoint to;
};

// The Euclidean minimum spanning tree of the points: points.size() - 1 lines (none for fewer than two
// points), each joining two of the points. Quadratic in the number of points, which suits the hundreds of
// pads of one net and needs no memory beyond two arrays.
std::vector<RatsLine> Ratsnest(const std::vector<RatsPoint>& points);

}  // namespace korvane
