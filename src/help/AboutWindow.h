#pragma once

// The About window: version of this build, what the program is for, and links to the author's mail
// and the home page. Modal, created each time it is shown.

#include <QDialog>

class QLabel;
class QPushButton;

namespace korvane {

class Ui;

class AboutWindow : public QDialog {
    Q_OBJECT

  public:
    AboutWindow(QWidget* owner, Ui& ui);

    // Index 1 opens the mail to the author, index 3 the home page; any click closes the window.
    void openLink(int index);
    void closeWindow();

    QLabel* lblVer() const { return lblVer_; }
    QLabel* lblhelp(int index) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Ui& ui_;
    QLabel* lblVer_;
    QLabel* mailLabel_;
    QLabel* homeLabel_;
};

// The program's icon, drawn rather than shipped so that it scales to every size the desktop asks for.
QIcon ApplicationIcon();

}  // namespace korvane
