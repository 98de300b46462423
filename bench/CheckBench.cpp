// The connectivity check on a large board: 5,000 pads (100 columns of 50 rows) and 300 traces on two
// 36-megapixel pictures. Picture 1 has 150 horizontal tracks, each joining 33 or 34 pads of a row (one
// net each); picture 2 has 150 vertical tracks between the pad columns (50 full height, 50 columns of two
// halves), which join no pad but give the copper some 520,000 runs, one per row they cross.
//
// - BM_CheckOpenedProject: what the window does for Edit > "Check connectivity" on the opened project
//   whose traces are drawn: the painted pixels of both pictures from their saved base tiles, the copper
//   runs and regions, and the check itself. Target: under 200 ms.
// - BM_CopperRunsFromPainted and BM_ConnectedComponentsOpenCV: the regions of picture 2 from its
//   painted pixels, beside OpenCV's 4-connected labelling of a mask of the same pixels (made outside the
//   timing) as a yardstick, when OpenCV is installed.
// - BM_CliCheck: `korvane-cli check` run as a user runs it on the same project written to a temporary
//   folder once (pictures as 24-bit BMP files): reading the project, decoding and replaying every
//   trace, the check and the JSON. Target: under 3 s.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "nets/ConnectivityCheck.h"
#include "nets/CopperRuns.h"
#include "pads/PadBoard.h"
#include "storage/IniDocument.h"
#include "storage/ProjectKeys.h"
#include "tracing/FloodFill.h"
#include "tracing/TraceRecords.h"
#include "tracing/TraceReplay.h"
#include "transforms/BaseTiles.h"
#include "transforms/PaintedPixels.h"

#if KORVANE_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace korvane {
namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 6928;
constexpr int kHeight = 5196;  // 36.0 megapixels
constexpr int kColumns = 100;
constexpr int kRows = 50;
constexpr int kPadPitchX = 69;
constexpr int kPadPitchY = 103;
constexpr std::uint32_t kSubstrate = 0x2E5A1Fu;  // packed 0x00BBGGRR
constexpr std::uint32_t kCopper = 0x4A9BD2u;
constexpr std::int32_t kFill = 0x0000FF;

int padX(int column) {
    return 30 + column * kPadPitchX;
}
int padY(int row) {
    return 40 + row * kPadPitchY;
}

struct Picture {
    std::vector<std::uint32_t> pixels =
        std::vector<std::uint32_t>(std::size_t(kWidth) * kHeight, 0xFF000000u | kSubstrate);
    BaseTiles base;

    ImageView view() { return ImageView{pixels.data(), kWidth, kHeight, kWidth, nullptr}; }
    void copper(int x0, int y0, int x1, int y1) {
        for (int y = y0; y <= y1; ++y) {
            std::fill(pixels.begin() + std::ptrdiff_t(y) * kWidth + x0,
                      pixels.begin() + std::ptrdiff_t(y) * kWidth + x1 + 1, 0xFF000000u | kCopper);
        }
    }
};

// The board as the project file holds it and as the window holds it once every trace is drawn.
struct Board {
    std::string projectText;  // without the picture entries
    Picture pictures[2];
    IniDocument doc;
    std::unique_ptr<PadBoard> pads;

