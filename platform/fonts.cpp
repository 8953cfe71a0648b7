// Tahoma from fonts-wine when it is there, a similar sans-serif otherwise.
#include "fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QPainter>
#include <cmath>

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

int boldOverstrikes(qreal devicePixelRatio)
{
    return std::max(0, int(std::lround(devicePixelRatio)) - 1);
}

void BoldTextStyle::drawItemText(QPainter *painter, const QRect &rect, int flags,
                                 const QPalette &palette, bool enabled, const QString &text,
                                 QPalette::ColorRole textRole) const
{
    QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
    if (painter->font().weight() < QFont::Bold)
        return;
    const qreal ratio = painter->device()->devicePixelRatioF();
    for (int strike = 1; strike <= boldOverstrikes(ratio); ++strike) {
        painter->save();
        painter->translate(strike / ratio, 0);
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
        painter->restore();
    }
}

} // namespace platform
