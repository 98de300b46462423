// The library readers, the missing-library messages, and the sample libraries that ship with the program:
// read by our own readers and laid out as the schematic readers on the other side expect, since the export
// copies the symbol library into every schematic and parts refer to their symbol by position.

#include "export/Libraries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "text/Ascii.h"

namespace korvane::testing {
namespace {

using Names = std::vector<std::string>;
constexpr auto kExact = SymbolWordCase::Exact;
constexpr auto kFold = SymbolWordCase::Insensitive;

// Joins the lines of all parts, each with the given line end.
std::string text(std::initializer_list<Names> parts, const std::string& end = "\r\n") {
    std::string out;
    for (const auto& part : parts) {
        for (const auto& line : part) {
            out += line + end;
        }
    }
    return out;
}

Names lines(std::string_view text) {
    Names out;
    for (auto line : SplitLibraryLines(text)) {
        out.emplace_back(line);
    }
    return out;
}

// A symbol record: the word line, then `nameAt - 1` filler lines, the name, and a short tail.
Names record(const std::string& word, const std::string& name, int nameAt = 19) {
    Names out{word};
    for (int i = 1; i < nameAt; ++i) {
        out.push_back("filler " + std::to_string(i));
    }
    out.insert(out.end(), {name, "Part", "EndComponent"});
    return out;
}

const Names kHeader(13, "header");

TEST(Libraries, LinesEndAtCrLfLfOrLoneCrAndFootprintsAreTrimmedLines) {
    EXPECT_EQ(lines(""), Names{});
    EXPECT_EQ(lines("A"), Names{"A"});
    EXPECT_EQ(lines("\r\n"), Names{""});
    // LF then CR are two line ends, and so are CR then CR LF.
    EXPECT_EQ(lines("A\r\nB\nC\rD\r\n\r\nE\n\rF\r\r\nG\r"),
              (Names{"A", "B", "C", "D", "", "E", "", "F", "", "G"}));
    EXPECT_EQ(ParseFootprintLibrary("DIP14\n\r\n  SO8  \r"), (Names{"DIP14", "", "SO8"}));
    EXPECT_EQ(ParseFootprintLibrary("ZZ\r\nAA\r\n"), (Names{"ZZ", "AA"})) << "never sorted";
    EXPECT_EQ(ParseFootprintLibrary("   \r\n"), (Names{""}));
    // Only blanks are trimmed; other bytes of the system's code page pass through.
    EXPECT_EQ(ParseFootprintLibrary(" \xC4\xD6-1 \r\n"), (Names{"\xC4\xD6-1"}));
    const std::string garbage =
        readFileBytes(KORVANE_SOURCE_DIR + std::string("/tests/data/bad/garbage.kvp"));
    EXPECT_EQ(ParseFootprintLibrary(garbage).size(), lines(garbage).size());
}

TEST(Libraries, SymbolNameIsThe19thLineAfterTheWord) {
    Names inner = record("Component", "OUTER");
    inner[5] = "Component";  // inside a record: no record start
    Names componentHeader = kHeader;
    componentHeader[2] = "Component";  // starts a record like any other line and swallows the next 19
    Names cut = record("Component", "RES");
    cut.resize(19);  // the word and 18 more lines
    const std::string lastLine = text({cut, {"LAST"}});
    const struct {
        const char* what;
        std::string library;
        Names symbols;
    } cases[] = {
        {"after the header",
         text({kHeader, record("Component", " RES "), record("Component", "CAP")}),
         {"RES", "CAP"}},
        {"lone CR line ends", text({kHeader, record("Component", "RES")}, "\r"), {"RES"}},
        {"named on the 20th line", text({record("Component", "LATE", 20)}), {"filler 19"}},
        {"named on the 18th line", text({record("Component", "EARLY", 18)}), {"Part"}},
        {"record inside a record", text({inner, record("Component", "NEXT")}), {"OUTER", "NEXT"}},
        {"header line reading Component",
         text({componentHeader, record("Component", "RES"), record("Component", "CAP")}),
         {"filler 8", "CAP"}},
        {"record cut short", text({record("Component", "CAP"), cut}), {"CAP"}},
        {"last line without its end", lastLine.substr(0, lastLine.size() - 2), {"LAST"}},
        {"ending on the word", text({record("Component", "RES"), {"Component", "f"}}) + "Component", {"RES"}},
        {"empty", "", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseSchematicSymbols(c.library, kExact), c.symbols) << c.what;
    }
    const std::string words =
        text({record("component", "LOWER"), record("  Component  ", "PADDED"), record("COMPONENT", "UPPER"),
              record("Components", "NOT"), record("Component;", "NOT")});
    EXPECT_EQ(ParseSchematicSymbols(words, kFold), (Names{"LOWER", "PADDED", "UPPER"}));
    EXPECT_EQ(ParseSchematicSymbols(words, kExact), (Names{"PADDED"}));
}

TEST(LibraryFolder, MissingLibrariesAreReportedAndLoadingReplacesThePickLists) {
    TempDir dir;
    ScriptedUi ui;
    const std::string programDir = dir.path().string();
    Names footprints{"OLD1", "OLD2"};
    Names symbols{"OLDSYM"};
    EXPECT_FALSE(LoadFootprintPickList(programDir, ui, footprints));
    EXPECT_FALSE(LoadSchematicPickList(programDir, ui, kFold, symbols));
    EXPECT_EQ(footprints, (Names{"OLD1", "OLD2"}));
    EXPECT_EQ(symbols, (Names{"OLDSYM"}));
    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].prompt, "PSB's component library: " + programDir +
                                      "/Lib/pcb.lb - not found or access denied. Check this file or enter "
                                      "footprints of PCB manually.");
    EXPECT_EQ(messages[0].title, "Library not found:");
    EXPECT_EQ(messages[1].prompt,
              "Scheme's component library: " + programDir +
                  "/Lib/sch.lb - not found or access denied. Export of scheme will be skipped.");
    EXPECT_EQ(messages[1].title, "Sch library not found:");
    for (const auto& m : messages) {
        EXPECT_EQ(m.icon, MsgIcon::Information);
        EXPECT_EQ(m.buttons, MsgButtons::Ok);
    }

