#pragma once

// Byte-wise helpers for the program's 8-bit text. Only ASCII letters are folded, always on unsigned
// bytes, so names in any code page pass through unchanged.

#include <string>
#include <string_view>

namespace korvane {

char asciiUpper(char c);
std::string asciiUpper(std::string_view text);
bool equalsIgnoreCase(std::string_view a, std::string_view b);

// Blanks only (not tabs), as the project file has always trimmed.
std::string_view trimBlanks(std::string_view text);

// Text for display: the bytes themselves when they are valid UTF-8, otherwise read as Windows-1252
// (files written by older Windows tools) and converted to UTF-8.
std::string displayUtf8(std::string_view bytes);
bool isValidUtf8(std::string_view bytes);

// The bytes as a quoted JSON string of their display text (above), with quotes, backslashes and control
// characters escaped.
std::string jsonString(std::string_view bytes);

}  // namespace korvane
