#include "project/Project.h"

#include <iterator>

namespace korvane {

void Project::execute(std::unique_ptr<UndoCommand> command) {
    const bool wasModified = modified();
    command->redo(*this);
    history_.push(std::move(command));
    historyMoved(wasModified);
    announceTrim();
}

void Project::record(std::unique_ptr<UndoCommand> done) {
    const bool wasModified = modified();
    history_.push(std::move(done));
    historyMoved(wasModified);
    announceTrim();
}

void Project::undo() {
    if (!history_.canUndo()) {
        return;
    }
    const bool wasModified = modified();
    history_.undo(*this);
    historyMoved(wasModified);
}

void Project::redo() {
    if (!history_.canRedo()) {
        return;
    }
    const bool wasModified = modified();
    history_.redo(*this);
    historyMoved(wasModified);
}

void Project::markSaved() {
    const bool wasModified = modified();
    history_.setClean();
    historyMoved(wasModified);
}

void Project::markUnsaved() {
    const bool wasModified = modified();
    history_.resetClean();
    historyMoved(wasModified);
}

void Project::resetHistory() {
    const bool wasModified = modified();
    history_.clear();
    drawnTraces.clear();
    historyMoved(wasModified);
}

void Project::forgetDrawnTraces(int layer) {
    for (auto it = drawnTraces.begin(); it != drawnTraces.end();) {
        it = it->first.first == layer ? drawnTraces.erase(it) : std::next(it);
    }
}

void Project::historyMoved(bool wasModified) {
    const bool now = modified();
    if (now != wasModified) {
        notify([now](ProjectObserver& o) { o.modifiedChanged(now); });
    }
    notify([](ProjectObserver& o) { o.historyChanged(); });
}

}  // namespace korvane

namespace korvane {

void Project::announceTrim() {
    if (const std::size_t steps = history_.droppedByLastPush(); steps > 0) {
        notify([steps](ProjectObserver& o) { o.historyTrimmed(steps); });
    }
}

}  // namespace korvane
