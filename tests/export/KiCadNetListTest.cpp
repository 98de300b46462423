// The KiCad net list: the fixture files byte for byte, quoting, a well-formed expression whatever the
// project holds, and the export run writing it in place of the Protel net list.

#include <gtest/gtest.h>

#include <filesystem>

#include "export/ExportRun.h"
#include "export/KiCadNetListWriter.h"
#include "export/NetListWriter.h"
#include "help/HelpLinks.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace korvane {
namespace {

using testing::readFileBytes;
using testing::ScriptedUi;
using testing::TempDir;

const std::string kFixtures = std::string(KORVANE_SOURCE_DIR) + "/tests/data/export";

// A fixture with the program's version in place of "@VERSION@", so that a new version needs no new
// fixtures.
std::string fixture(const std::string& name) {
    std::string text = readFileBytes(kFixtures + "/" + name);
    const std::string marker = "@VERSION@";
    text.replace(text.find(marker), marker.size(),
                 VersionText(KORVANE_VERSION_MAJOR, KORVANE_VERSION_MINOR, KORVANE_VERSION_PATCH));
    return text;
}

ExportModel opened(const std::string& project) {
    IniDocument doc;
    doc.LoadFromText(readFileBytes(kFixtures + "/" + project));
    return ExportModelOfOpenedProject(doc);
}

// True when the parentheses outside quoted strings nest to one closed expression and every quoted string
// ends on its line.
bool wellFormed(const std::string& text) {
    int depth = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else if (c == '\r' || c == '\n') {
                return false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == '(' || c == ')') {
            depth += c == '(' ? 1 : -1;
            if (depth < 0 || (depth == 0 && text.find('(', i) != std::string::npos)) {
                return false;
            }
        }
    }
    return depth == 0 && !quoted;
}

TEST(KiCadNetList, FixturesByteForByte) {
    for (const std::string project : {"two-parts", "awkward"}) {
        const std::string text = KiCadNetListText(opened(project + ".kvp"), KiCadDesignOf(project + ".kvp"));
        EXPECT_EQ(text, fixture(project + ".kicad.net")) << project;
        EXPECT_TRUE(wellFormed(text)) << project;
    }
}

TEST(KiCadNetList, QuotesAsKiCadDoesAndNeverBreaksALine) {
    const struct {
        std::string text, quoted;
    } cases[] = {
        {"", "\"\""},
        {"CS#", "\"CS#\""},
        {"D[0] (x)", "\"D[0] (x)\""},
        {"U\"1", "\"U\\\"1\""},
        {"A\\1", "\"A\\\\1\""},
        {"\\\"", "\"\\\\\\\"\""},
        {"a\r\nb", "\"a  b\""},
        {std::string("a\0b", 3), "\"a b\""},
        {"\xdc\x62\xe9r\xff", "\"\xdc\x62\xe9r\xff\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KiCadQuoted(c.text), c.quoted) << c.text;
    }
}

TEST(KiCadNetList, WellFormedForEveryShapeOfProject) {
    ExportModel empty;
    ExportModel noNets;
    noNets.components = {{"R1", "", "", ""}};
    ExportModel padless;
    padless.nets = {"GND", "N\"1)"};
    padless.components = {{"R(1", "0", "1\r\n0k", "AX\\"}};
    padless.pads = {ExportPad{1, "", "GND", "R(1"}};
    for (const ExportModel* model : {&empty, &noNets, &padless}) {
        const std::string text = KiCadNetListText(*model, KiCadDesign{"x\".kvp", "Korvane"});
        EXPECT_TRUE(wellFormed(text)) << text;
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    }
    EXPECT_NE(KiCadNetListText(padless, {}).find("(net (code \"2\") (name \"N\\\"1)\"))))\r\n"),
              std::string::npos);

    for (const auto& [path, name] : {std::pair<std::string, std::string>{"C:\\boards\\b.kvp", "b.kvp"},
                                     {"/home/u/my board.kvp", "my board.kvp"},
                                     {"b.kvp", "b.kvp"}}) {
        EXPECT_EQ(KiCadDesignOf(path).source, name);
    }
}

TEST(KiCadNetList, TheExportWritesItInPlaceOfTheProtelNetList) {
    TempDir dir;
    ScriptedUi ui;
    FileDialogState dialog{ui};
    ExportFiles previous;
    const ExportModel model = opened("two-parts.kvp");
    const std::string project = "/boards/two-parts.kvp";

    ui.fileAnswers = {FileDialogResult{dir.file("k.net"), 1}, std::nullopt};
    EXPECT_EQ(RunExport(model, kFixtures, ui, dialog, previous, NetListFormat::KiCad, project),
              ExportOutcome::NetListOnly);
    EXPECT_EQ(readFileBytes(dir.file("k.net")), fixture("two-parts.kicad.net"));
    ASSERT_EQ(ui.fileDialogs().size(), 2u);
    EXPECT_EQ(ui.fileDialogs()[0].filters[0].description, "KiCad net list *.net");
    EXPECT_EQ(ui.fileDialogs()[0].filters[0].patterns, std::vector<std::string>{"*.net"});
    EXPECT_EQ(ui.fileDialogs()[0].title, "Enter filename of the exporting net-list:");

    // A file that cannot be written: said once, nothing else written or asked.
    ui.clear();
    const std::string nowhere = dir.file("no-such-folder/k.net");
    ui.fileAnswers = {FileDialogResult{nowhere, 1}};
    EXPECT_EQ(RunExport(model, kFixtures, ui, dialog, previous, NetListFormat::KiCad, project),
              ExportOutcome::Failed);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].title, "Export error:");
    EXPECT_NE(ui.messages()[0].prompt.find(nowhere), std::string::npos);
    EXPECT_EQ(ui.messages()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(ui.fileDialogs().size(), 1u);
    EXPECT_EQ(readFileBytes(dir.file("k.net")), fixture("two-parts.kicad.net"));
}

}  // namespace
}  // namespace korvane
