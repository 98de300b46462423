#pragma once

// What run-time painting (traces drawn by fills) put on a picture's working image over its base picture.
// A flip or turn starts the working image again from the transformed base, so the painting is gone;
// undoing the transform gives it back from here. Only the painted pixels are kept, row by row in runs,
// so a picture with a few traces costs little.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "transforms/PixelTransforms.h"

namespace korvane {

class PaintedPixels {
  public:
    // The pixels where work differs from base; both of the same size.
    static PaintedPixels Between(const ConstImageView& base, const ConstImageView& work);
    // Adds where `length` pixels of row y from column x differ: `base` and `work` point at column x of
    // that row in each image. Stretches come in reading order (row by row, left to right); a run that
    // goes on from the previous stretch is joined to it, so a picture taken in pieces gives the same
    // runs as Between over the whole.
    void addDifferences(int y, int x, const std::uint32_t* base, const std::uint32_t* work, int length);
    // Keeps only where the painting lies, not its pixels: enough to know the painted copper, and a
    // fraction of the memory and time on a board traced all over.
    static PaintedPixels WhereOnly() {
        PaintedPixels painted;
        painted.keepPixels_ = false;
        return painted;
    }
    // Writes the kept pixels back into an image of the size they were taken from, telling its guard.
    void paintInto(const ImageView& work) const;
    // Gives back the room kept for further runs, once nothing more is added.
    void shrinkToFit();

    bool empty() const { return runs_.empty(); }
    std::size_t pixelCount() const { return pixels_.size(); }
    std::size_t bytes() const { return runs_.size() * sizeof(Run) + pixels_.size() * sizeof(std::uint32_t); }

    // Where the painted pixels lie: runs in reading order, touching runs of a row joined.
    struct Run {
        std::int32_t y = 0;
        std::int32_t x = 0;
        std::int32_t length = 0;
    };
    const std::vector<Run>& runs() const { return runs_; }

  private:
    std::vector<Run> runs_;
    std::vector<std::uint32_t> pixels_;  // the runs' pixels one after the other
    bool keepPixels_ = true;
};

}  // namespace korvane
