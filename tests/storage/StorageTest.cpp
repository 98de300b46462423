// The project file: the INI document's rules, its safe writes, the project's keys, faults found by fuzzing.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "pads/PadBoard.h"
#include "pads/PadText.h"
#include "storage/AtomicFile.h"
#include "storage/IniDocument.h"
#include "storage/ProjectKeys.h"
#include "support/TempDir.h"
#include "text/Ascii.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Names = std::vector<std::string>;
using testing::readFileBytes;
using testing::TempDir;
using testing::writeFileBytes;

const std::string kNul(1, '\0');

IniDocument loaded(std::string_view text) {
    IniDocument ini;
    ini.LoadFromText(text);
    return ini;
}

TEST(IniLoad, LinesFollowTheLoadingRules) {
    const struct {
        const char* what;
        std::string text, canonical;
    } cases[] = {
        {"comment in the first column", ";[X]\n[S]\n;a=1\n", "[S]\r\n\r\n"},
        {"entry before any section", "a=1\n[S]\nb=2\n", "[S]\r\nb=2\r\n\r\n"},
        {"empty and unclosed headers are skipped; entries stay with the last section", "[S]\n[]\n[T\na=1\n",
         "[S]\r\na=1\r\n\r\n"},
        {"text after the header and blanks inside brackets", "[ A b ]x=1\nk=v\n", "[ A b ]\r\nk=v\r\n\r\n"},
        {"lines without a name before '=' are skipped", "[S]\n=x\nnoequals\nk==v\nempty=\n",
         "[S]\r\nk==v\r\nempty=\r\n\r\n"},
        {"blanks around '=' stay, outer blanks go", "[S]\n   a = b   \n", "[S]\r\na = b\r\n\r\n"},
        {"';' after the first column cuts the trimmed line", "[S]\n  ;x=1\nk=v ;note\nq=;\n",
         "[S]\r\nk=v\r\nq=\r\n\r\n"},
        {"';' inside brackets leaves an unclosed header", "[S]\n[a;b]\nk=v\n", "[S]\r\nk=v\r\n\r\n"},
        {"CR LF, LF and lone CR all end lines", "[A]\ra=1\r\nb=2\nc=3\r\r\n[B]",
         "[A]\r\na=1\r\nb=2\r\nc=3\r\n\r\n[B]\r\n\r\n"},
        {"tabs are not blanks", "[S]\n\tk=v\t\n", "[S]\r\n\tk=v\t\r\n\r\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(loaded(c.text).ToText(), c.canonical);
    }
}

TEST(IniLoad, BytesPassThroughAndReplaceEarlierContents) {
    IniDocument ini = loaded("[Old]\nx=1\n");
    ini.LoadFromText(std::string("[S]\nk=a\0b\n\xC4=\xE4\n", 14));
    EXPECT_EQ(ini.SectionsCount(), 1);
    EXPECT_EQ(ini.Value("S", "k"), std::string("a\0b", 3));
    EXPECT_EQ(ini.Value("s", "\xC4"), "\xE4");
    EXPECT_EQ(ini.Value("s", "\xE4"), "");
}

TEST(IniLookup, DuplicatesAreKeptAndTheFirstWins) {
    IniDocument ini = loaded("[Dup]\na=1\nA=2\n[other]\n[dUP]\na=3\n");
    EXPECT_EQ(ini.SectionsCount(), 3);
    EXPECT_EQ(ini.Value("DUP", "a"), "1");
    EXPECT_EQ(ini.ValuesCount("dup"), 2);
    EXPECT_EQ(ini.SectionName(3), "dUP");
    EXPECT_FALSE(ini.AddSection("DUP"));
    EXPECT_TRUE(ini.RemoveValue("dup", "A"));
    EXPECT_EQ(ini.Value("dup", "a"), "2");
    EXPECT_TRUE(ini.RemoveSection("Dup"));
    EXPECT_EQ(ini.Value("dup", "a"), "3");
    EXPECT_EQ(ini.SectionName(1), "other");
    EXPECT_TRUE(ini.RemoveSection("dup") && !ini.RemoveSection("dup") && !ini.SectionExists("dup"));
}

TEST(IniLookup, MissingThingsGiveTheirNotFoundValuesAndFindSectionTakesWildcards) {
    IniDocument ini = loaded("[FilePathSection]\nk=v\n[Pad12]\n[TraceSection]\n");
    for (const std::string& name : {ini.SectionName(-1), ini.SectionName(0), ini.SectionName(4),
                                    ini.ValueName("FilePathSection", 2), ini.ValueName("none", 1)}) {
        EXPECT_EQ(name, kNul);
    }
    EXPECT_EQ(std::make_pair(ini.ValuesCount("none"), ini.ValuesCount("pad12")), std::make_pair(-1, 0));
    EXPECT_EQ(ini.Value("FilePathSection", "none") + ini.Value("none", "k"), "");
    EXPECT_EQ(ini.FindSection("trace") + ini.FindSection("section") + ini.FindSection("P?d#") + "|" +
                  ini.FindSection("[t]r") + ini.FindSection("nothing"),
              "TraceSectionFilePathSectionPad12|TraceSection");
}

TEST(IniEdit, SetValueReplacesOrAppendsAndAddValueNeverOverwrites) {
    IniDocument ini = loaded("[Sect]\nKey=1\n");
    ini.SetValue("SECT", "key", "2");
    ini.SetValue("sect", "Other", "3");
    ini.SetValue("New", "n", "");
    EXPECT_FALSE(ini.AddValue("sect", "KEY", "changed"));
    EXPECT_TRUE(ini.AddValue("Added", "a"));
    EXPECT_EQ(ini.ToText(), "[Sect]\r\nKey=2\r\nOther=3\r\n\r\n[New]\r\nn=\r\n\r\n[Added]\r\na=\r\n\r\n");
}

// Positions and first-match lookups must survive the index's bookkeeping under removals in every order.
TEST(IniLookup, AgreesWithAPlainListUnderRandomEdits) {
    using Entries = std::vector<std::pair<std::string, std::string>>;
    std::vector<std::pair<std::string, Entries>> model;
    const Names names = {"a", "B", "A", "b", "c", "Pad1", "pad1", "PAD2", "x", "Y"};
    std::mt19937 random(12345);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    std::string text;
    for (int s = 0; s < 40; ++s) {
        model.emplace_back(names[pick(names.size())], Entries{});
        text += "[" + model.back().first + "]\n";
        for (std::size_t e = 0, count = pick(20); e < count; ++e) {
            model.back().second.emplace_back(names[pick(names.size())], std::to_string(s * 100 + int(e)));
            text += model.back().second.back().first + "=" + model.back().second.back().second + "\n";
        }
    }
    IniDocument ini = loaded(text);
    auto findIn = [](auto& list, const std::string& name) {
        return std::find_if(list.begin(), list.end(),
                            [&](const auto& p) { return equalsIgnoreCase(p.first, name); });
    };
    auto check = [&] {
        ASSERT_EQ(ini.SectionsCount(), int(model.size()));
        for (std::size_t i = 0; i < model.size(); ++i) {
            ASSERT_EQ(ini.SectionName(int(i) + 1), model[i].first);
        }
        for (const std::string& section : names) {
            auto found = findIn(model, section);
            ASSERT_EQ(ini.ValuesCount(section), found == model.end() ? -1 : int(found->second.size()));
            for (std::size_t e = 0; found != model.end() && e < found->second.size(); ++e) {
                ASSERT_EQ(ini.ValueName(section, int(e) + 1), found->second[e].first);
            }
            for (const std::string& key : names) {
                const auto entry = found == model.end() ? Entries::iterator{} : findIn(found->second, key);
                const bool present = found != model.end() && entry != found->second.end();
                ASSERT_EQ(ini.Value(section, key), present ? entry->second : "");
            }
        }
    };
    check();
    for (int step = 0; step < 3000 && !HasFatalFailure(); ++step) {
        const std::string& section = names[pick(names.size())];
        const std::string& key = names[pick(names.size())];
        auto found = findIn(model, section);
        auto entry = found == model.end() ? Entries::iterator{} : findIn(found->second, key);
        const bool present = found != model.end() && entry != found->second.end();
        const std::string value = std::to_string(step);
        if (const auto what = pick(4); what == 0) {
            ASSERT_EQ(ini.RemoveSection(section), found != model.end());
            if (found != model.end()) {
                model.erase(found);
            }
        } else if (what < 3) {
            ASSERT_EQ(ini.RemoveValue(section, key), present);
            if (present) {
                found->second.erase(entry);
            }
        } else {
            ini.SetValue(section, key, value);
            if (found == model.end()) {
                model.push_back({section, {{key, value}}});
            } else if (present) {
                entry->second = value;
            } else {
                found->second.emplace_back(key, value);
            }
        }
        check();
    }
}

TEST(IniLookup, ARemovedSectionGoesBackToItsPlaceAndIsTheFirstMatchAgain) {
    std::string text;
    for (int i = 1; i <= 12; ++i) {
        text += "[S" + std::to_string(i) + "]\r\nk=" + std::to_string(i) + "\r\nk=again\r\n";
    }
    IniDocument ini = loaded(text + "[s3]\r\nk=later\r\n");
    const std::string before = ini.ToText();
    const IniSection first = ini.SectionAt(1);
    ASSERT_TRUE(ini.RemoveSection("S1"));
    ASSERT_EQ(ini.SectionIndex("s3"), 2) << "counted past the removed one";
    const IniSection third = ini.SectionAt(2);
    ASSERT_TRUE(ini.RemoveSection("S3"));
    EXPECT_EQ(ini.Value("S3", "k"), "later");
    ini.InsertSection(2, third);
    EXPECT_EQ(ini.Value("S3", "k"), "3") << "the first match by position again";
    ini.InsertSection(1, first);
    EXPECT_EQ(ini.ToText(), before) << "duplicate entries kept in order";
    EXPECT_EQ(ini.SectionIndex("missing"), 0);
    ini.InsertSection(99, IniSection{"End", {}});
    EXPECT_EQ(ini.SectionName(ini.SectionsCount()), "End");
}

const std::string kOldText = "; keep me\r\n[S]\r\nk=old\r\n";

TEST(IniFile, LoadsRewritesCanonicallyAndRetargets) {
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
    // A missing file, a folder, StartNew: an empty document, the disk untouched.
    for (const std::string& empty : {dir.file("missing.kvp"), dir.path().string()}) {
        ini.SetFileName(path);
        ini.SetFileName(empty);
        EXPECT_EQ(ini.SectionsCount(), 0) << empty;
    }
    ini.SetFileName(path);
    ini.StartNew(path);
    EXPECT_TRUE(ini.SectionsCount() == 0 && ini.FileName() == path);
    EXPECT_EQ(readFileBytes(path), canonical);
    writeFileBytes(dir.file("old.kvp"), kOldText);
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

// A failed write keeps the old file and the model, leaves no temporary file and says why on a second line.
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
    EXPECT_EQ(readFileBytes(path) + readFileBytes(readOnly), kOldText + kOldText);
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
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.kvp") && fs::is_symlink(dir.path() / "real/alias.kvp"));
    EXPECT_EQ(readFileBytes(target), "new");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // A dangling link creates its target.
    fs::create_symlink("created.kvp", dir.path() / "dangling.kvp");
    ASSERT_TRUE(writeFileAtomically(dir.file("dangling.kvp"), "made"));
    EXPECT_EQ(readFileBytes(dir.file("created.kvp")), "made");
    EXPECT_TRUE(fs::is_symlink(dir.path() / "dangling.kvp"));
}

Names keysOf(const IniDocument& ini, std::string_view section) {
    Names keys;
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
    EXPECT_EQ(keysOf(ini, kFilePathSection), (Names{"First", "Second", "Y", "X", "OldX1", "OldY1", "OldX2",
                                                    "OldY2", "X1", "Y1", "X2", "Y2"}));
    MainValues back = ReadMainValues(ini);
    EXPECT_EQ(ini.Value(kFilePathSection, "X"), "1.25");
    EXPECT_EQ(std::tie(back.scaleY, back.oldY1, back.y2), std::make_tuple(0.5, -20, 4.75));
    for (const char* text : {"", "0", "-2", "abc"}) {
        SCOPED_TRACE(text);
        IniDocument damaged = loaded(std::string("[FilePathSection]\nOldX1=3.6\nX=") + text);
        MainValues values = ReadMainValues(damaged);  // Y missing altogether
        EXPECT_EQ(std::tie(values.scaleX, values.scaleY, values.oldX1), std::make_tuple(1.0, 1.0, 4));
    }
}

TEST(ProjectPads, ReadInDocumentOrderWithLenientNames) {
    IniDocument ini = loaded(
        "[pad05]\nPadName=A\n1Pad=7\n2Pad=1,2,3\n[FilePathSection]\n[Pa]\n"
        "[PAD7]\nNetName=GND\nCompName=U1\n1Pad=1.5,2.5\n[Pad5]\nPadName=B\n");
    WritePad(ini, 12, "1", "VCC", "R3", 10.5, 20, 30, 40.25);
    WritePad(ini, 12, "2", "VCC", "R3", 11, 21.5, 31, 41);
    EXPECT_EQ(keysOf(ini, "Pad12"), (Names{"PadName", "NetName", "CompName", "1Pad", "2Pad"}));
    Names pads;
    for (const PadRecord& pad : ReadPads(ini)) {
        pads.push_back(flat(pad));
    }
    // No comma: y repeats x. Two commas: y stops at the second one.
    EXPECT_EQ(pads, (Names{"5|pad05|A|||7,7|1,2", "7|PAD7||GND|U1|1.5,2.5|0,0", "5|Pad5|B|||0,0|0,0",
                           "12|Pad12|2|VCC|R3|11,21.5|31,41"}));
}

TEST(ProjectComponents, SplitToleratesDamagedValuesAndTheSectionIsRebuiltAtTheEnd) {
    // Each case is "value~designator|reference|part type|footprint".
    for (const std::string c :
         {"3{label}10k{footprint}0805~U1|3|10k|0805", "{label}{footprint}~U1|||", "plain~U1|plain||",
          "3{label}10k~U1|3|10k|", "3{footprint}0805~U1|3||0805", "3{footprint}0805{label}10k~U1|3|10k|0805",
          "a{label}b{label}c{footprint}d~U1|a|b{label}c|d", "a{LABEL}b{footprint}c~U1|a{LABEL}b||c"}) {
        EXPECT_EQ(flat(SplitComponent("U1", c.substr(0, c.find('~')))), c.substr(c.find('~') + 1));
    }
    EXPECT_EQ(flat(SplitComponent("U1", "a{LABEL}b{Footprint}c", CaseMode::Insensitive)), "U1|a|b|c");
    IniDocument ini = loaded("[ComponentsSection]\nR1=x{label}y{footprint}z\n[Pad1]\n");
    WriteComponents(ini, {});
    EXPECT_EQ(ini.SectionName(1), "ComponentsSection");
    EXPECT_EQ(ini.Value(kComponentsSection, "R1"), "x{label}y{footprint}z");
    std::vector<ComponentData> list = {
        {"U1", "4", "LM358", "DIP8"}, {"", "lost", "", ""}, {"C1", "", "", ""}};
    WriteComponents(ini, list);
    EXPECT_EQ(ini.SectionName(2), "ComponentsSection");
    EXPECT_EQ(keysOf(ini, kComponentsSection), (Names{"U1", "C1"}));
    std::vector<ComponentData> back = ReadComponents(ini);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(flat(back[0]), "U1|4|LM358|DIP8");
}

TEST(ProjectTraces, RoundTripThroughTheDocumentAndOfferToDrawUnlessTheSectionIsEmpty) {
    IniDocument ini = loaded("[TraceSection]\nold=gone\n[Pad1]\n");
    WriteTraces(ini, {"1-1-1-0=255-0-0", "1-2-2-0==1", "1-1-1-0=65535-0-0"}, {"2-7-300-0=65535-0.1-0.1"});
    EXPECT_EQ(keysOf(ini, kTraceSection), (Names{"1-1-1-0", "1-2-2-0", "2-7-300-0"}));
    EXPECT_EQ(ini.Value(kTraceSection, "1-2-2-0"), "=1");
    TraceLists lists = TakeTraces(ini);
    EXPECT_TRUE(lists.offerDrawing);
    EXPECT_EQ(lists.first, (Names{"1-1-1-0=65535-0-0", "1-2-2-0==1"}));
    EXPECT_EQ(lists.second, (Names{"2-7-300-0=65535-0.1-0.1"}));
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
    EXPECT_EQ(TakeTraces(duplicates).second, (Names{"2-1-1-0=a", "2-1-1-0=b"}));
}

TEST(ProjectPictures, EntriesAreTakenByPositionPathsSplitAtEitherSeparatorAndResolvedBesideTheProject) {
    using Pair = std::pair<std::string, std::string>;
    EXPECT_EQ(PictureEntries(loaded("[FilePathSection]\nTop=t.bmp\nBottom=b.bmp\nFirst=x\n")),
              Pair("t.bmp", "b.bmp"));
    EXPECT_EQ(PictureEntries(loaded("[FilePathSection]\nFirst=t.bmp\n")), Pair("t.bmp", ""));
    EXPECT_EQ(PictureEntries(loaded("")), Pair("", ""));
    for (const std::string c :
         {"C:\\boards/top.bmp~C:\\boards/|top.bmp", "C:top.bmp~C:|C:top.bmp", "top.bmp~|top.bmp"}) {
        const std::string path = c.substr(0, c.find('~'));
        EXPECT_EQ(FolderOfPath(path) + "|" + NameOfPath(path), c.substr(c.find('~') + 1));
    }
    EXPECT_EQ(StoredPicturePath("/p/top.bmp", "/p/board.kvp"), "top.bmp");
    EXPECT_EQ(StoredPicturePath("/P/top.bmp", "/p/board.kvp"), "/P/top.bmp");
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

// Faults found by fuzzing: a project opened and saved twice gives the same file and loses nothing.
TEST(ReaderFaults, SecondLoadAndWriteChangesNothing) {
    const struct {
        std::string text, written;
    } cases[] = {
        // The blank before a ";" stays in memory but is not written: reading would drop it.
        {"[S]\r\nname = spaced ;cut\r\n", "[S]\r\nname = spaced\r\n\r\n"},
        // A leading NUL is trimmed like a blank, or "\0[a]=1" would come back as a section.
        {"[S]\r\n\0=nothing\r\n\0[a]=1\r\n"s, "[S]\r\n\r\n[a]\r\n\r\n"},
        {"[S]\r\nx=1\0\r\n"s, "[S]\r\nx=1\r\n\r\n"},
    };
    for (const auto& c : cases) {
        const std::string once = loaded(c.text).ToText();
        EXPECT_EQ(once, c.written);
        EXPECT_EQ(loaded(once).ToText(), once);
    }
    // A name given a leading blank in memory is written without it.
    IniDocument doc;
    doc.SetValue("S", "\0x"s, "1");
    EXPECT_EQ(doc.ToText(), "[S]\r\nx=1\r\n\r\n");
}

TEST(ReaderFaults, RepeatedSectionsAreMergedNotLost) {
    IniDocument doc = loaded(
        "[TraceSection]\r\n1-1-1-0=255-0.1-0.1\r\n[ComponentsSection]\r\nR1=a{label}b{footprint}c\r\n"
        "[TraceSection]\r\n2-2-2-0=255-0.1-0.1\r\n[ComponentsSection]\r\nC1=x\r\n");
    const TraceLists lists = TakeTraces(doc);
    EXPECT_EQ(lists.first, Names{"1-1-1-0=255-0.1-0.1"});
    EXPECT_EQ(lists.second, Names{"2-2-2-0=255-0.1-0.1"}) << "the second section's record";
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
    IniDocument reread = loaded(doc.ToText());
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
    IniDocument reread = loaded(once);
    const TraceLists lists = TakeTraces(reread);
    EXPECT_EQ(lists.first.size() + lists.second.size(), 3u);
    WriteComponents(reread, ReadComponents(reread));
    WriteTraces(reread, lists.first, lists.second);
    EXPECT_EQ(reread.ToText(), once);
}

TEST(ReaderFaults, NamesWithNulsAtTheirEndsJoinTheListsAsWritten) {
    // Opened and saved as the window does it; the file gives "D<NUL><NUL>" back as "D".
    auto openAndSave = [](const std::string& text) {
        IniDocument doc = loaded(text);
        PadBoard board(doc);
        for (const PadRecord& record : ReadPads(doc)) {
            board.loadPad(record);
        }
        EXPECT_EQ(board.compNames.items(), Names{"D"});
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
    IniDocument doc = loaded(
        "[FilePathSection]\r\nX=1e-50\r\nY=1e300\r\nX1=99999999999999999999\r\nY1=-1e300\r\n"
        "[Pad1]\r\n1Pad=99999999999999999999,-99999999999999999999\r\n");
    const MainValues values = ReadMainValues(doc);
    EXPECT_EQ(values.scaleX, 1) << "0 in single precision";
    EXPECT_EQ(values.scaleY, 1) << "infinite in single precision";
    EXPECT_EQ(std::tie(values.x1, values.y1), std::make_tuple(kCoordinateLimit, -kCoordinateLimit));
    const auto pads = ReadPads(doc);
    ASSERT_EQ(pads.size(), 1u);
    EXPECT_EQ(std::tie(pads[0].x1, pads[0].y1), std::make_tuple(kCoordinateLimit, -kCoordinateLimit));
    // A NUL in a pad section's name reads as the blank a save writes for it.
    EXPECT_EQ(UsablePadNumber("Pad\0\0"s + "3"), 3);
}

}  // namespace
}  // namespace korvane
