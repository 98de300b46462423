#include "app/HelpCommands.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QUrl>
#include <functional>

#include "app/MainMenu.h"
#include "app/Shell.h"
#include "help/AboutWindow.h"
#include "help/HelpLinks.h"
#include "platform/DataFolder.h"
#include "platform/QtText.h"
#include "platform/Ui.h"

namespace korvane {

namespace {

// F1 inside an open menu: the window's own F1 shortcut does not fire while a menu has the keyboard, so
// each menu passes the key on with the help topic of the item under the pointer (or of the menu).
class MenuHelpKey : public QObject {
  public:
    MenuHelpKey(QObject* parent, std::function<void(int topic)> show)
        : QObject(parent), show_(std::move(show)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* menu = qobject_cast<QMenu*>(watched);
        if (menu == nullptr || event->type() != QEvent::KeyPress ||
            static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1 ||
            (static_cast<QKeyEvent*>(event)->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
            return false;
        }
        QVariant topic =
            menu->activeAction() != nullptr ? menu->activeAction()->property("helpTopic") : QVariant();
        if (!topic.isValid()) {
            topic = menu->menuAction()->property("helpTopic");
        }
        show_(topic.isValid() ? topic.toInt() : 0);
        return true;
    }

  private:
    std::function<void(int topic)> show_;
};

}  // namespace

HelpCommands::HelpCommands(QMainWindow& window, Ui& ui) : window_(window), ui_(ui) {
    // F1 has no menu item of its own: the Help item's caption only names the key.
    auto* help = new QShortcut(QKeySequence::HelpContents, &window);
    QObject::connect(help, &QShortcut::activated, &window, [this] { showGuide(); });
    auto* menuHelp = new MenuHelpKey(
        &window, [this](int topic) { openGuide(topic == kTracingHelpTopic ? "tracing" : ""); });
    for (QMenu* menu : window.menuBar()->findChildren<QMenu*>()) {
        menu->installEventFilter(menuHelp);
    }
}

void HelpCommands::findGuide() {
    const QString helpIndex = pathToQ(DataFolder(pathFromQ(QCoreApplication::applicationDirPath()))) +
                              QStringLiteral("/help/index.html");
    HelpFile = QFileInfo::exists(helpIndex) ? pathFromQ(helpIndex) : std::string();
}

void HelpCommands::openHelpPage() {
    ui_.openUrl(HelpPageUrl(BuildDeployment()));
}

void HelpCommands::openDonatePage() {
    ui_.openUrl(DonationPageUrl(BuildDeployment()));
}

void HelpCommands::showAbout() {
    AboutWindow about(&window_, ui_);
    about.exec();
}

void HelpCommands::showGuide() {
    openGuide("");
}

void HelpCommands::openGuide(const std::string& section) {
    if (HelpFile.empty()) {
        return;
    }
    QUrl url = QUrl::fromLocalFile(pathToQ(HelpFile));
    if (!section.empty()) {
        url.setFragment(toQ(section));
    }
    if (!ui_.openUrl(fromQ(url.toString()))) {
        // Without a browser the guide is still there to be opened by hand: say where.
        ui_.tell(
            "No web browser could be started to show the user guide. Open this file by hand:\n" + HelpFile,
            "Help:", MsgIcon::Information);
    }
}

}  // namespace korvane
