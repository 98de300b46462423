// Both executables as a shell, a package script or a desktop session runs them: --help and --version
// without a display, and korvane-cli's libraries found in an installed tree.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "support/TempDir.h"

namespace korvane {
namespace {

using testing::readFileBytes;
using testing::TempDir;
namespace fs = std::filesystem;

struct ExeRun {
    int code = -1;
    std::string out, err;
};

// Without any display and with a platform plug-in that needs one: an executable that created its
// application object would fail here instead of answering.
ExeRun run(const TempDir& dir, const std::string& commandLine) {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb " + commandLine +
                                " >'" + dir.file("stdout") + "' 2>'" + dir.file("stderr") + "'";
    const int status = std::system(command.c_str());
    ExeRun result;
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readFileBytes(dir.file("stdout"));
    result.err = readFileBytes(dir.file("stderr"));
    return result;
}

TEST(ProgramOptions, BothExecutablesAnswerHelpAndVersionWithoutADisplay) {
    TempDir dir;
    const std::string version = std::to_string(KORVANE_VERSION_MAJOR) + "." +
                                std::to_string(KORVANE_VERSION_MINOR) + "." +
                                std::to_string(KORVANE_VERSION_PATCH) + "\n";
    for (const std::string program : {KORVANE_GUI, KORVANE_CLI}) {
        const std::string name = fs::path(program).filename().string();
        ExeRun result = run(dir, "'" + program + "' --version");
        EXPECT_EQ(result.code, 0) << name << ": " << result.err;
        EXPECT_EQ(result.out, name + " " + version);
        for (const char* help : {"--help", "-h"}) {
            result = run(dir, "'" + program + "' " + help);
            EXPECT_EQ(result.code, 0) << name << " " << help << ": " << result.err;
            EXPECT_TRUE(result.out.starts_with("usage: " + name + " ")) << result.out;
            EXPECT_EQ(result.err, "");
        }
    }
}

TEST(ProgramOptions, InstalledCliFindsItsLibrariesInShare) {
    TempDir dir;
    const std::string fixtures = std::string(KORVANE_SOURCE_DIR) + "/tests/data/export";
    fs::create_directories(dir.path() / "usr/bin");
    fs::create_directories(dir.path() / "usr/share/korvane");
    fs::copy_file(KORVANE_CLI, dir.file("usr/bin/korvane-cli"));
    fs::copy(fixtures + "/Lib", dir.path() / "usr/share/korvane/Lib", fs::copy_options::recursive);

    const ExeRun result = run(dir, "'" + dir.file("usr/bin/korvane-cli") + "' export '" + fixtures +
                                       "/two-parts.kvp' --netlist '" + dir.file("out.net") +
                                       "' --schematic '" + dir.file("out.sch") + "'");
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(readFileBytes(dir.file("out.sch")), readFileBytes(fixtures + "/two-parts.sch"));
}

}  // namespace
}  // namespace korvane