    // A folder where a library should be cannot be read: the same message, every time.
    ui.clear();
    std::filesystem::create_directories(dir.path() / "Lib" / "pcb.lb");
    std::filesystem::create_directory(dir.path() / "Lib" / "sch.lb");
    EXPECT_FALSE(LoadFootprintPickList(programDir, ui, footprints));
    EXPECT_FALSE(LoadSchematicPickList(programDir, ui, kExact, symbols));
    EXPECT_FALSE(LoadFootprintPickList(programDir, ui, footprints));
    EXPECT_EQ(ui.count("message"), 3);
    EXPECT_EQ(footprints, (Names{"OLD1", "OLD2"}));

    // Readable libraries replace the pick lists.
    ui.clear();
    std::filesystem::remove(dir.path() / "Lib" / "pcb.lb");
    std::filesystem::remove(dir.path() / "Lib" / "sch.lb");
    writeFileBytes(dir.file("Lib/pcb.lb"), "DIP14\r\n\r\n  SO8  \r\n");
    writeFileBytes(dir.file("Lib/sch.lb"),
                   text({kHeader, record("component", "RES"), record("Component", "CAP")}));
    EXPECT_TRUE(LoadFootprintPickList(programDir, ui, footprints));
    EXPECT_TRUE(LoadSchematicPickList(programDir, ui, kFold, symbols));
    EXPECT_EQ(footprints, (Names{"DIP14", "", "SO8"}));
    EXPECT_EQ(symbols, (Names{"RES", "CAP"}));
    EXPECT_TRUE(LoadSchematicPickList(programDir, ui, kExact, symbols));
    EXPECT_EQ(symbols, (Names{"CAP"}));
    EXPECT_EQ(ui.count("message"), 0);

    // Nothing is cached: the next load sees the edited file, an empty file gives an empty list.
    writeFileBytes(dir.file("Lib/pcb.lb"), "");
    EXPECT_TRUE(LoadFootprintPickList(programDir, ui, footprints));
    EXPECT_TRUE(footprints.empty());
}

