#pragma once

// The program's one remembered setting ("LastPath") lives in the user's settings. A read that finds
// nothing usable (missing, or stored as something other than text) is "no value"; writes never report.

#include <optional>
#include <string>

namespace korvane::Registry {

inline constexpr const char* kKeyPath = "SOFTWARE\\Korvane\\Prop";
inline constexpr const char* kLastPath = "LastPath";

// keyPath is "SOFTWARE\<organisation>\<group>..."; the organisation names the settings file and the
// rest is the group inside it.
std::optional<std::string> GetString(const std::string& keyPath, const std::string& valueName);
void SetString(const std::string& keyPath, const std::string& valueName, const std::string& text);

}  // namespace korvane::Registry
