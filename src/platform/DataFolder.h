#pragma once

// Where the program's libraries (Lib/) and help pages (help/) live. A build folder keeps them next to the
// executables; an installed tree keeps the executables in bin/ and the data in ../share/korvane/.

#include <string>

namespace korvane {

// The folder that holds Lib/ and help/ for executables in programDir: programDir itself when either
// folder is there, otherwise programDir/../share/korvane when that exists, otherwise programDir (so
// messages about a missing library name the folder the program was started from).
std::string DataFolder(const std::string& programDir);

}  // namespace korvane
