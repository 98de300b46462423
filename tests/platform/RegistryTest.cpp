#include <gtest/gtest.h>

#include <QSettings>

#include "platform/Registry.h"

namespace korvane {
namespace {

TEST(Registry, LastPathRoundTripsAndOtherTypesReadAsNoValue) {
    const std::string key = "SOFTWARE\\KorvaneTest\\Prop";
    EXPECT_FALSE(Registry::GetString(key, "LastPath").has_value());

    Registry::SetString(key, "LastPath", "/home/user/boards/amp.kvp");
    EXPECT_EQ(Registry::GetString(key, "LastPath"), std::optional<std::string>("/home/user/boards/amp.kvp"));

    {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "KorvaneTest", "KorvaneTest");
        settings.setValue("Prop/LastPath", QStringList{"a", "b"});
    }
    EXPECT_FALSE(Registry::GetString(key, "LastPath").has_value()) << "a list is not a path";
}

}  // namespace
}  // namespace korvane
