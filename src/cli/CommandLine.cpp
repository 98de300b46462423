#include "cli/CommandLine.h"

#include <filesystem>
#include <ostream>

#include "storage/IniDocument.h"

namespace korvane::cli {

namespace fs = std::filesystem;

std::string Arguments::value(std::string_view option) const {
    const auto found = values.find(option);
    return found == values.end() ? std::string() : found->second;
}

Arguments ParseArguments(const std::vector<std::string>& args,
                         std::initializer_list<std::string_view> options) {
    Arguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        bool isOption = false;
        for (std::string_view option : options) {
            isOption = isOption || word == option;
        }
        if (word == "--help" || word == "-h") {
            parsed.help = true;
        } else if (isOption) {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                throw Failure(word + " needs a value");
            }
            parsed.values[word] = args[++i];
        } else if (!word.empty() && word.front() == '-') {
            throw Failure("unknown option \"" + word + "\"");
        } else if (parsed.project.empty()) {
            parsed.project = word;
        } else {
            throw Failure("unexpected argument \"" + word + "\"");
        }
    }
    if (!parsed.help && parsed.project.empty()) {
        throw Failure("no project file given");
    }
    return parsed;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ignored;
    if (fs::absolute(a, ignored).lexically_normal() == fs::absolute(b, ignored).lexically_normal()) {
        return true;
    }
    return fs::exists(a, ignored) && fs::exists(b, ignored) && fs::equivalent(a, b, ignored);
}

void ReadProject(IniDocument& doc, const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        throw Failure("project file not found: " + path);
    }
    try {
        doc.SetFileName(path);
    } catch (const IniReadError&) {
        throw Failure("cannot read the project file " + path);
    }
}

int RunReporting(std::string_view command, std::ostream& err, const std::function<int()>& body) {
    try {
        return body();
    } catch (const std::exception& failure) {
        std::string line = failure.what();
        for (char& c : line) {
            if (c == '\r' || c == '\n') {
                c = ' ';
            }
        }
        err << "korvane-cli " << command << ": " << line << "\n";
        return 1;
    }
}

}  // namespace korvane::cli
