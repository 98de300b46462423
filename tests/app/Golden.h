#pragma once

// Long expected texts live in files under tests/data/expected: the file is the assertion.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>

#include "support/TempDir.h"

namespace korvane::testing {

inline std::string expectedText(const std::string& name) {
    return readFileBytes(std::string(KORVANE_SOURCE_DIR) + "/tests/data/expected/" + name);
}

// With KORVANE_WRITE_EXPECTED set the file is written from what the program did, to be reviewed.
inline void expectText(const std::string& actual, const std::string& name) {
    if (std::getenv("KORVANE_WRITE_EXPECTED") != nullptr) {
        writeFileBytes(std::string(KORVANE_SOURCE_DIR) + "/tests/data/expected/" + name, actual);
    }
    EXPECT_EQ(actual, expectedText(name));
}

// A table file of lines "inputs -> outputs # case": `run` reads the inputs and tells the outputs, and the
// table rebuilt from them must be the file.
inline void checkTable(const std::string& name, const std::function<std::string(std::istream&)>& run) {
    const std::string file = expectedText(name);
    std::istringstream lines(file);
    std::string rebuilt, line;
    while (std::getline(lines, line)) {
        const std::string inputs = line.substr(0, line.find(" -> "));
        std::istringstream in(inputs);
        rebuilt += inputs + " -> " + run(in) + line.substr(line.find(" # ")) + "\n";
    }
    EXPECT_EQ(rebuilt, file);
}

}  // namespace korvane::testing
