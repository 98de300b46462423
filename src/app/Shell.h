#pragma once

// The parts of the main window's start-up and housekeeping that are plain logic: reading the command
// line, the long form of paths, and the window title.

#include <string>
#include <vector>

namespace korvane {

// The shell splits an unquoted path with blanks into several arguments; joining them with single blanks
// gives the path back.
std::string JoinCommandLine(const std::vector<std::string>& arguments);

// Removes one double quote at each end, but only when the text both begins and ends with one.
std::string StripEnclosingQuotes(const std::string& text);

// Position (from 1) of the last character of text equal to sym, ASCII letters compared without regard
// to case; 0 when there is none.
int InStrRev(const std::string& text, char sym);

// The long form of a folder path, ending in a separator: the canonical absolute path where the folder
// exists, otherwise the path as written.
std::string LongPath(const std::string& shortPath);

// The long form of a file path: its canonical absolute path, or empty text when no such file exists.
std::string LongName(const std::string& shortName);

// "Korvane: saved - " or "Korvane: NOT saved - " followed by the project path.
std::string WindowTitle(bool saved, const std::string& projectPath);

}  // namespace korvane
