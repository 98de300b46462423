#include "help/AboutWindow.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "help/HelpLinks.h"
#include "platform/Ui.h"

namespace korvane {

namespace {

QLabel* makeLink(QWidget* parent, const char* name, int index, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setProperty("index", index);
    label->setCursor(Qt::PointingHandCursor);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: #1a4fb5;"));
    return label;
}

QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 64.0;
    // A board with a copper trace between two pads, and a second layer peeking out behind it.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2e, 0x6b, 0x3a));
    p.drawRoundedRect(QRectF(10 * s, 4 * s, 50 * s, 50 * s), 6 * s, 6 * s);
    p.setBrush(QColor(0x3f, 0x8f, 0x4e));
    p.drawRoundedRect(QRectF(4 * s, 10 * s, 50 * s, 50 * s), 6 * s, 6 * s);
    p.setPen(QPen(QColor(0xd9, 0x95, 0x4a), 6 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(16 * s, 46 * s), QPointF(16 * s, 30 * s), QPointF(32 * s, 22 * s),
                              QPointF(42 * s, 22 * s)}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe8, 0xa8, 0x5c));
    p.drawEllipse(QPointF(16 * s, 46 * s), 7 * s, 7 * s);
    p.drawEllipse(QPointF(42 * s, 22 * s), 7 * s, 7 * s);
    p.setBrush(QColor(0x1b, 0x1b, 0x1b));
    p.drawEllipse(QPointF(16 * s, 46 * s), 2.5 * s, 2.5 * s);
    p.drawEllipse(QPointF(42 * s, 22 * s), 2.5 * s, 2.5 * s);
    return pixmap;
}

}  // namespace

QIcon ApplicationIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(drawIcon(size));
    }
    return icon;
}

AboutWindow::AboutWindow(QWidget* owner, Ui& ui)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), ui_(ui) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About \"Korvane\""));
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(ApplicationIcon().pixmap(64, 64));

    auto* label12 = new QLabel(QStringLiteral("Version:"), this);
    label12->setObjectName(QStringLiteral("Label12"));
    lblVer_ = new QLabel(this);
    lblVer_->setObjectName(QStringLiteral("lblVer"));
#if defined(KORVANE_VERSION_MAJOR)
    lblVer_->setText(QString::fromStdString(
        VersionText(KORVANE_VERSION_MAJOR, KORVANE_VERSION_MINOR, KORVANE_VERSION_PATCH)));
#endif

    auto* about =
        new QLabel(QStringLiteral("PCB re-engineering software:\nViewer, compaper of two pictures - two "
                                  "scanned layers of PCB and data exporter to CAD. Software for "
                                  "radioengineers."),
                   this);
    about->setObjectName(QStringLiteral("lblAbout"));
    about->setWordWrap(true);
    about->setTextFormat(Qt::PlainText);
    about->setMinimumWidth(320);

    mailLabel_ = makeLink(this, "lblhelp", 1, QStringLiteral("Mail to author"));
    homeLabel_ = makeLink(this, "lblhelp", 3, QStringLiteral("Home page"));
    mailLabel_->installEventFilter(this);
    homeLabel_->installEventFilter(this);

    auto* cmdOk = new QPushButton(QStringLiteral("&Close"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdOk->setAutoDefault(true);
    connect(cmdOk, &QPushButton::clicked, this, &AboutWindow::closeWindow);

    auto* version = new QHBoxLayout;
    version->addWidget(label12);
    version->addWidget(lblVer_);
    version->addStretch();
    auto* links = new QHBoxLayout;
    links->addWidget(mailLabel_);
    links->addSpacing(24);
    links->addWidget(homeLabel_);
    links->addStretch();
    links->addWidget(cmdOk);
    auto* text = new QVBoxLayout;
    text->addLayout(version);
    text->addWidget(about);
    auto* top = new QHBoxLayout;
    top->addWidget(image, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(links);
}

QLabel* AboutWindow::lblhelp(int index) const {
    return index == 1 ? mailLabel_ : index == 3 ? homeLabel_ : nullptr;
}

void AboutWindow::openLink(int index) {
    const Deployment deployment = BuildDeployment();
    if (index == 1) {
        ui_.openUrl(MailLink(deployment));
    } else if (index == 3) {
        ui_.openUrl(HomePageUrl(deployment));
    }
    closeWindow();
}

// Esc closes the window as the Close button does, Enter presses the default Close button.
void AboutWindow::closeWindow() {
    accept();
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        openLink(watched->property("index").toInt());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace korvane
