// Opening a project of two 36-megapixel PNG scans (7000 x 5143, the size of a board scanned at 1200 dpi):
// decoding one picture alone, opening the whole project through the main window, the ratio of the two
// (both pictures are decoded side by side, so the open should cost little more than one decode), and the
// resident memory the open project holds per picture pixel.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "BenchUi.h"
#include "app/MainWindow.h"
#include "platform/Ui.h"
#include "project/Project.h"
#include "view/Panes.h"
#include "view/PictureBox.h"
#include "view/PictureFile.h"

#if KORVANE_BENCH_OPENCV
#include <opencv2/imgcodecs.hpp>
#endif

namespace korvane {
namespace {

constexpr int kWidth = 7000;
constexpr int kHeight = 5143;
constexpr double kPicturePixels = double(kWidth) * kHeight;

// Resident memory of this process in bytes.
double residentBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stod(line.substr(6)) * 1024.0;
        }
    }
    return 0;
}

// A scan-like texture: smooth copper and substrate shading with grain in every pixel, so that the PNG
// holds real work for the decoder (a flat picture would decode in no time).
QImage scanLike() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        std::uint32_t seed = std::uint32_t(y) * 2654435761u;
        for (int x = 0; x < kWidth; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const std::uint32_t grain = (seed >> 24) & 0x1F;
            const bool copper = ((x / 40) + (y / 56)) % 3 == 0;
            const std::uint32_t r = (copper ? 190 : 40) + grain;
            const std::uint32_t g = (copper ? 120 : 90) + (grain >> 1);
            const std::uint32_t b = (copper ? 60 : 50) + ((x + y) & 0x0F);
            row[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
        }
    }
    return image;
}

struct Board : RunFixture<Board> {
    QTemporaryDir dir;
    BenchUi ui;
    Project project;
    std::unique_ptr<MainWindow> window;
    QString top;
    double beforeOpen = 0;  // resident bytes with the window up and no project

    Board() {
        top = dir.filePath(QStringLiteral("top.png"));
        {
            QImageWriter writer(top, "png");
            writer.setQuality(90);  // the fastest deflate level: the pictures are made once per run
            writer.write(scanLike());
        }
        QFile::copy(top, dir.filePath(QStringLiteral("bottom.png")));
        ui.project = dir.filePath(QStringLiteral("board.kvp")).toStdString();
        std::ofstream(ui.project, std::ios::binary)
            << "[FilePathSection]\r\nFirst=top.png\r\nSecond=bottom.png\r\n\r\n[TraceSection]\r\n";
        window = std::make_unique<MainWindow>(ui, project);
        window->startUp("");
        window->timer()->stop();
        beforeOpen = residentBytes();
    }

    void open() { window->session().openProject(); }
};

double secondsOf(const std::chrono::steady_clock::duration& d) {
    return std::chrono::duration<double>(d).count();
}

double decodeOnceSeconds(const Board& board) {
    const auto start = std::chrono::steady_clock::now();
    const QImage image = ReadBoardPicture(board.top, nullptr);
    benchmark::DoNotOptimize(image.constBits());
    return secondsOf(std::chrono::steady_clock::now() - start);
}

void BM_DecodeOnePicture(benchmark::State& state) {
    Board& board = Board::get();
    for (auto _ : state) {
        const QImage image = ReadBoardPicture(board.top, nullptr);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["megapixels"] = kPicturePixels / 1e6;
}
BENCHMARK(BM_DecodeOnePicture)->Unit(benchmark::kMillisecond)->UseRealTime();

#if KORVANE_BENCH_OPENCV
void BM_DecodeOnePictureOpenCV(benchmark::State& state) {
    Board& board = Board::get();
    const std::string path = board.top.toStdString();
    for (auto _ : state) {
        const cv::Mat image = cv::imread(path, cv::IMREAD_COLOR);
        benchmark::DoNotOptimize(image.data);
    }
}
BENCHMARK(BM_DecodeOnePictureOpenCV)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

// Both pictures through the window's Open command; the counters hold the time against one decode
// measured in the same run, and the memory the open project holds.
void BM_OpenProject(benchmark::State& state) {
    Board& board = Board::get();
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        board.open();
        total += secondsOf(std::chrono::steady_clock::now() - start);
    }
    // The pyramids are built off the GUI thread after the open: memory is measured once they are there.
    const auto waitFrom = std::chrono::steady_clock::now();
    while (
        (board.window->panes()->P1()->pyramidBuilding() || board.window->panes()->P2()->pyramidBuilding()) &&
        std::chrono::steady_clock::now() - waitFrom < std::chrono::seconds(30)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    const double resident = residentBytes() - board.beforeOpen;
    const double open = total / double(state.iterations());
    const double decode = decodeOnceSeconds(board);
    state.counters["open_s"] = open;
    state.counters["one_decode_s"] = decode;
    state.counters["open_per_decode"] = open / decode;
    state.counters["rss_MB"] = resident / 1e6;
    state.counters["bytes_per_pixel"] = resident / (2 * kPicturePixels);
    state.counters["opened"] = board.window->panes()->P2()->hasPicture() ? 1 : 0;
    state.counters["pyramids_MB"] = double(board.window->panes()->P1()->pyramid().bytes() +
                                           board.window->panes()->P2()->pyramid().bytes()) /
                                    1e6;
}
BENCHMARK(BM_OpenProject)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace korvane

int main(int argc, char** argv) {
    return korvane::RunWindowBenchmarks(argc, argv, [] { korvane::Board::instance().reset(); });
}
