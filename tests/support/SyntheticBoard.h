#pragma once

// Two scans of one made-up board: a noisy substrate, copper tracks and drill holes (a copper ring round a
// dark centre), the second scan taken through a known affine mapping with its own colour noise, some of
// the holes lost and some hole-like specks added. Shared by the alignment tests and its benchmark.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "align/AffineMap.h"
#include "transforms/PixelTransforms.h"

namespace korvane::testing {

struct BoardScene {
    int width = 1200, height = 900;
    int holes = 60;
    double centreRadius = 4, ringRadius = 9;
    int tracks = 40;
    double lostFraction = 0.2;  // holes missing on the second scan
    int specks = 8;             // hole-like blobs only on the second scan
    bool litThrough = false;    // the holes show bright, as on a scan lit from behind the board
    int chips = 0;              // of the holes, rows of 2 x 8 at an even pitch, as under an IC
    unsigned seed = 1;
};

// The mapping of picture-1 pixels to picture-2 pixels: turned by degrees about the picture's middle,
// scaled per axis, sheared, mirrored left to right when asked, and shifted.
inline AffineMap SceneMapping(const BoardScene& scene, double degrees, double sx, double sy, double shear,
                              bool mirrored, double dx = 12, double dy = -7) {
    const double t = degrees * M_PI / 180, c = std::cos(t), s = std::sin(t);
    const double m = mirrored ? -1 : 1;
    // rotation * [1 shear; 0 1] * diag(sx, sy) * diag(m, 1)
    AffineMap map;
    map.a = c * sx * m;
    map.b = (c * shear - s) * sy;
    map.d = s * sx * m;
    map.e = (s * shear + c) * sy;
    const double mx = (scene.width - 1) / 2.0, my = (scene.height - 1) / 2.0;
    map.c = mx + dx - (map.a * mx + map.b * my);
    map.f = my + dy - (map.d * mx + map.e * my);
    return map;
}

struct BoardPicture {
    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;
    ConstImageView view() const { return ConstImageView(pixels.data(), width, height, width); }
};

namespace synthetic {

inline std::uint32_t packed(int r, int g, int b) {
    return std::uint32_t(std::clamp(r, 0, 255)) | std::uint32_t(std::clamp(g, 0, 255)) << 8 |
           std::uint32_t(std::clamp(b, 0, 255)) << 16;
}

struct Circle {
    double x, y, r;
};
struct Segment {
    double x0, y0, x1, y1, halfWidth;
};

// Paints scene shapes into a picture whose pixel (i, j) shows scene point inverse(i + 0.5, j + 0.5): a
// position is a pixel's top-left corner, as for the program's cursors.
class Painter {
  public:
    Painter(BoardPicture& picture, const AffineMap& toPicture)
        : picture_(picture), toPicture_(toPicture), toScene_(*toPicture.inverse()) {}

    template <typename Inside>
    void paint(double sx0, double sy0, double sx1, double sy1, std::uint32_t colour, Inside inside) {
        double x0 = 1e18, y0 = 1e18, x1 = -1e18, y1 = -1e18;
        for (const auto& [x, y] : {std::pair{sx0, sy0}, {sx1, sy0}, {sx0, sy1}, {sx1, sy1}}) {
            const auto p = toPicture_.map(x, y);
            x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
        }
        const int i0 = std::max(0, int(std::floor(x0)) - 1), i1 = std::min(picture_.width - 1, int(x1) + 1);
        const int j0 = std::max(0, int(std::floor(y0)) - 1), j1 = std::min(picture_.height - 1, int(y1) + 1);
        for (int j = j0; j <= j1; ++j) {
            for (int i = i0; i <= i1; ++i) {
                const auto s = toScene_.map(i + 0.5, j + 0.5);  // the pixel's middle
                if (inside(s.x, s.y)) {
                    picture_.pixels[std::size_t(j) * picture_.width + i] = colour;
                }
            }
        }
    }

    void circle(const Circle& c, std::uint32_t colour) {
        paint(c.x - c.r, c.y - c.r, c.x + c.r, c.y + c.r, colour,
              [&](double x, double y) { return (x - c.x) * (x - c.x) + (y - c.y) * (y - c.y) <= c.r * c.r; });
    }

    void segment(const Segment& whole, std::uint32_t colour) {
        // In short pieces, so that a long diagonal track does not test every pixel of its bounding box.
        const double length = std::hypot(whole.x1 - whole.x0, whole.y1 - whole.y0);
        const int pieces = std::max(1, int(length / (4 * whole.halfWidth + 1)));
        for (int k = 0; k < pieces; ++k) {
            const double t0 = double(k) / pieces, t1 = double(k + 1) / pieces;
            piece({whole.x0 + t0 * (whole.x1 - whole.x0), whole.y0 + t0 * (whole.y1 - whole.y0),
                   whole.x0 + t1 * (whole.x1 - whole.x0), whole.y0 + t1 * (whole.y1 - whole.y0),
                   whole.halfWidth},
                  colour);
        }
    }

