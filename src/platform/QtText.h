#pragma once

// Where the program's byte strings meet QString. Names in files are bytes of whatever code page wrote
// them; they are shown as UTF-8 when they are valid UTF-8 and as Windows-1252 otherwise.

#include <QString>
#include <string>

#include "text/Ascii.h"

namespace korvane {

inline QString toQ(const std::string& bytes) {
    return QString::fromUtf8(displayUtf8(bytes));
}

inline std::string fromQ(const QString& text) {
    return text.toUtf8().toStdString();
}

// Paths are the local file system's bytes (UTF-8 here), so they never go through the code-page guess.
inline QString pathToQ(const std::string& path) {
    return QString::fromUtf8(path.data(), qsizetype(path.size()));
}

inline std::string pathFromQ(const QString& path) {
    return path.toUtf8().toStdString();
}

}  // namespace korvane
