#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "storage/IniDocument.h"
#include "text/Ascii.h"

namespace korvane {
namespace {

const std::string kNul(1, '\0');

IniDocument loaded(std::string_view text) {
    IniDocument ini;
    ini.LoadFromText(text);
    return ini;
}

TEST(IniLoad, LinesFollowTheLoadingRules) {
    struct Case {
        const char* what;
        std::string text;
        std::string canonical;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(loaded(c.text).ToText(), c.canonical);
    }
}

TEST(IniLoad, BytesPassThroughAndReplaceEarlierContents) {
    IniDocument ini;
    ini.LoadFromText("[Old]\nx=1\n");
    ini.LoadFromText(std::string("[S]\nk=a\0b\n\xC4=\xE4\n", 14));
    EXPECT_EQ(ini.SectionsCount(), 1);
    EXPECT_EQ(ini.Value("S", "k"), std::string("a\0b", 3));
    // Only ASCII letters fold: a byte above 0x7F is matched exactly.
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
    EXPECT_TRUE(ini.RemoveSection("dup"));
    EXPECT_FALSE(ini.RemoveSection("dup"));
    EXPECT_FALSE(ini.SectionExists("dup"));
}

TEST(IniLookup, MissingThingsGiveTheirNotFoundValues) {
    IniDocument ini = loaded("[S]\nk=v\n[Empty]\n");
    for (int index : {-1, 0, 3}) {
        EXPECT_EQ(ini.SectionName(index), kNul) << index;
    }
    EXPECT_EQ(ini.ValueName("S", 2), kNul);
    EXPECT_EQ(ini.ValueName("none", 1), kNul);
    EXPECT_EQ(ini.ValuesCount("none"), -1);
    EXPECT_EQ(ini.ValuesCount("empty"), 0);
    EXPECT_EQ(ini.Value("S", "none"), "");
    EXPECT_EQ(ini.Value("none", "k"), "");
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

TEST(IniLookup, FindSectionSearchesWithWildcards) {
    IniDocument ini = loaded("[FilePathSection]\n[Pad12]\n[TraceSection]\n");
    EXPECT_EQ(ini.FindSection("trace"), "TraceSection");
    EXPECT_EQ(ini.FindSection("section"), "FilePathSection");
    EXPECT_EQ(ini.FindSection("P?d#"), "Pad12");
    EXPECT_EQ(ini.FindSection("[t]r"), "TraceSection");
    EXPECT_EQ(ini.FindSection("nothing"), "");
}

// Compares every observable part of the document against a plain list model while sections and entries
// are removed in every order; positions and first-match lookups must survive the index's bookkeeping.
TEST(IniLookup, AgreesWithAPlainListUnderRandomEdits) {
    using Entries = std::vector<std::pair<std::string, std::string>>;
    std::vector<std::pair<std::string, Entries>> model;
    const std::vector<std::string> names = {"a", "B", "A", "b", "c", "Pad1", "pad1", "PAD2", "x", "Y"};
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
        switch (pick(6)) {
            case 0:
                ASSERT_EQ(ini.RemoveSection(section), found != model.end());
                if (found != model.end()) {
                    model.erase(found);
                }
                break;
            case 1:
            case 2:
                ASSERT_EQ(ini.RemoveValue(section, key), present);
                if (present) {
                    found->second.erase(entry);
                }
                break;
            case 3:
                ini.SetValue(section, key, std::to_string(step));
                if (found == model.end()) {
                    model.push_back({section, {{key, std::to_string(step)}}});
                } else if (present) {
                    entry->second = std::to_string(step);
                } else {
                    found->second.emplace_back(key, std::to_string(step));
                }
                break;
            case 4:
                if (!model.empty()) {
                    const std::size_t at = pick(model.size());
                    ASSERT_EQ(ini.SectionName(int(at) + 1), model[at].first);
                }
                break;
            default:
                check();
        }
    }
    check();
}

TEST(IniLookup, ARemovedSectionGoesBackToItsPlaceAndIsTheFirstMatchAgain) {
    IniDocument ini;
    std::string text;
    for (int i = 1; i <= 12; ++i) {
        text += "[S" + std::to_string(i) + "]\r\nk=" + std::to_string(i) + "\r\nk=again\r\n";
    }
    ini.LoadFromText(text + "[s3]\r\nk=later\r\n");
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

}  // namespace
}  // namespace korvane