    void piece(const Segment& s, std::uint32_t colour) {
        const double w = s.halfWidth;
        paint(std::min(s.x0, s.x1) - w, std::min(s.y0, s.y1) - w, std::max(s.x0, s.x1) + w,
              std::max(s.y0, s.y1) + w, colour, [&](double x, double y) {
                  const double vx = s.x1 - s.x0, vy = s.y1 - s.y0;
                  const double length2 = vx * vx + vy * vy;
                  const double t =
                      length2 > 0 ? std::clamp(((x - s.x0) * vx + (y - s.y0) * vy) / length2, 0.0, 1.0) : 0.0;
                  const double ex = s.x0 + t * vx - x, ey = s.y0 + t * vy - y;
                  return ex * ex + ey * ey <= w * w;
              });
    }

  private:
    BoardPicture& picture_;
    AffineMap toPicture_, toScene_;
};

}  // namespace synthetic

struct BoardScans {
    BoardPicture first, second;
    AffineMap truth;
};

inline BoardScans MakeBoardScans(const BoardScene& scene, const AffineMap& truth) {
    using namespace synthetic;
    std::mt19937 random(scene.seed);
    auto uniform = [&random](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    const double margin = scene.ringRadius * 3;
    std::vector<Circle> holes;
    const double pitch = scene.ringRadius * 2.5;
    for (int chip = 0, tries = 0; chip < scene.chips && tries < 1000; ++tries) {
        const double x0 = uniform(margin, scene.width - margin - 7 * pitch);
        const double y0 = uniform(margin, scene.height - margin - 3 * pitch);
        bool apart = true;
        for (const Circle& h : holes) {
            apart = apart && (h.x < x0 - 4 * pitch || h.x > x0 + 11 * pitch || h.y < y0 - 4 * pitch ||
                              h.y > y0 + 7 * pitch);
        }
        if (apart) {
            for (int pin = 0; pin < 16; ++pin) {
                holes.push_back({x0 + (pin % 8) * pitch, y0 + (pin / 8) * 3 * pitch, 0});
            }
            ++chip;
        }
    }
    for (int tries = 0; int(holes.size()) < scene.holes && tries < scene.holes * 200; ++tries) {
        const Circle c{uniform(margin, scene.width - margin), uniform(margin, scene.height - margin), 0};
        bool apart = true;
        for (const Circle& h : holes) {
            apart = apart && std::hypot(h.x - c.x, h.y - c.y) > scene.ringRadius * 4;
        }
        if (apart) {
            holes.push_back(c);
        }
    }
    std::vector<Segment> tracks;
    for (int t = 0; t < scene.tracks && holes.size() > 1; ++t) {
        const Circle& a = holes[random() % holes.size()];
        const Circle& b = holes[random() % holes.size()];
        // Tracks run straight or at 45 degrees, as routed ones do.
        const double mx = std::abs(b.x - a.x) > std::abs(b.y - a.y)
                              ? b.x - std::copysign(std::abs(b.y - a.y), b.x - a.x)
                              : a.x;
        const double my = std::abs(b.x - a.x) > std::abs(b.y - a.y)
                              ? a.y
                              : b.y - std::copysign(std::abs(b.x - a.x), b.y - a.y);
        tracks.push_back({a.x, a.y, mx, my, scene.ringRadius * 0.45});
        tracks.push_back({mx, my, b.x, b.y, scene.ringRadius * 0.45});
    }
    std::vector<bool> lost(holes.size(), false);
    for (std::size_t i = 0; i < holes.size(); ++i) {
        lost[i] = uniform(0, 1) < scene.lostFraction;
    }

    BoardScans scans;
    scans.truth = truth;
    for (int picture = 1; picture <= 2; ++picture) {
        BoardPicture& out = picture == 1 ? scans.first : scans.second;
        out.width = scene.width;
        out.height = scene.height;
        out.pixels.resize(std::size_t(out.width) * out.height);
        // A cheap generator for the noise: tens of millions of pixels must stay quick to make.
        std::uint32_t state = scene.seed * 2654435761u + unsigned(picture);
        for (std::uint32_t& pixel : out.pixels) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int n = int(state & 63) - 32, m = int((state >> 8) & 31) - 16;
            pixel = packed(60 + n, 90 + m + n / 2, 40 + n);
        }
        Painter painter(out, picture == 1 ? AffineMap{} : truth);
        const std::uint32_t copper = packed(200, 140, 70),
                            drill = scene.litThrough ? packed(250, 250, 245) : packed(22, 20, 18);
        for (const Segment& s : tracks) {
            painter.segment(s, copper);
        }
        for (std::size_t i = 0; i < holes.size(); ++i) {
            if (picture == 2 && lost[i]) {
                continue;
            }
            painter.circle({holes[i].x, holes[i].y, scene.ringRadius}, copper);
            painter.circle({holes[i].x, holes[i].y, scene.centreRadius}, drill);
        }
        if (picture == 2) {
            // Specks drawn in the second picture's own frame, where no hole of the first is.
            Painter own(out, AffineMap{});
            for (int k = 0; k < scene.specks; ++k) {
                const double x = uniform(margin, scene.width - margin),
                             y = uniform(margin, scene.height - margin);
                own.circle({x, y, scene.ringRadius}, copper);
                own.circle({x, y, scene.centreRadius}, drill);
            }
        }
        // Colour noise of the scan on top of everything.
        for (std::uint32_t& pixel : out.pixels) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int n = int(state & 15) - 8;
            pixel = packed(int(pixel & 0xff) + n, int((pixel >> 8) & 0xff) - n,
                           int((pixel >> 16) & 0xff) + n / 2);
        }
    }
    return scans;
}

}  // namespace korvane::testing
