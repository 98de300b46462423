#pragma once

// The Ui the program runs with: real Qt dialogs, owned by the main window.

#include <QPointer>
#include <QWidget>

#include "platform/Ui.h"

namespace korvane {

class QtUi : public Ui {
  public:
    // Dialogs are owned by this window (the main window) so they stay on top of it.
    void setOwner(QWidget* owner) { owner_ = owner; }
    QWidget* owner() const { return owner_; }

    MsgResult message(const MessageRequest& request) override;
    std::optional<std::string> input(const InputRequest& request) override;
    std::optional<FileDialogResult> openFile(const FileDialogRequest& request) override;
    std::optional<FileDialogResult> saveFile(const FileDialogRequest& request) override;
    void beep() override;
    void setBusy(bool busy) override;
    bool copyImageToClipboard(const ImageView& image) override;
    bool openUrl(const std::string& url) override;
    void processEvents() override;

  private:
    std::optional<FileDialogResult> fileDialog(const FileDialogRequest& request, bool save);

    QPointer<QWidget> owner_;
};

}  // namespace korvane
