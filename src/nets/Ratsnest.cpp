#include "nets/Ratsnest.h"

#include <cstddef>
#include <limits>

namespace korvane {

std::vector<RatsLine> Ratsnest(const std::vector<RatsPoint>& points) {
    const std::size_t n = points.size();
    std::vector<RatsLine> lines;
    if (n < 2) {
        return lines;
    }
    lines.reserve(n - 1);
    // Prim: grow the tree from the first point, each time by the outside point nearest to it. best[i] is
    // the squared distance of outside point i to the tree and from[i] the tree point at that distance; a
    // joined point leaves the outside list by being swapped with its last entry.
    std::vector<std::size_t> outside(n - 1);
    std::vector<double> best(n - 1, std::numeric_limits<double>::infinity());
    std::vector<std::size_t> from(n - 1, 0);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        outside[i] = i + 1;
    }
    std::size_t joined = 0;
    std::size_t count = n - 1;
    while (count > 0) {
        const RatsPoint p = points[joined];
        std::size_t nearest = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const RatsPoint& q = points[outside[i]];
            const double dx = q.x - p.x;
            const double dy = q.y - p.y;
            const double d = dx * dx + dy * dy;
            if (d < best[i]) {
                best[i] = d;
                from[i] = joined;
            }
            if (best[i] < best[nearest]) {
                nearest = i;
            }
        }
        joined = outside[nearest];
        lines.push_back({points[from[nearest]], points[joined]});
        --count;
        outside[nearest] = outside[count];
        best[nearest] = best[count];
        from[nearest] = from[count];
    }
    return lines;
}

}  // namespace korvane
