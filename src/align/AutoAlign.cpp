#include "align/AutoAlign.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <future>
#include <iterator>
#include <numeric>
#include <opencv2/calib3d.hpp>
#include <opencv2/core.hpp>
#include <opencv2/features2d.hpp>
#include <opencv2/imgproc.hpp>
#include <random>

namespace korvane {

namespace {

// Holes are looked for on a copy of about this many pixels: enough for drill holes of ordinary scans to
// stay several pixels wide, small enough that two 36-megapixel layers are searched in well under a second.
constexpr double kWorkPixels = 2.5e6;
// Fewer holes than this cannot tell a mapping from a coincidence.
constexpr std::size_t kMinHoles = 6;
constexpr std::size_t kMinInliers = 6;
// The neighbours each hole forms triangles with.
constexpr std::size_t kNeighbours = 5;
// How far a true triangle's shape may differ between the layers: a stretch of one axis by a few per cent
// changes its side ratios by about as much.
constexpr float kShapeTolerance = 0.06f;
// The largest ratio of the mapping's two scales that a hypothesis may have: scanners stretch an axis by
// a few per cent, never by a quarter.
constexpr double kMaxAnisotropy = 1.25;
constexpr std::size_t kMaxHypotheses = 60000;

struct Point {
    double x = 0, y = 0;
};

struct Hole {
    Point at;
    double diameter = 0;  // full-resolution pixels
    bool dark = true;     // darker than its surroundings
};

bool cancelled(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

// The centre found on the reduced copy, refined on the full picture: the centre of mass of how far each
// pixel near the hole lies from the surrounding level towards the centre's level. Edge pixels count in
// proportion to their coverage, which gives a fraction of a pixel where the reduced copy gave several.
Point refineCentre(const cv::Mat& grey, const Hole& hole) {
    const bool dark = hole.dark;
    const double radius = std::max(1.5, hole.diameter / 2);
    const int reach = int(std::ceil(radius * 1.7));
    const int cx = int(std::lround(hole.at.x)), cy = int(std::lround(hole.at.y));
    const int x0 = std::max(0, cx - reach), x1 = std::min(grey.cols - 1, cx + reach);
    const int y0 = std::max(0, cy - reach), y1 = std::min(grey.rows - 1, cy + reach);
    double inner = 0, outer = 0;
    int innerCount = 0, outerCount = 0;
    for (int y = y0; y <= y1; ++y) {
        const std::uint8_t* row = grey.ptr<std::uint8_t>(y);
        for (int x = x0; x <= x1; ++x) {
            const double r = (x - hole.at.x) * (x - hole.at.x) + (y - hole.at.y) * (y - hole.at.y);
            if (r <= radius * radius * 0.25) {
                inner += row[x];
                ++innerCount;
            } else if (r >= radius * radius * 1.5625 && r <= radius * radius * 2.89) {
                outer += row[x];
                ++outerCount;
            }
        }
    }
    if (innerCount == 0 || outerCount == 0) {
        return hole.at;
    }
    inner /= innerCount;
    outer /= outerCount;
    const double contrast = dark ? outer - inner : inner - outer;
    if (contrast < 8) {
        return hole.at;
    }
    double sum = 0, sx = 0, sy = 0;
    for (int y = y0; y <= y1; ++y) {
        const std::uint8_t* row = grey.ptr<std::uint8_t>(y);
        for (int x = x0; x <= x1; ++x) {
            if ((x - hole.at.x) * (x - hole.at.x) + (y - hole.at.y) * (y - hole.at.y) >
                radius * radius * 1.5625) {
                continue;
            }
            const double level = dark ? outer - row[x] : row[x] - outer;
            const double w = std::clamp(level / contrast, 0.0, 1.0);
            sum += w;
            sx += w * x;
            sy += w * y;
        }
    }
    if (sum <= 0) {
        return hole.at;
    }
    const Point refined{sx / sum, sy / sum};
    // A neighbour's dark pixels can pull the centre away; a hole does not move by half its radius.
    if (std::hypot(refined.x - hole.at.x, refined.y - hole.at.y) > radius * 0.5) {
        return hole.at;
    }
    return refined;
}

// Whether the reduced picture is darker at a blob's centre than on a circle around it.
bool darkerInside(const cv::Mat& reduced, const cv::KeyPoint& key) {
    const auto at = [&reduced](double x, double y) {
        return double(reduced.at<std::uint8_t>(std::clamp(int(std::lround(y)), 0, reduced.rows - 1),
                                               std::clamp(int(std::lround(x)), 0, reduced.cols - 1)));
    };
    const double radius = std::max(2.0, double(key.size) * 0.75);
    double around = 0;
    for (int k = 0; k < 12; ++k) {
        around +=
            at(key.pt.x + radius * std::cos(k * M_PI / 6), key.pt.y + radius * std::sin(k * M_PI / 6)) / 12;
    }
    return at(key.pt.x, key.pt.y) < around;
}

// Round blobs with a dark or a bright centre, in full-resolution pixel positions. Both kinds come from
// one pass: every threshold's regions and the gaps in them are looked at anyway.
std::vector<Hole> findHoles(ConstImageView image) {
    cv::Mat rgba(image.height, image.width, CV_8UC4, const_cast<std::uint32_t*>(image.pixels),
                 std::size_t(image.stride) * 4);
    cv::Mat grey;
    cv::cvtColor(rgba, grey, cv::COLOR_RGBA2GRAY);
    const double pixels = double(image.width) * double(image.height);
    const int factor = std::max(1, int(std::ceil(std::sqrt(pixels / kWorkPixels))));
    cv::Mat reduced;
    if (factor > 1) {
        // Whole blocks only, so that reduced pixel k covers exactly full pixels k f .. k f + f - 1.
        const int w = image.width / factor, h = image.height / factor;
        cv::resize(grey(cv::Rect(0, 0, w * factor, h * factor)), reduced, cv::Size(w, h), 0, 0,
                   cv::INTER_AREA);
    } else {
        reduced = grey;
    }
    // Into a copy of its own: at full size the reduced copy is the grey picture the centres are refined on.
    cv::Mat smooth;
    cv::GaussianBlur(reduced, smooth, cv::Size(0, 0), 0.8);

    cv::SimpleBlobDetector::Params params;
    params.minThreshold = 10;
    params.maxThreshold = 245;
    params.thresholdStep = 12;
    params.minRepeatability = 2;
    params.minDistBetweenBlobs = 2;
    params.filterByColor = false;
    params.filterByArea = true;
    params.minArea = 5;
    const float side = float(std::min(reduced.cols, reduced.rows));
    // Drill holes, mounting holes included, are at most a few per cent of the board across.
    params.maxArea = std::max(50.0f, side * side / 800);
    params.filterByCircularity = true;
    params.minCircularity = 0.7f;
    params.filterByInertia = true;
    params.minInertiaRatio = 0.5f;
    params.filterByConvexity = true;
    params.minConvexity = 0.85f;
    std::vector<cv::KeyPoint> found;
    cv::SimpleBlobDetector::create(params)->detect(smooth, found);

    std::vector<Hole> holes;
    holes.reserve(found.size());
    const double offset = (factor - 1) / 2.0;
    for (const cv::KeyPoint& key : found) {
        Hole hole{{key.pt.x * factor + offset, key.pt.y * factor + offset},
                  double(key.size) * factor,
                  darkerInside(smooth, key)};
        hole.at = refineCentre(grey, hole);
        // Positions are the top-left corners of pixels, as the cursors and pad markers use them: pixel k
        // spans positions k to k + 1, so a centre found at pixel k lies at position k + 0.5. Without
        // this, a mirrored layer's mapping comes out a whole pixel off, the halves adding up.
        hole.at.x += 0.5;
        hole.at.y += 0.5;
        holes.push_back(hole);
    }
    return holes;
}

// Points binned in square cells, for the nearest point within a distance (the reach).
class PointGrid {
  public:
    PointGrid(const std::vector<Point>& points, double reach) : points_(points), reach_(reach) {
        double maxX = 0, maxY = 0;
        for (const Point& p : points) {
            maxX = std::max(maxX, p.x);
            maxY = std::max(maxY, p.y);
        }
        // Cells at least as wide as the reach, so that the nearest point lies in the 3 x 3 cells around;
        // and not more than about a million of them, however small the reach on however wide a picture.
        cell_ = std::max({reach, maxX / 1024, maxY / 1024, 1e-9});
        cols_ = int(maxX / cell_) + 1;
        rows_ = int(maxY / cell_) + 1;
        start_.assign(std::size_t(cols_) * rows_ + 1, 0);
        for (const Point& p : points) {
            ++start_[index(p) + 1];
        }
        std::partial_sum(start_.begin(), start_.end(), start_.begin());
        order_.resize(points.size());
        std::vector<int> fill(start_.begin(), start_.end() - 1);
        for (std::size_t i = 0; i < points.size(); ++i) {
            order_[std::size_t(fill[index(points[i])]++)] = int(i);
        }
    }

    // Index of the nearest point within the reach of (x, y), or -1.
    int nearest(double x, double y, double* distance = nullptr) const {
        if (!(x > -cell_ && y > -cell_ && x < (cols_ + 1) * cell_ && y < (rows_ + 1) * cell_)) {
            return -1;
        }
        const int cx = int(std::floor(x / cell_)), cy = int(std::floor(y / cell_));
        int best = -1;
        double bestSq = reach_ * reach_;
        for (int gy = std::max(0, cy - 1); gy <= std::min(rows_ - 1, cy + 1); ++gy) {
            for (int gx = std::max(0, cx - 1); gx <= std::min(cols_ - 1, cx + 1); ++gx) {
                const std::size_t c = std::size_t(gy) * cols_ + gx;
                for (int k = start_[c]; k < start_[c + 1]; ++k) {
                    const Point& p = points_[std::size_t(order_[std::size_t(k)])];
                    const double sq = (p.x - x) * (p.x - x) + (p.y - y) * (p.y - y);
                    if (sq <= bestSq) {
                        bestSq = sq;
                        best = order_[std::size_t(k)];
                    }
                }
            }
        }
        if (distance) {
            *distance = std::sqrt(bestSq);
        }
        return best;
    }

    // Calls f(index, squared distance) for every point within reach of (x, y).
    template <typename F>
    void within(double x, double y, double reach, F&& f) const {
        const int gx0 = std::max(0, int(std::floor((x - reach) / cell_)));
        const int gx1 = std::min(cols_ - 1, int(std::floor((x + reach) / cell_)));
        const int gy0 = std::max(0, int(std::floor((y - reach) / cell_)));
        const int gy1 = std::min(rows_ - 1, int(std::floor((y + reach) / cell_)));
        for (int gy = gy0; gy <= gy1; ++gy) {
            for (int gx = gx0; gx <= gx1; ++gx) {
                const std::size_t c = std::size_t(gy) * cols_ + gx;
                for (int k = start_[c]; k < start_[c + 1]; ++k) {
                    const Point& p = points_[std::size_t(order_[std::size_t(k)])];
                    const double sq = (p.x - x) * (p.x - x) + (p.y - y) * (p.y - y);
                    if (sq <= reach * reach) {
                        f(order_[std::size_t(k)], sq);
                    }
                }
            }
        }
    }

  private:
    std::size_t index(const Point& p) const {
        const int gx = std::clamp(int(p.x / cell_), 0, cols_ - 1);
        const int gy = std::clamp(int(p.y / cell_), 0, rows_ - 1);
        return std::size_t(gy) * cols_ + gx;
    }

    const std::vector<Point>& points_;
    double reach_;
    double cell_ = 1;
    int cols_ = 1, rows_ = 1;
    std::vector<int> start_, order_;
};

// A triangle of holes by its shape: the sides sorted (s1 <= s2 <= s3), u = s1 / s3 and v = s2 / s3,
// which a turn, a scale or a mirror leave as they are; the corners in the order of their opposite sides,
// so that two triangles of the same shape pair their corners.
struct Triangle {
    float u = 0, v = 0;
    int corner[3] = {0, 0, 0};
};

// The k nearest other points of each point, nearest first. Points are binned in cells of about one
// point each, and each point's search square grows until it holds k points within its half-width.
std::vector<std::vector<int>> nearestNeighbours(const std::vector<Point>& points, std::size_t k) {
    std::vector<std::vector<int>> result(points.size());
    if (points.size() < 2) {
        return result;
    }
    double maxX = 1, maxY = 1;
    for (const Point& p : points) {
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
    const double cell = std::max(1.0, std::sqrt(maxX * maxY / double(points.size())));
    const PointGrid grid(points, cell);
    std::vector<std::pair<double, int>> near;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const std::size_t wanted = std::min(k, points.size() - 1);
        for (double reach = 2 * cell;; reach *= 2) {
            near.clear();
            grid.within(points[i].x, points[i].y, reach, [&](int j, double sq) {
                if (std::size_t(j) != i) {
                    near.emplace_back(sq, j);
                }
            });
            if (near.size() >= wanted || reach > 4 * (maxX + maxY)) {
                break;
            }
        }
        const std::size_t n = std::min(wanted, near.size());
        std::partial_sort(near.begin(), near.begin() + std::ptrdiff_t(n), near.end());
        for (std::size_t m = 0; m < n; ++m) {
            result[i].push_back(near[m].second);
        }
    }
    return result;
}

double medianNeighbourDistance(const std::vector<Point>& points,
                               const std::vector<std::vector<int>>& neighbours) {
    std::vector<double> d;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!neighbours[i].empty()) {
            const Point& q = points[std::size_t(neighbours[i][0])];
            d.push_back(std::hypot(points[i].x - q.x, points[i].y - q.y));
        }
    }
    if (d.empty()) {
        return 0;
    }
    std::nth_element(d.begin(), d.begin() + std::ptrdiff_t(d.size() / 2), d.end());
    return d[d.size() / 2];
}

std::vector<Triangle> triangles(const std::vector<Point>& points,
                                const std::vector<std::vector<int>>& neighbours) {
    std::vector<Triangle> result;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const std::vector<int>& near = neighbours[i];
        for (std::size_t a = 0; a < near.size(); ++a) {
            for (std::size_t b = a + 1; b < near.size(); ++b) {
                int c[3] = {int(i), near[a], near[b]};
                double side[3];  // side[k] lies opposite corner k
                for (int k = 0; k < 3; ++k) {
                    const Point& p = points[std::size_t(c[(k + 1) % 3])];
                    const Point& q = points[std::size_t(c[(k + 2) % 3])];
                    side[k] = std::hypot(p.x - q.x, p.y - q.y);
                }
                int order[3] = {0, 1, 2};
                std::sort(order, order + 3, [&](int l, int r) { return side[l] < side[r]; });
                const double longest = side[order[2]];
                // Flat triangles turn into other shapes under small errors and decide no mapping.
                if (longest <= 0 || side[order[0]] < 0.15 * longest) {
                    continue;
                }
                Triangle t;
                t.u = float(side[order[0]] / longest);
                t.v = float(side[order[1]] / longest);
                for (int k = 0; k < 3; ++k) {
                    t.corner[k] = c[order[k]];
                }
                result.push_back(t);
            }
        }
    }
    return result;
}

