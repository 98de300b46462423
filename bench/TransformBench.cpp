// Rotation and flips of board-sized pictures, side by side with OpenCV's when it is installed.
// Two destination regimes for the rotation: one allocated once (the pure transform) and a fresh
// one per run (what a user's first rotation pays, page faults included).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "transforms/PixelTransforms.h"

#ifdef KORVANE_HAVE_OPENCV
#include <opencv2/core.hpp>
#endif

namespace {

using korvane::ImageView;

struct Sample {
    int width;
    int height;
    std::vector<std::uint32_t> pixels;
};

// About 4, 16 and 36 megapixels, in a scan's 4:3 shape.
const Sample& sample(int index) {
    static std::vector<Sample> samples = [] {
        std::vector<Sample> made;
        std::mt19937 random(1);
        for (auto [w, h] : {std::pair{2312, 1734}, {4624, 3468}, {6936, 5202}}) {
            Sample s{w, h, std::vector<std::uint32_t>(std::size_t(w) * std::size_t(h))};
            for (auto& px : s.pixels) {
                px = random() & 0x00FFFFFFu;
            }
            made.push_back(std::move(s));
        }
        return made;
    }();
    return samples[std::size_t(index)];
}

void report(benchmark::State& state, const Sample& s) {
    state.counters["Mpixel/s"] = benchmark::Counter(
        double(s.width) * s.height * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
    state.SetLabel(std::to_string(s.width) + "x" + std::to_string(s.height));
}

void BM_Rotate(benchmark::State& state) {
    Sample s = sample(int(state.range(0)));
    std::vector<std::uint32_t> out(s.pixels.size());
    for (auto _ : state) {
        korvane::RotatePixels({s.pixels.data(), s.width, s.height, s.width},
                              {out.data(), s.height, s.width, s.height});
        benchmark::DoNotOptimize(out.data());
    }
    report(state, s);
}

void BM_RotateFreshDestination(benchmark::State& state) {
    Sample s = sample(int(state.range(0)));
    for (auto _ : state) {
        std::vector<std::uint32_t> out(s.pixels.size());
        korvane::RotatePixels({s.pixels.data(), s.width, s.height, s.width},
                              {out.data(), s.height, s.width, s.height});
        benchmark::DoNotOptimize(out.data());
    }
    report(state, s);
}

void BM_FlipHorizontal(benchmark::State& state) {
    Sample s = sample(int(state.range(0)));
    for (auto _ : state) {
        korvane::FlipHorizontal({s.pixels.data(), s.width, s.height, s.width});
        benchmark::DoNotOptimize(s.pixels.data());
    }
    report(state, s);
}

void BM_FlipVertical(benchmark::State& state) {
    Sample s = sample(int(state.range(0)));
    for (auto _ : state) {
        korvane::FlipVertical({s.pixels.data(), s.width, s.height, s.width});
        benchmark::DoNotOptimize(s.pixels.data());
    }
    report(state, s);
}

BENCHMARK(BM_Rotate)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotateFreshDestination)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlipHorizontal)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlipVertical)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

#ifdef KORVANE_HAVE_OPENCV
cv::Mat asMat(Sample& s) {
    return cv::Mat(s.height, s.width, CV_8UC4, s.pixels.data());
}

void BM_OpenCV_Rotate(benchmark::State& state) {
    Sample s = sample(int(state.range(0)));
    cv::Mat src = asMat(s);
    cv::Mat out(s.width, s.height, CV_8UC4);
    for (auto _ : state) {
        cv::rotate(src, out, cv::ROTATE_90_CLOCKWISE);
        benchmark::DoNotOptimize(out.data);
    }
    report(state, s);
}

void BM_OpenCV_RotateFreshDestination(benchmark::State& state) {
    Sample s = sample(int(state.range(0)));
    cv::Mat src = asMat(s);
    for (auto _ : state) {
        cv::Mat out;
        cv::rotate(src, out, cv::ROTATE_90_CLOCKWISE);
        benchmark::DoNotOptimize(out.data);
    }
    report(state, s);
}

void BM_OpenCV_FlipHorizontal(benchmark::State& state) {
    Sample s = sample(int(state.range(0)));
    cv::Mat src = asMat(s);
    cv::Mat out(s.height, s.width, CV_8UC4);
    for (auto _ : state) {
        cv::flip(src, out, 1);
        benchmark::DoNotOptimize(out.data);
    }
    report(state, s);
}

void BM_OpenCV_FlipVertical(benchmark::State& state) {
    Sample s = sample(int(state.range(0)));
    cv::Mat src = asMat(s);
    cv::Mat out(s.height, s.width, CV_8UC4);
    for (auto _ : state) {
        cv::flip(src, out, 0);
        benchmark::DoNotOptimize(out.data);
    }
    report(state, s);
}

BENCHMARK(BM_OpenCV_Rotate)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCV_RotateFreshDestination)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCV_FlipHorizontal)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCV_FlipVertical)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
