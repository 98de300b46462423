#include "align/AffineMap.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace korvane {

namespace {

bool finite(const AffineMap& m) {
    return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
           std::isfinite(m.e) && std::isfinite(m.f);
}

// Whether a point cloud's spread (its 2 x 2 scatter matrix [p q; q r]) spans the plane. Points on one
// line have a smallest eigenvalue of 0; the ratio of the determinant to the squared trace measures how
// flat the cloud is whatever its size (0.25 for a round cloud). Whole-pixel points in a row come out as 0
// up to rounding.
bool spansPlane(double p, double q, double r) {
    const double trace = p + r;
    return trace > 0 && p * r - q * q > 1e-10 * trace * trace;
}

}  // namespace

std::optional<AffineMap> AffineMap::inverse() const {
    const double det = determinant();
    const double size = std::max({std::abs(a), std::abs(b), std::abs(d), std::abs(e)});
    if (!finite(*this) || !(std::abs(det) > 1e-12 * size * size)) {
        return std::nullopt;
    }
    AffineMap inv;
    inv.a = e / det;
    inv.b = -b / det;
    inv.d = -d / det;
    inv.e = a / det;
    inv.c = -(inv.a * c + inv.b * f);
    inv.f = -(inv.d * c + inv.e * f);
    if (!finite(inv)) {
        return std::nullopt;
    }
    return inv;
}

std::optional<AffineMap> FitAffine(const std::vector<AlignPair>& pairs) {
    const std::size_t n = pairs.size();
    for (const AlignPair& p : pairs) {
        if (!std::isfinite(p.x1) || !std::isfinite(p.y1) || !std::isfinite(p.x2) || !std::isfinite(p.y2)) {
            return std::nullopt;
        }
    }
    if (n < 2) {
        return std::nullopt;
    }
    AffineMap m;
    if (n == 2) {
        // z2 = alpha z1 + beta in complex numbers: a turn and a scale (alpha) and a shift (beta).
        const std::complex<double> z1(pairs[0].x1, pairs[0].y1), z2(pairs[1].x1, pairs[1].y1);
        const std::complex<double> w1(pairs[0].x2, pairs[0].y2), w2(pairs[1].x2, pairs[1].y2);
        const double size = 1 + std::max({std::abs(z1), std::abs(z2), std::abs(w1), std::abs(w2)});
        if (std::abs(z2 - z1) <= 1e-9 * size || std::abs(w2 - w1) <= 1e-9 * size) {
            return std::nullopt;
        }
        const std::complex<double> alpha = (w2 - w1) / (z2 - z1);
        const std::complex<double> beta = w1 - alpha * z1;
        m = {alpha.real(), -alpha.imag(), beta.real(), alpha.imag(), alpha.real(), beta.imag()};
    } else {
        // Centred sums: board coordinates run to tens of thousands, whose squares would swamp the
        // spread of the points in plain sums.
        double mx = 0, my = 0, mu = 0, mv = 0;
        for (const AlignPair& p : pairs) {
            mx += p.x1;
            my += p.y1;
            mu += p.x2;
            mv += p.y2;
        }
        mx /= double(n);
        my /= double(n);
        mu /= double(n);
        mv /= double(n);
        double sxx = 0, sxy = 0, syy = 0, sxu = 0, syu = 0, sxv = 0, syv = 0, suu = 0, suv = 0, svv = 0;
        for (const AlignPair& p : pairs) {
            const double x = p.x1 - mx, y = p.y1 - my, u = p.x2 - mu, v = p.y2 - mv;
            sxx += x * x;
            sxy += x * y;
            syy += y * y;
            sxu += x * u;
            syu += y * u;
            sxv += x * v;
            syv += y * v;
            suu += u * u;
            suv += u * v;
            svv += v * v;
        }
        // Collinear points on picture 1 leave the mapping undecided across the line; on picture 2 they
        // would give a mapping that squashes the board onto a line, which no cursor could follow back.
        if (!spansPlane(sxx, sxy, syy) || !spansPlane(suu, suv, svv)) {
            return std::nullopt;
        }
        const double det = sxx * syy - sxy * sxy;
        m.a = (syy * sxu - sxy * syu) / det;
        m.b = (sxx * syu - sxy * sxu) / det;
        m.d = (syy * sxv - sxy * syv) / det;
        m.e = (sxx * syv - sxy * sxv) / det;
        m.c = mu - m.a * mx - m.b * my;
        m.f = mv - m.d * mx - m.e * my;
    }
    if (!finite(m) || !m.inverse()) {
        return std::nullopt;
    }
    return m;
}

std::vector<double> Residuals(const AffineMap& map, const std::vector<AlignPair>& pairs) {
    std::vector<double> residuals;
    residuals.reserve(pairs.size());
    for (const AlignPair& p : pairs) {
        const AffineMap::Point q = map.map(p.x1, p.y1);
        residuals.push_back(std::hypot(q.x - p.x2, q.y - p.y2));
    }
    return residuals;
}

double RootMeanSquare(const std::vector<double>& residuals) {
    if (residuals.empty()) {
        return 0;
    }
    double sum = 0;
    for (double r : residuals) {
        sum += r * r;
    }
    return std::sqrt(sum / double(residuals.size()));
}

std::vector<bool> FlagOutliers(const std::vector<double>& residuals) {
    std::vector<bool> flags(residuals.size(), false);
    if (residuals.empty()) {
        return flags;
    }
    std::vector<double> sorted = residuals;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t half = sorted.size() / 2;
    const double median = sorted.size() % 2 ? sorted[half] : (sorted[half - 1] + sorted[half]) / 2;
    for (std::size_t i = 0; i < residuals.size(); ++i) {
        flags[i] = residuals[i] > 3 * median && residuals[i] > kResidualFloor;
    }
    return flags;
}

}  // namespace korvane
