#pragma once

// The open project: the one place where its data live between open and save. The application owns it;
// windows receive it, edit it only through commands on its history, and follow its change events.
//
// The project document is the file as it was read, kept so that sections and keys this program does
// not know are written back where they were; pads, components and traces are the model's own data.

#include <algorithm>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "align/Alignment.h"
#include "pads/PadBoard.h"
#include "platform/Ui.h"
#include "project/ProjectObserver.h"
#include "project/UndoStack.h"
#include "storage/IniDocument.h"
#include "tracing/PaintedSpans.h"
#include "tracing/TraceRecords.h"
#include "transforms/PixelTransforms.h"
#include "view/CursorSync.h"

namespace korvane {

struct Layer {
    // Full path of the loaded picture; empty while none is loaded.
    std::string picturePath;
    // How the picture has been turned and mirrored since it was loaded from its file.
    Orientation orientation;
};

class Project {
  public:
    Project() = default;
    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;

    IniDocument doc;
    PadBoard pads{doc};
    std::string path;  // the project file; empty while no project is open or named
    Layer layer1, layer2;
    TraceList traces1, traces2;
    // The cursors twice: the mapping's unrounded view, and the whole pixels the window shows and the file
    // keeps (nearest() of the first, or values read from the file, which the mapping takes over at the
    // next drag).
    CursorSyncState cursors;
    ShownCursors shownCursors;
    // The layers' affine mapping; none while the project keeps the scale-only cursor mapping.
    std::optional<Alignment> alignment;

    Layer& layer(int number) { return number == 2 ? layer2 : layer1; }
    const Layer& layer(int number) const { return number == 2 ? layer2 : layer1; }
    TraceList& traces(int number) { return number == 2 ? traces2 : traces1; }

    // The working image of layer 1 or 2. The pixels belong to whoever shows them (the panes, or a test),
    // and their place in memory changes when a picture is loaded or turned, so they are asked for at each
    // use instead of being kept; empty while no source is set or no picture is loaded.
    using PixelSource = std::function<ImageView(int layer)>;
    void setPixelSource(PixelSource source) { pixelSource_ = std::move(source); }
    ImageView pixels(int layer) const { return pixelSource_ ? pixelSource_(layer) : ImageView{}; }

    // What drawing each shown trace painted over, by layer and record, for as long as a step of the
    // history holds it: erasing the trace then gives back the scan under it.
    struct DrawnTrace {
        std::weak_ptr<const PaintedSpans> spans;
        std::int32_t fill = 0;
    };
    std::map<std::pair<int, std::string>, DrawnTrace> drawnTraces;
    // The layer's pictures changed wholesale (turned, reloaded): no drawing is known there any more.
    void forgetDrawnTraces(int layer);

    // ---- history ----

    // Carries out an edit and keeps it on the history.
    void execute(std::unique_ptr<UndoCommand> command);
    // Keeps an edit that was carried out already (a fill painted while the user watched, a drag).
    void record(std::unique_ptr<UndoCommand> done);
    void undo();
    void redo();
    const UndoStack& history() const { return history_; }
    void setPixelHistoryLimit(std::size_t bytes) { history_.setPixelLimit(bytes); }
    // Steps the last recorded edit pushed out of the history to keep it within its bound.
    std::size_t droppedSteps() const { return history_.droppedByLastPush(); }

    bool modified() const { return !history_.isClean(); }
    bool saved() const { return history_.isClean(); }
    // The project now matches its file (opened, saved).
    void markSaved();
    // The project differs from its file by something no step undoes; it stays modified until saved.
    void markUnsaved();
    // Every step is forgotten and the project matches its file (a project opened or closed).
    void resetHistory();

    // ---- events ----

    void addObserver(ProjectObserver* observer) { observers_.push_back(observer); }
    void removeObserver(ProjectObserver* observer) {
        observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
    }
    // Calls f(observer) for every observer, in the order they were added.
    template <typename F>
    void notify(F&& f) {
        // A copy: an observer may remove itself (a window closing) while it is told.
        const std::vector<ProjectObserver*> observers = observers_;
        for (ProjectObserver* observer : observers) {
            f(*observer);
        }
    }

  private:
    void historyMoved(bool wasModified);
    void announceTrim();

    UndoStack history_;
    std::vector<ProjectObserver*> observers_;
    PixelSource pixelSource_;
};

}  // namespace korvane
