#include "nets/CopperRuns.h"

#include <algorithm>
#include <numeric>

#include "nets/DisjointSets.h"
#include "tracing/PaintedSpans.h"
#include "transforms/PaintedPixels.h"

namespace korvane {

namespace {

bool before(const CopperRuns::Run& a, const CopperRuns::Run& b) {
    return a.y != b.y ? a.y < b.y : a.first < b.first;
}

}  // namespace

CopperRuns::CopperRuns(std::vector<Run> runs) {
    // Painted pixels come in reading order already; logged spans of several fills do not.
    if (!std::is_sorted(runs.begin(), runs.end(), before)) {
        std::sort(runs.begin(), runs.end(), before);
    }
    std::size_t kept = 0;
    for (const Run& run : runs) {
        if (run.last < run.first) {
            continue;
        }
        if (kept > 0 && runs[kept - 1].y == run.y &&
            std::int64_t(run.first) <= std::int64_t(runs[kept - 1].last) + 1) {
            runs[kept - 1].last = std::max(runs[kept - 1].last, run.last);
        } else {
            runs[kept++] = run;
        }
    }
    runs.resize(kept);
    runs_ = std::move(runs);
    index();
}

CopperRuns CopperRuns::FromPainted(const PaintedPixels& painted) {
    std::vector<Run> runs;
    runs.reserve(painted.runs().size());
    for (const PaintedPixels::Run& run : painted.runs()) {
        runs.push_back(Run{run.y, run.x, run.x + run.length - 1});
    }
    return CopperRuns(std::move(runs));
}

CopperRuns CopperRuns::FromSpans(const PaintedSpans& spans) {
    std::vector<Run> runs;
    runs.reserve(spans.spanCount());
    spans.forEachSpan([&runs](int y, int x0, int length) { runs.push_back(Run{y, x0, x0 + length - 1}); });
    return CopperRuns(std::move(runs));
}

void CopperRuns::index() {
    regions_.clear();
    rowStart_.clear();
    regionCount_ = 0;
    if (runs_.empty()) {
        return;
    }
    firstRow_ = runs_.front().y;
    const std::size_t rows = std::size_t(runs_.back().y - firstRow_) + 1;
    rowStart_.assign(rows + 1, 0);
    for (const Run& run : runs_) {
        ++rowStart_[std::size_t(run.y - firstRow_) + 1];
    }
    std::partial_sum(rowStart_.begin(), rowStart_.end(), rowStart_.begin());

    // Each row against the row below: both sorted, so one sweep finds every overlapping pair.
    DisjointSets<std::uint32_t> regions(runs_.size());
    for (std::size_t row = 0; row + 1 < rows; ++row) {
        std::uint32_t a = rowStart_[row];
        const std::uint32_t aEnd = rowStart_[row + 1];
        std::uint32_t b = aEnd;
        const std::uint32_t bEnd = rowStart_[row + 2];
        while (a < aEnd && b < bEnd) {
            if (runs_[a].first <= runs_[b].last && runs_[b].first <= runs_[a].last) {
                regions.join(a, b);
            }
            // The run that ends first cannot overlap anything further along the other row.
            if (runs_[a].last < runs_[b].last) {
                ++a;
            } else {
                ++b;
            }
        }
    }

    regions_.resize(runs_.size());
    for (std::uint32_t i = 0; i < runs_.size(); ++i) {
        const std::uint32_t root = regions.find(i);
        // Roots are the smallest index of their region, so a region is numbered when its first run
        // comes by: regions count up in reading order.
        regions_[i] = root == i ? regionCount_++ : regions_[root];
    }
}

void CopperRuns::regionsIn(int x0, int y0, int x1, int y1, std::vector<int>& out) const {
    if (runs_.empty()) {
        return;
    }
    const std::int64_t lastRow = std::int64_t(firstRow_) + std::int64_t(rowStart_.size()) - 2;
    const std::int64_t from = std::max<std::int64_t>(y0, firstRow_);
    const std::int64_t to = std::min<std::int64_t>(y1, lastRow);
    for (std::int64_t y = from; y <= to; ++y) {
        const auto begin = runs_.begin() + rowStart_[std::size_t(y - firstRow_)];
        const auto end = runs_.begin() + rowStart_[std::size_t(y - firstRow_) + 1];
        // The first run of the row that ends at or after x0; runs of a row are disjoint and sorted.
        auto it = std::partition_point(begin, end, [x0](const Run& run) { return run.last < x0; });
        for (; it != end && it->first <= x1; ++it) {
            out.push_back(regions_[std::size_t(it - runs_.begin())]);
        }
    }
}

}  // namespace korvane
