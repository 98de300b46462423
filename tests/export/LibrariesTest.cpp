#include "export/Libraries.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace korvane {
namespace {

using testing::ScriptedUi;
using testing::TempDir;
using testing::writeFileBytes;
using Names = std::vector<std::string>;

// Joins lines with the given line end, the last line included.
std::string text(const Names& lines, const std::string& end = "\r\n") {
    std::string out;
    for (const auto& line : lines) {
        out += line + end;
    }
    return out;
}

// A symbol record: the word line, then `nameAt - 1` filler lines, the name, and a short tail.
Names record(const std::string& word, const std::string& name, int nameAt = 19) {
    Names lines{word};
    for (int i = 1; i < nameAt; ++i) {
        lines.push_back("filler " + std::to_string(i));
    }
    lines.push_back(name);
    lines.push_back("Part");
    lines.push_back("EndComponent");
    return lines;
}

Names concat(std::initializer_list<Names> parts) {
    Names out;
    for (const auto& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

Names header(int lines = 13) {
    Names out;
    for (int i = 1; i <= lines; ++i) {
        out.push_back("header " + std::to_string(i));
    }
    return out;
}

TEST(Libraries, LinesEndAtCrLfLfOrLoneCr) {
    const struct {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"A", {"A"}},
        {"A\r\n", {"A"}},
        {"A\r\nB", {"A", "B"}},
        {"A\nB\n", {"A", "B"}},
        {"A\rB\r", {"A", "B"}},
        {"A\r\n\r\nB", {"A", "", "B"}},
        {"A\n\rB", {"A", "", "B"}},  // LF then a lone CR: two line ends
        {"\r\n", {""}},
        {"A\r\r\nB", {"A", "", "B"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> got;
        for (auto line : SplitLibraryLines(c.text)) {
            got.emplace_back(line);
        }
        EXPECT_EQ(got, c.lines) << ::testing::PrintToString(c.text);
    }
}

TEST(Libraries, FootprintEntriesAreTrimmedLinesInFileOrder) {
    EXPECT_EQ(ParseFootprintLibrary("DIP14\n\r\n  SO8  \r"), (Names{"DIP14", "", "SO8"}));
    EXPECT_EQ(ParseFootprintLibrary("ZZ\r\nAA\r\n"), (Names{"ZZ", "AA"})) << "never sorted";
    EXPECT_EQ(ParseFootprintLibrary("   \r\n"), (Names{""}));
    EXPECT_TRUE(ParseFootprintLibrary("").empty());
    // Only blanks are trimmed; other bytes of the system's code page pass through.
    EXPECT_EQ(ParseFootprintLibrary(" \xC4\xD6-1 \r\n"), (Names{"\xC4\xD6-1"}));
}

TEST(Libraries, SymbolNameIsThe19thLineAfterTheWord) {
    const std::string library =
        text(concat({header(), record("Component", "  RES  "), record("Component", "CAP")}));
    EXPECT_EQ(ParseSchematicSymbols(library, SymbolWordCase::Exact), (Names{"RES", "CAP"}));

    // Named on the 20th line: the 19th line (a filler) is taken, never the name.
    EXPECT_EQ(ParseSchematicSymbols(text(record("Component", "LATE", 20)), SymbolWordCase::Exact),
              (Names{"filler 19"}));
    // Named on the 18th line: the reader lands one line after it.
    EXPECT_EQ(ParseSchematicSymbols(text(record("Component", "EARLY", 18)), SymbolWordCase::Exact),
              (Names{"Part"}));
    // Lone CR line ends count the same lines.
    EXPECT_EQ(ParseSchematicSymbols(text(concat({header(), record("Component", "RES")}), "\r"),
                                    SymbolWordCase::Exact),
              (Names{"RES"}));
}

TEST(Libraries, SymbolWordCaseAndBlanks) {
    const std::string library = text(
        concat({record("component", "LOWER"), record("  Component  ", "PADDED"), record("COMPONENT", "UPPER"),
                record("Components", "NOT"), record("Component;", "NOT")}));
    EXPECT_EQ(ParseSchematicSymbols(library, SymbolWordCase::Insensitive),
              (Names{"LOWER", "PADDED", "UPPER"}));
    EXPECT_EQ(ParseSchematicSymbols(library, SymbolWordCase::Exact), (Names{"PADDED"}));
}

TEST(Libraries, RecordsAreReadFromTheLineAfterTheName) {
    // A "Component" line inside a record (here the 5th line) is not a record start.
    Names inner = record("Component", "OUTER");
    inner[5] = "Component";
    EXPECT_EQ(
        ParseSchematicSymbols(text(concat({inner, record("Component", "NEXT")})), SymbolWordCase::Exact),
        (Names{"OUTER", "NEXT"}));

    // A header line that reads "Component" starts a record like any other line: it swallows the next
    // 19 lines, so the real first record's word line is skipped.
    Names h = header();
    h[2] = "Component";
    EXPECT_EQ(ParseSchematicSymbols(text(concat({h, record("Component", "RES"), record("Component", "CAP")})),
                                    SymbolWordCase::Exact),
              (Names{"filler 8", "CAP"}));
}

TEST(Libraries, RecordCutShortByTheEndOfTheFileAddsNothing) {
    Names cut = record("Component", "RES");
    cut.resize(19);  // the word and 18 more lines
    EXPECT_TRUE(ParseSchematicSymbols(text(cut), SymbolWordCase::Exact).empty());
    EXPECT_EQ(ParseSchematicSymbols(text(concat({record("Component", "CAP"), cut})), SymbolWordCase::Exact),
              (Names{"CAP"}));

    // Exactly 19 lines after the word, the last one without a line end: still read.
    Names exact = record("Component", "LAST");
    exact.resize(20);
    std::string t = text(exact);
    t.resize(t.size() - 2);
    EXPECT_EQ(ParseSchematicSymbols(t, SymbolWordCase::Exact), (Names{"LAST"}));
    EXPECT_TRUE(ParseSchematicSymbols("", SymbolWordCase::Insensitive).empty());
}

class LibraryFolder : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::create_directory(dir.path() / "Lib"); }
    std::string programDir() const { return dir.path().string(); }
    void write(const std::string& name, const std::string& bytes) {
        writeFileBytes(dir.file("Lib/" + name), bytes);
    }

    TempDir dir;
    ScriptedUi ui;
};

TEST_F(LibraryFolder, MissingLibrariesAreReportedAndLeaveThePickListsAlone) {
    Names footprints{"OLD1", "OLD2"};
    Names symbols{"OLDSYM"};
    EXPECT_FALSE(LoadFootprintPickList(programDir(), ui, footprints));
    EXPECT_FALSE(LoadSchematicPickList(programDir(), ui, SymbolWordCase::Insensitive, symbols));
    EXPECT_EQ(footprints, (Names{"OLD1", "OLD2"}));
    EXPECT_EQ(symbols, (Names{"OLDSYM"}));

    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].prompt, "PSB's component library: " + programDir() +
                                      "/Lib/pcb.lb - not found or access denied. Check this file or enter "
                                      "footprints of PCB manually.");
    EXPECT_EQ(messages[0].title, "Library not found:");
    EXPECT_EQ(messages[1].prompt,
              "Scheme's component library: " + programDir() +
                  "/Lib/sch.lb - not found or access denied. Export of scheme will be skipped.");
    EXPECT_EQ(messages[1].title, "Sch library not found:");
    for (const auto& m : messages) {
        EXPECT_EQ(m.icon, MsgIcon::Information);
        EXPECT_EQ(m.buttons, MsgButtons::Ok);
    }

