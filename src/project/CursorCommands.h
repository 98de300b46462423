#pragma once

// Edits of the cursors' calibration: the scale wizard's result ("scale"), "Cursors move scale 1:1"
// ("scale 1:1") and the layers' alignment ("align layers"). A drag of the cursors is no edit; these are,
// because they decide where every later drag puts the other cursor. The latest calibration wins: a scale
// set by the wizard or reset to 1:1 replaces an alignment, and an alignment replaces the scales' effect.

#include <memory>
#include <optional>
#include <string>

#include "align/Alignment.h"
#include "project/UndoStack.h"
#include "view/CursorSync.h"

namespace korvane {

// The cursors' calibration as a step puts it: scales and positions, and the alignment.
struct Calibration {
    CursorSyncState cursors;
    std::optional<Alignment> alignment;
};

// Puts the calibration from one state into another; undo puts back the first. The alignment goes into
// the project document too, so that a save writes what the project holds.
class SetCursorsCommand : public UndoCommand {
  public:
    SetCursorsCommand(std::string text, Calibration before, Calibration after)
        : text_(std::move(text)), before_(std::move(before)), after_(std::move(after)) {}

    std::string text() const override { return text_; }
    void undo(Project& project) override;
    void redo(Project& project) override;

  private:
    std::string text_;
    Calibration before_;
    Calibration after_;
};

// The wizard's result: the scales of `scaled`, everything else as the cursors stand in `current`.
std::unique_ptr<UndoCommand> MakeScaleCommand(const Project& project, const CursorSyncState& current,
                                              float scaleX, float scaleY);
// "Cursors move scale 1:1" from the cursors as they stand.
std::unique_ptr<UndoCommand> MakeScaleOneToOneCommand(const Project& project, const CursorSyncState& current);
// The layers' alignment (none: back to the scales); cursor 2 moves to where it maps cursor 1.
std::unique_ptr<UndoCommand> MakeAlignCommand(const Project& project, const CursorSyncState& current,
                                              std::optional<Alignment> alignment);

}  // namespace korvane
