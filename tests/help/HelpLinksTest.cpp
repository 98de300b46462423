#include <gtest/gtest.h>

#include "help/HelpLinks.h"

namespace korvane {
namespace {

TEST(HelpLinks, PagesMailAndVersionAreBuiltExactly) {
    const Deployment d{"https://boards.example.net", "ann@boards.example.net", "Ann"};
    EXPECT_EQ(HelpPageUrl(d), "https://boards.example.net/software/win/korvane.html");
    EXPECT_EQ(DonationPageUrl(d), "https://boards.example.net/korvane.html");
    EXPECT_EQ(HomePageUrl(d), "https://boards.example.net/korvane/");
    // Nothing is escaped: mail programs take the subject and greeting with their blanks.
    EXPECT_EQ(MailLink(d), "mailto:ann@boards.example.net?Subject=from Korvane user&body=Hello, Ann !");
    EXPECT_EQ(VersionText(2, 0, 3), "2.0.3");
    EXPECT_EQ(VersionText(0, 10, 12), "0.10.12");
}

}  // namespace
}  // namespace korvane
