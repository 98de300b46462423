#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/MainWindow.h"
#include "help/AboutWindow.h"
#include "help/HelpLinks.h"
#include "support/ScriptedUi.h"
#include "support/TestMainWindow.h"

namespace korvane {
namespace {

using testing::ScriptedUi;
using namespace std::string_literals;

TEST(HelpLinks, PagesMailAndVersionAreBuiltExactly) {
    const Deployment d{"https://boards.example.net", "ann@boards.example.net", "Ann"};
    EXPECT_EQ((std::vector<std::string>{HelpPageUrl(d), DonationPageUrl(d), HomePageUrl(d)}),
              (std::vector<std::string>{"https://boards.example.net/software/win/korvane.html",
                                        "https://boards.example.net/korvane.html",
                                        "https://boards.example.net/korvane/"}));
    // Nothing is escaped: mail programs take the subject and greeting with their blanks.
    EXPECT_EQ(MailLink(d), "mailto:ann@boards.example.net?Subject=from Korvane user&body=Hello, Ann !");
    EXPECT_EQ(VersionText(0, 10, 12), "0.10.12");
}

TEST(About, ShowsTheBuildVersionAndTheTexts) {
    ScriptedUi ui;
    AboutWindow about(nullptr, ui);
    EXPECT_EQ(about.windowTitle(), "About \"Korvane\"");
    EXPECT_EQ(about.lblVer()->text().toStdString(),
              VersionText(KORVANE_VERSION_MAJOR, KORVANE_VERSION_MINOR, KORVANE_VERSION_PATCH));
    EXPECT_EQ(about.findChild<QLabel*>("Label12")->text(), "Version:");
    EXPECT_EQ(
        about.findChild<QLabel*>("lblAbout")->text(),
        "PCB re-engineering software:\nViewer, compaper of two pictures - two scanned layers of PCB and data "
        "exporter to CAD. Software for radioengineers.");
    EXPECT_EQ(about.lblhelp(1)->text() + '|' + about.lblhelp(3)->text(), "Mail to author|Home page");
    EXPECT_EQ(about.lblhelp(3)->cursor().shape(), Qt::PointingHandCursor);
    auto* close = about.findChild<QPushButton*>("cmdOk");
    EXPECT_EQ(close->text(), "&Close");
    EXPECT_TRUE(close->isDefault());
    EXPECT_FALSE(about.windowFlags().testFlag(Qt::WindowCloseButtonHint));
}

TEST(About, EveryLinkClickOpensItsDestinationAndClosesAsEscDoes) {
    ScriptedUi ui;
    const Deployment d = BuildDeployment();
    AboutWindow about(nullptr, ui);
    for (const auto& [index, url] :
         {std::pair{1, MailLink(d)}, std::pair{3, HomePageUrl(d)}, std::pair{2, ""s}}) {
        SCOPED_TRACE(index);
        about.show();
        ui.clear();
        index == 2 ? about.openLink(2) : QTest::mouseClick(about.lblhelp(index), Qt::LeftButton);
        EXPECT_FALSE(about.isVisible());
        ASSERT_EQ(ui.count("url"), url.empty() ? 0 : 1) << "other indices open nothing";
        EXPECT_EQ(url.empty() ? url : ui.calls.back().url, url);
    }
    about.show();
    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
}

TEST(About, HelpMenuOpensThePagesAndTheAboutWindowModally) {
    ScriptedUi ui;
    TestMainWindow window(ui);
    window.startUp("");
    const Deployment d = BuildDeployment();
    window.help().openHelpPage();
    window.help().openDonatePage();
    ASSERT_EQ(ui.count("url"), 2);
    EXPECT_EQ(ui.calls[0].url + ' ' + ui.calls[1].url, HelpPageUrl(d) + ' ' + DonationPageUrl(d));
    AboutWindow* modal = nullptr;
    QTimer::singleShot(0, [&] {
        if ((modal = qobject_cast<AboutWindow*>(QApplication::activeModalWidget())) != nullptr) {
            modal->closeWindow();
        }
    });
    window.help().showAbout();
    EXPECT_NE(modal, nullptr);
}

}  // namespace
}  // namespace korvane
