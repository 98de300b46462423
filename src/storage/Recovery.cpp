#include "storage/Recovery.h"

#include <filesystem>
#include <system_error>

namespace korvane {

namespace fs = std::filesystem;

std::string RecoveryPath(const std::string& projectPath) {
    return projectPath + ".recovery";
}

bool RecoveryIsNewer(const std::string& projectPath) {
    std::error_code error;
    const fs::path recovery(RecoveryPath(projectPath));
    if (projectPath.empty() || !fs::is_regular_file(recovery, error)) {
        return false;
    }
    const auto recoveryTime = fs::last_write_time(recovery, error);
    if (error) {
        return false;
    }
    const auto projectTime = fs::last_write_time(fs::path(projectPath), error);
    return error || recoveryTime > projectTime;
}

void RemoveRecovery(const std::string& projectPath) {
    if (projectPath.empty()) {
        return;
    }
    std::error_code ignored;
    fs::remove(fs::path(RecoveryPath(projectPath)), ignored);
}

}  // namespace korvane
