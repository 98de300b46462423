#pragma once

// A Ui for tests: records every call in order and answers from queues that the test fills beforehand.
// A question, input box or file dialog with nothing queued fails the test at once, naming the call, and
// then answers like a user pressing Cancel or Esc so the test ends instead of hanging on a real window.
// Notices with only an Ok button need no answer.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Ui.h"

namespace korvane::testing {

struct RecordedCall {
    std::string kind;  // "message", "input", "open", "save", "beep", "busy", "clipboard", "url", "events"
    MessageRequest message;
    InputRequest input;
    FileDialogRequest fileDialog;
    std::string url;
};

class ScriptedUi : public Ui {
  public:
    MsgResult message(const MessageRequest& request) override;
    std::optional<std::string> input(const InputRequest& request) override;
    std::optional<FileDialogResult> openFile(const FileDialogRequest& request) override;
    std::optional<FileDialogResult> saveFile(const FileDialogRequest& request) override;
    void beep() override;
    void setBusy(bool busy) override;
    bool copyImageToClipboard(const ImageView& image) override;
    bool openUrl(const std::string& url) override;
    void processEvents() override;

    // Answers, consumed in order. A cancelled dialog is queued explicitly (MsgResult::Cancel, nullopt).
    std::deque<MsgResult> messageAnswers;
    std::deque<std::optional<std::string>> inputAnswers;
    std::deque<std::optional<FileDialogResult>> fileAnswers;  // shared by open and save, in call order
    bool browserStarts = true;                                // what openUrl answers
    // Runs whenever the program hands control to the event loop, as a user acting meanwhile would.
    std::function<void()> duringEvents;

    std::vector<RecordedCall> calls;

    // The messages and file dialogs among the calls. Held, not built on request, so that a reference to one
    // stays valid while the test goes on (a deque does not move what it holds when it grows).
    const std::deque<MessageRequest>& messages() const { return messages_; }
    const std::deque<FileDialogRequest>& fileDialogs() const { return fileDialogs_; }
    int count(const std::string& kind) const;
    int busyDepth() const { return busyDepth_; }
    void clear() {
        calls.clear();
        messages_.clear();
        fileDialogs_.clear();
    }

  private:
    int busyDepth_ = 0;
    std::deque<MessageRequest> messages_;
    std::deque<FileDialogRequest> fileDialogs_;
};

}  // namespace korvane::testing
