#pragma once

// korvane-cli align: the affine mapping between a project's two layers, fitted from its stored point
// pairs or found from the drill holes, printed as JSON and stored on request.

#include <iosfwd>
#include <string>
#include <vector>

namespace korvane::cli {

// args are the words after "align". Returns the process exit code; a failure is one line on err.
int RunAlign(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

extern const char* const kAlignUsage;

}  // namespace korvane::cli
