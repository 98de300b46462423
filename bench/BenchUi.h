#pragma once

// What the benchmarks that drive a main window share: the dialogs' answers (the Open dialog answers with
// the project, every other question as a user pressing No, Ok-only notices with Ok) and main().

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QStandardPaths>
#include <functional>
#include <memory>
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

// The one window fixture T of a run (struct Board : RunFixture<Board>), made at first use and destroyed by
// main() through instance().reset() while the application object still exists: a window outliving
// QApplication crashes in its destructor.
template <typename T>
struct RunFixture {
    static std::unique_ptr<T>& instance() {
        static std::unique_ptr<T> fixture;
        return fixture;
    }
    static T& get() {
        if (!instance()) {
            instance() = std::make_unique<T>();
        }
        return *instance();
    }
};

// Runs the benchmarks headless; `teardown` destroys their windows while the application object still
// exists (a window outliving QApplication crashes in its destructor).
inline int RunWindowBenchmarks(int argc, char** argv, const std::function<void()>& teardown) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    teardown();
    return 0;
}

}  // namespace korvane
