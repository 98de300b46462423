#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "storage/ProjectKeys.h"
#include "support/TempDir.h"

namespace korvane {
namespace {

using testing::TempDir;
using testing::writeFileBytes;

IniDocument loaded(std::string_view text) {
    IniDocument ini;
    ini.LoadFromText(text);
    return ini;
}

std::vector<std::string> keysOf(const IniDocument& ini, std::string_view section) {
    std::vector<std::string> keys;
    for (int i = 1; i <= ini.ValuesCount(section); ++i) {
        keys.push_back(ini.ValueName(section, i));
    }
    return keys;
}

std::string flat(const PadRecord& p) {
    std::ostringstream out;
    out << p.number << '|' << p.sectionName << '|' << p.padName << '|' << p.netName << '|' << p.compName
        << '|' << p.x1 << ',' << p.y1 << '|' << p.x2 << ',' << p.y2;
    return out.str();
}

std::string flat(const ComponentData& c) {
    return c.designator + '|' + c.libRef + '|' + c.partType + '|' + c.footprint;
}

TEST(ProjectMainValues, WriteInOrderAfterThePicturesAndReadBack) {
    IniDocument ini = loaded("[FilePathSection]\nFirst=a.bmp\nSecond=b.bmp\nY=9\n");
    WriteMainValues(ini, MainValues{1.25, 0.5, 10, -20, 30, 40, 1.5, 2, 3, 4.75});
    EXPECT_EQ(keysOf(ini, kFilePathSection),
              (std::vector<std::string>{"First", "Second", "Y", "X", "OldX1", "OldY1", "OldX2", "OldY2", "X1",
                                        "Y1", "X2", "Y2"}));
    MainValues back = ReadMainValues(ini);
    EXPECT_EQ(ini.Value(kFilePathSection, "X"), "1.25");
    EXPECT_EQ(back.scaleY, 0.5);
    EXPECT_EQ(back.oldY1, -20);
    EXPECT_EQ(back.y2, 4.75);

    for (const char* text : {"", "0", "-2", "abc"}) {
        SCOPED_TRACE(text);
        IniDocument damaged = loaded(std::string("[FilePathSection]\nOldX1=3.6\nX=") + text);
        MainValues values = ReadMainValues(damaged);
        EXPECT_EQ(values.scaleX, 1.0);
        EXPECT_EQ(values.scaleY, 1.0);  // missing altogether
        EXPECT_EQ(values.oldX1, 4);
    }
}

TEST(ProjectPads, ReadInDocumentOrderWithLenientNames) {
    IniDocument ini = loaded(
        "[pad05]\nPadName=A\n1Pad=7\n2Pad=1,2,3\n[FilePathSection]\n[Pa]\n"
        "[PAD7]\nNetName=GND\nCompName=U1\n1Pad=1.5,2.5\n[Pad5]\nPadName=B\n");
    WritePad(ini, 12, "1", "VCC", "R3", 10.5, 20, 30, 40.25);
    WritePad(ini, 12, "2", "VCC", "R3", 11, 21.5, 31, 41);
    EXPECT_EQ(keysOf(ini, "Pad12"),
              (std::vector<std::string>{"PadName", "NetName", "CompName", "1Pad", "2Pad"}));

    std::vector<std::string> pads;
    for (const PadRecord& pad : ReadPads(ini)) {
        pads.push_back(flat(pad));
    }
    // No comma: y repeats x. Two commas: y stops at the second one.
    EXPECT_EQ(pads, (std::vector<std::string>{"5|pad05|A|||7,7|1,2", "7|PAD7||GND|U1|1.5,2.5|0,0",
                                              "5|Pad5|B|||0,0|0,0", "12|Pad12|2|VCC|R3|11,21.5|31,41"}));
}

TEST(ProjectComponents, SplitToleratesDamagedValues) {
    const std::pair<const char*, const char*> cases[] = {
        {"3{label}10k{footprint}0805", "U1|3|10k|0805"},
        {"{label}{footprint}", "U1|||"},
        {"plain", "U1|plain||"},
        {"3{label}10k", "U1|3|10k|"},
        {"3{footprint}0805", "U1|3||0805"},
        {"3{footprint}0805{label}10k", "U1|3|10k|0805"},
        {"a{label}b{label}c{footprint}d", "U1|a|b{label}c|d"},
        {"a{LABEL}b{footprint}c", "U1|a{LABEL}b||c"}};
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(flat(SplitComponent("U1", value)), expected) << value;
    }
    EXPECT_EQ(flat(SplitComponent("U1", "a{LABEL}b{Footprint}c", CaseMode::Insensitive)), "U1|a|b|c");
}

TEST(ProjectComponents, RebuiltAtTheEndOnlyWhenTheListHasEntries) {
    IniDocument ini = loaded("[ComponentsSection]\nR1=x{label}y{footprint}z\n[Pad1]\n");
    WriteComponents(ini, {});
    EXPECT_EQ(ini.SectionName(1), "ComponentsSection");
    EXPECT_EQ(ini.Value(kComponentsSection, "R1"), "x{label}y{footprint}z");

    std::vector<ComponentData> list = {
        {"U1", "4", "LM358", "DIP8"}, {"", "lost", "", ""}, {"C1", "", "", ""}};
    WriteComponents(ini, list);
    EXPECT_EQ(ini.SectionName(2), "ComponentsSection");
    EXPECT_EQ(keysOf(ini, kComponentsSection), (std::vector<std::string>{"U1", "C1"}));

    std::vector<ComponentData> back = ReadComponents(ini);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(flat(back[0]), "U1|4|LM358|DIP8");
}

TEST(ProjectTraces, RoundTripThroughTheDocumentAndOfferToDrawUnlessTheSectionIsEmpty) {
    IniDocument ini = loaded("[TraceSection]\nold=gone\n[Pad1]\n");
    WriteTraces(ini, {"1-1-1-0=255-0-0", "1-2-2-0==1", "1-1-1-0=65535-0-0"}, {"2-7-300-0=65535-0.1-0.1"});
    EXPECT_EQ(keysOf(ini, kTraceSection), (std::vector<std::string>{"1-1-1-0", "1-2-2-0", "2-7-300-0"}));
    EXPECT_EQ(ini.Value(kTraceSection, "1-2-2-0"), "=1");

    TraceLists lists = TakeTraces(ini);
    EXPECT_TRUE(lists.offerDrawing);
    EXPECT_EQ(lists.first, (std::vector<std::string>{"1-1-1-0=65535-0-0", "1-2-2-0==1"}));
    EXPECT_EQ(lists.second, (std::vector<std::string>{"2-7-300-0=65535-0.1-0.1"}));
    EXPECT_EQ(ini.ValuesCount(kTraceSection), 0);

    for (const auto& [text, offer] : {std::pair<const char*, bool>{"[Pad1]\n", true},
                                      {"[TraceSection]\n", false},
                                      {"[TraceSection]\n1-1-1-0=1\nX=2\n", true}}) {
        IniDocument other = loaded(text);
        EXPECT_EQ(TakeTraces(other).offerDrawing, offer) << text;
        EXPECT_EQ(other.ValuesCount(kTraceSection), 0) << text;
    }
    // Hand-edited duplicates each keep their own value.
    IniDocument duplicates = loaded("[TraceSection]\n2-1-1-0=a\n2-1-1-0=b\n");
    EXPECT_EQ(TakeTraces(duplicates).second, (std::vector<std::string>{"2-1-1-0=a", "2-1-1-0=b"}));
}

TEST(ProjectPictures, EntriesAreTakenByPositionPathsSplitAtEitherSeparatorAndResolvedBesideTheProject) {
    using Pair = std::pair<std::string, std::string>;
    EXPECT_EQ(PictureEntries(loaded("[FilePathSection]\nTop=t.bmp\nBottom=b.bmp\nFirst=x\n")),
              Pair("t.bmp", "b.bmp"));
    EXPECT_EQ(PictureEntries(loaded("[FilePathSection]\nFirst=t.bmp\n")), Pair("t.bmp", ""));
    EXPECT_EQ(PictureEntries(loaded("")), Pair("", ""));

    for (const auto& [path, folder, name] :
         std::vector<std::array<std::string, 3>>{{"C:\\boards/top.bmp", "C:\\boards/", "top.bmp"},
                                                 {"C:top.bmp", "C:", "C:top.bmp"},
                                                 {"top.bmp", "", "top.bmp"}}) {
        EXPECT_EQ(Pair(FolderOfPath(path), NameOfPath(path)), Pair(folder, name)) << path;
    }
    EXPECT_EQ(StoredPicturePath("/p/top.bmp", "/p/board.kvp"), "top.bmp");
    EXPECT_EQ(StoredPicturePath("/P/top.bmp", "/p/board.kvp"), "/P/top.bmp");

    // Stored paths are resolved against the project's folder.
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "sub");
    writeFileBytes(dir.file("top.bmp"), "x");
    writeFileBytes(dir.file("sub/bottom.bmp"), "x");
    const std::string project = dir.file("board.kvp"), folder = dir.path().string() + "/";

    EXPECT_EQ(ResolvePicturePath("", project), "");
    EXPECT_EQ(ResolvePicturePath("top.bmp", project), folder + "top.bmp");
    EXPECT_EQ(ResolvePicturePath("sub/bottom.bmp", project), folder + "sub/bottom.bmp");
    // A full path that does not exist here falls back to its name beside the project.
    EXPECT_EQ(ResolvePicturePath("C:\\scans\\top.bmp", project), folder + "top.bmp");
    EXPECT_EQ(ResolvePicturePath("/gone/missing.bmp", project), "/gone/missing.bmp");
    EXPECT_EQ(ResolvePicturePath("missing.bmp", project), folder + "missing.bmp");
}

}  // namespace
}  // namespace korvane
