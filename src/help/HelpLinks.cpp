#include "help/HelpLinks.h"

namespace korvane {

Deployment BuildDeployment() {
#if defined(KORVANE_WEB_HOST) && defined(KORVANE_AUTHOR_MAIL) && defined(KORVANE_AUTHOR_NAME)
    return {KORVANE_WEB_HOST, KORVANE_AUTHOR_MAIL, KORVANE_AUTHOR_NAME};
#else
    return {"https://korvane.example.org", "author@korvane.example.org", "Author"};
#endif
}

std::string HelpPageUrl(const Deployment& d) {
    return d.webHost + "/software/win/korvane.html";
}

std::string DonationPageUrl(const Deployment& d) {
    return d.webHost + "/korvane.html";
}

std::string HomePageUrl(const Deployment& d) {
    return d.webHost + "/korvane/";
}

std::string MailLink(const Deployment& d) {
    return "mailto:" + d.authorMail + "?Subject=" + "from Korvane user" + "&body=" + "Hello, " +
           d.authorName + " !";
}

std::string VersionText(int major, int minor, int revision) {
    return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(revision);
}

}  // namespace korvane
