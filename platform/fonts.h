// Tahoma, the font the windows are designed in.
#pragma once

#include <QFont>

namespace platform {

// Registers the Tahoma-compatible fonts of Debian's fonts-wine package, which fontconfig does
// not find by itself, and otherwise substitutes DejaVu Sans. Call once after QApplication.
void registerTahoma();

// Tahoma at a point size, bold or not.
QFont tahoma(double pointSize, bool bold);

} // namespace platform
