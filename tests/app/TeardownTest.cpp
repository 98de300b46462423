// The main window's destruction: its tool windows and panes hold references to the window's own data and
// call back into it, so they must be gone before that data is.

#include <gtest/gtest.h>

#include <QPointer>

#include "app/MainWindow.h"
#include "export/ExportDialog.h"
#include "pads/PadListWindow.h"
#include "pads/PadPropertiesDialog.h"
#include "support/ScriptedUi.h"
#include "support/TestMainWindow.h"
#include "tracing/FillQuestionDialog.h"
#include "tracing/TracesWindow.h"
#include "view/Panes.h"
#include "view/ScaleWizardWindow.h"

namespace korvane {
namespace {

TEST(MainWindowTeardown, ToolWindowsAndPanesGoWhileTheWindowsDataStillExists) {
    testing::ScriptedUi ui;
    auto window = std::make_unique<TestMainWindow>(ui);
    window->startUp("");
    window->setProjectOpen(true);
    window->pads().showPadList();  // created on first use, as the export dialog
    window->exportDialog()->show();
    window->tracing().tracesWindow()->show();
    const QObject* owner = window.get();
    std::vector<std::string> late;
    const std::pair<const char*, QObject*> parts[] = {
        {"pad dialog", window->pads().padDialog()},
        {"information window", window->pads().infoWindow()},
        {"export dialog", window->exportDialog()},
        {"traces window", window->tracing().tracesWindow()},
        {"fill question", window->tracing().fillQuestion()},
        {"cursor-scale wizard", window->cursors().wizard()},
        {"panes", window->panes()},
    };
    for (const auto& [name, part] : parts) {
        ASSERT_NE(part, nullptr) << name;
        // While the window's own destructor runs it is still a MainWindow; once only QWidget's runs, its
        // members are gone.
        QObject::connect(part, &QObject::destroyed, [owner, name = std::string(name), &late] {
            if (qobject_cast<const MainWindow*>(owner) == nullptr) {
                late.push_back(name);
            }
        });
    }
    window.reset();
    EXPECT_EQ(late, std::vector<std::string>{});
}

}  // namespace
}  // namespace korvane
