#pragma once

// The dialogs of a window driven by a benchmark: the Open dialog answers with the project, every other
// question as a user pressing No, and Ok-only notices with Ok.

#include <optional>
#include <string>

#include "platform/Ui.h"

namespace korvane {

class BenchUi : public Ui {
  public:
    MsgResult message(const MessageRequest& request) override {
        return request.buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::No;
    }
    std::optional<std::string> input(const InputRequest&) override { return std::nullopt; }
    std::optional<FileDialogResult> openFile(const FileDialogRequest&) override {
        return FileDialogResult{project, 1};
    }
    std::optional<FileDialogResult> saveFile(const FileDialogRequest&) override { return std::nullopt; }
    void beep() override {}
    void setBusy(bool) override {}
    bool copyImageToClipboard(const ImageView&) override { return false; }
    bool openUrl(const std::string&) override { return false; }
    void processEvents() override {}

    std::string project;
};

}  // namespace korvane
