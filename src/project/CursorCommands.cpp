#include "project/CursorCommands.h"

#include "project/Project.h"

namespace korvane {

namespace {

void putCalibration(Project& project, const Calibration& calibration) {
    project.cursors = calibration.cursors;
    if (project.alignment != calibration.alignment) {
        project.alignment = calibration.alignment;
        WriteAlignment(project.doc, calibration.alignment);
    }
    project.notify([](ProjectObserver& o) { o.cursorsChanged(); });
}

}  // namespace

void SetCursorsCommand::undo(Project& project) {
    putCalibration(project, before_);
}

void SetCursorsCommand::redo(Project& project) {
    putCalibration(project, after_);
}

std::unique_ptr<UndoCommand> MakeScaleCommand(const Project& project, const CursorSyncState& current,
                                              float scaleX, float scaleY) {
    CursorSyncState scaled = current;
    scaled.CursorScaleX = scaleX;
    scaled.CursorScaleY = scaleY;
    return std::make_unique<SetCursorsCommand>("scale", Calibration{current, project.alignment},
                                               Calibration{scaled, std::nullopt});
}

std::unique_ptr<UndoCommand> MakeScaleOneToOneCommand(const Project& project,
                                                      const CursorSyncState& current) {
    CursorSyncState reset = current;
    ResetScale(reset);
    return std::make_unique<SetCursorsCommand>("scale 1:1", Calibration{current, project.alignment},
                                               Calibration{reset, std::nullopt});
}

std::unique_ptr<UndoCommand> MakeAlignCommand(const Project& project, const CursorSyncState& current,
                                              std::optional<Alignment> alignment) {
    CursorSyncState aligned = current;
    if (alignment) {
        FollowAlignment(aligned, alignment->map);
    }
    return std::make_unique<SetCursorsCommand>("align layers", Calibration{current, project.alignment},
                                               Calibration{aligned, std::move(alignment)});
}

}  // namespace korvane
