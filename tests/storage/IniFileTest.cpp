#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "storage/AtomicFile.h"
#include "storage/IniDocument.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;
using testing::readFileBytes;
using testing::ScriptedUi;
using testing::TempDir;
using testing::writeFileBytes;

const std::string kOldText = "; keep me\r\n[S]\r\nk=old\r\n";

int filesIn(const fs::path& folder) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

// The fixed text, and on a second line why the file could not be written.
void expectFileLockedMessage(const ScriptedUi& ui, const std::string& reason) {
    ASSERT_EQ(ui.messages().size(), 1u);
    const MessageRequest box = ui.messages()[0];
    EXPECT_EQ(box.prompt.substr(0, box.prompt.find('\n')), "File locked.");
    EXPECT_NE(box.prompt.find('\n'), std::string::npos);
    EXPECT_NE(box.prompt.find(reason), std::string::npos) << box.prompt;
    EXPECT_EQ(box.title, "Open file error:");
    EXPECT_EQ(box.icon, MsgIcon::Critical);
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
}

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
    ScriptedUi ui;
    IniDocument ini(&ui);
    ini.SetFileName(dir.file("old.kvp"));
    ini.SetValue(std::string("Pad\n1", 5), std::string("Pad\0Name", 8), "a\r\nb");
    ini.Retarget("");
    EXPECT_FALSE(ini.UpdateFile());  // no name: nothing written, nothing said
    EXPECT_TRUE(ui.calls.empty());

    ini.Retarget(dir.file("new.kvp"));
    ASSERT_TRUE(ini.UpdateFile());
    // Line breaks and NUL inside names and values go out as blanks.
    EXPECT_EQ(readFileBytes(dir.file("new.kvp")), "[S]\r\nk=old\r\n\r\n[Pad 1]\r\nPad Name=a  b\r\n\r\n");
    EXPECT_EQ(readFileBytes(dir.file("old.kvp")), kOldText);
}

TEST(IniFile, FailedWriteKeepsOldFileAndModel) {
    TempDir dir;
    std::string path = dir.file("p.kvp");
    ScriptedUi ui;
    IniDocument ini(&ui);
    writeFileBytes(path, kOldText);
    ini.SetFileName(path);
    ini.SetValue("S", "k", "a much longer new value than before");
    const std::string model = ini.ToText();

    for (std::size_t failAfter : {std::size_t{0}, std::size_t{7}, model.size()}) {
        SCOPED_TRACE(failAfter);
        ui.clear();
        {
            ScopedAtomicWriteFailure failure(failAfter);
            EXPECT_FALSE(ini.UpdateFile());
        }
        expectFileLockedMessage(ui, "No space left on device");
        EXPECT_EQ(readFileBytes(path), kOldText);
        EXPECT_EQ(filesIn(dir.path()), 1) << "temporary file left behind";
        EXPECT_EQ(ini.ToText(), model);
    }
    EXPECT_TRUE(ini.UpdateFile());
    EXPECT_EQ(readFileBytes(path), model);
}

TEST(IniFile, UnwritableTargetsAreRefused) {
    TempDir dir;
    fs::create_directory(dir.path() / "folder.kvp");
    std::string readOnly = dir.file("readonly.kvp");
    writeFileBytes(readOnly, kOldText);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    const std::pair<std::string, std::string> targets[] = {
        {readOnly, "read-only"},
        {dir.file("folder.kvp"), "It is a folder"},
        {dir.file("no/such/folder/p.kvp"), "No such file or directory"},
    };
    for (const auto& [path, reason] : targets) {
        SCOPED_TRACE(path);
        ScriptedUi ui;
        IniDocument ini(&ui);
        ini.StartNew(path);
        ini.SetValue("S", "k", "new");
        EXPECT_FALSE(ini.UpdateFile());
        expectFileLockedMessage(ui, reason);
        EXPECT_EQ(ini.Value("S", "k"), "new");
    }
    EXPECT_EQ(readFileBytes(readOnly), kOldText);
    EXPECT_TRUE(fs::is_directory(dir.path() / "folder.kvp"));
    EXPECT_EQ(filesIn(dir.path()), 2);
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
