// Zoomed drawing of large pictures: the picture pyramid of a 36-megapixel (7000 x 5143) and a
// 100-megapixel (10000 x 10000) scan, side by side with OpenCV halving the same pixels level by level
// (cv::resize with INTER_AREA, and cv::pyrDown) when it is installed; the update of the pyramid after a
// fill-sized rectangle, to set against a full build; and one repaint of a 1600 x 1000 pane at every zoom that
// matters, into an image through a QPainter as a window repaint would. The zooms between levels are drawn
// smooth (what the pane uses) and nearest, and once without a pyramid (a build still running).
//
// The pictures are textured like a scan (noise around copper tracks), so that no flat colour flatters the
// averaging or the copies. They are made once, at first use.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>

#include <cmath>
#include <cstdint>
#include <map>
#include <memory>

#include "view/PicturePyramid.h"

#if KORVANE_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace korvane {
namespace {

QImage makeScan(int width, int height) {
    QImage image(width, height, QImage::Format_RGBX8888);
    std::uint64_t state = 0x9E3779B97F4A7C15ULL ^ std::uint64_t(width);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        // Copper tracks: a horizontal band every 97 rows, vertical ones every 131 columns.
        const bool horizontalTrack = y % 97 < 12;
        for (int x = 0; x < width; ++x) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            const std::uint32_t noise = std::uint32_t(state) & 0x000F0F0Fu;
            const bool copper = horizontalTrack || x % 131 < 9;
            row[x] = 0xFF000000u | noise | (copper ? 0x003090C0u : 0x00205020u);
        }
    }
    return image;
}

struct Scan {
    QImage picture;
    PicturePyramid pyramid;
};

// Megapixels 36 or 100.
const Scan& scan(int megapixels) {
    static std::map<int, std::unique_ptr<Scan>> scans;
    auto& made = scans[megapixels];
    if (!made) {
        made = std::make_unique<Scan>();
        made->picture = megapixels == 36 ? makeScan(7000, 5143) : makeScan(10000, 10000);
        made->pyramid = PicturePyramid::Build(made->picture);
    }
    return *made;
}

void BM_BuildPyramid(benchmark::State& state) {
    const Scan& s = scan(int(state.range(0)));
    for (auto _ : state) {
        const PicturePyramid pyramid = PicturePyramid::Build(s.picture);
        benchmark::DoNotOptimize(pyramid.levelCount());
    }
    state.counters["MB"] = double(s.pyramid.bytes()) / 1e6;
    state.counters["of picture"] = double(s.pyramid.bytes()) / double(s.picture.sizeInBytes());
}
BENCHMARK(BM_BuildPyramid)->Arg(36)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

#if KORVANE_BENCH_OPENCV
// The scan's pixels as OpenCV sees them, without a copy. OpenCV starts its worker threads at its first
// call: that is done here, outside the timing.
cv::Mat openCvView(const QImage& image) {
    const cv::Mat view(image.height(), image.width(), CV_8UC4, const_cast<uchar*>(image.constBits()),
                       std::size_t(image.bytesPerLine()));
    static const bool warm = [&view] {
        cv::Mat small;
        cv::resize(view(cv::Rect(0, 0, 64, 64)), small, cv::Size(32, 32), 0, 0, cv::INTER_AREA);
        return true;
    }();
    (void)warm;
    return view;
}

// Every level from the one below, as the pyramid is made; `halve` makes one level.
template <class Halve>
void openCvLevels(benchmark::State& state, Halve&& halve) {
    const Scan& s = scan(int(state.range(0)));
    const cv::Mat picture = openCvView(s.picture);
    for (auto _ : state) {
        cv::Mat below = picture;
        for (int k = 1; k <= s.pyramid.levelCount(); ++k) {
            cv::Mat level;
            halve(below, level);
            below = level;
        }
        benchmark::DoNotOptimize(below.data);
    }
}

// The same 2 x 2 average where both sides are even; at an odd side the ratio is no longer 2 and OpenCV
// takes its general area resampling.
void BM_OpenCvHalving(benchmark::State& state) {
    openCvLevels(state, [](const cv::Mat& below, cv::Mat& level) {
        cv::resize(below, level, cv::Size((below.cols + 1) / 2, (below.rows + 1) / 2), 0, 0, cv::INTER_AREA);
    });
}
BENCHMARK(BM_OpenCvHalving)->Arg(36)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The Gaussian pyramid, for scale: a 5 x 5 filter rather than a 2 x 2 average, same level sizes.
void BM_OpenCvPyrDown(benchmark::State& state) {
    openCvLevels(state, [](const cv::Mat& below, cv::Mat& level) { cv::pyrDown(below, level); });
}
BENCHMARK(BM_OpenCvPyrDown)->Arg(36)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
#endif

// A fill of side range(0) in the middle of the 100-megapixel scan.
void BM_UpdatePyramid(benchmark::State& state) {
    const Scan& s = scan(100);
    PicturePyramid pyramid = s.pyramid;
    const int side = int(state.range(0));
    const QRect filled(5000 - side / 2, 5000 - side / 2, side, side);
    pyramid.update(s.picture, filled);  // detaches the levels from the shared pyramid outside the timing
    for (auto _ : state) {
        pyramid.update(s.picture, filled);
    }
}
BENCHMARK(BM_UpdatePyramid)->Arg(500)->Arg(2000)->Unit(benchmark::kMicrosecond);

enum class Held { Pyramid, Nothing };

// One repaint of a 1600 x 1000 pane centred on the picture at range(1) / 1024 (0 for the fit zoom).
void drawPane(benchmark::State& state, ZoomFilter filter, Held held) {
    const Scan& s = scan(int(state.range(0)));
    const QSize pane(1600, 1000);
    const double zoom = state.range(1) == 0 ? std::min(double(pane.width()) / s.picture.width(),
                                                       double(pane.height()) / s.picture.height())
                                            : double(state.range(1)) / 1024;
    const QSize shown = ZoomedSize(s.picture.size(), zoom);
    const QRect area(QPoint(std::max(0, (shown.width() - pane.width()) / 2),
                            std::max(0, (shown.height() - pane.height()) / 2)),
                     pane);
    const PicturePyramid none;
    const PicturePyramid& pyramid = held == Held::Pyramid ? s.pyramid : none;
    QImage window(pane, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&window);
        painter.translate(-area.topLeft());
        DrawZoomed(painter, s.picture, pyramid, zoom, area, filter);
    }
    state.counters["zoom"] = zoom;
}

void BM_DrawSmooth(benchmark::State& state) {
    drawPane(state, ZoomFilter::Smooth, Held::Pyramid);
}
void BM_DrawNearest(benchmark::State& state) {
    drawPane(state, ZoomFilter::Nearest, Held::Pyramid);
}
void BM_DrawWithoutPyramid(benchmark::State& state) {
    drawPane(state, ZoomFilter::Smooth, Held::Nothing);
}

// Zooms in 1/1024: 1/32, 1/8, 1/2, 1/sqrt(2), 1, 4, 32, and 0 for the fit zoom.
constexpr int kOneOverRootTwo = 724;
BENCHMARK(BM_DrawSmooth)
    ->ArgsProduct({{36, 100}, {32, 128, 512, kOneOverRootTwo, 0, 1024, 4096, 32768}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawNearest)->ArgsProduct({{36, 100}, {kOneOverRootTwo, 0}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawWithoutPyramid)->ArgsProduct({{100}, {128, 0}})->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace korvane

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
