#include "platform/DataFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ProgramOptions.h"
#include "support/TempDir.h"

namespace korvane {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

TEST(DataFolder, BuildFolderInstalledTreeAndNeither) {
    struct Case {
        const char* name;
        std::vector<const char*> folders;  // made below the temporary folder
        const char* programDir;            // relative to it
        const char* expected;              // relative to it
        const char* file = nullptr;        // a plain file made below it
    };
    const Case cases[] = {
        {"build folder with Lib", {"build/Lib"}, "build", "build"},
        {"build folder with help only", {"build/help"}, "build", "build"},
        {"build folder wins over a share beside it", {"b/bin/Lib", "b/share/korvane/Lib"}, "b/bin", "b/bin"},
        {"installed tree", {"usr/bin", "usr/share/korvane/Lib"}, "usr/bin", "usr/share/korvane"},
        {"installed tree, trailing slash",
         {"usr/bin", "usr/share/korvane/help"},
         "usr/bin/",
         "usr/share/korvane"},
        {"a file named Lib is no folder",
         {"x/bin", "x/share/korvane"},
         "x/bin",
         "x/share/korvane",
         "x/bin/Lib"},
        {"nothing anywhere", {"y/bin"}, "y/bin", "y/bin"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        for (const char* folder : c.folders) {
            fs::create_directories(dir.path() / folder);
        }
        if (c.file != nullptr) {
            testing::writeFileBytes(dir.file(c.file), "");
        }
        EXPECT_EQ(DataFolder(dir.path().string() + "/" + c.programDir), dir.file(c.expected)) << c.name;
    }
}

TEST(ProgramOptions, HelpAndVersionOnlyAsTheWholeCommandLine) {
    const std::string version = "tool " + std::to_string(KORVANE_VERSION_MAJOR) + "." +
                                std::to_string(KORVANE_VERSION_MINOR) + "." +
                                std::to_string(KORVANE_VERSION_PATCH) + "\n";
    EXPECT_EQ(StandardOptionReply({"--help"}, "tool", "usage"), "usage");
    EXPECT_EQ(StandardOptionReply({"-h"}, "tool", "usage"), "usage");
    EXPECT_EQ(StandardOptionReply({"--version"}, "tool", "usage"), version);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"board.kvp"}, {"export", "--help"}, {"--version", "x"}, {"--versions"}}) {
        EXPECT_EQ(StandardOptionReply(args, "tool", "usage"), std::nullopt) << ::testing::PrintToString(args);
    }
}

}  // namespace
}  // namespace korvane
