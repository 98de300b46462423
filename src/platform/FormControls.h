#pragma once

// Controls of the program's fixed-layout dialogs, made the one way every dialog needs them: named for
// tests and for the rest of the program, placed at a given rectangle, with their tool tips. Also the
// bytes behind a text field, so that names written in another code page survive a round trip through
// the widget.

#include <QRect>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

namespace korvane::controls {

QLabel* label(QWidget* parent, const char* name, const char* caption, QRect where, const char* tip = nullptr);

// Never a default button: Enter in a field must not press a button behind the user's back.
QPushButton* button(QWidget* parent, const char* name, const char* caption, QRect where, const char* tip);

// An editable box keeps what the user typed: no completion, no list growth on Enter, no case folding
// to an existing entry.
QComboBox* comboBox(QWidget* parent, const char* name, QRect where, const char* tip, bool editable);

// A text field and the pick list lying behind it, slightly wider, so that only the pick list's arrow
// shows at the field's right end and the pair looks like one combo box whose arrow opens the library.
void dataField(QWidget* parent, QRect where, QComboBox*& field, const char* fieldName, const char* fieldTip,
               QComboBox*& pick, const char* pickName, const char* pickTip);

// Replaces a list's entries; a text field keeps the text it shows.
void fillList(QComboBox* box, const QStringList& items);

QStringList texts(const std::vector<std::string>& items);

// The bytes a text field stands for.
class FieldBytes {
  public:
    // The bytes last set while the shown text is unchanged; a text picked from the field's list keeps
    // the bytes its entry was stored with, whatever code page wrote them; anything else is the text.
    std::string read(const QString& text, const std::vector<std::string>& list);
    // Remembers the bytes and returns the text to show for them.
    QString set(const std::string& bytes);

  private:
    QString shown_;
    std::string bytes_;
};

}  // namespace korvane::controls
