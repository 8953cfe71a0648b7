// Twips, the unit window layouts are designed in: 1440 to the inch of the screen's logical
// resolution, so 15 twips make a pixel at 96 dpi.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <cmath>

namespace platform {

constexpr double kTwipsPerInch = 1440.0;

inline int twipsToPixels(double twips, double dpi = 96.0)
{
    return int(std::lround(twips * dpi / kTwipsPerInch));
}

inline double pixelsToTwips(int pixels, double dpi = 96.0)
{
    return pixels * kTwipsPerInch / dpi;
}

// A designed rectangle (left, top, width, height in twips) in pixels.
inline QRect twipsRect(double left, double top, double width, double height, double dpi = 96.0)
{
    return QRect(twipsToPixels(left, dpi), twipsToPixels(top, dpi), twipsToPixels(width, dpi),
                 twipsToPixels(height, dpi));
}

// Logical dots per inch of the primary screen (96 when there is none, as under tests).
double screenDpi();

} // namespace platform
