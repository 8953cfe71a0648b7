// Qt's own texts in Spanish, for every program of ours: standard buttons and dialogs read
// "Aceptar", "Cancelar", "Cerrar", "Abrir".
#pragma once

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace platform {

// Installs Debian's Spanish translation of Qt (qt6-translations-l10n) for the application's
// life. Without it the texts stay English; nothing else changes.
inline void installSpanishQt(QCoreApplication &application)
{
    auto *translator = new QTranslator(&application);
    if (translator->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

} // namespace platform
