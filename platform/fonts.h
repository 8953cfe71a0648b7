// Tahoma, the font the windows are designed in.
#pragma once

#include <QFont>
#include <QProxyStyle>

namespace platform {

// Registers Tahoma from Debian's fonts-wine, which fontconfig does not find by itself, and
// otherwise substitutes DejaVu Sans. Only the regular face is registered: Wine's bold face
// draws its strokes no thicker than the regular one, so bold is left to Qt's emboldening of
// the regular face. Call once after QApplication.
void registerTahoma();

// Tahoma at a point size, bold or not.
QFont tahoma(double pointSize, bool bold);

// The font Windows draws menus, status bars and dialogs in when they set none: Tahoma 8.
QFont systemFont();

// Qt makes Tahoma's bold by thickening the regular face's strokes by a width fixed in the
// font's own pixels, before a scaled screen enlarges them: at 1× the strokes gain a whole pixel,
// at 2× half a screen pixel of four times the area, and the bold looks regular. This style
// strikes bold item text (button captions, labels) again, one screen pixel further right for
// each whole step of scaling beyond 1×, as Windows makes a bold the font lacks; at 1× it draws
// what Qt draws. Set it on the application once after QApplication.
class BoldTextStyle : public QProxyStyle
{
public:
    void drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &palette,
                      bool enabled, const QString &text,
                      QPalette::ColorRole textRole = QPalette::NoRole) const override;
};

// The extra strikes bold text takes at a device pixel ratio: none at 1×, one at 1.5× and 2×.
int boldOverstrikes(qreal devicePixelRatio);

} // namespace platform
