#pragma once

// The flood fill and the traces as the window offers them: the Tracing menu, the Alt-click fill with its
// question and record, the traces window's runs over the pictures (each run one step of the history),
// the fill colour and bound, and closing while a fill runs.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "project/TraceCommands.h"
#include "tracing/TraceRecords.h"
#include "view/tools/FillTool.h"

namespace korvane {

class FillQuestionDialog;
class MainWindow;
class Project;
class TracesWindow;
class Ui;

class TracingController {
  public:
    TracingController(MainWindow& window, Ui& ui, Project& project);
    ~TracingController();
    TracingController(const TracingController&) = delete;
    TracingController& operator=(const TracingController&) = delete;

    // The fill at (x, y) of picture 1 or 2 with FillColor and ColorBound, its question and its record.
    // Ignored while a fill runs, when no project is open and when the point is not on the picture.
    void startFill(int picture, int x, int y);
    // An Alt-click released on picture 1 or 2 at (x, y): the fill, then the traces window if hidden.
    void altClickFill(int picture, int x, int y);
    // The same as an Alt-click at the cursor of the picture clicked last, for desktops that take
    // Alt + mouse for moving windows.
    void fillAtCursor();
    // "Draw all traces NOW", also run after opening a project when the user wants the traces drawn.
    void drawAllTraces();
    void chooseFillColour(int index);
    void askColourBound();
    void toggleTracesWindow();
    void showTracesWindowIfHidden();
    bool fillQuestionOpen() const;
    // Scrolls the panes at once until the cursor moved by a click in a list is in view.
    void scrollCursorIntoView();

    // A fill, a replay or a run over the traces list is in progress.
    bool tracingActive() const { return tracingDepth_ > 0; }
    bool busy() const { return FillRunning || tracingDepth_ > 0; }
    // Esc: a painting pass stops at its next checkpoint.
    void stopFill() { FillRunning = false; }
    // Closing while a fill runs: the fill stops as with Esc and the window closes once it has ended.
    bool holdCloseForFill();
    // The project goes away: empty the lists, drop a pending question, hide the traces window.
    void unloadTraces();

    TracesWindow* tracesWindow() const { return traces_; }
    FillQuestionDialog* fillQuestion() const { return question_; }
    const FillTool& fillTool() const { return fillTool_; }
    FillTool& fillTool() { return fillTool_; }

    std::int32_t FillColor = 255;
    double ColorBound = 0.1;
    // How new fills choose their pixels (the checked item of the Tracing menu); each trace keeps its own.
    FillMode NewFillMode = kDefaultFillMode;
    bool FillRunning = false;
    // A fill hands control to the event loop at most this often (and about this often on a large area).
    double FillEventIntervalMs = 25;

  private:
    void connectMenus();
    // Hides the traces window and clears the check mark of View > Traces.
    void hideTracesWindow();
    void showTraceSeed(int list, const std::string& record);
    void tracingEnded();
    // A run over the traces list has ended: what it drew or erased becomes one step of the history.
    void keepTraceRun();

    MainWindow& window_;
    Ui& ui_;
    Project& project_;
    std::vector<TracePainting> pendingDraw_;
    std::vector<EraseTracesCommand::Erased> pendingErase_;
    std::size_t erasedRows_ = 0;
    TracesWindow* traces_ = nullptr;
    FillQuestionDialog* question_ = nullptr;
    int tracingDepth_ = 0;
    bool closeAfterFill_ = false;
    unsigned traceGeneration_ = 0;  // counts closed projects, so a fill can tell its picture went away
    unsigned runGeneration_ = 0;    // traceGeneration_ when the running list operation started
    FillTool fillTool_;
};

}  // namespace korvane
