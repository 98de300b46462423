#pragma once

// The project's history of edits. Each step is a command that knows how to go both ways; "modified"
// means the history is not at the step where the project was last saved (its clean index), so undoing
// back to a save makes the project saved again without anyone setting a flag by hand.
//
// Pixel history (the scan pixels a fill painted over) can be large, so the stack keeps it within a
// bound: when a new step would exceed it, the oldest steps are dropped first.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace korvane {

class Project;

class UndoCommand {
  public:
    virtual ~UndoCommand() = default;
    // What the Edit menu calls the step after "Undo " or "Redo ", for example "delete 3 pads".
    virtual std::string text() const = 0;
    virtual void undo(Project& project) = 0;
    virtual void redo(Project& project) = 0;
    // Bytes of pixel history the step holds, counted against the history's bound.
    virtual std::size_t pixelBytes() const { return 0; }
    // False for a step that changes only what the user sees (traces drawn from their records): it can be
    // undone, but the project file would be written the same without it, so it never asks for a save.
    virtual bool changesFile() const { return true; }
};

class UndoStack {
  public:
    static constexpr std::size_t kDefaultPixelLimit = std::size_t(512) << 20;

    // Adds a step that has already been carried out. Steps that were undone are gone; when the pixel
    // history goes over the bound, the oldest steps are dropped (see droppedByLastPush()).
    void push(std::unique_ptr<UndoCommand> done);
    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ < commands_.size(); }
    // The step's own text; empty when there is none.
    std::string undoText() const;
    std::string redoText() const;
    void undo(Project& project);
    void redo(Project& project);

    std::size_t count() const { return commands_.size(); }
    std::size_t index() const { return index_; }
    // The project matches its file: the history stands at the clean index, or only steps that change
    // nothing of the file lie between the two.
    bool isClean() const;
    // The project now matches its file.
    void setClean();
    // The project differs from its file by something no step can undo (work recovered from an autosave,
    // for one): it stays modified until the next save.
    void resetClean() { clean_ = false; }
    // Forgets every step; the project is clean.
    void clear();

    void setPixelLimit(std::size_t bytes) { pixelLimit_ = bytes; }
    std::size_t pixelLimit() const { return pixelLimit_; }
    std::size_t pixelBytes() const { return pixelBytes_; }
    std::size_t droppedByLastPush() const { return dropped_; }

  private:
    std::vector<std::unique_ptr<UndoCommand>> commands_;
    std::size_t index_ = 0;
    std::size_t cleanIndex_ = 0;
    bool clean_ = true;  // false: no index is clean any more
    std::size_t pixelLimit_ = kDefaultPixelLimit;
    std::size_t pixelBytes_ = 0;
    std::size_t dropped_ = 0;
};

}  // namespace korvane
