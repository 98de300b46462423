#pragma once

// korvane-cli check: the connectivity check of a project's pad names against its traced copper, as JSON.

#include <iosfwd>
#include <string>
#include <vector>

namespace korvane::cli {

// args are the words after "check". Returns 0 when the check finds no short and no open, 3 when it
// does, 1 when the project cannot be read (one line on err); traces that cannot be replayed are one line
// each on err and change nothing of that.
int RunCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

extern const char* const kCheckUsage;

// The exit code of a check that found shorts or opens.
inline constexpr int kCheckFoundFaults = 3;

}  // namespace korvane::cli
