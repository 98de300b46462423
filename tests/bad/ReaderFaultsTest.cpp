// Faults the fuzz targets found in the readers, kept as plain tests so that every build checks them: a
// project that is opened and saved twice must give the same file both times and lose nothing on the way.

#include <gtest/gtest.h>

#include <string>

#include "pads/PadBoard.h"
#include "pads/PadText.h"
#include "storage/IniDocument.h"
#include "storage/ProjectKeys.h"

namespace korvane {
namespace {

using namespace std::string_literals;

std::string canonical(const std::string& text) {
    IniDocument doc;
    doc.LoadFromText(text);
    return doc.ToText();
}

TEST(ReaderFaults, SecondLoadAndWriteChangesNothing) {
    const struct {
        std::string text, written;
    } cases[] = {
        // The blank before a ";" stays in memory but is not written: reading would drop it.
        {"[S]\r\nname = spaced ;cut\r\n", "[S]\r\nname = spaced\r\n\r\n"},
        // A NUL that starts a line is trimmed like a blank: written as a blank it would come back trimmed,
        // and "\0[a]=1" would turn into a section.
        {"[S]\r\n\0=nothing\r\n\0[a]=1\r\n"s, "[S]\r\n\r\n[a]\r\n\r\n"},
        {"[S]\r\nx=1\0\r\n"s, "[S]\r\nx=1\r\n\r\n"},
    };
    for (const auto& c : cases) {
        const std::string once = canonical(c.text);
        EXPECT_EQ(once, c.written);
        EXPECT_EQ(canonical(once), once);
    }
    // A name given a leading blank in memory is written without it.
    IniDocument doc;
    doc.SetValue("S", "\0x"s, "1");
    EXPECT_EQ(doc.ToText(), "[S]\r\nx=1\r\n\r\n");
}

TEST(ReaderFaults, RepeatedSectionsAreMergedNotLost) {
    IniDocument doc;
    doc.LoadFromText(
        "[TraceSection]\r\n1-1-1-0=255-0.1-0.1\r\n[ComponentsSection]\r\nR1=a{label}b{footprint}c\r\n"
        "[TraceSection]\r\n2-2-2-0=255-0.1-0.1\r\n[ComponentsSection]\r\nC1=x\r\n");
    const TraceLists lists = TakeTraces(doc);
    EXPECT_EQ(lists.first, std::vector<std::string>{"1-1-1-0=255-0.1-0.1"});
    EXPECT_EQ(lists.second, std::vector<std::string>{"2-2-2-0=255-0.1-0.1"}) << "the second section's record";
    EXPECT_TRUE(lists.offerDrawing);
    WriteComponents(doc, {{"R1", "a", "b", "c"}});
    WriteTraces(doc, lists.first, lists.second);
    EXPECT_EQ(doc.ToText(),
              "[ComponentsSection]\r\nR1=a{label}b{footprint}c\r\n\r\n"
              "[TraceSection]\r\n1-1-1-0=255-0.1-0.1\r\n2-2-2-0=255-0.1-0.1\r\n\r\n");
}

TEST(ReaderFaults, DesignatorsThatNoKeyCanHoldAreNotWritten) {
    // Judged as written: a leading NUL or line break goes out as a blank, which the writer then leaves out.
    for (const std::string& bad :
         {"C1="s, "A;B"s, "[X]"s, "  [X"s, ""s, "   "s, "\0\0[X]"s, "\n;X"s, "\0"s}) {
        EXPECT_FALSE(StorableKey(bad)) << bad;
    }
    EXPECT_TRUE(StorableKey("R1"));
    IniDocument doc;
    WriteComponents(doc, {{"C1=", "9", "", ""}, {"C1", "1", "100n", "RAD0.1"}, {"[X]", "2", "", ""}});
    IniDocument reread;
    reread.LoadFromText(doc.ToText());
    const auto components = ReadComponents(reread);
    ASSERT_EQ(components.size(), 1u);
    EXPECT_EQ(components[0].designator, "C1");
    EXPECT_EQ(components[0].libRef, "1") << "C1 keeps its own data";
}

TEST(ReaderFaults, ASaveWritesEachKeyOnceAndTheNextSaveTheSame) {
    // Names that differ only by a NUL, which goes out as a blank and then as nothing at the start of a key.
    IniDocument doc;
    WriteComponents(doc, {{"D1", "3{l`bel}1N4148", "", "DIODE0.4"}, {"\0\0D1"s, "", "", ""}});
    WriteTraces(doc, {"1-\0 &=5"s, "1-  &=5", "1-x=1"}, {"2-\0=7"s, "2- =8"});
    const std::string once = doc.ToText();
    EXPECT_EQ(once,
              "[ComponentsSection]\r\nD1=3{l`bel}1N4148{label}{footprint}DIODE0.4\r\n\r\n"
              "[TraceSection]\r\n1-  &=5\r\n1-x=1\r\n2- =8\r\n\r\n")
        << "the first designator keeps its data; records the reader sees as one are one";
    IniDocument reread;
    reread.LoadFromText(once);
    const TraceLists lists = TakeTraces(reread);
    EXPECT_EQ(lists.first.size() + lists.second.size(), 3u);
    WriteComponents(reread, ReadComponents(reread));
    WriteTraces(reread, lists.first, lists.second);
    EXPECT_EQ(reread.ToText(), once);
}

TEST(ReaderFaults, NamesWithNulsAtTheirEndsJoinTheListsAsWritten) {
    // Opened and saved as the window does it; the file gives "D<NUL><NUL>" back as "D".
    auto openAndSave = [](const std::string& text) {
        IniDocument doc;
        doc.LoadFromText(text);
        PadBoard board(doc);
        for (const PadRecord& record : ReadPads(doc)) {
            board.loadPad(record);
        }
        EXPECT_EQ(board.compNames.items(), std::vector<std::string>{"D"});
        board.rebuildComponentTable();
        WriteComponents(doc, board.componentTable());
        return doc.ToText();
    };
    const std::string once = openAndSave(
        "[Pad1]\r\nCompName=D\0\0\r\n[Pad2]\r\nCompName=\0D\r\n"
        "[ComponentsSection]\r\nD=1{label}2{footprint}3\r\n"s);
    EXPECT_NE(once.find("\r\nD=1{label}2{footprint}3\r\n"), std::string::npos);
    EXPECT_EQ(openAndSave(once), once);
}

TEST(ReaderFaults, NumbersReachTheWindowUsable) {
    IniDocument doc;
    doc.LoadFromText(
        "[FilePathSection]\r\nX=1e-50\r\nY=1e300\r\nX1=99999999999999999999\r\nY1=-1e300\r\n"
        "[Pad1]\r\n1Pad=99999999999999999999,-99999999999999999999\r\n");
    const MainValues values = ReadMainValues(doc);
    EXPECT_EQ(values.scaleX, 1) << "0 in single precision";
    EXPECT_EQ(values.scaleY, 1) << "infinite in single precision";
    EXPECT_EQ(values.x1, kCoordinateLimit);
    EXPECT_EQ(values.y1, -kCoordinateLimit);
    const auto pads = ReadPads(doc);
    ASSERT_EQ(pads.size(), 1u);
    EXPECT_EQ(pads[0].x1, kCoordinateLimit);
    EXPECT_EQ(pads[0].y1, -kCoordinateLimit);
    // A NUL in a pad section's name reads as the blank a save writes for it.
    EXPECT_EQ(UsablePadNumber("Pad\0\0"s + "3"), 3);
}

}  // namespace
}  // namespace korvane
