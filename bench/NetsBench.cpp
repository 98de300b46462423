// The Nets panel on a board of 5,000 pads on two 2,000 x 1,500 pictures, two of its nets with 500 pads
// each: highlighting such a net (its entry found by a pad, its ratsnest computed on both pictures and set
// on both of them), the ratsnest of 500 points alone, reading the nets anew after a pad event (and the
// records alone), and one repaint of a pane's visible part with the net highlighted.

#include <benchmark/benchmark.h>

#include <QImage>
#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "BenchUi.h"
#include "nets/NetList.h"
#include "nets/NetsPanel.h"
#include "nets/Ratsnest.h"
#include "project/Project.h"
#include "view/PictureBox.h"

namespace korvane {
namespace {

constexpr int kPads = 5000;
constexpr int kBigNet = 500;
constexpr int kWidth = 2000;
constexpr int kHeight = 1500;

struct Board : RunFixture<Board> {
    Project project;
    std::unique_ptr<PictureBox> p1 = std::make_unique<PictureBox>();
    std::unique_ptr<PictureBox> p2 = std::make_unique<PictureBox>();
    std::unique_ptr<NetsPanel> panel;

    Board() {
        std::mt19937 random(15);
        std::uniform_real_distribution<double> x(0, kWidth - 8);
        std::uniform_real_distribution<double> y(0, kHeight - 8);
        PadBoard& pads = project.pads;
        for (int n = 1; n <= kPads; ++n) {
            const double x1 = std::floor(x(random));
            const double y1 = std::floor(y(random));
            // The second picture is the first one mirrored, a little off: its tree is its own.
            pads.place(n, x1, y1, kWidth - 8 - x1 + 2, y1 + 1);
        }
        // Pads 1..500 on BIG1, 501..1000 on BIG2, the others in nets of four.
        for (int n = 1; n <= kPads; ++n) {
            const std::string net = n <= kBigNet       ? "BIG1"
                                    : n <= 2 * kBigNet ? "BIG2"
                                                       : "N" + std::to_string(n / 4);
            pads.writeNames({n}, kAllNameFields,
                            {std::to_string(n % 8 + 1), net, "U" + std::to_string(n / 8)});
        }
        for (PictureBox* box : {p1.get(), p2.get()}) {
            QImage picture(kWidth, kHeight, QImage::Format_RGB32);
            picture.fill(Qt::darkGreen);
            box->setPicture(picture);
            box->resize(kWidth, kHeight);
        }
        p1->setMarkers(&pads.markers.Pad1);
        p2->setMarkers(&pads.markers.Pad2);
        panel = std::make_unique<NetsPanel>(project, p1.get(), p2.get());
    }
};

// What the key N does over pad 1 or pad 501: the net of the pad highlighted on both pictures.
void BM_HighlightNet500Pads(benchmark::State& state) {
    Board& board = Board::get();
    int pad = 1;
    for (auto _ : state) {
        pad = pad == 1 ? kBigNet + 1 : 1;
        board.panel->highlightNetOfPad(pad);
    }
    state.counters["pads"] = double(board.p1->highlightedPads().size());
    state.counters["lines"] = double(board.p2->highlightLines().size());
}
BENCHMARK(BM_HighlightNet500Pads)->Unit(benchmark::kMicrosecond);

void BM_Ratsnest500Points(benchmark::State& state) {
    std::mt19937 random(3);
    std::uniform_real_distribution<double> coordinate(0, kWidth);
    std::vector<RatsPoint> points(kBigNet);
    for (RatsPoint& p : points) {
        p = {coordinate(random), coordinate(random)};
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(Ratsnest(points));
    }
}
BENCHMARK(BM_Ratsnest500Points)->Unit(benchmark::kMicrosecond);

// Every pad added, renamed or removed reads the nets of all 5,000 pads anew.
void BM_RebuildAfterPadEvent(benchmark::State& state) {
    Board& board = Board::get();
    board.panel->highlightNetOfPad(1);
    for (auto _ : state) {
        board.panel->padsRenamed({1});
    }
    state.counters["nets"] = double(board.panel->netList().nets().size());
}
BENCHMARK(BM_RebuildAfterPadEvent)->Unit(benchmark::kMillisecond);

// The nets alone, without the list: the part a pad event spends on the records.
void BM_NetListBuild(benchmark::State& state) {
    Board& board = Board::get();
    for (auto _ : state) {
        benchmark::DoNotOptimize(NetList::Build(board.project.pads));
    }
}
BENCHMARK(BM_NetListBuild)->Unit(benchmark::kMillisecond);

// A pane's visible part, 900 x 600, with a 500-pad net highlighted across the whole picture.
void BM_PaneRepaintHighlighted(benchmark::State& state) {
    Board& board = Board::get();
    board.panel->highlightNetOfPad(1);
    QImage target(900, 600, QImage::Format_RGB32);
    const QRegion visible(400, 300, 900, 600);
    for (auto _ : state) {
        board.p1->render(&target, QPoint(), visible);
    }
}
BENCHMARK(BM_PaneRepaintHighlighted)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace korvane

int main(int argc, char** argv) {
    return korvane::RunWindowBenchmarks(argc, argv, [] { korvane::Board::instance().reset(); });
}
