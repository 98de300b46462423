#include "nets/CheckWindow.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/QtText.h"

namespace korvane {

namespace {

const QString kDash = QStringLiteral(" \u2014 ");

QString numbers(const std::vector<int>& pads) {
    QStringList texts;
    texts.reserve(qsizetype(pads.size()));
    for (int n : pads) {
        texts << QString::number(n);
    }
    return texts.join(QStringLiteral(", "));
}

// "no shorts", "1 short", "3 shorts".
QString counted(std::size_t count, const char* noun) {
    const QString word = QString::fromLatin1(noun);
    if (count == 0) {
        return QStringLiteral("no ") + word + QLatin1Char('s');
    }
    return QString::number(count) + QLatin1Char(' ') + word + (count == 1 ? QString() : QStringLiteral("s"));
}

}  // namespace

CheckWindow::CheckWindow(QWidget* owner) : QWidget(owner, Qt::Tool) {
    setObjectName(QStringLiteral("frmCheck"));
    setWindowTitle(QStringLiteral("Check connectivity"));
    lblSummary_ = new QLabel(this);
    lblSummary_->setObjectName(QStringLiteral("lblSummary"));
    lstFindings_ = new QListWidget(this);
    lstFindings_->setObjectName(QStringLiteral("lstFindings"));
    lstFindings_->setUniformItemSizes(true);
    cmdNameSuggested_ = new QPushButton(QStringLiteral("Name suggested pads"), this);
    cmdNameSuggested_->setObjectName(QStringLiteral("cmdNameSuggested"));
    cmdNameSuggested_->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdNameSuggested_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSummary_);
    layout->addWidget(lstFindings_);
    layout->addLayout(buttons);
    resize(480, 360);

    connect(lstFindings_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { choose(lstFindings_->row(item)); });
    connect(lstFindings_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { choose(lstFindings_->row(item)); });
    connect(cmdNameSuggested_, &QPushButton::clicked, this, [this] {
        if (!report_.suggestions.empty()) {
            emit nameSuggestedRequested(report_.suggestions);
        }
    });
}

QStringList CheckWindow::FindingTexts(const CheckReport& report) {
    QStringList lines;
    for (const ShortFinding& found : report.shorts) {
        QStringList nets;
        for (const std::string& net : found.nets) {
            nets << toQ(net);
        }
        lines << QStringLiteral("Short: ") + nets.join(QStringLiteral(", ")) + kDash +
                     QStringLiteral("pads ") + numbers(found.pads);
    }
    for (const OpenFinding& found : report.opens) {
        QStringList groups;
        for (const std::vector<int>& group : found.groups) {
            groups << numbers(group);
        }
        lines << QStringLiteral("Open: ") + toQ(found.net) + kDash + QString::number(found.groups.size()) +
                     QStringLiteral(" groups: ") + groups.join(QStringLiteral(" | "));
    }
    for (const NetSuggestion& found : report.suggestions) {
        lines << QStringLiteral("Suggestion: pad ") + QString::number(found.pad) +
                     QStringLiteral(" \u2192 ") + toQ(found.net);
    }
    for (int pad : report.untraced) {
        lines << QStringLiteral("Untraced: pad ") + QString::number(pad);
    }
    return lines;
}

std::vector<std::vector<int>> CheckWindow::FindingPads(const CheckReport& report) {
    std::vector<std::vector<int>> pads;
    for (const ShortFinding& found : report.shorts) {
        pads.push_back(found.pads);
    }
    for (const OpenFinding& found : report.opens) {
        std::vector<int> all;
        for (const std::vector<int>& group : found.groups) {
            all.insert(all.end(), group.begin(), group.end());
        }
        std::sort(all.begin(), all.end());
        pads.push_back(std::move(all));
    }
    for (const NetSuggestion& found : report.suggestions) {
        pads.push_back({found.pad});
    }
    for (int pad : report.untraced) {
        pads.push_back({pad});
    }
    return pads;
}

QString CheckWindow::SummaryText(const CheckReport& report) {
    if (report.passed()) {
        return QStringLiteral("No shorts, no opens.");
    }
    QString text = counted(report.shorts.size(), "short") + QStringLiteral(", ") +
                   counted(report.opens.size(), "open") + QLatin1Char('.');
    text[0] = text[0].toUpper();
    return text;
}

void CheckWindow::setReport(const CheckReport& report) {
    report_ = report;
    pads_ = FindingPads(report_);
    lblSummary_->setText(SummaryText(report_));
    lstFindings_->clear();
    lstFindings_->addItems(FindingTexts(report_));
    cmdNameSuggested_->setEnabled(!report_.suggestions.empty());
}

void CheckWindow::choose(int row) {
    if (row >= 0 && std::size_t(row) < pads_.size()) {
        emit findingChosen(pads_[std::size_t(row)]);
    }
}

void CheckWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace korvane
