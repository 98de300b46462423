#include "platform/DataFolder.h"

#include <filesystem>
#include <system_error>

namespace korvane {

namespace {

bool isFolder(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

}  // namespace

std::string DataFolder(const std::string& programDir) {
    std::filesystem::path program(programDir);
    if (!program.has_filename()) {  // "/usr/bin/" names the same folder as "/usr/bin"
        program = program.parent_path();
    }
    if (isFolder(program / "Lib") || isFolder(program / "help")) {
        return programDir;
    }
    const std::filesystem::path shared = program.parent_path() / "share" / "korvane";
    if (isFolder(shared)) {
        return shared.lexically_normal().string();
    }
    return programDir;
}

}  // namespace korvane