// Whether the linear part looks like two scans of one board: a scale between 0.2 and 5 and the two axes'
// scales within kMaxAnisotropy of each other (mirrored or not).
bool plausible(const AffineMap& m) {
    const double e = (m.a * m.a + m.b * m.b + m.d * m.d + m.e * m.e) / 2;
    const double det = m.determinant();
    const double root = std::sqrt(std::max(0.0, e * e - det * det));
    const double big = std::sqrt(e + root), small = std::sqrt(std::max(0.0, e - root));
    return small > 0.2 && big < 5 && big < kMaxAnisotropy * small;
}

// Pairs of each mapped first point with the nearest second point within the grid's reach; a second
// point claimed twice keeps the nearer claim.
std::vector<std::pair<int, int>> matchPoints(const AffineMap& map, const std::vector<Point>& first,
                                             const PointGrid& second, std::size_t secondCount) {
    std::vector<int> owner(secondCount, -1);
    std::vector<double> ownerDistance(secondCount, 0);
    for (std::size_t i = 0; i < first.size(); ++i) {
        const AffineMap::Point q = map.map(first[i].x, first[i].y);
        double distance = 0;
        const int j = second.nearest(q.x, q.y, &distance);
        if (j >= 0 && (owner[std::size_t(j)] < 0 || distance < ownerDistance[std::size_t(j)])) {
            owner[std::size_t(j)] = int(i);
            ownerDistance[std::size_t(j)] = distance;
        }
    }
    std::vector<std::pair<int, int>> pairs;
    for (std::size_t j = 0; j < secondCount; ++j) {
        if (owner[j] >= 0) {
            pairs.emplace_back(owner[j], int(j));
        }
    }
    return pairs;
}