    Board() {
        std::vector<std::string> traces;
        // Picture 1: rows of pads joined in three tracks, 4 pixels high through the pads' squares.
        for (int row = 0; row < kRows; ++row) {
            for (int part = 0; part < 3; ++part) {
                const int first = part * 33;
                const int last = part == 2 ? kColumns - 1 : first + 32;
                pictures[0].copper(padX(first), padY(row) + 2, padX(last) + 7, padY(row) + 5);
                traces.push_back(FormatTraceRecord(
                    {1, padX(first) + 3, padY(row) + 3, std::int32_t(kCopper), kFill, 0.1f, 0.1f}));
            }
        }
        // Picture 2: tracks 6 pixels wide between the pad columns, joining no pad.
        for (int column = 0; column < kColumns; ++column) {
            const int x = padX(column) + 40;
            if (column < 50) {
                pictures[1].copper(x, 0, x + 5, kHeight - 1);
                traces.push_back(FormatTraceRecord({2, x + 2, 10, std::int32_t(kCopper), kFill, 0.1f, 0.1f}));
            } else {
                pictures[1].copper(x, 0, x + 5, kHeight / 2 - 1);
                pictures[1].copper(x, kHeight / 2 + 1, x + 5, kHeight - 1);
                traces.push_back(FormatTraceRecord({2, x + 2, 10, std::int32_t(kCopper), kFill, 0.1f, 0.1f}));
                traces.push_back(
                    FormatTraceRecord({2, x + 2, kHeight - 10, std::int32_t(kCopper), kFill, 0.1f, 0.1f}));
            }
        }

        for (int n = 1; n <= kRows * kColumns; ++n) {
            const int row = (n - 1) / kColumns;
            const int column = (n - 1) % kColumns;
            const std::string position = std::to_string(padX(column)) + "," + std::to_string(padY(row));
            projectText += "[Pad" + std::to_string(n) + "]\r\nPadName=" + std::to_string(column % 8 + 1) +
                           "\r\nNetName=N" + std::to_string(row) + "_" +
                           std::to_string(std::min(column / 33, 2)) + "\r\nCompName=U" +
                           std::to_string(n / 8 + 1) + "\r\n1Pad=" + position + "\r\n2Pad=" + position +
                           "\r\n";
        }
        projectText += "[TraceSection]\r\n";
        for (const std::string& record : traces) {
            projectText += record + "\r\n";
        }

        // Opened: pads loaded, every trace drawn through the base tiles as the window draws them.
        doc.LoadFromText(projectText);
        PadBoard::NormalisePadSections(doc);
        pads = std::make_unique<PadBoard>(doc);
        for (const PadRecord& record : ReadPads(doc)) {
            pads->loadPad(record);
        }
        const TraceLists lists = TakeTraces(doc);
        for (Picture& picture : pictures) {
            picture.base.reset(kWidth, kHeight);
        }
        FillControl quiet;
        for (const auto* list : {&lists.first, &lists.second}) {
            for (const std::string& text : *list) {
                const auto record = ParseTraceRecord(text);
                Picture& picture = pictures[record->picture - 1];
                ImageView view = picture.view();
                view.guard = &picture.base;
                if (ReplayRecord(*record, ReplayMode::Draw, view, quiet) != ReplayOutcome::Painted) {
                    std::fprintf(stderr, "trace %s not replayed\n", text.c_str());
                    std::abort();
                }
            }
        }
    }

    PaintedPixels painted(int picture) {
        const ImageView view = pictures[picture].view();
        return pictures[picture].base.painted({view.pixels, view.width, view.height, view.stride}, false);
    }
};

Board& board() {
    static Board instance;
    return instance;
}

void BM_CheckOpenedProject(benchmark::State& state) {
    Board& b = board();
    CheckReport report;
    for (auto _ : state) {
        const CopperRuns layer1 = CopperRuns::FromPainted(b.painted(0));
        const CopperRuns layer2 = CopperRuns::FromPainted(b.painted(1));
        report = CheckConnectivity(*b.pads, layer1, layer2);
        benchmark::DoNotOptimize(report);
    }
    if (!report.passed() || !report.untraced.empty() || report.nets.size() != 150) {
        state.SkipWithError("the board's check should find nothing wrong");
    }
}
BENCHMARK(BM_CheckOpenedProject)->Unit(benchmark::kMillisecond)->UseRealTime();

// The parts of the above: the painted pixels of both pictures from their tiles, and the check alone.
void BM_PaintedPixelsOfBothPictures(benchmark::State& state) {
    Board& b = board();
    for (auto _ : state) {
        PaintedPixels first = b.painted(0);
        PaintedPixels second = b.painted(1);
        benchmark::DoNotOptimize(first);
        benchmark::DoNotOptimize(second);
    }
}
BENCHMARK(BM_PaintedPixelsOfBothPictures)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CheckConnectivity(benchmark::State& state) {
    Board& b = board();
    const CopperRuns layer1 = CopperRuns::FromPainted(b.painted(0));
    const CopperRuns layer2 = CopperRuns::FromPainted(b.painted(1));
    for (auto _ : state) {
        CheckReport report = CheckConnectivity(*b.pads, layer1, layer2);
        benchmark::DoNotOptimize(report);
    }
}
BENCHMARK(BM_CheckConnectivity)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CopperRunsFromPainted(benchmark::State& state) {
    const PaintedPixels painted = board().painted(1);
    int regions = 0;
    for (auto _ : state) {
        const CopperRuns copper = CopperRuns::FromPainted(painted);
        regions = copper.regionCount();
        benchmark::DoNotOptimize(regions);
    }
    state.counters["regions"] = regions;
    state.counters["runs"] = double(CopperRuns::FromPainted(painted).runs().size());
}
BENCHMARK(BM_CopperRunsFromPainted)->Unit(benchmark::kMillisecond)->UseRealTime();

