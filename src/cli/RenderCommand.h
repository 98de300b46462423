#pragma once

// korvane-cli render: a project's picture with that picture's traces replayed, saved as an image file.

#include <iosfwd>
#include <string>
#include <vector>

namespace korvane::cli {

// args are the words after "render". Returns the process exit code; failures are one line on err,
// traces that cannot be replayed one line each on err without failing the command.
int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

extern const char* const kRenderUsage;

}  // namespace korvane::cli
