// The layers' alignment: AutoAlign on two synthetic 36-megapixel board scans (6000 x 6000, about 800
// drill holes, the second scan turned by 1.5 degrees, one axis stretched by 1.5 %, mirrored, 20 % of its
// holes lost and specks added; target under 2 s), and FitAffine over 1000 noisy pairs. When OpenCV is
// installed, its least-squares solve of the same 1000 pairs (cv::solve with SVD) and its RANSAC estimate
// (cv::estimateAffine2D) are measured beside FitAffine as yardsticks.
//
// The counters give the worst error at the picture's corners against the true mapping, in pixels, and the
// matched holes. The scans are made once, outside the timing.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "align/AutoAlign.h"
#include "support/SyntheticBoard.h"

#if KORVANE_BENCH_OPENCV
#include <opencv2/calib3d.hpp>
#include <opencv2/core.hpp>
#endif

namespace {

using namespace korvane;
using namespace korvane::testing;

const BoardScene& bigScene() {
    static const BoardScene scene = [] {
        BoardScene s;
        s.width = 6000;
        s.height = 6000;
        s.holes = 800;
        s.centreRadius = 14;
        s.ringRadius = 28;
        s.tracks = 400;
        s.specks = 60;
        s.seed = 7;
        return s;
    }();
    return scene;
}

const BoardScans& bigScans() {
    static const BoardScans scans =
        MakeBoardScans(bigScene(), SceneMapping(bigScene(), 1.5, 1.0, 1.015, 0.0, true));
    return scans;
}

void BM_AutoAlign36MP(benchmark::State& state) {
    const BoardScans& scans = bigScans();
    std::optional<AutoAlignment> found;
    std::string why;
    for (auto _ : state) {
        found = AutoAlign(scans.first.view(), scans.second.view(), nullptr, &why);
        benchmark::DoNotOptimize(found);
    }
    if (!found) {
        state.SkipWithError(("no alignment: " + why).c_str());
        return;
    }
    double worst = 0;
    const int w = bigScene().width - 1, h = bigScene().height - 1;
    for (const auto& [x, y] : {std::pair{0, 0}, {w, 0}, {0, h}, {w, h}}) {
        const auto p = found->map.map(x, y), q = scans.truth.map(x, y);
        worst = std::max(worst, std::hypot(p.x - q.x, p.y - q.y));
    }
    state.counters["corner_px"] = worst;
    state.counters["pairs"] = double(found->pairs.size());
    state.counters["rms_px"] = found->rms;
    state.counters["mirrored"] = found->mirrored ? 1 : 0;
}
BENCHMARK(BM_AutoAlign36MP)->Unit(benchmark::kMillisecond)->UseRealTime();

const std::vector<AlignPair>& noisyPairs() {
    static const std::vector<AlignPair> pairs = [] {
        const AffineMap truth = SceneMapping(bigScene(), -2, 1.01, 0.99, 0.005, false);
        std::vector<AlignPair> made;
        for (int i = 0; i < 1000; ++i) {
            const double x = (i * 7919) % 6000, y = (i * 104729) % 6000;
            const auto q = truth.map(x, y);
            made.push_back({x, y, q.x + 0.5 * std::sin(i * 1.3), q.y + 0.5 * std::cos(i * 0.7)});
        }
        return made;
    }();
    return pairs;
}

void BM_FitAffine1000(benchmark::State& state) {
    const std::vector<AlignPair>& pairs = noisyPairs();
    for (auto _ : state) {
        benchmark::DoNotOptimize(FitAffine(pairs));
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(pairs.size()));
}
BENCHMARK(BM_FitAffine1000)->Unit(benchmark::kMicrosecond);

#if KORVANE_BENCH_OPENCV
void BM_OpenCvLeastSquares1000(benchmark::State& state) {
    const std::vector<AlignPair>& pairs = noisyPairs();
    for (auto _ : state) {
        cv::Mat a(int(pairs.size()), 3, CV_64F), b(int(pairs.size()), 2, CV_64F), x;
        for (int i = 0; i < int(pairs.size()); ++i) {
            a.at<double>(i, 0) = pairs[std::size_t(i)].x1;
            a.at<double>(i, 1) = pairs[std::size_t(i)].y1;
            a.at<double>(i, 2) = 1;
            b.at<double>(i, 0) = pairs[std::size_t(i)].x2;
            b.at<double>(i, 1) = pairs[std::size_t(i)].y2;
        }
        cv::solve(a, b, x, cv::DECOMP_SVD);
        benchmark::DoNotOptimize(x.data);
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(pairs.size()));
}
BENCHMARK(BM_OpenCvLeastSquares1000)->Unit(benchmark::kMicrosecond);

void BM_OpenCvRansac1000(benchmark::State& state) {
    const std::vector<AlignPair>& pairs = noisyPairs();
    std::vector<cv::Point2d> from, to;
    for (const AlignPair& p : pairs) {
        from.emplace_back(p.x1, p.y1);
        to.emplace_back(p.x2, p.y2);
    }
    for (auto _ : state) {
        std::vector<unsigned char> inliers;
        benchmark::DoNotOptimize(cv::estimateAffine2D(from, to, inliers, cv::RANSAC, 3.0).data);
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(pairs.size()));
}
BENCHMARK(BM_OpenCvRansac1000)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace

BENCHMARK_MAIN();
