#pragma once

// The main window's menu tree. Every item is a QAction (a submenu through its menuAction) whose
// objectName is the item's control name, so tests and later features find it by name.
//
// A QAction inside a disabled QMenu still fires its shortcut, so enabling is tracked per item and
// pushed down to every action below it: an item is enabled only when it and all its parents are.

#include <QList>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;

namespace korvane {

// The help topic of the tracing menu items (their "helpTopic" property): the guide's tracing section.
constexpr int kTracingHelpTopic = 145;

class MainMenu {
  public:
    explicit MainMenu(QMainWindow* window);

    // The item's action; for a submenu its menuAction. Null for an unknown name.
    QAction* action(const QString& name) const;
    QMenu* menu(const QString& name) const;

    void setEnabled(const QString& name, bool enabled);
    // The item's own state, whatever its parents say.
    bool ownEnabled(const QString& name) const;

    // The colour items 0 to 8 of the fill-colour menu, in index order.
    const QList<QAction*>& colourItems() const { return colourItems_; }

  private:
    QMainWindow* window_;
    QList<QAction*> colourItems_;
};

}  // namespace korvane
