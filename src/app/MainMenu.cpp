#include "app/MainMenu.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <vector>

namespace korvane {

namespace {

constexpr const char* kOwnEnabled = "korvaneOwnEnabled";

struct MenuEntry {
    int level;
    const char* name;  // nullptr for a separator
    const char* caption;
    const char* shortcut;
    bool hidden;
};

// clang-format off
const std::vector<MenuEntry> kMenuTree = {
    {1, "mnuFile", "&File", "", false},
    {2, "mnuNew", "New project", "Ctrl+N", false},
    {2, "mnuOpen", "Open project", "Ctrl+O", false},
    {2, "mnuSave", "Save project", "Ctrl+S", false},
    {2, "mnuSaveAs", "Save project as ...", "", false},
    {2, "mnuClose", "&Close project", "", false},
    {2, nullptr, "-", "", false},
    {2, "mnuExport", "&Export circuit and netlist", "", false},
    {2, nullptr, "-", "", false},
    // Printing was never finished; the item stays out of sight with its separator.
    {2, "mnuFilePrint", "&Print", "Ctrl+P", true},
    {2, "mnuFilePrintSeparator", "-", "", true},
    {2, "mnuFileExit", "E&xit", "", false},
    {1, "mnuEdit", "&Edit", "", false},
    {2, "mnuUndo", "&Undo", "Ctrl+Z", false},
    {2, "mnuRedo", "&Redo", "Ctrl+Shift+Z", false},
    {2, nullptr, "-", "", false},
    {2, "mnuFlipG", "Flip picture horizontally", "F2", false},
    {2, "mnuFlipV", "Flip picture vertically", "F3", false},
    {2, "mnuRotate90", "Rotate picture to 90 degrees clockwise", "F4", false},
    {2, "mnuClipboard", "Put the picture to clipboard", "F5", false},
    {2, nullptr, "-", "", false},
    {2, "mnuTracing", "&Tracing", "", false},
    {3, "mnuFillColor", "FillColor", "", false},
    {4, "mnuClr", "Black", "Shift+F1", false},
    {4, "mnuClr", "", "Shift+F2", false},
    {4, "mnuClr", "", "Shift+F3", false},
    {4, "mnuClr", "", "Shift+F4", false},
    {4, "mnuClr", "", "Shift+F5", false},
    {4, "mnuClr", "", "Shift+F6", false},
    {4, "mnuClr", "", "Shift+F7", false},
    {4, "mnuClr", "", "Shift+F8", false},
    {4, "mnuClr", "Select color from pictures", "Shift+F9", false},
    {3, "mnuColorBound", "Color bound, \u00B1 X %", "Ctrl+B", false},
    // Alt + click is taken for moving windows on several desktops; this fills at the cursor instead.
    {3, "mnuFillAtCursor", "Fill at the cursor", "Ctrl+F", false},
    // How new fills choose their pixels; checkable, one at a time (the tracing controller groups them).
    {3, nullptr, "-", "", false},
    {3, "mnuFillPacked", "Packed colour range", "", false},
    {3, "mnuFillChannels", "Per-channel range", "", false},
    {3, "mnuFillSpecks", "Per-channel range, ignore specks", "", false},
    {3, "mnuFillAdaptive", "Adaptive to uneven light", "", false},
    {2, "mnuCheck", "Check connectivity", "Ctrl+Shift+C", false},
    {2, nullptr, "-", "", false},
    {2, "mnuSelectPoint", "Cursors move synchronization", "", false},
    {3, "mnuScale11", "Cursors move scale 1:1", "Ctrl+Q", false},
    {3, "mnuNewScale", "Set the new cursors move scale", "Ctrl+K", false},
    {3, "mnuAlign", "Align layers...", "Ctrl+Shift+K", false},
    {2, nullptr, "-", "", false},
    {2, "mnuSelection", "Pads &selection", "", false},
    {3, "mnuSelectAll", "Select all pads", "Ctrl+A", false},
    {3, "mnuDeSelectAll", "De-select all pads", "Ctrl+D", false},
    {3, "mnuInvert", "Invert pads selection", "Ctrl+I", false},
    {2, "mnuAction", "Ac&tions at selected pads", "", false},
    {3, "mnuDeleteSelected", "Delete selected pads", "Shift+Del", false},
    {3, nullptr, "-", "", false},
    {3, "mnuPadsFirstOnly", "Surface pads of the first picture", "", false},
    {3, "mnuPadsSecondOnly", "Surface pads of the second picture", "", false},
    {3, "mnuPadsThrough", "Through pads", "", false},
    {3, nullptr, "-", "", false},
    // The pad listing: shown, since nothing else would ever open it.
    {3, "mnuInfo", "&Info as text", "", false},
    {1, "mnuView", "&View", "", false},
    {2, "mnuPad", "Pads", "", false},
    {2, "mnuTraces", "Traces", "Ctrl+T", false},
    {2, "mnuNets", "Nets", "Ctrl+Shift+N", false},
    {2, nullptr, "-", "", false},
    {2, "mnuZoomIn", "Zoom &in", "Ctrl++", false},
    {2, "mnuZoomOut", "Zoom &out", "Ctrl+-", false},
    {2, "mnuFitPicture", "&Fit picture", "Ctrl+0", false},
    {2, "mnuActualPixels", "&Actual pixels", "Ctrl+1", false},
    {2, nullptr, "-", "", false},
    {2, "mnuOverlay", "&Overlay layers", "Ctrl+L", false},
    {1, "mnuHelp1", "&Help", "", false},
    {2, "mnuHelpContents", "&About...", "", false},
    {2, "mnuHelp", "&Help                                F1", "", false},
    {2, "mnuDonate", "&Donate", "", true},
};
// clang-format on

// Items whose help topic is the tracing page.
bool isTracingHelpItem(const QString& name) {
    return name == QLatin1String("mnuTracing") || name == QLatin1String("mnuFillColor") ||
           name == QLatin1String("mnuColorBound");
}

void applyEnabled(const QList<QAction*>& actions, bool parentEnabled) {
    for (QAction* action : actions) {
        const bool own =
            action->property(kOwnEnabled).isValid() ? action->property(kOwnEnabled).toBool() : true;
        const bool effective = own && parentEnabled;
        action->setEnabled(effective);
        if (action->menu() != nullptr) {
            applyEnabled(action->menu()->actions(), effective);
        }
    }
}

}  // namespace

MainMenu::MainMenu(QMainWindow* window) : window_(window) {
    QMenuBar* bar = window->menuBar();
    std::vector<QMenu*> menus(8, nullptr);  // open menu per level
    for (std::size_t i = 0; i < kMenuTree.size(); ++i) {
        const MenuEntry& entry = kMenuTree[i];
        const bool hasChildren = i + 1 < kMenuTree.size() && kMenuTree[i + 1].level > entry.level;
        QMenu* parent = entry.level > 1 ? menus[std::size_t(entry.level - 1)] : nullptr;
        const QString caption = QString::fromUtf8(entry.caption);

        QAction* action = nullptr;
        if (hasChildren) {
            QMenu* menu = parent != nullptr ? parent->addMenu(caption) : bar->addMenu(caption);
            menu->setObjectName(QString::fromUtf8(entry.name));
            menus[std::size_t(entry.level)] = menu;
            action = menu->menuAction();
        } else if (caption == QLatin1String("-")) {
            action = parent->addSeparator();
        } else {
            action = parent->addAction(caption);
            if (entry.shortcut[0] != '\0') {
                action->setShortcut(QKeySequence(QString::fromUtf8(entry.shortcut)));
            }
            // Both habits are common: Ctrl+Shift+Z on Linux desktops, Ctrl+Y where people came from Windows.
            if (QLatin1String(entry.name) == QLatin1String("mnuRedo")) {
                action->setShortcuts(
                    {QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
            }
            // "+" needs Shift on most keyboards; Ctrl+= is the same key without it.
            if (QLatin1String(entry.name) == QLatin1String("mnuZoomIn")) {
                action->setShortcuts(
                    {QKeySequence(QStringLiteral("Ctrl++")), QKeySequence(QStringLiteral("Ctrl+="))});
            }
        }
        if (entry.name != nullptr) {
            action->setObjectName(QString::fromUtf8(entry.name));
        }
        if (entry.hidden) {
            action->setVisible(false);  // also silences its shortcut
        }
        if (entry.name != nullptr && QLatin1String(entry.name) == QLatin1String("mnuClr")) {
            action->setProperty("index", colourItems_.size());
            if (colourItems_.size() < 8) {
                action->setProperty("helpTopic", kTracingHelpTopic);
            }
            colourItems_.append(action);
        }
        if (entry.name != nullptr && isTracingHelpItem(QString::fromUtf8(entry.name))) {
            action->setProperty("helpTopic", kTracingHelpTopic);
        }
    }
}

QAction* MainMenu::action(const QString& name) const {
    return window_->menuBar()->findChild<QAction*>(name);
}

QMenu* MainMenu::menu(const QString& name) const {
    return window_->menuBar()->findChild<QMenu*>(name);
}

void MainMenu::setEnabled(const QString& name, bool enabled) {
    QAction* item = action(name);
    if (item == nullptr) {
        return;
    }
    // Every step of the history sets the Undo and Redo items: only the item and what lies below it
    // follow, or a pad's move would cost more in the menu than in the project.
    if (ownEnabled(name) == enabled) {
        return;
    }
    item->setProperty(kOwnEnabled, enabled);
    bool parentEnabled = true;
    for (QObject* container : item->associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(container)) {
            parentEnabled = menu->menuAction()->isEnabled();
            break;
        }
    }
    applyEnabled({item}, parentEnabled);
}

bool MainMenu::ownEnabled(const QString& name) const {
    QAction* item = action(name);
    return item != nullptr &&
           (item->property(kOwnEnabled).isValid() ? item->property(kOwnEnabled).toBool() : true);
}

}  // namespace korvane
