#include "platform/FileDialogState.h"

#include "text/Ascii.h"

namespace korvane {

void FileDialogState::SetFilter(const std::string& filter) {
    std::string stored = filter;
    for (char& c : stored) {
        if (c == '|') {
            c = '\0';
        }
    }
    for (int appended = 0; appended < 2; ++appended) {
        if (stored.size() >= 2 && stored[stored.size() - 1] == '\0' && stored[stored.size() - 2] == '\0') {
            break;
        }
        stored.push_back('\0');
    }
    filter_ = stored;
}

std::string FileDialogState::Filter() const {
    std::string text = filter_;
    for (char& c : text) {
        if (c == '\0') {
            c = '|';
        }
    }
    while (!text.empty() && text.back() == '|') {
        text.pop_back();
    }
    return text;
}

std::vector<FileFilter> FileDialogState::FilterList() const {
    std::vector<std::string> parts;
    std::string current;
    for (char c : filter_) {
        if (c == '\0') {
            parts.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) {
        parts.push_back(current);
    }
    std::vector<FileFilter> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty() && parts[i + 1].empty()) {
            break;  // the terminating pair of NULs
        }
        FileFilter filter;
        filter.description = parts[i];
        std::string pattern;
        for (char c : parts[i + 1] + ";") {
            if (c == ';') {
                std::string trimmed(trimBlanks(pattern));
                if (!trimmed.empty()) {
                    filter.patterns.push_back(trimmed);
                }
                pattern.clear();
            } else {
                pattern.push_back(c);
            }
        }
        filters.push_back(filter);
    }
    return filters;
}

FileChoice FileDialogState::ShowOpen() {
    return show(false);
}

FileChoice FileDialogState::ShowSave() {
    return show(true);
}

FileChoice FileDialogState::show(bool save) {
    FileDialogRequest request;
    request.title = DialogTitle;
    request.initialDir = InitDir;
    request.fileName = FileName;
    request.filters = FilterList();
    request.filterIndex = FilterIndex;
    request.defaultExt = DefaultExt;
    request.fileMustExist = (Flags & OpenSaveFlags::FileMustExist) != 0;
    request.overwritePrompt = (Flags & OpenSaveFlags::OverwritePrompt) != 0;

    auto result = save ? ui_->saveFile(request) : ui_->openFile(request);
    if (!result || result->path.empty()) {
        return FileChoice::Cancelled;
    }
    // The chosen path is taken exactly: blanks at either end are legal in file names here.
    FileName = result->path;
    auto slash = FileName.find_last_of("/\\");
    FileTitle = slash == std::string::npos ? FileName : FileName.substr(slash + 1);
    auto dot = FileTitle.find_last_of('.');
    std::size_t titleStart = FileName.size() - FileTitle.size();
    FileExt = static_cast<std::int16_t>(dot == std::string::npos || dot + 1 >= FileTitle.size()
                                            ? 0
                                            : std::min<std::size_t>(titleStart + dot + 1, 32767));
    DefaultExt = std::string(trimBlanks(DefaultExt));
    InitDir = std::string(trimBlanks(InitDir));
    FilterIndex = static_cast<std::int16_t>(result->filterIndex);
    return FileChoice::Chosen;
}

std::string QtFilterText(const FileFilter& filter) {
    std::string patterns;
    for (const auto& pattern : filter.patterns) {
        if (!patterns.empty()) {
            patterns += ' ';
        }
        patterns += pattern;
    }
    return filter.description + " (" + patterns + ")";
}

}  // namespace korvane
