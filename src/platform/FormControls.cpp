#include "platform/FormControls.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "platform/QtText.h"
#include "text/Ascii.h"

namespace korvane::controls {

namespace {
constexpr int kPickArrowWidth = 20;
}

QLabel* label(QWidget* parent, const char* name, const char* caption, QRect where, const char* tip) {
    auto* item = new QLabel(QString::fromUtf8(caption), parent);
    item->setObjectName(QString::fromUtf8(name));
    item->setGeometry(where);
    if (tip != nullptr) {
        item->setToolTip(QString::fromUtf8(tip));
    }
    return item;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, QRect where, const char* tip) {
    auto* item = new QPushButton(QString::fromUtf8(caption), parent);
    item->setObjectName(QString::fromUtf8(name));
    item->setGeometry(where);
    item->setAutoDefault(false);
    if (tip != nullptr) {
        item->setToolTip(QString::fromUtf8(tip));
    }
    return item;
}

QComboBox* comboBox(QWidget* parent, const char* name, QRect where, const char* tip, bool editable) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setGeometry(where);
    box->setToolTip(QString::fromUtf8(tip));
    box->setEditable(editable);
    if (editable) {
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setDuplicatesEnabled(true);
        box->setCompleter(nullptr);
    }
    box->setMaxVisibleItems(20);
    return box;
}

void dataField(QWidget* parent, QRect where, QComboBox*& field, const char* fieldName, const char* fieldTip,
               QComboBox*& pick, const char* pickName, const char* pickTip) {
    pick = comboBox(parent, pickName, where, pickTip, false);
    field = comboBox(parent, fieldName, where.adjusted(0, 0, -kPickArrowWidth, 0), fieldTip, true);
    field->setStyleSheet(QStringLiteral("QComboBox::drop-down { width: 0px; border: none; }"));
    field->raise();
}

void fillList(QComboBox* box, const QStringList& items) {
    const QString text = box->currentText();
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
    if (box->isEditable()) {
        box->setEditText(text);
    }
}

QStringList texts(const std::vector<std::string>& items) {
    QStringList list;
    list.reserve(qsizetype(items.size()));
    for (const std::string& item : items) {
        list << toQ(item);
    }
    return list;
}

std::string FieldBytes::read(const QString& text, const std::vector<std::string>& list) {
    if (text == shown_) {
        return bytes_;
    }
    // Valid UTF-8 reads back unchanged from its text, so only other code pages need the list's bytes.
    for (const std::string& item : list) {
        if (!isValidUtf8(item) && toQ(item) == text) {
            shown_ = text;
            bytes_ = item;
            return bytes_;
        }
    }
    shown_ = text;
    bytes_ = fromQ(text);
    return bytes_;
}

QString FieldBytes::set(const std::string& bytes) {
    shown_ = toQ(bytes);
    bytes_ = bytes;
    return shown_;
}

}  // namespace korvane::controls
