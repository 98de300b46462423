#include "app/tools/PadTool.h"

#include <QRect>

#include "app/MainWindow.h"
#include "pads/PadPropertiesDialog.h"
#include "platform/QtText.h"
#include "platform/Ui.h"
#include "platform/tooltiptext.h"
#include "project/PadCommands.h"
#include "view/Panes.h"
#include "view/PictureBox.h"

namespace korvane {

namespace {

// Tip colours of a pad marker, packed 0x00BBGGRR: pale yellow with black text.
constexpr std::int32_t kTipBackColour = 15663103;
constexpr std::int32_t kTipTextColour = 0;
constexpr int kTipMaxWidth = 300;
constexpr int kTipPopDelayMs = 20000;

}  // namespace

void PadTool::doubleClicked(Qt::KeyboardModifiers modifiers) {
    PadPropertiesDialog& dialog = *window_.pads().padDialog();
    const int before = dialog.board().markers.highest();
    placeAtCursors(modifiers.testFlag(Qt::ShiftModifier));
    // The new pad is there to be named: its dialog comes up whatever state it was left in, as it does
    // when a selected marker is clicked.
    if (dialog.board().markers.highest() > before) {
        dialog.showModeless();
    }
}

void PadTool::placeAtCursors(bool keepSelection) {
    if (!window_.projectOpen() || window_.busy()) {
        return;
    }
    const int index = window_.pads().padDialog()->board().markers.highest() + 1;
    if (index > kMaxPadNumber) {
        window_.ui().beep();  // every pad number is taken
        return;
    }
    keepSelection_ = keepSelection;
    placeAtCursors(index, true, true);
}

void PadTool::placeAtCursors(int Index, bool DeselectOthers, bool SelectNew) {
    PadPropertiesDialog& dialog = *window_.pads().padDialog();
    PadBoard& board = dialog.board();
    if (Index < 1 || Index > kMaxPadNumber || board.markers.exists(Index)) {
        return;
    }
    if (DeselectOthers && !keepSelection_) {
        window_.pads().deselectAllPads();
    }
    // The new pad's fields as a click on it would load them (kept ones with "Keep in fields"); placing and
    // naming are then one step, and the names go to the new pad alone: with Shift the other selected pads
    // keep theirs.
    dialog.setCurrentPad(Index);
    window_.pads().showCurrentPadNames();
    const ShownCursors& at = window_.project().shownCursors;
    if (!dialog.placePad(Index, PadPlace{at.cur1Left, at.cur1Top, at.cur2Left, at.cur2Top})) {
        dialog.setCurrentPad(0);
        return;
    }
    if (SelectNew) {
        // Only the picture-1 marker: its partner follows at the next selection change.
        board.markers.Pad1.get(Index)->value = 1;
    }
    window_.pads().padMarkersChanged();
}

void PadTool::markerDropped(int picture, int Index, double left, double top) {
    // The drag is over: one step from where the marker was to where it was dropped.
    ApplyPadEdit(window_.project(), MovePadEdit(picture, Index, left, top));
}

void PadTool::markerPressed(int, int Index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    if (!window_.projectOpen()) {
        return;
    }
    PadPropertiesDialog& dialog = *window_.pads().padDialog();
    window_.pads().togglePadDialog();
    if (button == Qt::LeftButton) {
        if (modifiers.testFlag(Qt::ShiftModifier)) {
            dialog.setCurrentPad(0);
        } else {
            window_.pads().deselectAllPads();
            dialog.setCurrentPad(Index);
            window_.pads().showCurrentPadNames();
        }
    }
    // Ctrl + left: the picture drags the marker; the drop arrives as markerDropped.
    dialog.forgetPatterns();
}

void PadTool::markerReleased(int picture, int Index, Qt::MouseButton button, int x, int y) {
    if (!window_.projectOpen()) {
        return;
    }
    PadPropertiesDialog& dialog = *window_.pads().padDialog();
    PadMarkers& markers = dialog.board().markers;
    PadMarker* marker = markers.array(picture).get(Index);
    if (marker == nullptr) {
        return;
    }
    // A left release over the marker is a click, which flips its check value.
    if (button == Qt::LeftButton &&
        QRect(0, 0, PictureBox::kCursorSize, PictureBox::kCursorSize).contains(x, y)) {
        marker->value = marker->value == 0 ? 1 : 0;
    }
    const bool selected = marker->value == 1;
    if (selected) {
        dialog.showModeless();
    }
    if (PadMarker* partner = markers.array(picture == 1 ? 2 : 1).get(Index)) {
        partner->value = selected ? 1 : 0;
    }
    if (dialog.currentPad() != 0) {
        dialog.applyToCurrentPad();
    }
    window_.pads().padMarkersChanged();
}

void PadTool::markerHovered(int picture, int Index, QPoint globalPos) {
    const PadMarker* marker = window_.pads().padDialog()->board().markers.array(picture).get(Index);
    if (marker == nullptr) {
        return;
    }
    PictureBox* box = picture == 1 ? window_.panes()->P1() : window_.panes()->P2();
    tooltiptext::SetTooltip(box, globalPos, toQ(marker->toolTipText), kTipBackColour, kTipTextColour,
                            kTipMaxWidth, kTipPopDelayMs, box->markerRect(*marker));
}

}  // namespace korvane
