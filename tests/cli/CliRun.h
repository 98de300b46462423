#pragma once

// The executables run as a user's shell runs them, and the export fixtures their outputs are compared with.

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "help/HelpLinks.h"
#include "support/TempDir.h"

namespace korvane::testing {

struct CliRun {
    int code = -1;
    std::string out, err;
};

inline std::string shellQuoted(const std::string& word) {
    std::string text = "'";
    for (char c : word) {
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return text + "'";
}

// Runs `words` (the program first) after `environment`, catching its output in files of `dir`.
inline CliRun runCommand(const TempDir& dir, const std::vector<std::string>& words,
                         const std::string& environment = "") {
    std::string command = environment;
    for (const auto& word : words) {
        command += " " + shellQuoted(word);
    }
    command += " >" + shellQuoted(dir.file("stdout")) + " 2>" + shellQuoted(dir.file("stderr"));
    const int status = std::system(command.c_str());
    return CliRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFileBytes(dir.file("stdout")),
                  readFileBytes(dir.file("stderr"))};
}

#ifdef KORVANE_CLI
inline CliRun cli(const TempDir& dir, std::vector<std::string> args) {
    args.insert(args.begin(), KORVANE_CLI);
    return runCommand(dir, args);
}
#endif

#ifdef KORVANE_SOURCE_DIR
inline const std::string kFixtures = std::string(KORVANE_SOURCE_DIR) + "/tests/data/export";

// A fixture's bytes, "@VERSION@" in the KiCad net lists replaced so that a new version needs no new ones.
inline std::string fixture(const std::string& name) {
    std::string text = readFileBytes(kFixtures + "/" + name);
    if (const auto at = text.find("@VERSION@"); at != std::string::npos) {
        text.replace(at, 9, VersionText(KORVANE_VERSION_MAJOR, KORVANE_VERSION_MINOR, KORVANE_VERSION_PATCH));
    }
    return text;
}

// A golden file of tests/data/expected: the exact text a test builds from the program.
inline std::string expected(const std::string& name) {
    return readFileBytes(std::string(KORVANE_SOURCE_DIR) + "/tests/data/expected/" + name);
}
#endif

}  // namespace korvane::testing
