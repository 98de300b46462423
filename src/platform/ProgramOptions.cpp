#include "platform/ProgramOptions.h"

namespace korvane {

std::string VersionText(std::string_view programName) {
    return std::string(programName) + " " + std::to_string(KORVANE_VERSION_MAJOR) + "." +
           std::to_string(KORVANE_VERSION_MINOR) + "." + std::to_string(KORVANE_VERSION_PATCH) + "\n";
}

std::optional<std::string> StandardOptionReply(const std::vector<std::string>& args,
                                               std::string_view programName, std::string_view usage) {
    // Only as the whole command line, so that "korvane-cli export --help" stays the command's own.
    if (args.size() != 1) {
        return std::nullopt;
    }
    if (args.front() == "--help" || args.front() == "-h") {
        return std::string(usage);
    }
    if (args.front() == "--version") {
        return VersionText(programName);
    }
    return std::nullopt;
}

}  // namespace korvane
