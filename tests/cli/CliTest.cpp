// korvane-cli export and info and both executables' standard options, run as a user runs them.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>

#include "cli/CliRun.h"
#include "text/Ascii.h"

namespace korvane::testing {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

const std::string kLibDir = kFixtures + "/Lib";

TEST(ExportCli, WritesTheRequestedFilesAndLeavesTheProjectAlone) {
    TempDir dir;
    const std::string project = dir.file("two-parts.kvp");
    fs::copy_file(kFixtures + "/two-parts.kvp", project);
    const std::string before = readFileBytes(project);
    const std::map<std::string, std::string> expected = {{"netlist", fixture("two-parts.net")},
                                                         {"kicad-netlist", fixture("two-parts.kicad.net")},
                                                         {"schematic", fixture("two-parts.sch")}};
    // Each flag is followed by its output file, named after the flag. Only --schematic needs a library.
    const std::vector<Names> cases = {{"netlist", "schematic"},
                                      {"netlist"},
                                      {"kicad-netlist"},
                                      {"kicad-netlist", "netlist", "schematic"},
                                      {"kicad-netlist", "schematic"}};
    for (std::size_t round = 0; round < std::size(cases); ++round) {
        const Names& flags = cases[round];
        const std::string folder = dir.file(std::to_string(round));
        fs::create_directory(folder);
        Names args = {"export", project, "--lib-dir",
                      std::ranges::count(flags, "schematic") ? kLibDir : folder};
        for (const std::string& flag : flags) {
            args.insert(args.end(), {"--" + flag, folder + "/" + flag});
        }
        const CliRun run = cli(dir, args);
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.err, "");
        for (const auto& [flag, bytes] : expected) {
            const std::string path = folder + "/" + flag;
            EXPECT_EQ(fs::exists(path) ? readFileBytes(path) : "none",
                      std::ranges::count(flags, flag) ? bytes : "none")
                << round << " " << flag;
        }
    }
    EXPECT_EQ(readFileBytes(project), before);
}

TEST(ExportCli, FailuresAreOneLineAndKeepWhatWasCompleted) {
    TempDir dir;
    auto at = [&dir](const char* name) { return dir.file(name); };
    const std::string project = at("two-parts.kvp");
    fs::copy_file(kFixtures + "/two-parts.kvp", project);
    const std::string before = readFileBytes(project);
    // R1 without a symbol: the net list is complete, the schematic refused with R1 named.
    std::string text = before;
    writeFileBytes(at("nosymbol.kvp"), text.replace(text.find("R1=0{"), 5, "R1={"));
    const struct {
        Names args;
        const char* netList = nullptr;  // the net list that must exist afterwards
    } cases[] = {
        {{"export", project, "--netlist", at("x/a.net")}},
        {{"export", project, "--netlist", at("b.net"), "--schematic", at("y/b.sch"), "--lib-dir", kLibDir},
         "b.net"},
        {{"export", project, "--netlist", at("c.net"), "--schematic", at("c.sch"), "--lib-dir", at("nolib")},
         "c.net"},
        {{"export", at("nosymbol.kvp"), "--netlist", at("n.net"), "--schematic", at("n.sch"), "--lib-dir",
          kLibDir},
         "n.net"},
        {{"export", project, "--netlist", project}},
        {{"export", project, "--netlist", at("d.net"), "--schematic", at("d.net")}},
        {{"export", at("missing.kvp"), "--netlist", at("e.net")}},
        {{"export", project}},
        {{"export", project, "--netlist"}},
        {{"export", project, "--netlist", at("f.net"), "--bogus"}},
        {{"export", project, "--netlist", at("g.net"), "--kicad-netlist", at("z/g.net")}, "g.net"},
        {{"export", project, "--netlist", at("h.net"), "--kicad-netlist", at("h.net")}},
        {{"export", project, "--kicad-netlist", at("i.net"), "--schematic", at("i.net")}},
        {{"export", project, "--kicad-netlist", project}},
        {{"export", project, "--schematic", at("j.sch"), "--lib-dir", kLibDir}},
        {{"info"}},
        {{"info", at("missing.kvp")}},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(dir, c.args);
        EXPECT_EQ(run.code, 1) << c.args.back();
        EXPECT_TRUE(!run.err.empty() && run.err.find('\n') == run.err.size() - 1) << run.err;
        EXPECT_EQ(run.out, "");
        if (c.netList != nullptr) {
            EXPECT_EQ(readFileBytes(at(c.netList)), fixture("two-parts.net"));
        }
        if (c.args.size() > 1 && c.args[1] == at("nosymbol.kvp")) {
            EXPECT_NE(run.err.find("R1"), std::string::npos) << run.err;
        }
    }
    for (const char* name : {"c.sch", "n.sch", "d.net", "h.net", "i.net", "j.sch"}) {
        EXPECT_FALSE(fs::exists(at(name))) << name;
    }
    EXPECT_EQ(readFileBytes(project), before);
    for (const std::string command : {"export", "info", "render"}) {
        const CliRun run = cli(dir, {command, "--help"});
        EXPECT_EQ(run.code, 0);
        EXPECT_EQ(run.out.rfind("usage: korvane-cli " + command, 0), 0u) << run.out;
    }
}

