// How the viewer zooms: the steps of "Acercar" and "Alejar", the factor that fits the window,
// which pixel lies under the cursor, and the zoom the status bar names.
//
// Kept apart from the widgets so that every rule the student sees can be checked headless.
#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

#include <optional>

namespace viewer {

// The zoom ladder: "Acercar" and "Alejar" move along it, so that after any fit the student is
// back on round factors whose pixels stay square on screen.
inline constexpr double kZoomSteps[]
    = {1.0 / 16, 1.0 / 8, 1.0 / 4, 1.0 / 3, 1.0 / 2, 2.0 / 3, 1, 1.5, 2, 3, 4, 6, 8, 12, 16};

// The largest factor the image may be shown at: the scaled picture is a pixmap in memory, so big
// images zoom less. Never below 1, the image's own size.
double maxScaleFor(QSize image);

// The next step of the ladder above (below) `scale`; `scale` itself at the end of the ladder.
double zoomInStep(double scale, double maxScale);
double zoomOutStep(double scale);

// The factor that shows the whole image in `viewport` without changing its proportions.
double fitScale(QSize image, QSize viewport);

// The size of the image on screen at `scale`, at least one pixel each way.
QSize scaledSize(QSize image, double scale);

// The image pixel under `position`, a point of the shown picture of size `shown`; nothing when
// the point lies outside it.
std::optional<QPoint> pixelAt(QPoint position, QSize image, QSize shown);

// The viewport a new window opens with: the image at its own size when it fits on the screen,
// otherwise the image fitted to the screen, its proportions kept; never so small that the menus
// are squeezed.
QSize initialViewport(QSize image, QSize available);

// The zoom the status bar shows: "25 %", "6,3 %" below 10, and "ajustada" while the picture
// follows the window's size.
QString zoomText(double scale, bool fitted);

} // namespace viewer
