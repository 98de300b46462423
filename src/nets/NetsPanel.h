#pragma once

// The Nets panel: a dockable list of every net of the open project with its number of pads and how it
// stood at the last connectivity check. Selecting a net outlines its pads on both pictures and draws its
// ratsnest on each (the shortest tree joining the pad markers of that picture). The list follows the
// project's pad events, undo and redo included, and keeps the highlighted net highlighted through them
// for as long as it has pads.

#include <QDockWidget>
#include <QPointer>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "nets/CheckReport.h"
#include "nets/NetList.h"
#include "project/ProjectObserver.h"

class QAction;
class QTreeWidget;

namespace korvane {

class PictureBox;
class Project;

class NetsPanel : public QDockWidget, public ProjectObserver {
    Q_OBJECT

  public:
    // picture1 and picture2 show the markers of Pad1 and Pad2; the panel sets their highlight only.
    NetsPanel(Project& project, PictureBox* picture1, PictureBox* picture2, QWidget* parent = nullptr);
    ~NetsPanel() override;

    // Reads the nets anew from the project's pads.
    void rebuild();
    // A project was closed or opened: no highlight, no check, the nets read anew. Closing clears the
    // pads without announcing each one, so the window calls this then.
    void reset();
    // The check state column from a check's result; "—" for nets the check did not name.
    void setCheckReport(const CheckReport& report);
    void clearCheckReport();

    // Selects the net of pad n in the list and highlights it; false when there is no pad n.
    bool highlightNetOfPad(int n);
    // The same for a net by any spelling of its name (empty text: the unnamed pads).
    bool highlightNet(std::string_view name);
    // Highlights the existing pads among pads, joined by their ratsnest, with no net selected (the pads
    // of a finding of the check).
    void highlightPads(std::vector<int> pads);
    void clearHighlight();
    // The net of the pad whose marker lies under a screen point on either picture; false when none.
    bool highlightNetAt(QPoint globalPos);
    // The panel's keys over the panes, for the main window's key handler: N highlights the net of the
    // pad under the mouse pointer, Esc clears a highlight. True when the key was used.
    bool handleKey(int key, Qt::KeyboardModifiers modifiers);

    const NetList& netList() const { return nets_; }
    // The pads highlighted now, ascending; empty for none.
    const std::vector<int>& highlightedPads() const { return highlighted_; }
    QTreeWidget* list() const { return list_; }
    // The same as the keys, for a menu: "Highlight net under pointer" and "Clear net highlight".
    QAction* highlightAction() const { return highlightAction_; }
    QAction* clearAction() const { return clearAction_; }

    void padsAdded(const std::vector<int>&) override { rebuild(); }
    void padsMoved(const std::vector<int>&) override { showHighlight(); }
    void padsRenamed(const std::vector<int>&) override { rebuild(); }
    void padsRemoved(const std::vector<int>&) override { rebuild(); }
    void componentsChanged() override { rebuild(); }
    void orientationChanged(int) override { showHighlight(); }

  signals:
    // The highlighted pads changed (empty: the highlight was cleared).
    void highlightChanged(const std::vector<int>& pads);

  private:
    enum class Mode { None, Net, Pads };

    void fillList();
    void selectRow(int row);
    void rowSelected();
    QString checkText(const NetEntry& net) const;
    // Puts the highlighted pads and their ratsnest on both pictures.
    void showHighlight();
    void setHighlighted(Mode mode, std::string key, std::vector<int> pads);

    Project& project_;
    QPointer<PictureBox> picture1_;
    QPointer<PictureBox> picture2_;
    NetList nets_;
    bool checked_ = false;
    std::map<std::string, NetCheckState> checkStates_;  // by net key

    Mode mode_ = Mode::None;
    std::string highlightKey_;  // of the highlighted net; empty for the unnamed pads
    std::vector<int> highlighted_;
    bool filling_ = false;  // the list is being filled or selected by the panel itself

    QTreeWidget* list_;
    QAction* highlightAction_;
    QAction* clearAction_;
};

}  // namespace korvane
