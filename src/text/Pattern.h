#pragma once

// Wildcard match used to compare names: "*" any run of characters, "?" one character, "#" one digit,
// "[list]" one character of the list (ranges such as "a-z" allowed), "[!list]" one character not in it.
// Every other character stands for itself. Text is bytes; case folding touches ASCII letters only.

#include <string_view>

namespace korvane {

enum class CaseMode { Insensitive, Exact };

// True when the whole of text matches the whole of pattern. Runs in O(text * pattern) time whatever the
// input, so a hostile pattern cannot hang the program.
bool likeMatch(std::string_view text, std::string_view pattern, CaseMode mode);

}  // namespace korvane
