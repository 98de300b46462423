#pragma once

// The options every command-line program answers without doing its work: --help and --version print a
// text and end the program with exit code 0.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// "NAME MAJOR.MINOR.PATCH\n".
std::string VersionText(std::string_view programName);

// The text to print when the only argument is "--help" or "-h" (usage) or "--version"; nothing for any
// other command line, which the program then runs as usual.
std::optional<std::string> StandardOptionReply(const std::vector<std::string>& args,
                                               std::string_view programName, std::string_view usage);

}  // namespace korvane