std::vector<AlignPair> toPairs(const std::vector<std::pair<int, int>>& matches,
                               const std::vector<Point>& first, const std::vector<Point>& second) {
    std::vector<AlignPair> pairs;
    pairs.reserve(matches.size());
    for (const auto& [i, j] : matches) {
        const Point& p = first[std::size_t(i)];
        const Point& q = second[std::size_t(j)];
        pairs.push_back({p.x, p.y, q.x, q.y});
    }
    return pairs;
}

struct Attempt {
    std::optional<AutoAlignment> result;
    std::string why;
};

Attempt alignHoles(const std::vector<Hole>& holes1, const std::vector<Hole>& holes2,
                   const std::atomic<bool>* cancel) {
    Attempt attempt;
    std::vector<Point> first, second;
    for (const Hole& h : holes1) {
        first.push_back(h.at);
    }
    for (const Hole& h : holes2) {
        second.push_back(h.at);
    }
    for (int picture : {1, 2}) {
        const std::size_t count = picture == 1 ? first.size() : second.size();
        if (count < kMinHoles) {
            attempt.why = "too few drill holes found on picture " + std::to_string(picture) + " (" +
                          std::to_string(count) + ")";
            return attempt;
        }
    }
    const auto near1 = nearestNeighbours(first, kNeighbours);
    const auto near2 = nearestNeighbours(second, kNeighbours);
    double typicalDiameter = 0;
    for (const Hole& h : holes2) {
        typicalDiameter += h.diameter / double(holes2.size());
    }
    // Loose at first: a mapping guessed from three neighbouring holes is off by several pixels at the far
    // side of the board. Tight at the end: a hole's centre is found to a fraction of a pixel.
    const double spacing = medianNeighbourDistance(second, near2);
    const double finalTolerance = std::max(3.0, typicalDiameter / 4);
    const double guessTolerance = std::max(finalTolerance, 0.3 * spacing);

    std::vector<Triangle> shapes1 = triangles(first, near1), shapes2 = triangles(second, near2);
    std::sort(shapes2.begin(), shapes2.end(), [](const Triangle& l, const Triangle& r) { return l.u < r.u; });
    // The first picture's triangles in a fixed random order, each tried against the second picture's
    // triangles of nearly its shape, closest shape first. On a large board most shapes have many look-alikes,
    // so a bounded number of tries covers many triangles rather than every look-alike of a few.
    std::vector<int> order1(shapes1.size());
    std::iota(order1.begin(), order1.end(), 0);
    std::shuffle(order1.begin(), order1.end(), std::mt19937(2024));
    const PointGrid guessGrid(second, guessTolerance);
    // A quick count on a sample of the first picture's holes, before the full count on all of them.
    std::vector<int> sample(first.size());
    std::iota(sample.begin(), sample.end(), 0);
    std::shuffle(sample.begin(), sample.end(), std::mt19937(12345));
    sample.resize(std::min<std::size_t>(sample.size(), 48));
    const std::size_t enough = std::min(first.size(), second.size()) * 3 / 4;
    std::optional<AffineMap> best;
    std::size_t bestScore = 0;
    std::vector<AlignPair> three(3);
    std::size_t tried = 0;
    std::vector<std::pair<float, int>> lookAlikes;
    for (std::size_t o = 0; o < order1.size() && tried < kMaxHypotheses; ++o) {
        if (cancelled(cancel)) {
            return attempt;
        }
        const Triangle& t1 = shapes1[std::size_t(order1[o])];
        lookAlikes.clear();
        auto it = std::lower_bound(shapes2.begin(), shapes2.end(), t1.u - kShapeTolerance,
                                   [](const Triangle& s, float u) { return s.u < u; });
        for (; it != shapes2.end() && it->u <= t1.u + kShapeTolerance; ++it) {
            const float dv = std::abs(it->v - t1.v);
            if (dv <= kShapeTolerance) {
                lookAlikes.emplace_back(std::max(std::abs(it->u - t1.u), dv), int(it - shapes2.begin()));
            }
        }
        std::sort(lookAlikes.begin(), lookAlikes.end());
        bool done = false;
        for (const auto& [distance, two] : lookAlikes) {
            if (++tried > kMaxHypotheses) {
                break;
            }
            const Triangle& t2 = shapes2[std::size_t(two)];
            for (int k = 0; k < 3; ++k) {
                const Point& p = first[std::size_t(t1.corner[k])];
                const Point& q = second[std::size_t(t2.corner[k])];
                three[std::size_t(k)] = {p.x, p.y, q.x, q.y};
            }
            const std::optional<AffineMap> guess = FitAffine(three);
            if (!guess || !plausible(*guess)) {
                continue;
            }
            std::size_t quick = 0;
            for (int i : sample) {
                const AffineMap::Point q = guess->map(first[std::size_t(i)].x, first[std::size_t(i)].y);
                quick += guessGrid.nearest(q.x, q.y) >= 0 ? 1 : 0;
            }
            if (quick * 4 < sample.size() || quick * first.size() < bestScore * sample.size() / 2) {
                continue;
            }
            std::size_t score = 0;
            for (const Point& p : first) {
                const AffineMap::Point q = guess->map(p.x, p.y);
                score += guessGrid.nearest(q.x, q.y) >= 0 ? 1 : 0;
            }
            if (score > bestScore) {
                bestScore = score;
                best = guess;
                if (score >= enough) {
                    done = true;
                    break;
                }
            }
        }
        if (done) {
            break;
        }
    }
    if (!best || bestScore < kMinInliers) {
        attempt.why = "the drill holes of the two pictures do not match";
        return attempt;
    }

    // Narrow down: refit on the matches, then match again closer, until the final tolerance.
    AffineMap map = *best;
    for (double tolerance = guessTolerance;; tolerance = std::max(finalTolerance, tolerance / 2)) {
        if (cancelled(cancel)) {
            return attempt;
        }
        const PointGrid grid(second, tolerance);
        const auto refit = FitAffine(toPairs(matchPoints(map, first, grid, second.size()), first, second));
        if (!refit) {
            break;
        }
        map = *refit;
        if (tolerance <= finalTolerance) {
            break;
        }
    }
    const PointGrid grid(second, finalTolerance);
    const std::vector<AlignPair> matched =
        toPairs(matchPoints(map, first, grid, second.size()), first, second);
    if (matched.size() < kMinInliers) {
        attempt.why = "too few drill holes match: " + std::to_string(matched.size());
        return attempt;
    }
    // The robust estimate over the matches, then least squares on its inliers.
    std::vector<cv::Point2d> from, to;
    for (const AlignPair& p : matched) {
        from.emplace_back(p.x1, p.y1);
        to.emplace_back(p.x2, p.y2);
    }
    std::vector<std::uint8_t> inlier;
    const cv::Mat robust = cv::estimateAffine2D(from, to, inlier, cv::RANSAC,
                                                std::max(1.0, finalTolerance / 2), 2000, 0.995, 10);
    std::vector<AlignPair> inliers;
    for (std::size_t i = 0; i < matched.size(); ++i) {
        if (robust.empty() || (i < inlier.size() && inlier[i] != 0)) {
            inliers.push_back(matched[i]);
        }
    }
    const std::size_t needed = std::max(kMinInliers, std::min(first.size(), second.size()) / 5);
    const std::optional<AffineMap> fitted = FitAffine(inliers);
    if (inliers.size() < needed || !fitted) {
        attempt.why = "too few drill holes agree on one mapping: " + std::to_string(inliers.size()) + " of " +
                      std::to_string(std::min(first.size(), second.size()));
        return attempt;
    }
    AutoAlignment result;
    result.map = *fitted;
    result.pairs = std::move(inliers);
    result.residuals = Residuals(result.map, result.pairs);
    result.rms = RootMeanSquare(result.residuals);
    result.mirrored = result.map.determinant() < 0;
    result.holes1 = int(first.size());
    result.holes2 = int(second.size());
    attempt.result = std::move(result);
    return attempt;
}

