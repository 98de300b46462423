// korvane-cli export and info, run as a user runs them: exit codes, standard error, and the files written
// compared byte for byte with the fixtures. The export dialog's files are compared with korvane-cli's in
// the dialog's own tests.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>

#include "help/HelpLinks.h"
#include "support/TempDir.h"
#include "text/Ascii.h"

namespace korvane {
namespace {

using testing::readFileBytes;
using testing::TempDir;
using testing::writeFileBytes;

const std::string kFixtures = std::string(KORVANE_SOURCE_DIR) + "/tests/data/export";
const std::string kLibDir = kFixtures + "/Lib";

struct CliRun {
    int code = -1;
    std::string out, err;
};

std::string quoted(const std::string& word) {
    std::string text = "'";
    for (char c : word) {
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return text + "'";
}

CliRun cli(const TempDir& dir, const std::vector<std::string>& args) {
    std::string command = quoted(KORVANE_CLI);
    for (const auto& arg : args) {
        command += " " + quoted(arg);
    }
    command += " >" + quoted(dir.file("stdout")) + " 2>" + quoted(dir.file("stderr"));
    const int status = std::system(command.c_str());
    CliRun run;
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readFileBytes(dir.file("stdout"));
    run.err = readFileBytes(dir.file("stderr"));
    return run;
}

// A KiCad fixture names the program's version as "@VERSION@".
std::string kiCadFixture(const std::string& name) {
    std::string text = readFileBytes(kFixtures + "/" + name);
    text.replace(text.find("@VERSION@"), 9,
                 VersionText(KORVANE_VERSION_MAJOR, KORVANE_VERSION_MINOR, KORVANE_VERSION_PATCH));
    return text;
}

bool oneLine(const std::string& text) {
    return !text.empty() && text.find('\n') == text.size() - 1;
}

TEST(ExportCli, WritesTheFixtureFilesAndLeavesTheProjectAlone) {
    TempDir dir;
    const std::string project = dir.file("two-parts.kvp");
    std::filesystem::copy_file(kFixtures + "/two-parts.kvp", project);
    const std::string before = readFileBytes(project);

    CliRun run = cli(dir, {"export", project, "--netlist", dir.file("out.net"), "--schematic",
                           dir.file("out.sch"), "--lib-dir", kLibDir});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readFileBytes(dir.file("out.net")), readFileBytes(kFixtures + "/two-parts.net"));
    EXPECT_EQ(readFileBytes(dir.file("out.sch")), readFileBytes(kFixtures + "/two-parts.sch"));
    EXPECT_EQ(readFileBytes(project), before);

    // Without --schematic only the net list is written, and no library is needed.
    run = cli(dir, {"export", project, "--netlist", dir.file("only.net"), "--lib-dir", dir.file("none")});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(readFileBytes(dir.file("only.net")), readFileBytes(kFixtures + "/two-parts.net"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("only.sch")));
}

TEST(ExportCli, KiCadNetListAloneOrBesideTheOthers) {
    TempDir dir;
    const std::string project = dir.file("two-parts.kvp");
    std::filesystem::copy_file(kFixtures + "/two-parts.kvp", project);
    const struct {
        std::vector<std::string> flags;  // each followed by its output file, named after the flag
    } cases[] = {
        {{"--kicad-netlist"}},
        {{"--netlist", "--kicad-netlist"}},
        {{"--kicad-netlist", "--netlist", "--schematic"}},
        {{"--kicad-netlist", "--schematic"}},
    };
    const std::map<std::string, std::string> expected = {
        {"--netlist", readFileBytes(kFixtures + "/two-parts.net")},
        {"--kicad-netlist", kiCadFixture("two-parts.kicad.net")},
        {"--schematic", readFileBytes(kFixtures + "/two-parts.sch")},
    };
    int round = 0;
    for (const auto& c : cases) {
        const std::string folder = dir.file(std::to_string(++round));
        std::filesystem::create_directory(folder);
        std::vector<std::string> args = {"export", project, "--lib-dir", kLibDir};
        for (const std::string& flag : c.flags) {
            args.insert(args.end(), {flag, folder + "/" + flag.substr(2)});
        }
        const CliRun run = cli(dir, args);
        EXPECT_EQ(run.code, 0) << run.err;
        for (const auto& [flag, bytes] : expected) {
            const std::string path = folder + "/" + flag.substr(2);
            if (std::find(c.flags.begin(), c.flags.end(), flag) != c.flags.end()) {
                EXPECT_EQ(readFileBytes(path), bytes) << round << " " << flag;
            } else {
                EXPECT_FALSE(std::filesystem::exists(path)) << round << " " << flag;
            }
        }
    }
    // Awkward names: quotes, blanks, wildcard characters, backslashes and bytes beyond ASCII.
    const CliRun run = cli(dir, {"export", kFixtures + "/awkward.kvp", "--kicad-netlist", dir.file("a.net")});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(readFileBytes(dir.file("a.net")), kiCadFixture("awkward.kicad.net"));
}

TEST(ExportCli, WritesTheProjectAsOpeningSettlesIt) {
    TempDir dir;
    // Hand-made details that opening settles: a lower-case section, a second spelling of a net, sections
    // that make no pad, a net name with wildcard characters, a component value with misplaced markers.
    const std::string project = dir.file("p.kvp");
    writeFileBytes(project,
                   "[FilePathSection]\r\nFirst=a.bmp\r\nSecond=b.bmp\r\n"
                   "[pad2]\r\nPadName=1\r\nNetName=CS#\r\nCompName=U1\r\n1Pad=5,5\r\n2Pad=6,6\r\n"
                   "[Pad7]\r\nPadName=2\r\nNetName=gnd\r\nCompName=U1\r\n"
                   "[Pad0]\r\nPadName=3\r\nNetName=GND\r\nCompName=U1\r\n"
                   "[Pad3]\r\nPadName=1\r\nNetName=GND\r\nCompName=R1\r\n"
                   "[Pad4]\r\nPadName=2\r\nNetName=CS1\r\nCompName=R1\r\n"
                   "[ComponentsSection]\r\nU1=1{label}74HC00{footprint}DIP14\r\n"
                   "R1=0{footprint}AXIAL0.4{label}1k\r\n");
    CliRun run = cli(dir, {"export", project, "--netlist", dir.file("cli.net"), "--schematic",
                           dir.file("cli.sch"), "--lib-dir", kLibDir});
    // R1's value is unreadable, so it has no symbol: the net list is written, the schematic is not.
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(oneLine(run.err)) << run.err;
    EXPECT_NE(run.err.find("R1"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("cli.sch")));

    EXPECT_EQ(readFileBytes(dir.file("cli.net")),
              "[\r\nR1\r\n\r\n\r\n\r\n\r\n\r\n]\r\n"
              "[\r\nU1\r\nDIP14\r\n74HC00\r\n\r\n\r\n\r\n]\r\n"
              "(\r\nCS1\r\nR1-2\r\n)\r\n"
              "(\r\ngnd\r\nU1-2\r\nR1-1\r\n)\r\n"
              "(\r\nCS#\r\nU1-1\r\n)\r\n");
}

TEST(ExportCli, FailuresAreOneLineAndKeepWhatWasCompleted) {
    TempDir dir;
    const std::string project = dir.file("two-parts.kvp");
    std::filesystem::copy_file(kFixtures + "/two-parts.kvp", project);
    const std::string before = readFileBytes(project);

    const struct {
        std::vector<std::string> args;
        std::string netList;  // the net list that must exist afterwards, if any
    } cases[] = {
        {{"export", project, "--netlist", dir.file("x/a.net")}, ""},
        {{"export", project, "--netlist", dir.file("b.net"), "--schematic", dir.file("y/b.sch"), "--lib-dir",
          kLibDir},
         dir.file("b.net")},
        {{"export", project, "--netlist", dir.file("c.net"), "--schematic", dir.file("c.sch"), "--lib-dir",
          dir.file("nolib")},
         dir.file("c.net")},
        {{"export", project, "--netlist", project}, ""},
        {{"export", project, "--netlist", dir.file("d.net"), "--schematic", dir.file("d.net")}, ""},
        {{"export", dir.file("missing.kvp"), "--netlist", dir.file("e.net")}, ""},
        {{"export", project}, ""},
        {{"export", project, "--netlist"}, ""},
        {{"export", project, "--netlist", dir.file("f.net"), "--bogus"}, ""},
        // The KiCad net list: where it cannot be written, and outputs that would overwrite each other.
        {{"export", project, "--netlist", dir.file("g.net"), "--kicad-netlist", dir.file("z/g.net")},
         dir.file("g.net")},
        {{"export", project, "--netlist", dir.file("h.net"), "--kicad-netlist", dir.file("h.net")}, ""},
        {{"export", project, "--kicad-netlist", dir.file("i.net"), "--schematic", dir.file("i.net")}, ""},
        {{"export", project, "--kicad-netlist", project}, ""},
        {{"export", project, "--schematic", dir.file("j.sch"), "--lib-dir", kLibDir}, ""},
        {{"info"}, ""},
        {{"info", dir.file("missing.kvp")}, ""},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(dir, c.args);
        EXPECT_EQ(run.code, 1) << c.args.back();
        EXPECT_TRUE(oneLine(run.err)) << run.err;
        EXPECT_EQ(run.out, "");
        if (!c.netList.empty()) {
            EXPECT_EQ(readFileBytes(c.netList), readFileBytes(kFixtures + "/two-parts.net"));
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("c.sch")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("d.net")));
    for (const char* name : {"h.net", "i.net", "j.sch"}) {
        EXPECT_FALSE(std::filesystem::exists(dir.file(name))) << name;
    }
    EXPECT_EQ(readFileBytes(project), before);

    for (const char* command : {"export", "info"}) {
        const CliRun run = cli(dir, {command, "--help"});
        EXPECT_EQ(run.code, 0);
        EXPECT_EQ(run.out.rfind("usage: korvane-cli ", 0), 0u) << run.out;
    }
}

TEST(InfoCli, PrintsTheProjectAsJson) {
    TempDir dir;
    const CliRun run = cli(dir, {"info", kFixtures + "/two-parts.kvp"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out,
              "{\n"
              "  \"pictures\": [\"top.bmp\", \"bottom.bmp\"],\n"
              "  \"scale\": {\"x\": 1, \"y\": 1},\n"
              "  \"cursors\": {\"x1\": 10, \"y1\": 20, \"x2\": 30, \"y2\": 40},\n"
              "  \"pads\": [\n"
              "    {\"number\": 1, \"pad\": \"1\", \"net\": \"VCC\", \"comp\": \"R1\", \"pos1\": [100, 50], "
              "\"pos2\": [101, 52]},\n"
              "    {\"number\": 2, \"pad\": \"2\", \"net\": \"OUT\", \"comp\": \"R1\", \"pos1\": [140, 50], "
              "\"pos2\": [141, 52]},\n"
              "    {\"number\": 3, \"pad\": \"1\", \"net\": \"OUT\", \"comp\": \"C1\", \"pos1\": [100, 90], "
              "\"pos2\": [101, 92]},\n"
              "    {\"number\": 4, \"pad\": \"2\", \"net\": \"GND\", \"comp\": \"C1\", \"pos1\": [140, 90], "
              "\"pos2\": [141, 92]}\n"
              "  ],\n"
              "  \"components\": [\n"
              "    {\"designator\": \"C1\", \"libref\": \"1\", \"parttype\": \"100n\", \"footprint\": "
              "\"RAD0.1\"},\n"
              "    {\"designator\": \"R1\", \"libref\": \"0\", \"parttype\": \"10k\", \"footprint\": "
              "\"AXIAL0.4\"}\n"
              "  ],\n"
              "  \"traces\": [\n"
              "    \"1-100-50-0=255-0-10\"\n"
              "  ],\n"
              "  \"orientation\": [\"\", \"\"]\n"
              "}\n");
}

TEST(InfoCli, EscapesNamesAndReadsOtherBytesAsWindows1252) {
    TempDir dir;
    const std::string project = dir.file("p.kvp");
    writeFileBytes(project,
                   "[FilePathSection]\r\nFirst=C:\\boards\\top.bmp\r\nSecond=b\xe9.bmp\r\nX=0\r\nX1=2.5\r\n"
                   "[pad05]\r\nPadName=a\"b\r\nNetName=t\tab\x01\r\nCompName=\xc3\xa9\r\n1Pad=7\r\n"
                   "[PadList]\r\nPadName=never\r\n"
                   "[TraceSection]\r\n2-1-1-0=255-0-10\r\n1-5-5-0=255-0-10\r\n");
    const CliRun run = cli(dir, {"info", project});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("\"pictures\": [\"C:\\\\boards\\\\top.bmp\", \"b\xc3\xa9.bmp\"]"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\"scale\": {\"x\": 1, \"y\": 1}"), std::string::npos);
    EXPECT_NE(run.out.find("\"x1\": 2.5"), std::string::npos);
    EXPECT_NE(run.out.find(
                  "{\"number\": 5, \"pad\": \"a\\\"b\", \"net\": \"t\\tab\\u0001\", \"comp\": \"\xc3\xa9\", "
                  "\"pos1\": [7, 7], \"pos2\": [0, 0]}\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("never"), std::string::npos);
    EXPECT_NE(run.out.find("\"1-5-5-0=255-0-10\",\n    \"2-1-1-0=255-0-10\""), std::string::npos);
}

// The quoted texts that follow `key` in the output, in order.
std::vector<std::string> fieldsNamed(const std::string& text, const std::string& key) {
    std::vector<std::string> found;
    const std::regex field("\"" + key + "\": \"((?:[^\"\\\\]|\\\\.)*)\"");
    for (std::sregex_iterator it(text.begin(), text.end(), field), end; it != end; ++it) {
        found.push_back((*it)[1]);
    }
    return found;
}

TEST(InfoCli, ListsEveryComponentOfThePadsInTheExportsOrder) {
    TempDir dir;
    // Q7 has no data and D1's is unreadable; the net list lists both.
    const std::string made = dir.file("made.kvp");
    writeFileBytes(
        made,
        "[FilePathSection]\r\nFirst=a.bmp\r\nSecond=b.bmp\r\nTransform1=R1\r\n"
        "[Pad1]\r\nPadName=1\r\nNetName=A\r\nCompName=U1\r\n[Pad2]\r\nPadName=1\r\nNetName=A\r\n"
        "CompName=Q7\r\n[Pad3]\r\nPadName=2\r\nNetName=B\r\nCompName=D1\r\n[Pad4]\r\nPadName=2\r\n"
        "NetName=B\r\nCompName=U1\r\n"
        "[ComponentsSection]\r\nU1=1{label}74HC00{footprint}DIP14\r\nD1=no markers\r\nR9=0{label}1k"
        "{footprint}AXIAL0.4\r\n");
    const CliRun run = cli(dir, {"info", made});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find(
                  "    {\"designator\": \"Q7\", \"libref\": \"\", \"parttype\": \"\", \"footprint\": \"\"}"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("  \"orientation\": [\"R1\", \"\"]\n}\n"), std::string::npos) << run.out;
    ASSERT_EQ(cli(dir, {"export", made, "--netlist", dir.file("made.net")}).code, 0);
    std::vector<std::string> exported;
    const std::string netList = readFileBytes(dir.file("made.net"));
    const std::regex block("\\[\r\n([^\r]*)\r\n");
    for (std::sregex_iterator it(netList.begin(), netList.end(), block), end; it != end; ++it) {
        exported.push_back((*it)[1]);
    }
    EXPECT_EQ(fieldsNamed(run.out, "designator"), exported);
    EXPECT_EQ(exported, (std::vector<std::string>{"D1", "Q7", "U1"}));

    // Every project we ship or test with: each component named on a pad is listed.
    std::vector<std::string> projects = {made};
    for (const char* folder : {"/examples", "/tests/data"}) {
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(std::string(KORVANE_SOURCE_DIR) + folder)) {
            if (entry.path().extension() == ".kvp") {
                projects.push_back(entry.path().string());
            }
        }
    }
    for (const std::string& project : projects) {
        const CliRun info = cli(dir, {"info", project});
        ASSERT_EQ(info.code, 0) << project << ": " << info.err;
        const std::vector<std::string> designators = fieldsNamed(info.out, "designator");
        for (const std::string& comp : fieldsNamed(info.out, "comp")) {
            const std::string name = std::string(trimBlanks(comp));
            if (!name.empty()) {
                EXPECT_NE(std::find(designators.begin(), designators.end(), name), designators.end())
                    << project << ": " << name;
            }
        }
    }
}

}  // namespace
}  // namespace korvane
