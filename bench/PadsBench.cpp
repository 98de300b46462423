// Pads at the size of a large board, 5,000 pads on two 2,000 x 1,500 pictures: opening the project, one
// main-window tick with 1,000 pads selected (the blink), one pad-dialog status refresh with a current pad
// (its duplicate test walks the pad records), one repaint of a pane's visible part, and the history with
// every pad view open: the event of one moved pad, a move and its undo, and the undo of deleting 1,000
// pads.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <fstream>
#include <memory>
#include <string>

#include "BenchUi.h"
#include "app/MainWindow.h"
#include "export/ExportDialog.h"
#include "pads/PadListWindow.h"
#include "pads/PadPropertiesDialog.h"
#include "platform/Ui.h"
#include "project/Project.h"
#include "view/Panes.h"
#include "view/PictureBox.h"

namespace korvane {
namespace {

constexpr int kPads = 5000;

struct Board : RunFixture<Board> {
    QTemporaryDir dir;
    BenchUi ui;
    Project project;
    std::unique_ptr<MainWindow> window;

    Board() {
        for (const char* name : {"top.bmp", "bottom.bmp"}) {
            QImage image(2000, 1500, QImage::Format_RGB32);
            image.fill(Qt::darkGreen);
            image.save(dir.filePath(QString::fromUtf8(name)));
        }
        ui.project = dir.filePath(QStringLiteral("board.kvp")).toStdString();
        std::string text =
            "[FilePathSection]\r\nFirst=top.bmp\r\nSecond=bottom.bmp\r\n\r\n[ComponentsSection]\r\n";
        for (int c = 1; c <= kPads / 8; ++c) {
            text += "U" + std::to_string(c) + "=3{label}LM358{footprint}DIP8\r\n";
        }
        for (int n = 1; n <= kPads; ++n) {
            const int x = 20 + (n % 80) * 24;
            const int y = 20 + (n / 80) * 22;
            text += "\r\n[Pad" + std::to_string(n) + "]\r\nPadName=" + std::to_string(n % 8 + 1) +
                    "\r\nNetName=N" + std::to_string(n / 3) + "\r\nCompName=U" + std::to_string(n / 8 + 1) +
                    "\r\n1Pad=" + std::to_string(x) + "," + std::to_string(y) +
                    "\r\n2Pad=" + std::to_string(x + 3) + "," + std::to_string(y + 2) + "\r\n";
        }
        text += "\r\n[TraceSection]\r\n";
        std::ofstream(ui.project, std::ios::binary) << text;

        window = std::make_unique<MainWindow>(ui, project);
        window->startUp("");
        window->timer()->stop();
        open();
    }

    void open() { window->session().openProject(); }
};

void BM_OpenProject(benchmark::State& state) {
    Board& board = Board::get();
    for (auto _ : state) {
        board.open();
    }
    state.counters["pads"] = double(board.window->pads().padDialog()->board().markers.Pad1.count());
}
BENCHMARK(BM_OpenProject)->Unit(benchmark::kMillisecond);

void BM_MainTick1000Selected(benchmark::State& state) {
    Board& board = Board::get();
    PadMarkers& markers = board.window->pads().padDialog()->board().markers;
    markers.deselectAll();
    for (int n = 1; n <= kPads; n += kPads / 1000) {
        markers.setSelected(n, true);
    }
    for (auto _ : state) {
        board.window->tick();
    }
    state.counters["selected"] = double(markers.selectedCount());
}
BENCHMARK(BM_MainTick1000Selected)->Unit(benchmark::kMicrosecond);

void BM_DialogRefreshStatus(benchmark::State& state) {
    Board& board = Board::get();
    PadPropertiesDialog& dialog = *board.window->pads().padDialog();
    dialog.setCurrentPad(kPads / 2);
    dialog.loadCurrentPad();
    // An edited designator that no record carries: the duplicate test walks every pad record.
    dialog.field(NameField::Pad)->setEditText(QStringLiteral("99"));
    for (auto _ : state) {
        dialog.refreshStatus();
    }
}
BENCHMARK(BM_DialogRefreshStatus)->Unit(benchmark::kMicrosecond);

// Every view of pads open: the pad dialog with a current pad, the listing with 200 pads selected, the
// export dialog; a fresh project each time, as opened.
MainWindow& withEveryViewOpen(Board& board) {
    board.open();
    MainWindow& window = *board.window;
    window.show();  // hidden widgets skip their repaints
    PadMarkers& markers = board.project.pads.markers;
    for (int n = 1; n <= kPads; n += kPads / 200) {
        markers.setSelected(n, true);
    }
    window.pads().padDialog()->setCurrentPad(kPads / 2);
    window.pads().padDialog()->loadCurrentPad();
    window.pads().padDialog()->show();
    window.pads().showPadList();
    window.exportDialog()->ShowExport();
    return window;
}

void BM_MoveEventToEveryView(benchmark::State& state) {
    Board& board = Board::get();
    withEveryViewOpen(board);
    const std::vector<int> moved{kPads / 3};
    for (auto _ : state) {
        board.project.notify([&moved](ProjectObserver& o) { o.padsMoved(moved); });
    }
}
BENCHMARK(BM_MoveEventToEveryView)->Unit(benchmark::kMicrosecond);

void BM_MovePadAndUndo(benchmark::State& state) {
    Board& board = Board::get();
    withEveryViewOpen(board);
    const int n = kPads / 3;
    for (auto _ : state) {
        ApplyPadEdit(board.project, MovePadEdit(2, n, 900, 700));
        board.project.undo();
    }
}
BENCHMARK(BM_MovePadAndUndo)->Unit(benchmark::kMicrosecond);

void BM_UndoDelete1000Pads(benchmark::State& state) {
    Board& board = Board::get();
    withEveryViewOpen(board);
    std::vector<int> doomed;
    for (int n = 3; n <= kPads; n += kPads / 1000) {
        doomed.push_back(n);
    }
    for (auto _ : state) {
        state.PauseTiming();
        ApplyPadEdit(board.project, DeletePadsEdit(doomed, "N*", "U*"));
        state.ResumeTiming();
        board.project.undo();
    }
    state.counters["deleted"] = double(doomed.size());
}
BENCHMARK(BM_UndoDelete1000Pads)->Unit(benchmark::kMillisecond);

void BM_PaneRepaint(benchmark::State& state) {
    Board& board = Board::get();
    PictureBox* picture = board.window->panes()->P1();
    QImage target(900, 600, QImage::Format_RGB32);
    const QRegion visible(400, 300, 900, 600);
    for (auto _ : state) {
        picture->render(&target, QPoint(), visible);
    }
}
BENCHMARK(BM_PaneRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace korvane

int main(int argc, char** argv) {
    return korvane::RunWindowBenchmarks(argc, argv, [] { korvane::Board::instance().reset(); });
}
