// Tahoma from fonts-wine when it is there, a similar sans-serif otherwise.
#include "fonts.h"

#include <QFile>
#include <QFontDatabase>

namespace platform {

void registerTahoma()
{
    bool found = false;
    for (const char *file :
         {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
        if (QFile::exists(QString::fromLatin1(file)))
            found = QFontDatabase::addApplicationFont(QString::fromLatin1(file)) >= 0 || found;
    }
    if (!found)
        QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"));
}

QFont tahoma(double pointSize, bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace platform
