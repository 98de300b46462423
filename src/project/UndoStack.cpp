#include "project/UndoStack.h"

#include <algorithm>

namespace korvane {

void UndoStack::push(std::unique_ptr<UndoCommand> done) {
    dropped_ = 0;
    while (commands_.size() > index_) {
        pixelBytes_ -= commands_.back()->pixelBytes();
        commands_.pop_back();
    }
    if (clean_ && cleanIndex_ > index_) {
        clean_ = false;  // the saved state was among the undone steps: no way back to it any more
    }
    pixelBytes_ += done->pixelBytes();
    commands_.push_back(std::move(done));
    ++index_;
    // The newest step always stays, even alone over the bound: dropping what was just done would make
    // the user's last action the one thing that cannot be undone.
    std::size_t drop = 0;
    while (pixelBytes_ > pixelLimit_ && drop + 1 < commands_.size()) {
        pixelBytes_ -= commands_[drop]->pixelBytes();
        ++drop;
    }
    if (drop > 0) {
        commands_.erase(commands_.begin(), commands_.begin() + std::ptrdiff_t(drop));
        index_ -= drop;
        if (clean_ && cleanIndex_ < drop) {
            clean_ = false;
        } else {
            cleanIndex_ -= drop;
        }
        dropped_ = drop;
    }
}

std::string UndoStack::undoText() const {
    return canUndo() ? commands_[index_ - 1]->text() : std::string();
}

std::string UndoStack::redoText() const {
    return canRedo() ? commands_[index_]->text() : std::string();
}

void UndoStack::undo(Project& project) {
    if (!canUndo()) {
        return;
    }
    --index_;
    commands_[index_]->undo(project);
}

void UndoStack::redo(Project& project) {
    if (!canRedo()) {
        return;
    }
    commands_[index_]->redo(project);
    ++index_;
}

bool UndoStack::isClean() const {
    if (!clean_) {
        return false;
    }
    const std::size_t from = std::min(cleanIndex_, index_);
    const std::size_t to = std::max(cleanIndex_, index_);
    for (std::size_t i = from; i < to; ++i) {
        if (commands_[i]->changesFile()) {
            return false;
        }
    }
    return true;
}

void UndoStack::setClean() {
    clean_ = true;
    cleanIndex_ = index_;
}

void UndoStack::clear() {
    commands_.clear();
    index_ = 0;
    cleanIndex_ = 0;
    clean_ = true;
    pixelBytes_ = 0;
    dropped_ = 0;
}

}  // namespace korvane
