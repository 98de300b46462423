#include <gtest/gtest.h>

#include <filesystem>

#include "app/Shell.h"
#include "support/TempDir.h"

namespace korvane {
namespace {

TEST(Shell, CommandLineIsJoinedAndQuotesGoOnlyWhenAtBothEnds) {
    EXPECT_EQ(JoinCommandLine({}), "");
    EXPECT_EQ(JoinCommandLine({"/home/user/my", "boards/amp.kvp"}), "/home/user/my boards/amp.kvp");
    EXPECT_EQ(StripEnclosingQuotes("\"/a b/c.kvp\""), "/a b/c.kvp");
    EXPECT_EQ(StripEnclosingQuotes("\"/a b/c.kvp"), "\"/a b/c.kvp");
    EXPECT_EQ(StripEnclosingQuotes("/a b/c.kvp\""), "/a b/c.kvp\"");
    EXPECT_EQ(StripEnclosingQuotes("\""), "\"");
    EXPECT_EQ(StripEnclosingQuotes("\"\""), "");
}

TEST(Shell, InStrRevFindsTheLastCharacterIgnoringCase) {
    EXPECT_EQ(InStrRev("C:\\a\\b.kvp", '\\'), 5);
    EXPECT_EQ(InStrRev("abcABC", 'a'), 4);
    EXPECT_EQ(InStrRev("abc", 'x'), 0);
    EXPECT_EQ(InStrRev("", 'x'), 0);
}

TEST(Shell, LongFormsAreCanonicalAndMissingFilesGiveNothing) {
    testing::TempDir dir;
    std::filesystem::create_directory(dir.path() / "boards");
    testing::writeFileBytes(dir.file("boards/amp.kvp"), "[FilePathSection]\r\n");
    const std::string canonicalDir = std::filesystem::canonical(dir.path()).string();
    EXPECT_EQ(LongName(dir.file("boards/../boards/amp.kvp")), canonicalDir + "/boards/amp.kvp");
    EXPECT_EQ(LongName(dir.file("boards/missing.kvp")), "");
    EXPECT_EQ(LongName(dir.file("boards")), "") << "a folder is not a project file";
    EXPECT_EQ(LongPath(dir.file("boards") + "/"), canonicalDir + "/boards/");
    EXPECT_EQ(LongPath("/no/such/folder"), "/no/such/folder/");
}

}  // namespace
}  // namespace korvane
