#pragma once

// A main window beside a temporary folder that holds a board: two pictures and a project naming them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>

#include "app/MainWindow.h"
#include "platform/Registry.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "support/TestMainWindow.h"
#include "view/Panes.h"
#include "view/PictureBox.h"

namespace korvane {

inline std::optional<FileDialogResult> pick(const std::string& path) {
    return FileDialogResult{path, 1};
}

class BoardWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        writePicture(top, 300, 200);
        writePicture(bottom, 320, 210);
        testing::writeFileBytes(
            board, "[FilePathSection]\r\nFirst=top.bmp\r\nSecond=bottom.png\r\n[TraceSection]\r\n");
        Registry::SetString(Registry::kKeyPath, Registry::kLastPath, "");  // whatever ran before
        makeWindow();
    }

    static void writePicture(const std::string& path, int width, int height) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        ASSERT_TRUE(image.save(QString::fromStdString(path)));
    }

    void makeWindow() {
        window = std::make_unique<TestMainWindow>(ui);
        window->startUp("");
        window->timer()->stop();  // ticks are driven by hand where a test needs them
    }

    void open(const std::string& path) {
        ui.fileAnswers.push_back(pick(path));
        window->session().openProject();
    }
    void reopen() {
        open(board);
        ASSERT_TRUE(window->projectOpen());
        ui.clear();
    }
    void showActive(int width = 0, int height = 0) {
        window->show();
        if (width > 0) {
            window->resize(width, height);
        }
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QApplication::processEvents();
    }

    // The messages (with `dialogs` the file dialogs too) the user saw, one a line; the folder is $DIR.
    std::string transcript(bool dialogs = false) const {
        static const char* icons[] = {"", "critical", "question", "exclamation", "information"};
        static const char* buttons[] = {"ok", "ok cancel", "yes no cancel", "yes no", "retry cancel"};
        std::string text;
        for (const testing::RecordedCall& c : ui.calls) {
            const MessageRequest& m = c.message;
            const FileDialogRequest& f = c.fileDialog;
            if (c.kind == "message") {
                text += std::string(icons[int(m.icon)]) + ' ' + buttons[int(m.buttons)] + ' ' +
                        std::to_string(m.defaultButton) + '|' + m.title + '|' + m.prompt + '\n';
            } else if (dialogs && (c.kind == "open" || c.kind == "save")) {
                text += c.kind + (f.fileMustExist ? " existing" : "") +
                        (f.overwritePrompt ? " overwrite" : "") + '|' + f.title + '|' + f.initialDir + '|' +
                        f.fileName + '|' + std::to_string(f.filterIndex);
                for (const FileFilter& filter : f.filters) {
                    text += '|' + filter.description + ':';
                    for (const std::string& pattern : filter.patterns) {
                        text += ' ' + pattern;
                    }
                }
                text += '\n';
            }
        }
        return withoutDir(text);
    }
    std::string withoutDir(std::string text) const {
        for (std::size_t at; (at = text.find(dir.path().string())) != std::string::npos;) {
            text.replace(at, dir.path().string().size(), "$DIR");
        }
        return text;
    }

    testing::ScriptedUi ui;
    testing::TempDir dir;
    std::unique_ptr<MainWindow> window;
    const std::string top = dir.file("top.bmp"), bottom = dir.file("bottom.png"),
                      board = dir.file("board.kvp");
};

}  // namespace korvane