bool isInteger(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

Names fields(const std::string& line) {
    std::istringstream in(line);
    Names out;
    for (std::string field; in >> field;) {
        out.push_back(field);
    }
    return out;
}

TEST(ShippedLibraries, SymbolLibraryKeepsTheLayoutReadersExpect) {
    ScriptedUi ui;
    Names symbols, insensitive;
    ASSERT_TRUE(LoadSchematicPickList(KORVANE_SOURCE_DIR, ui, kExact, symbols));
    EXPECT_EQ(symbols, (Names{"RES", "CAP", "ELECTRO", "DIODE", "LED", "NPN", "PNP", "CON2", "CON4", "IC8",
                              "IC14", "IC16"}));
    ASSERT_TRUE(LoadSchematicPickList(KORVANE_SOURCE_DIR, ui, kFold, insensitive));
    EXPECT_EQ(insensitive, symbols) << "the pad dialog and the export must agree on every position";

    const Names all = lines(readFileBytes(SchematicLibraryPath(KORVANE_SOURCE_DIR)));
    ASSERT_GT(all.size(), 13u);
    for (std::size_t i = 0; i < 13; ++i) {
        EXPECT_FALSE(equalsIgnoreCase(trimBlanks(all[i]), "Component")) << "header line " << i + 1;
    }
    EXPECT_EQ(all[13], "[Font_Table]");
    // "Library" and, on the next line, the number of blocks that follow, closed by "EndLibrary".
    const auto library = std::find(all.begin() + 13, all.end(), "Library");
    ASSERT_LT(library + 1, all.end());
    EXPECT_EQ(library[1], std::to_string(symbols.size()));
    EXPECT_EQ(all.back(), "EndLibrary");

    const std::set<std::string> shapes{"Line", "Rectangle", "Polygon", "Polyline", "Ellipse", "Arc"};
    std::size_t blocks = 0;
    for (std::size_t i = std::size_t(library - all.begin()); i < all.size();) {
        if (all[i] != "Component") {
            ++i;
            continue;
        }
        const std::string where = "block at line " + std::to_string(i + 1);
        // Its name on the 3rd line and, where the pick lists read it, on the 19th line after its word.
        ASSERT_LT(i + 20, all.size()) << where;
        ASSERT_LT(blocks, symbols.size()) << where;
        EXPECT_EQ(all[i + 3], symbols[blocks]) << where;
        EXPECT_EQ(all[i + 19], symbols[blocks]) << where;
        ++blocks;
        ASSERT_TRUE(isInteger(all[i + 1]) && isInteger(all[i + 2])) << where;
        const int parts = std::stoi(all[i + 1]);
        ASSERT_GE(parts, 1) << where;
        i += 19 + std::size_t(std::stoi(all[i + 2]));  // the logical names end the fixed part
        for (int p = 0; p < parts; ++p) {
            ASSERT_LT(i + 1, all.size()) << where;
            EXPECT_EQ(all[i], "Part") << where;
            const auto size = fields(all[i + 1]);
            EXPECT_TRUE(size.size() == 2 && isInteger(size[0]) && isInteger(size[1])) << where;
            i += 2;
            for (const char* end : {"EndNormalPart", "EndDeMorganPart", "EndIEEEPart"}) {
                for (; i < all.size() && all[i].rfind("End", 0) != 0; ++i) {
                    const auto f = fields(all[i]);
                    ASSERT_FALSE(f.empty()) << where;
                    // Pin outer inner type hide nameShown numberShown length x y orientation colour 'name'
                    // 'number'
                    EXPECT_TRUE(f[0] == "Pin"
                                    ? f.size() == 14 && f[12].front() == '\'' && f[13].back() == '\''
                                    : shapes.count(f[0]) > 0)
                        << all[i];
                }
                ASSERT_LT(i, all.size()) << where;
                EXPECT_EQ(all[i++], end) << where;
            }
        }
        ASSERT_LT(i, all.size()) << where;
        EXPECT_EQ(all[i], "EndComponent") << where;
    }
    EXPECT_EQ(blocks, symbols.size());

    // The footprint library holds common names once each, and every footprint a symbol proposes (lines 5
    // to 8 of its block) among them.
    Names footprints;
    ASSERT_TRUE(LoadFootprintPickList(KORVANE_SOURCE_DIR, ui, footprints));
    const std::set<std::string> unique(footprints.begin(), footprints.end());
    EXPECT_EQ(unique.size(), footprints.size()) << "a name twice in the pick list";
    EXPECT_EQ(unique.count(""), 0u);
    for (const char* name : {"AXIAL0.4", "RAD0.1", "RB.2/.4", "DIODE0.4", "TO-92A", "TO-220", "DIP14", "SIP2",
                             "SO-8", "0805", "SOT-23"}) {
        EXPECT_EQ(unique.count(name), 1u) << name;
    }
    for (std::size_t i = 0; i + 8 < all.size(); ++i) {
        for (std::size_t f = i + 5; all[i] == "Component" && f <= i + 8; ++f) {
            EXPECT_TRUE(all[f].empty() || unique.count(all[f])) << all[f] << " of " << all[i + 3];
        }
    }
}

}  // namespace
}  // namespace korvane::testing
