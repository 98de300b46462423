#pragma once

// The one door through which the program talks to the user and the desktop outside its own windows:
// message boxes, input boxes, file dialogs, the beep, the busy pointer, the clipboard, links and the
// event loop. Logic code sees only this interface, so tests install a scripted implementation that
// records every call and answers from a queue instead of blocking on a real dialog.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace korvane {

// Buttons, icons and answers keep the classic message-box vocabulary the program's texts are written in.
enum class MsgButtons { Ok, OkCancel, YesNoCancel, YesNo, RetryCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgResult { Ok, Cancel, Yes, No, Retry };

struct MessageRequest {
    std::string prompt;
    std::string title;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    int defaultButton = 1;  // 1-based position among the buttons
};

struct InputRequest {
    std::string prompt;
    std::string title;
    std::string defaultText;
};

// One description and its patterns, e.g. {"Pictures", {"*.bmp", "*.gif"}}.
struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;
};

struct FileDialogRequest {
    std::string title;
    std::string initialDir;
    std::string fileName;  // proposed name or full path
    std::vector<FileFilter> filters;
    int filterIndex = 1;  // 1-based
    std::string defaultExt;
    bool fileMustExist = false;
    bool overwritePrompt = false;
};

struct FileDialogResult {
    std::string path;  // full path of the chosen file
    int filterIndex = 1;
};

class PaintGuard;

// A view on 32-bit pixels whose low 24 bits are the packed colour 0x00BBGGRR.
struct ImageView {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;  // pixels per row
    // When set, whatever writes pixels through this view tells it each row span first (BeforeWrite).
    PaintGuard* guard = nullptr;
};

// Keeps what a picture held before it was painted: told of each row span just before the span is
// written, while the view still holds the old pixels. A picture keeps its unpainted original this way
// in proportion to the area painted, not to its size.
class PaintGuard {
  public:
    virtual void beforeWrite(const ImageView& picture, int y, int x0, int length) = 0;

  protected:
    ~PaintGuard() = default;
};

inline void BeforeWrite(const ImageView& picture, int y, int x0, int length) {
    if (picture.guard != nullptr) {
        picture.guard->beforeWrite(picture, y, x0, length);
    }
}

// A rectangle of picture pixels, both corners included; empty when x1 < x0.
struct PixelRect {
    int x0 = 0;
    int y0 = 0;
    int x1 = -1;
    int y1 = -1;
    bool empty() const { return x1 < x0 || y1 < y0; }
    bool operator==(const PixelRect&) const = default;
};

class Ui {
  public:
    virtual ~Ui() = default;

    virtual MsgResult message(const MessageRequest& request) = 0;
    // A notice with only an Ok button: what most of the program's messages are.
    void tell(std::string prompt, std::string title, MsgIcon icon) {
        message(MessageRequest{std::move(prompt), std::move(title), MsgButtons::Ok, icon});
    }
    // nullopt when the user cancelled.
    virtual std::optional<std::string> input(const InputRequest& request) = 0;
    // nullopt when the user cancelled or the dialog failed.
    virtual std::optional<FileDialogResult> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<FileDialogResult> saveFile(const FileDialogRequest& request) = 0;

    virtual void beep() = 0;
    // Nested: every true must be matched by a false. Use BusyPointer rather than calling this directly.
    virtual void setBusy(bool busy) = 0;
    virtual bool copyImageToClipboard(const ImageView& image) = 0;
    virtual bool openUrl(const std::string& url) = 0;
    virtual void processEvents() = 0;
};

// Shows the busy pointer for its lifetime, so that every way out of long work restores the pointer.
class BusyPointer {
  public:
    explicit BusyPointer(Ui& ui) : ui_(ui) { ui_.setBusy(true); }
    ~BusyPointer() { ui_.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

  private:
    Ui& ui_;
};

}  // namespace korvane
