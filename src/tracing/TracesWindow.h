#pragma once

// The traces window: the kept fills of each picture as record lines, one list per picture, with erase
// and "draw all". The lists show the project's TraceList models and follow every change to them; the
// window itself only turns clicks and keys into the main window's operations, reached through Hooks.

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "tracing/TraceRecords.h"
#include "tracing/TraceReplay.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace korvane {

class TracesWindow : public QWidget {
    Q_OBJECT

  public:
    struct Hooks {
        // Replays one record on the picture it names (mode 2 erases); Malformed when it cannot be read.
        std::function<ReplayOutcome(const std::string& record, int mode)> replay;
        // Starts a run over the lists; false (nothing runs) while a fill or another run is going on.
        std::function<bool()> beginRun;
        std::function<void()> endRun;
        // True when a running run must stop at once (the project or the window is closing).
        std::function<bool()> stopRun;
        // Moves the cursors to the seed of a record of list 1 or 2.
        std::function<void(int list, const std::string& record)> show;
        // The rows of list 1 or 2 just erased on the picture, in the order they were replayed; the
        // records leave the list when the run ends, as one step of the project's history.
        std::function<void(int list, const std::vector<std::size_t>& rows)> erased;
        // View > Traces, and Esc in this window (hide and clear the check mark).
        std::function<void()> menuToggle;
        std::function<void()> escape;
        // Records that could not be read during one run, each once.
        std::function<void(const std::vector<std::string>& records)> reportUnreadable;
    };

    TracesWindow(QWidget* owner, TraceList& list1, TraceList& list2, Hooks hooks);
    ~TracesWindow() override;

    // Draws every record of list 1, then of list 2, in list order.
    void drawAll();
    // Erases and removes the selected records of list 1, then of list 2.
    void eraseSelectedTraces();
    // Erases and removes the selected records of one list (Delete key in that list).
    void listKeyPressed(int list, int keyCode);
    void showSeedOfListed(int list);
    // Esc hides the window.
    bool handleKey(int keyCode);
    // False when the closing is cancelled: the close box only hides the window, through View > Traces.
    bool mayClose(bool byUser);

    ReplayOutcome ReplayTrace(const std::string& record, int mode);

    QListWidget* list(int number) const { return number == 1 ? lstTrace1 : lstTrace2; }

    QLabel* Label1 = nullptr;
    QListWidget* lstTrace1 = nullptr;
    QListWidget* lstTrace2 = nullptr;
    QPushButton* cmdDel = nullptr;
    QPushButton* cmdDraw = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    TraceList& model(int number) const { return number == 1 ? list1_ : list2_; }
    void follow(int number, bool appended);
    // Erase of the selected lines of one list; false when the run had to stop.
    bool eraseSelected(int number);
    void reportCollected();

    TraceList& list1_;
    TraceList& list2_;
    Hooks hooks_;
    bool collecting_ = false;
    std::vector<std::string> unreadable_;
};

}  // namespace korvane
