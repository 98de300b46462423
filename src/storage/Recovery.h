#pragma once

// Unsaved work kept safe beside its project: while a project is modified the window writes what a save
// would write to a recovery file next to the project file (never over it), so a crash or power cut loses
// at most one autosave interval. A recovery file newer than its project is offered on the next open.

#include <string>

namespace korvane {

// "board.kvp" -> "board.kvp.recovery": beside the project, found by name alone.
std::string RecoveryPath(const std::string& projectPath);

// A recovery file exists and was written after the project file (or the project file is gone).
bool RecoveryIsNewer(const std::string& projectPath);

// Removes the project's recovery file, if any; a file that cannot be removed is left, silently.
void RemoveRecovery(const std::string& projectPath);

}  // namespace korvane