std::optional<AutoAlignment> search(ConstImageView first, ConstImageView second,
                                    const std::atomic<bool>* cancel, std::string& why) {
    for (const ConstImageView* image : {&first, &second}) {
        if (image->pixels == nullptr || image->width <= 0 || image->height <= 0 ||
            image->stride < image->width) {
            why = std::string("picture ") + (image == &first ? "1" : "2") + " is empty";
            return std::nullopt;
        }
    }
    if (cancelled(cancel)) {
        why = "cancelled";
        return std::nullopt;
    }
    // The two pictures are searched side by side.
    auto search2 = std::async(std::launch::async, [&] { return findHoles(second); });
    const std::vector<Hole> found1 = findHoles(first);
    const std::vector<Hole> found2 = search2.get();
    // Drilled holes show dark on a scan lit from the front, bright on one lit through the board; round
    // specks of the other kind (gaps between tracks, pads) may agree on a mapping too, so the kind whose
    // holes agree in greater number wins.
    std::optional<AutoAlignment> best;
    std::size_t mostHoles = 0;
    for (const bool dark : {true, false}) {
        if (cancelled(cancel)) {
            why = "cancelled";
            return std::nullopt;
        }
        std::vector<Hole> holes1, holes2;
        std::copy_if(found1.begin(), found1.end(), std::back_inserter(holes1),
                     [dark](const Hole& h) { return h.dark == dark; });
        std::copy_if(found2.begin(), found2.end(), std::back_inserter(holes2),
                     [dark](const Hole& h) { return h.dark == dark; });
        Attempt attempt = alignHoles(holes1, holes2, cancel);
        if (cancelled(cancel)) {
            why = "cancelled";
            return std::nullopt;
        }
        if (attempt.result) {
            if (!best || attempt.result->pairs.size() > best->pairs.size()) {
                best = std::move(attempt.result);
            }
        } else if (!best && std::min(holes1.size(), holes2.size()) >= mostHoles) {
            mostHoles = std::min(holes1.size(), holes2.size());
            why = attempt.why;
        }
    }
    return best;
}

}  // namespace

std::optional<AutoAlignment> AutoAlign(ConstImageView first, ConstImageView second,
                                       const std::atomic<bool>* cancel, std::string* why) {
    std::string reason;
    std::optional<AutoAlignment> found;
    try {
        found = search(first, second, cancel, reason);
    } catch (const std::exception& failure) {
        // Out of memory for the grey copies, a thread that could not start.
        reason = std::string("the pictures cannot be searched: ") + failure.what();
        std::replace(reason.begin(), reason.end(), '\n', ' ');
    }
    if (why) {
        *why = found ? std::string() : reason;
    }
    return found;
}

}  // namespace korvane
