#include "platform/Registry.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

#include "platform/QtText.h"

namespace korvane::Registry {

namespace {

struct Location {
    QString organisation;
    QString group;
};

Location locate(const std::string& keyPath) {
    QStringList parts = QString::fromUtf8(keyPath.c_str()).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.first().compare(QLatin1String("SOFTWARE"), Qt::CaseInsensitive) == 0) {
        parts.removeFirst();
    }
    Location location;
    location.organisation = parts.isEmpty() ? QStringLiteral("Korvane") : parts.takeFirst();
    location.group = parts.join(QLatin1Char('/'));
    return location;
}

}  // namespace

std::optional<std::string> GetString(const std::string& keyPath, const std::string& valueName) {
    const Location location = locate(keyPath);
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, location.organisation,
                       location.organisation);
    if (settings.status() != QSettings::NoError) {
        return std::nullopt;
    }
    settings.beginGroup(location.group);
    const QVariant value = settings.value(QString::fromUtf8(valueName.c_str()));
    if (!value.isValid() || value.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return pathFromQ(value.toString());
}

void SetString(const std::string& keyPath, const std::string& valueName, const std::string& text) {
    const Location location = locate(keyPath);
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, location.organisation,
                       location.organisation);
    settings.beginGroup(location.group);
    settings.setValue(QString::fromUtf8(valueName.c_str()), pathToQ(text));
    settings.endGroup();
    settings.sync();
}

}  // namespace korvane::Registry
