#pragma once

// One layer's traced copper as horizontal runs, and the regions they form: runs of neighbouring rows
// that overlap in a column touch (4-neighbours), and touching runs are one region, whichever trace
// painted them. A board's copper is a few hundred thousand runs where the picture has tens of millions
// of pixels, so regions are found by joining runs, never by labelling pixels.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvane {

class PaintedPixels;
class PaintedSpans;

class CopperRuns {
  public:
    // Columns first..last of one row, both included.
    struct Run {
        std::int32_t y = 0;
        std::int32_t first = 0;
        std::int32_t last = 0;
    };

    CopperRuns() = default;
    // Runs in any order; overlapping and side-by-side runs of a row are joined into one.
    explicit CopperRuns(std::vector<Run> runs);

    // Where the working image differs from its base: what the window's traces painted.
    static CopperRuns FromPainted(const PaintedPixels& painted);
    // What logged fills painted (replayed traces on the command line).
    static CopperRuns FromSpans(const PaintedSpans& spans);

    // Sorted by row, then column; no two of a row overlap or touch.
    const std::vector<Run>& runs() const { return runs_; }
    bool empty() const { return runs_.empty(); }
    int regionCount() const { return regionCount_; }
    // The region (0..regionCount() - 1) of runs()[index].
    int regionOf(std::size_t index) const { return regions_[index]; }

    // Appends to `out` the region of every run with a pixel in the rectangle (columns x0..x1, rows
    // y0..y1, both included); a region may be appended more than once.
    void regionsIn(int x0, int y0, int x1, int y1, std::vector<int>& out) const;

  private:
    void index();

    std::vector<Run> runs_;
    std::vector<std::int32_t> regions_;  // per run
    int regionCount_ = 0;
    std::int32_t firstRow_ = 0;
    // rowStart_[y - firstRow_] .. rowStart_[y - firstRow_ + 1] are the runs of row y.
    std::vector<std::uint32_t> rowStart_;
};

}  // namespace korvane