// Names escaped, other bytes read as Windows-1252, no pad from [PadList]; components without data or with
// unreadable data listed in the net list's order, one that names no pad left out.
TEST(InfoCli, PrintsTheProjectAsJson) {
    TempDir dir;
    for (const std::string name : {"two-parts", "info-escapes", "info-components"}) {
        const CliRun run = cli(dir, {"info", kFixtures + "/" + name + ".kvp"});
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.out, expected("cli/" + name + ".json"));
    }
}

// The quoted texts that follow `key` in the output, in order.
Names fieldsNamed(const std::string& text, const std::string& key) {
    Names found;
    const std::regex field("\"" + key + "\": \"((?:[^\"\\\\]|\\\\.)*)\"");
    for (std::sregex_iterator it(text.begin(), text.end(), field), end; it != end; ++it) {
        found.push_back((*it)[1]);
    }
    return found;
}

TEST(InfoCli, ListsEveryComponentOfThePadsInTheExportsOrder) {
    TempDir dir;
    // Every project we ship or test with: each component named on a pad is listed.
    Names projects;
    for (const char* folder : {"/examples", "/tests/data"}) {
        for (const auto& entry : fs::recursive_directory_iterator(std::string(KORVANE_SOURCE_DIR) + folder)) {
            if (entry.path().extension() == ".kvp") {
                projects.push_back(entry.path().string());
            }
        }
    }
    for (const std::string& project : projects) {
        const CliRun info = cli(dir, {"info", project});
        ASSERT_EQ(info.code, 0) << project << ": " << info.err;
        const Names designators = fieldsNamed(info.out, "designator");
        for (const std::string& comp : fieldsNamed(info.out, "comp")) {
            const std::string name(trimBlanks(comp));
            EXPECT_TRUE(name.empty() || std::count(designators.begin(), designators.end(), name) > 0)
                << project << ": " << name;
        }
    }
}

// No display, and a platform plug-in that needs one: an executable that made its application object fails.
const char* const kNoDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb";

TEST(ProgramOptions, BothExecutablesAnswerHelpAndVersionAndTheInstalledCliExportsWithoutADisplay) {
    TempDir dir;
    for (const std::string program : {KORVANE_GUI, KORVANE_CLI}) {
        const std::string name = fs::path(program).filename().string();
        CliRun run = runCommand(dir, {program, "--version"}, kNoDisplay);
        EXPECT_EQ(run.code, 0) << name << ": " << run.err;
        EXPECT_EQ(run.out,
                  name + " " +
                      VersionText(KORVANE_VERSION_MAJOR, KORVANE_VERSION_MINOR, KORVANE_VERSION_PATCH) +
                      "\n");
        run = runCommand(dir, {program, "--help"}, kNoDisplay);
        EXPECT_EQ(run.code, 0) << name << ": " << run.err;
        EXPECT_TRUE(run.out.starts_with("usage: " + name + " ")) << run.out;
        EXPECT_EQ(run.err, "");
    }
    // Installed, korvane-cli finds its libraries in share.
    fs::create_directories(dir.path() / "usr/bin");
    fs::create_directories(dir.path() / "usr/share/korvane");
    fs::copy_file(KORVANE_CLI, dir.file("usr/bin/korvane-cli"));
    fs::copy(kLibDir, dir.path() / "usr/share/korvane/Lib", fs::copy_options::recursive);
    const CliRun run = runCommand(dir,
                                  {dir.file("usr/bin/korvane-cli"), "export", kFixtures + "/two-parts.kvp",
                                   "--netlist", dir.file("out.net"), "--schematic", dir.file("out.sch")},
                                  kNoDisplay);
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(readFileBytes(dir.file("out.sch")), fixture("two-parts.sch"));
}

}  // namespace
}  // namespace korvane::testing
