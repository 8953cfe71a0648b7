// The per-user settings store: text values by application, section and key.
#pragma once

#include <QString>

namespace platform {

// The stored text, or `defaultValue` when the key is missing.
QString GetSetting(const QString &appName, const QString &section, const QString &key,
                   const QString &defaultValue);

void SaveSetting(const QString &appName, const QString &section, const QString &key,
                 const QString &value);

} // namespace platform
