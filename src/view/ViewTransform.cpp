#include "view/ViewTransform.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace korvane {

namespace {

// Steps are counted in half powers of two: step k is 2^(k/2), from -10 (1/32) to 10 (32).
constexpr int kLowestStep = -10;
constexpr int kHighestStep = 10;
// A zoom that is a step give or take rounding counts as that step.
constexpr double kStepTolerance = 1e-9;

double stepZoom(int step) {
    return std::pow(2.0, step / 2.0);
}

double stepOf(double zoom) {
    return 2 * std::log2(zoom);
}

}  // namespace

double ClampZoom(double zoom) {
    if (!(zoom > 0)) {
        return 1;
    }
    return std::clamp(zoom, kMinZoom, kMaxZoom);
}

double ZoomInStep(double zoom) {
    const int next = int(std::floor(stepOf(ClampZoom(zoom)) + kStepTolerance)) + 1;
    return stepZoom(std::min(next, kHighestStep));
}

double ZoomOutStep(double zoom) {
    const int next = int(std::ceil(stepOf(ClampZoom(zoom)) - kStepTolerance)) - 1;
    return stepZoom(std::max(next, kLowestStep));
}

double FitZoom(double pictureWidth, double pictureHeight, double paneWidth, double paneHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || paneWidth <= 0 || paneHeight <= 0) {
        return 1;
    }
    return ClampZoom(std::min(paneWidth / pictureWidth, paneHeight / pictureHeight));
}

int DisplayedExtent(int pictureExtent, double zoom) {
    if (pictureExtent <= 0) {
        return 0;
    }
    // Zoomed in, whole squares of floor(x * zoom) to floor((x + 1) * zoom) - 1; zoomed out, every displayed
    // pixel that any picture pixel covers. A hair either way keeps exact products exact.
    const double product = pictureExtent * zoom;
    const double displayed = zoom >= 1 ? std::floor(product + 1e-7) : std::ceil(product - 1e-7);
    return int(std::clamp(displayed, 1.0, double(INT32_MAX / 2)));
}

int ScrollUnit(double displayedExtent, double paneExtent) {
    const double range = displayedExtent - paneExtent;
    return range <= 32767 ? 1 : int(std::ceil(range / 32767));
}

void ViewTransform::zoomAbout(double to, ViewPoint anchor) {
    const ViewPoint held = toPicture(anchor);
    zoom = ClampZoom(to);
    originX = held.x * zoom - anchor.x;
    originY = held.y * zoom - anchor.y;
}

}  // namespace korvane
