#pragma once

// What every korvane-cli command shares: reading its words, naming files, opening the project without
// ever writing it back, and reporting a failure as one line with exit code 1.

#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {
class IniDocument;
}

namespace korvane::cli {

class Failure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Arguments {
    bool help = false;
    std::string project;
    // Option name (with its dashes) to value; an option not given is absent.
    std::map<std::string, std::string, std::less<>> values;

    // Empty when the option was not given.
    std::string value(std::string_view option) const;
};

// The words after a command: "--help" or "-h", one project file, and the given options, each followed by
// a non-empty value. Anything else, or no project file without "--help", is a Failure.
Arguments ParseArguments(const std::vector<std::string>& args,
                         std::initializer_list<std::string_view> options);

// Two names of one file: equal after normalising, or the same existing file.
bool SameFile(const std::string& a, const std::string& b);

// Loads the project document; the commands only ever read it.
void ReadProject(IniDocument& doc, const std::string& path);

// Runs a command's body; a failure becomes "korvane-cli COMMAND: reason" on one line of err and exit
// code 1 (names from the project may hold line breaks, which would break the line).
int RunReporting(std::string_view command, std::ostream& err, const std::function<int()>& body);

}  // namespace korvane::cli
