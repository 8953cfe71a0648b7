// Settings live in QSettings' native store, under organisation and application `appName`
// (~/.config/<appName>/<appName>.conf), one group per section.
#include "settings.h"

#include <QSettings>

namespace platform {

namespace {

QString path(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

QString GetSetting(const QString &appName, const QString &section, const QString &key,
                   const QString &defaultValue)
{
    QSettings settings(appName, appName);
    const QVariant value = settings.value(path(section, key));
    return value.isValid() ? value.toString() : defaultValue;
}

void SaveSetting(const QString &appName, const QString &section, const QString &key,
                 const QString &value)
{
    QSettings settings(appName, appName);
    settings.setValue(path(section, key), value);
}

} // namespace platform
