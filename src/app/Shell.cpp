#include "app/Shell.h"

#include <filesystem>
#include <system_error>

#include "text/Ascii.h"

namespace korvane {

std::string JoinCommandLine(const std::vector<std::string>& arguments) {
    std::string joined;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) {
            joined += ' ';
        }
        joined += arguments[i];
    }
    return joined;
}

std::string StripEnclosingQuotes(const std::string& text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

int InStrRev(const std::string& text, char sym) {
    const char wanted = asciiUpper(sym);
    for (std::size_t i = text.size(); i > 0; --i) {
        if (asciiUpper(text[i - 1]) == wanted) {
            return int(i);
        }
    }
    return 0;
}

std::string LongPath(const std::string& shortPath) {
    std::string path = shortPath;
    if (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) {
        path.pop_back();
    }
    std::error_code error;
    const auto canonical = std::filesystem::canonical(std::filesystem::path(path), error);
    if (!error && std::filesystem::is_directory(canonical, error)) {
        std::string result = canonical.string();
        if (result.empty() || result.back() != '/') {
            result += '/';
        }
        return result;
    }
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path;
}

std::string LongName(const std::string& shortName) {
    if (shortName.empty()) {
        return {};
    }
    std::error_code error;
    const auto canonical = std::filesystem::canonical(std::filesystem::path(shortName), error);
    if (error || std::filesystem::is_directory(canonical, error)) {
        return {};
    }
    return canonical.string();
}

std::string WindowTitle(bool saved, const std::string& projectPath) {
    return (saved ? "Korvane: saved - " : "Korvane: NOT saved - ") + projectPath;
}

}  // namespace korvane
