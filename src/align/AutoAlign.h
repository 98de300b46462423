#pragma once

// Finding the layers' alignment without the user: the drill holes go through the board, so they show on
// both scans. The holes are found on each picture, matched by the shape of their neighbourhoods, and the
// mapping fitted robustly to the matches that agree.

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "align/AffineMap.h"
#include "transforms/PixelTransforms.h"

namespace korvane {

struct AutoAlignment {
    AffineMap map;
    // The matched hole centres that the mapping fits (the inliers), picture 1 to picture 2, and each
    // one's residual in picture-2 pixels.
    std::vector<AlignPair> pairs;
    std::vector<double> residuals;
    double rms = 0;
    // The second picture is the mirror image of the first (the mapping's determinant is negative).
    bool mirrored = false;
    // Hole-like features found on each picture.
    int holes1 = 0, holes2 = 0;
};

// The mapping from picture-1 to picture-2 pixels found from the drill holes (small round features with a
// dark or a bright centre). The second picture may be turned by any angle, mirrored, scaled by 0.2 to 5
// and one axis stretched against the other by up to 25 %. Works on a reduced copy and refines each
// hole's centre at full resolution. None, with one line in why, when too few holes are found or too few
// of them agree on one mapping, when memory runs out, or when cancel turns true (checked between steps
// and often while matching; the call then returns soon with why "cancelled"). Safe to call off the GUI
// thread: it only reads the two pictures, which must not change meanwhile.
std::optional<AutoAlignment> AutoAlign(ConstImageView first, ConstImageView second,
                                       const std::atomic<bool>* cancel = nullptr, std::string* why = nullptr);

}  // namespace korvane
