#pragma once

#include <QAction>
#include <QGroupBox>
#include <QMenu>
#include <QWidget>
#include <string>

#include "platform/QtText.h"

namespace korvane::testing {

// A window's title, then each named control as name|text|tip (a frame or menu with its title, a menu's
// items indented below it), line breaks shown as \n: the form of the listings under tests/data/expected.
inline std::string WidgetTexts(const QWidget* window) {
    std::string out = fromQ(window->objectName() + "|" + window->windowTitle()) + "\n";
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith("qt_")) {
            continue;
        }
        const auto* frame = qobject_cast<const QGroupBox*>(w);
        const auto* menu = qobject_cast<const QMenu*>(w);
        QString text = frame ? frame->title() : menu ? menu->title() : w->property("text").toString();
        out += fromQ(w->objectName() + "|" + text.replace("\n", "\\n") + "|" + w->toolTip()) + "\n";
        for (const QAction* item : menu ? menu->actions() : QList<QAction*>()) {
            out +=
                "  " +
                (item->isSeparator()
                     ? std::string("-")
                     : fromQ(item->objectName() + "|" + item->text() + "|" + item->shortcut().toString())) +
                "\n";
        }
    }
    return out;
}

}  // namespace korvane::testing
