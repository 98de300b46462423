#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "storage/AtomicFile.h"
#include "storage/IniDocument.h"
#include "support/TempDir.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;
using testing::readFileBytes;
using testing::TempDir;
using testing::writeFileBytes;

const std::string kOldText = "; keep me\r\n[S]\r\nk=old\r\n";

TEST(IniFile, LoadsAndRewritesCanonically) {
    TempDir dir;
    std::string path = dir.file("board.kvp");
    writeFileBytes(path,
                   "; head\n\n[FilePathSection]\nFirst=top.bmp ; note\n\n  Second=bottom.bmp\r\n[Pad1]\r");
    IniDocument ini;
    ini.SetFileName(path);
    ASSERT_TRUE(ini.UpdateFile());
    const std::string canonical =
        "[FilePathSection]\r\nFirst=top.bmp\r\nSecond=bottom.bmp\r\n\r\n[Pad1]\r\n\r\n";
    EXPECT_EQ(readFileBytes(path), canonical);

    // A missing file or a folder starts an empty document; so does StartNew, without touching the disk.
    for (const std::string& empty : {dir.file("missing.kvp"), dir.path().string()}) {
        ini.SetFileName(path);
        ini.SetFileName(empty);
        EXPECT_EQ(ini.SectionsCount(), 0) << empty;
    }
    ini.SetFileName(path);
    ini.StartNew(path);
    EXPECT_EQ(ini.SectionsCount(), 0);
    EXPECT_EQ(ini.FileName(), path);
    EXPECT_EQ(readFileBytes(path), canonical);
}

TEST(IniFile, RetargetWritesTheHeldDocumentToTheNewPath) {
    TempDir dir;
    writeFileBytes(dir.file("old.kvp"), kOldText);
    IniDocument ini;
    ini.SetFileName(dir.file("old.kvp"));
    ini.SetValue(std::string("Pad\n1", 5), std::string("Pad\0Name", 8), "a\r\nb");
    ini.Retarget("");
    std::string reason = "left from before";
    EXPECT_FALSE(ini.UpdateFile(&reason));  // no name: nothing written, nothing to say
    EXPECT_EQ(reason, "");

    ini.Retarget(dir.file("new.kvp"));
    ASSERT_TRUE(ini.UpdateFile());
    // Line breaks and NUL inside names and values go out as blanks.
    EXPECT_EQ(readFileBytes(dir.file("new.kvp")), "[S]\r\nk=old\r\n\r\n[Pad 1]\r\nPad Name=a  b\r\n\r\n");
    EXPECT_EQ(readFileBytes(dir.file("old.kvp")), kOldText);
}

// A write that fails, whatever the cause, keeps the old file, leaves no temporary file behind, keeps the
// document in memory and says why: the message is the fixed text and the reason on a second line.
TEST(IniFile, FailedWritesKeepTheOldFileAndTheModelAndSayWhy) {
    TempDir dir;
    const std::string path = dir.file("p.kvp");
    const std::string readOnly = dir.file("readonly.kvp");
    writeFileBytes(path, kOldText);
    writeFileBytes(readOnly, kOldText);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::create_directory(dir.path() / "folder.kvp");
    const std::string newValue = "a much longer new value than before";
    const std::size_t modelSize = ("[S]\r\nk=" + newValue + "\r\n\r\n").size();

    const struct {
        std::string path;
        std::optional<std::size_t> diskFullAfter;
        std::string reason;
    } cases[] = {{path, 0, "No space left on device"},
                 {path, 7, "No space left on device"},
                 {path, modelSize, "No space left on device"},
                 {readOnly, std::nullopt, "The file is read-only"},
                 {dir.file("folder.kvp"), std::nullopt, "It is a folder"},
                 {dir.file("no/such/folder/p.kvp"), std::nullopt,
                  "Cannot create a file in " + dir.file("no/such/folder") + ": No such file or directory"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path + " " + std::to_string(c.diskFullAfter.value_or(0)));
        IniDocument ini;
        ini.StartNew(c.path);
        ini.SetValue("S", "k", newValue);
        const std::string model = ini.ToText();
        std::string reason;
        {
            std::optional<ScopedAtomicWriteFailure> diskFull;
            if (c.diskFullAfter) {
                diskFull.emplace(*c.diskFullAfter);
            }
            EXPECT_FALSE(ini.UpdateFile(&reason));
        }
        EXPECT_EQ(FailureMessage("File locked.", reason), "File locked.\n" + c.reason);
        EXPECT_EQ(ini.ToText(), model);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 3)
            << "a temporary file was left behind";
    }
    EXPECT_EQ(readFileBytes(path), kOldText);
    EXPECT_EQ(readFileBytes(readOnly), kOldText);
    EXPECT_TRUE(fs::is_directory(dir.path() / "folder.kvp"));

    IniDocument ini;
    ini.StartNew(path);
    ini.SetValue("S", "k", newValue);
    EXPECT_TRUE(ini.UpdateFile());
    EXPECT_EQ(readFileBytes(path), ini.ToText());
}

TEST(AtomicFile, KeepsPermissionsAndWritesThroughLinks) {
    TempDir dir;
    fs::create_directory(dir.path() / "real");
    std::string target = dir.file("real/board.kvp");
    writeFileBytes(target, kOldText);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // A chain of two links, the first one relative.
    fs::create_symlink(target, dir.path() / "real/alias.kvp");
    fs::create_symlink("real/alias.kvp", dir.path() / "link.kvp");

    ASSERT_TRUE(writeFileAtomically(dir.file("link.kvp"), "new"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.kvp"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "real/alias.kvp"));
    EXPECT_EQ(readFileBytes(target), "new");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // A dangling link creates its target.
    fs::create_symlink("created.kvp", dir.path() / "dangling.kvp");
    ASSERT_TRUE(writeFileAtomically(dir.file("dangling.kvp"), "made"));
    EXPECT_EQ(readFileBytes(dir.file("created.kvp")), "made");
    EXPECT_TRUE(fs::is_symlink(dir.path() / "dangling.kvp"));
}

}  // namespace
}  // namespace korvane
