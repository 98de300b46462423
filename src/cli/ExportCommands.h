#pragma once

// korvane-cli export and korvane-cli info: the project's net list and schematic as the export dialog
// writes them, and a JSON summary of the project.

#include <iosfwd>
#include <string>
#include <vector>

namespace korvane::cli {

// args are the words after the command. Return the process exit code; a failure is one line on err.
int RunExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunInfoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

extern const char* const kExportUsage;
extern const char* const kInfoUsage;

}  // namespace korvane::cli