#if KORVANE_BENCH_OPENCV
void BM_ConnectedComponentsOpenCV(benchmark::State& state) {
    cv::Mat mask(kHeight, kWidth, CV_8U, cv::Scalar(0));
    const PaintedPixels painted = board().painted(1);
    for (const PaintedPixels::Run& run : painted.runs()) {
        mask.row(run.y).colRange(run.x, run.x + run.length).setTo(255);
    }
    cv::Mat labels;
    int count = 0;
    for (auto _ : state) {
        count = cv::connectedComponents(mask, labels, 4, CV_32S);
        benchmark::DoNotOptimize(count);
    }
    state.counters["regions"] = count - 1;  // label 0 is the background
}
BENCHMARK(BM_ConnectedComponentsOpenCV)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

// A 24-bit bottom-up BMP of the picture's colours.
void writeBmp(const std::string& path, const std::vector<std::uint32_t>& pixels) {
    const std::uint32_t rowBytes = (kWidth * 3 + 3) & ~3u;
    const std::uint32_t imageBytes = rowBytes * kHeight;
    unsigned char header[54] = {'B', 'M'};
    const auto put = [&header](int at, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            header[at + i] = static_cast<unsigned char>(value >> (8 * i));
        }
    };
    put(2, 54 + imageBytes, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, kWidth, 4);
    put(22, kHeight, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, imageBytes, 4);
    std::vector<unsigned char> data(imageBytes, 0);
    for (int y = 0; y < kHeight; ++y) {
        unsigned char* out = data.data() + std::size_t(kHeight - 1 - y) * rowBytes;
        const std::uint32_t* in = pixels.data() + std::size_t(y) * kWidth;
        for (int x = 0; x < kWidth; ++x) {
            // Packed 0x00BBGGRR to the file's blue, green, red.
            out[3 * x] = static_cast<unsigned char>(in[x] >> 16);
            out[3 * x + 1] = static_cast<unsigned char>(in[x] >> 8);
            out[3 * x + 2] = static_cast<unsigned char>(in[x]);
        }
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(header), sizeof header);
    file.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

void BM_CliCheck(benchmark::State& state) {
    // The project as saved: the pictures as loaded, before any trace was drawn.
    const fs::path dir = fs::temp_directory_path() / ("korvane-check-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    {
        Picture bare[2];
        Board& b = board();
        for (int i = 0; i < 2; ++i) {
            // Where a trace painted, the bare picture has copper.
            bare[i].pixels = b.pictures[i].pixels;
            for (std::uint32_t& pixel : bare[i].pixels) {
                if ((pixel & 0xFFFFFFu) == std::uint32_t(kFill)) {
                    pixel = 0xFF000000u | kCopper;
                }
            }
            writeBmp((dir / (i == 0 ? "top.bmp" : "bottom.bmp")).string(), bare[i].pixels);
        }
        std::ofstream(dir / "board.kvp", std::ios::binary)
            << "[FilePathSection]\r\nFirst=top.bmp\r\nSecond=bottom.bmp\r\n"
            << b.projectText;
    }
    const std::string command = std::string(KORVANE_CLI) + " check '" + (dir / "board.kvp").string() +
                                "' >'" + (dir / "out.json").string() + "' 2>'" + (dir / "err.txt").string() +
                                "'";
    int status = 0;
    for (auto _ : state) {
        status = std::system(command.c_str());
    }
    if (status != 0) {
        state.SkipWithError("korvane-cli check failed or found faults");
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_CliCheck)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace korvane

BENCHMARK_MAIN();
