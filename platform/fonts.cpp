// Tahoma from fonts-wine when it is there, a similar sans-serif otherwise.
#include "fonts.h"

#include <QFile>
#include <QFontDatabase>

namespace platform {

void registerTahoma()
{
    const QString regular = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
    if (!QFile::exists(regular) || QFontDatabase::addApplicationFont(regular) < 0)
        QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"));
}

QFont tahoma(double pointSize, bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont systemFont()
{
    return tahoma(8, false);
}

} // namespace platform
