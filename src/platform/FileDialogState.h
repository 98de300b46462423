#pragma once

// The program's one file-dialog object. Commands set the properties they need, call ShowOpen or
// ShowSave, and read the results back from the same properties; whatever a command does not set keeps
// the value of the previous use, so the next dialog proposes the file chosen last time. A cancel is an
// ordinary outcome that the caller checks, never an error.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Ui.h"

namespace korvane {

// Option bits of the dialogs, with the values stored projects and callers have always used.
// What the user did with a dialog.
enum class FileChoice { Chosen, Cancelled };

namespace OpenSaveFlags {
constexpr std::int32_t OverwritePrompt = 0x2;
constexpr std::int32_t HideReadOnly = 0x4;
constexpr std::int32_t FileMustExist = 0x1000;
constexpr std::int32_t Explorer = 0x80000;
constexpr std::int32_t LongNames = 0x200000;
}  // namespace OpenSaveFlags

class FileDialogState {
  public:
    explicit FileDialogState(Ui& ui) : ui_(&ui) {}

    std::int32_t hwnd = 0;
    std::string DialogTitle;
    std::int16_t FilterIndex = 1;
    std::int32_t Flags = 0;
    // Where the dialog opens; empty means the desktop's usual folder (there is no drive "C:\" here).
    std::string InitDir;
    std::string FileName;
    std::string FileTitle;
    std::string DefaultExt;
    std::int16_t FileExt = 0;
    // Kept for callers that set it; paths on this platform are not cut to it.
    std::int16_t MaxFileSize = 260;

    // "desc|pattern|desc|pattern": stored NUL-separated and ending in two NULs, read back with "|".
    void SetFilter(const std::string& filter);
    std::string Filter() const;
    const std::string& RawFilter() const { return filter_; }

    // A cancel leaves every property as it was: a caller that preset FileName still reads its preset, so
    // only the outcome tells a cancel from a confirmed preset name.
    [[nodiscard]] FileChoice ShowOpen();
    [[nodiscard]] FileChoice ShowSave();

    // The filter as description and pattern list pairs, in order.
    std::vector<FileFilter> FilterList() const;

  private:
    FileChoice show(bool save);

    Ui* ui_;
    std::string filter_ = std::string("All Files (*.*)") + '\0' + "*.*" + '\0' + '\0';
};

// Qt's form of one filter entry: "desc|*.a;*.b" becomes "desc (*.a *.b)".
std::string QtFilterText(const FileFilter& filter);

}  // namespace korvane
