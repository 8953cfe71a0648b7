// Tahoma, the font the windows are designed in.
#pragma once

#include <QFont>

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

} // namespace platform
