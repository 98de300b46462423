// The sample libraries that ship with the program: read by our own readers, and laid out as the
// schematic readers on the other side expect, since the export copies the symbol library into every
// schematic it writes and parts refer to their symbol by position.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "export/Libraries.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "text/Ascii.h"

namespace korvane {
namespace {

using Names = std::vector<std::string>;

const std::string kProgramDir = KORVANE_SOURCE_DIR;

std::vector<std::string> shippedLines(const std::string& path) {
    const std::string text = testing::readFileBytes(path);
    std::vector<std::string> lines;
    for (auto line : SplitLibraryLines(text)) {
        lines.emplace_back(line);
    }
    return lines;
}

bool isInteger(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::vector<std::string> fields(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string field; in >> field;) {
        out.push_back(field);
    }
    return out;
}

TEST(ShippedLibraries, SymbolLibraryKeepsTheLayoutReadersExpect) {
    testing::ScriptedUi ui;
    Names symbols;
    ASSERT_TRUE(LoadSchematicPickList(kProgramDir, ui, SymbolWordCase::Exact, symbols));
    EXPECT_EQ(symbols, (Names{"RES", "CAP", "ELECTRO", "DIODE", "LED", "NPN", "PNP", "CON2", "CON4", "IC8",
                              "IC14", "IC16"}));
    Names insensitive;
    ASSERT_TRUE(LoadSchematicPickList(kProgramDir, ui, SymbolWordCase::Insensitive, insensitive));
    EXPECT_EQ(insensitive, symbols) << "the pad dialog and the export must agree on every position";

    const auto lines = shippedLines(SchematicLibraryPath(kProgramDir));
    ASSERT_GT(lines.size(), 13u);
    for (std::size_t i = 0; i < 13; ++i) {
        EXPECT_FALSE(equalsIgnoreCase(trimBlanks(lines[i]), "Component")) << "header line " << i + 1;
    }
    EXPECT_EQ(lines[13], "[Font_Table]");
    // "Library" and, on the next line, the number of blocks that follow, closed by "EndLibrary".
    const auto library = std::find(lines.begin() + 13, lines.end(), "Library");
    ASSERT_LT(library + 1, lines.end());
    EXPECT_EQ(library[1], std::to_string(symbols.size()));
    EXPECT_EQ(lines.back(), "EndLibrary");

    std::size_t i = std::size_t(library - lines.begin());
    std::size_t blocks = 0;
    while (i < lines.size()) {
        if (lines[i] != "Component") {
            ++i;
            continue;
        }
        const std::string where = "block at line " + std::to_string(i + 1);
        // Its name on the 3rd line and, where the pick lists read it, on the 19th line after its word.
        ASSERT_LT(i + 20, lines.size()) << where;
        ASSERT_LT(blocks, symbols.size()) << where;
        EXPECT_EQ(lines[i + 3], symbols[blocks]) << where;
        EXPECT_EQ(lines[i + 19], symbols[blocks]) << where;
        ++blocks;
        ASSERT_TRUE(isInteger(lines[i + 1]) && isInteger(lines[i + 2])) << where;
        const int parts = std::stoi(lines[i + 1]);
        const int logical = std::stoi(lines[i + 2]);
        ASSERT_GE(parts, 1) << where;
        i += 19 + std::size_t(logical);  // the logical names end the fixed part
        for (int p = 0; p < parts; ++p) {
            ASSERT_LT(i + 1, lines.size()) << where;
            EXPECT_EQ(lines[i], "Part") << where;
            const auto size = fields(lines[i + 1]);
            EXPECT_TRUE(size.size() == 2 && isInteger(size[0]) && isInteger(size[1])) << where;
            i += 2;
            for (const char* end : {"EndNormalPart", "EndDeMorganPart", "EndIEEEPart"}) {
                while (i < lines.size() && lines[i].rfind("End", 0) != 0) {
                    const auto f = fields(lines[i]);
                    ASSERT_FALSE(f.empty()) << where;
                    if (f[0] == "Pin") {
                        // Pin outer inner type hide nameShown numberShown length x y orientation colour
                        // 'name' 'number'
                        EXPECT_TRUE(f.size() == 14 && f[12].front() == '\'' && f[13].back() == '\'')
                            << lines[i];
                    } else {
                        const std::set<std::string> known{"Line",     "Rectangle", "Polygon",
                                                          "Polyline", "Ellipse",   "Arc"};
                        EXPECT_TRUE(known.count(f[0])) << lines[i];
                    }
                    ++i;
                }
                ASSERT_LT(i, lines.size()) << where;
                EXPECT_EQ(lines[i], end) << where;
                ++i;
            }
        }
        ASSERT_LT(i, lines.size()) << where;
        EXPECT_EQ(lines[i], "EndComponent") << where;
    }
    EXPECT_EQ(blocks, symbols.size());
}

TEST(ShippedLibraries, FootprintLibraryHoldsCommonNamesOnceEach) {
    testing::ScriptedUi ui;
    Names footprints;
    ASSERT_TRUE(LoadFootprintPickList(kProgramDir, ui, footprints));
    const std::set<std::string> unique(footprints.begin(), footprints.end());
    EXPECT_EQ(unique.size(), footprints.size()) << "a name twice in the pick list";
    EXPECT_EQ(unique.count(""), 0u);
    for (const char* name : {"AXIAL0.4", "RAD0.1", "RB.2/.4", "DIODE0.4", "TO-92A", "TO-220", "DIP14", "SIP2",
                             "SO-8", "0805", "SOT-23"}) {
        EXPECT_EQ(unique.count(name), 1u) << name;
    }

    // The footprints a symbol proposes (lines 5 to 8 of its block) are all offered by the footprint list.
    const auto lines = shippedLines(SchematicLibraryPath(kProgramDir));
    for (std::size_t i = 0; i + 8 < lines.size(); ++i) {
        if (lines[i] == "Component") {
            for (std::size_t f = i + 5; f <= i + 8; ++f) {
                EXPECT_TRUE(lines[f].empty() || unique.count(lines[f])) << lines[f] << " of " << lines[i + 3];
            }
        }
    }
}

}  // namespace
}  // namespace korvane
