#pragma once

// The mapping from picture-1 pixels to picture-2 pixels, and its fit from pairs of corresponding points.
// Positions are those the cursors and pad markers use: a pixel's top-left corner, i.e. its whole-number
// coordinates. Everything here is plain arithmetic, so the window, the tool and the tests share it.

#include <optional>
#include <vector>

namespace korvane {

// One pair of corresponding points: (x1, y1) on picture 1, (x2, y2) on picture 2.
struct AlignPair {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool operator==(const AlignPair&) const = default;
};

// x2 = a x1 + b y1 + c, y2 = d x1 + e y1 + f. A negative determinant is a mirrored layer (a bottom
// scan that was not flipped back), which is a valid mapping.
struct AffineMap {
    double a = 1, b = 0, c = 0, d = 0, e = 1, f = 0;

    struct Point {
        double x = 0, y = 0;
    };
    Point map(double x, double y) const { return {a * x + b * y + c, d * x + e * y + f}; }
    double determinant() const { return a * e - b * d; }
    // None when the mapping squashes the plane onto a line or a point (or holds no finite numbers).
    std::optional<AffineMap> inverse() const;
    bool operator==(const AffineMap&) const = default;
};

// Least squares over the pairs: three or more pairs that do not all lie on a line give the affine
// mapping (exact for three); two pairs give the similarity through them (scale, rotation, shift, never
// mirrored). None for fewer than two pairs, and for pairs that cannot decide a mapping: points that
// coincide or lie on one line, on either picture.
std::optional<AffineMap> FitAffine(const std::vector<AlignPair>& pairs);

// How far the mapping puts each pair's first point from its second, in picture-2 pixels.
std::vector<double> Residuals(const AffineMap& map, const std::vector<AlignPair>& pairs);
// Root mean square of the residuals; 0 for none.
double RootMeanSquare(const std::vector<double>& residuals);

// Below this no residual is suspicious: positions are whole pixels, so half a pixel is the precision
// of picking a point at all.
inline constexpr double kResidualFloor = 0.5;
// The pairs that fit much worse than the others: residual above three times the median, and above
// kResidualFloor. The floor keeps the flags meaningful when most pairs fit exactly (a median of 0 would
// otherwise flag every pair off by a rounding error).
std::vector<bool> FlagOutliers(const std::vector<double>& residuals);

}  // namespace korvane
