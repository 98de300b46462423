#pragma once

// The result of a connectivity check as a tool window: a summary line, then every finding on a line of
// its own (shorts, opens, suggested net names, untraced pads). A click on a finding hands its pads to the
// main window, which highlights them and brings them into view; one button names every suggested pad.

#include <QWidget>
#include <vector>

#include "nets/CheckReport.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace korvane {

class CheckWindow : public QWidget {
    Q_OBJECT

  public:
    explicit CheckWindow(QWidget* owner = nullptr);

    // Lists the findings of a check; the button is enabled while there are suggestions.
    void setReport(const CheckReport& report);
    const CheckReport& report() const { return report_; }

    // One line per finding, in the order shown, and the pads each one names (ascending).
    static QStringList FindingTexts(const CheckReport& report);
    static std::vector<std::vector<int>> FindingPads(const CheckReport& report);
    // "No shorts, no opens." for a check that passed; else how many of each were found.
    static QString SummaryText(const CheckReport& report);

    QLabel* summary() const { return lblSummary_; }
    QListWidget* findings() const { return lstFindings_; }
    QPushButton* nameSuggestedButton() const { return cmdNameSuggested_; }

  signals:
    // The user picked a finding: its pads, ascending.
    void findingChosen(const std::vector<int>& pads);
    // "Name suggested pads": every suggestion of the report is to be applied as one edit.
    void nameSuggestedRequested(const std::vector<NetSuggestion>& suggestions);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void choose(int row);

    CheckReport report_;
    std::vector<std::vector<int>> pads_;  // of each line of the list
    QLabel* lblSummary_;
    QListWidget* lstFindings_;
    QPushButton* cmdNameSuggested_;
};

}  // namespace korvane