    // A folder where a library should be cannot be read: the same message, every time.
    ui.clear();
    std::filesystem::create_directory(dir.path() / "Lib" / "pcb.lb");
    std::filesystem::create_directory(dir.path() / "Lib" / "sch.lb");
    EXPECT_FALSE(LoadFootprintPickList(programDir(), ui, footprints));
    EXPECT_FALSE(LoadSchematicPickList(programDir(), ui, SymbolWordCase::Exact, symbols));
    EXPECT_FALSE(LoadFootprintPickList(programDir(), ui, footprints));
    EXPECT_EQ(ui.count("message"), 3);
    EXPECT_EQ(footprints, (Names{"OLD1", "OLD2"}));
}

TEST_F(LibraryFolder, LoadingReplacesThePickListsAndFollowsEditsOnDisk) {
    write("pcb.lb", "DIP14\r\n\r\n  SO8  \r\n");
    write("sch.lb", text(concat({header(), record("component", "RES"), record("Component", "CAP")})));
    Names footprints{"OLD"};
    Names symbols{"OLD"};
    EXPECT_TRUE(LoadFootprintPickList(programDir(), ui, footprints));
    EXPECT_TRUE(LoadSchematicPickList(programDir(), ui, SymbolWordCase::Insensitive, symbols));
    EXPECT_EQ(footprints, (Names{"DIP14", "", "SO8"}));
    EXPECT_EQ(symbols, (Names{"RES", "CAP"}));
    EXPECT_TRUE(LoadSchematicPickList(programDir(), ui, SymbolWordCase::Exact, symbols));
    EXPECT_EQ(symbols, (Names{"CAP"}));
    EXPECT_EQ(ui.count("message"), 0);

    // Nothing is cached: the next load sees the edited file, an empty file gives an empty list.
    write("pcb.lb", "");
    EXPECT_TRUE(LoadFootprintPickList(programDir(), ui, footprints));
    EXPECT_TRUE(footprints.empty());
}

}  // namespace
}  // namespace korvane
