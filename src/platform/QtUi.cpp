#include "platform/QtUi.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "platform/FileDialogState.h"
#include "platform/QtText.h"

namespace korvane {

namespace {

struct ButtonSpec {
    QMessageBox::StandardButton button;
    MsgResult result;
};

std::vector<ButtonSpec> buttonsOf(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok:
            return {{QMessageBox::Ok, MsgResult::Ok}};
        case MsgButtons::OkCancel:
            return {{QMessageBox::Ok, MsgResult::Ok}, {QMessageBox::Cancel, MsgResult::Cancel}};
        case MsgButtons::YesNoCancel:
            return {{QMessageBox::Yes, MsgResult::Yes},
                    {QMessageBox::No, MsgResult::No},
                    {QMessageBox::Cancel, MsgResult::Cancel}};
        case MsgButtons::YesNo:
            return {{QMessageBox::Yes, MsgResult::Yes}, {QMessageBox::No, MsgResult::No}};
        case MsgButtons::RetryCancel:
            return {{QMessageBox::Retry, MsgResult::Retry}, {QMessageBox::Cancel, MsgResult::Cancel}};
    }
    return {{QMessageBox::Ok, MsgResult::Ok}};
}

QMessageBox::Icon iconOf(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Critical:
            return QMessageBox::Critical;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Exclamation:
            return QMessageBox::Warning;
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// The folder a dialog starts in: the folder itself, the folder of a file, or the nearest existing parent.
QString startFolder(const std::string& initialDir) {
    if (initialDir.empty()) {
        return {};
    }
    QFileInfo info(pathToQ(initialDir));
    if (info.isFile()) {
        return info.absolutePath();
    }
    QDir dir(info.absoluteFilePath());
    while (!dir.exists() && !dir.isRoot()) {
        if (!dir.cdUp()) {
            break;
        }
    }
    return dir.exists() ? dir.absolutePath() : QString();
}

}  // namespace

MsgResult QtUi::message(const MessageRequest& request) {
    QMessageBox box(iconOf(request.icon), toQ(request.title), toQ(request.prompt), QMessageBox::NoButton,
                    owner_);
    box.setTextFormat(Qt::PlainText);
    const auto specs = buttonsOf(request.buttons);
    for (const auto& spec : specs) {
        box.addButton(spec.button);
    }
    const int defaultIndex = request.defaultButton - 1;
    if (defaultIndex >= 0 && defaultIndex < int(specs.size())) {
        box.setDefaultButton(specs[std::size_t(defaultIndex)].button);
    }
    const auto clicked = QMessageBox::StandardButton(box.exec());
    for (const auto& spec : specs) {
        if (spec.button == clicked) {
            return spec.result;
        }
    }
    // Closed without a button: the box's escape answer, Cancel where there is one.
    return request.buttons == MsgButtons::Ok      ? MsgResult::Ok
           : request.buttons == MsgButtons::YesNo ? MsgResult::No
                                                  : MsgResult::Cancel;
}

std::optional<std::string> QtUi::input(const InputRequest& request) {
    bool ok = false;
    const QString text = QInputDialog::getText(owner_, toQ(request.title), toQ(request.prompt),
                                               QLineEdit::Normal, toQ(request.defaultText), &ok);
    if (!ok) {
        return std::nullopt;
    }
    return fromQ(text);
}

std::optional<FileDialogResult> QtUi::openFile(const FileDialogRequest& request) {
    return fileDialog(request, false);
}

std::optional<FileDialogResult> QtUi::saveFile(const FileDialogRequest& request) {
    return fileDialog(request, true);
}

std::optional<FileDialogResult> QtUi::fileDialog(const FileDialogRequest& request, bool save) {
    QFileDialog dialog(owner_, toQ(request.title));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (save && !request.overwritePrompt) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    }
    QStringList filters;
    for (const auto& filter : request.filters) {
        filters << toQ(QtFilterText(filter));
    }
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = request.filterIndex - 1;
        dialog.selectNameFilter(filters.value(index >= 0 && index < filters.size() ? index : 0));
    }
    if (!request.defaultExt.empty()) {
        dialog.setDefaultSuffix(pathToQ(request.defaultExt));
    }
    const QString folder = startFolder(request.initialDir);
    if (!folder.isEmpty()) {
        dialog.setDirectory(folder);
    }
    if (!request.fileName.empty()) {
        dialog.selectFile(pathToQ(request.fileName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    FileDialogResult result;
    result.path = pathFromQ(QDir::cleanPath(dialog.selectedFiles().constFirst()));
    result.filterIndex = std::max<int>(1, int(filters.indexOf(dialog.selectedNameFilter())) + 1);
    return result;
}

void QtUi::beep() {
    QApplication::beep();
}

void QtUi::setBusy(bool busy) {
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}

bool QtUi::copyImageToClipboard(const ImageView& image) {
    if (image.pixels == nullptr || image.width <= 0 || image.height <= 0) {
        return false;
    }
    const QImage view(reinterpret_cast<const uchar*>(image.pixels), image.width, image.height,
                      qsizetype(image.stride) * 4, QImage::Format_RGBX8888);
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return false;
    }
    clipboard->setImage(view.copy());
    return true;
}

bool QtUi::openUrl(const std::string& url) {
    return QDesktopServices::openUrl(QUrl(QString::fromUtf8(url.c_str()), QUrl::TolerantMode));
}

void QtUi::processEvents() {
    QCoreApplication::processEvents();
}

}  // namespace korvane
