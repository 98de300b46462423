#include "nets/Ratsnest.h"

#include <cstddef>
#include <cstdint>
#include <limits>

namespace korvane {

std::vector<RatsLine> Ratsnest(const std::vector<RatsPoint>& points) {
    const std::size_t n = points.size();
    std::vector<RatsLine> lines;
    if (n < 2) {
        return lines;
    }
    lines.reserve(n - 1);
    // Prim: grow the tree from the first point, each time by the outside point nearest to it. For each
    // outside point, its coordinates, its squared distance to the tree and the tree point at that distance
    // sit in arrays of their own, so that the distance pass runs over plain contiguous numbers; a joined
    // point leaves them by being swapped with the last outside point.
    const std::size_t outsideCount = n - 1;
    std::vector<double> xs(outsideCount), ys(outsideCount);
    std::vector<double> best(outsideCount, std::numeric_limits<double>::infinity());
    std::vector<std::uint32_t> index(outsideCount), from(outsideCount, 0);
    for (std::size_t i = 0; i < outsideCount; ++i) {
        xs[i] = points[i + 1].x;
        ys[i] = points[i + 1].y;
        index[i] = std::uint32_t(i + 1);
    }
    std::uint32_t joined = 0;
    for (std::size_t count = outsideCount; count > 0; --count) {
        const double px = points[joined].x;
        const double py = points[joined].y;
        for (std::size_t i = 0; i < count; ++i) {
            const double dx = xs[i] - px;
            const double dy = ys[i] - py;
            const double d = dx * dx + dy * dy;
            const bool nearer = d < best[i];
            best[i] = nearer ? d : best[i];
            from[i] = nearer ? joined : from[i];
        }
        std::size_t nearest = 0;
        for (std::size_t i = 1; i < count; ++i) {
            if (best[i] < best[nearest]) {
                nearest = i;
            }
        }
        joined = index[nearest];
        lines.push_back({points[from[nearest]], points[joined]});
        const std::size_t last = count - 1;
        xs[nearest] = xs[last];
        ys[nearest] = ys[last];
        best[nearest] = best[last];
        index[nearest] = index[last];
        from[nearest] = from[last];
    }
    return lines;
}

}  // namespace korvane
