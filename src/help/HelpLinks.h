#pragma once

// The program's outside destinations: its web pages and a prepared mail to the author. The host, the
// address and the first name are deployment values, set when the program is built.

#include <string>

namespace korvane {

struct Deployment {
    std::string webHost;     // e.g. "https://korvane.example.org", no trailing slash
    std::string authorMail;  // e.g. "author@korvane.example.org"
    std::string authorName;  // first name used in the greeting
};

// The values this build was configured with.
Deployment BuildDeployment();

std::string HelpPageUrl(const Deployment& d);      // host + "/software/win/korvane.html"
std::string DonationPageUrl(const Deployment& d);  // host + "/korvane.html"
std::string HomePageUrl(const Deployment& d);      // host + "/korvane/"
// "mailto:" address "?Subject=from Korvane user&body=" greeting, with nothing escaped: mail programs
// take the blanks as they are.
std::string MailLink(const Deployment& d);

// "major.minor.revision", each number without blanks.
std::string VersionText(int major, int minor, int revision);

}  // namespace korvane
