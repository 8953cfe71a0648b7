// The viewer's zoom, without widgets.
#include "zoom.h"

#include "readouts.h"

#include <algorithm>
#include <cmath>

namespace viewer {

namespace {

// About 128 MB of 32-bit pixmap: enough for 8x on a 512 x 512 photograph.
constexpr double kMaxShownPixels = double(1 << 25);

// Steps are compared with a little slack so that 2/3 computed twice is one step.
constexpr double kSlack = 1e-9;

// The smallest window that still shows its menus and status bar whole.
constexpr int kMinViewportWidth = 360;
constexpr int kMinViewportHeight = 160;

} // namespace

double maxScaleFor(QSize image)
{
    const double pixels = std::max(1.0, double(image.width()) * double(image.height()));
    const double byMemory = std::sqrt(kMaxShownPixels / pixels);
    return std::max(1.0, std::min(kZoomSteps[std::size(kZoomSteps) - 1], byMemory));
}

double zoomInStep(double scale, double maxScale)
{
    for (double step : kZoomSteps)
        if (step > scale * (1 + kSlack))
            return step <= maxScale * (1 + kSlack) ? step : scale;
    return scale;
}

double zoomOutStep(double scale)
{
    for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
        if (*it < scale * (1 - kSlack))
            return *it;
    return scale;
}

double fitScale(QSize image, QSize viewport)
{
    if (image.isEmpty() || viewport.isEmpty())
        return 1.0;
    return std::min(double(viewport.width()) / image.width(),
                    double(viewport.height()) / image.height());
}

QSize scaledSize(QSize image, double scale)
{
    return QSize(std::max(1, int(std::lround(image.width() * scale))),
                 std::max(1, int(std::lround(image.height() * scale))));
}

std::optional<QPoint> pixelAt(QPoint position, QSize image, QSize shown)
{
    if (image.isEmpty() || shown.isEmpty() || position.x() < 0 || position.y() < 0
        || position.x() >= shown.width() || position.y() >= shown.height())
        return std::nullopt;
    // Integer arithmetic: at 1:1 and at whole factors every screen pixel maps exactly.
    const int x = int(qint64(position.x()) * image.width() / shown.width());
    const int y = int(qint64(position.y()) * image.height() / shown.height());
    return QPoint(std::min(x, image.width() - 1), std::min(y, image.height() - 1));
}

QSize initialViewport(QSize image, QSize available)
{
    const QSize room = available * 0.85;
    // A larger picture opens fitted: the window takes its proportions, not the screen's.
    const QSize shown = image.width() > room.width() || image.height() > room.height()
        ? scaledSize(image, fitScale(image, room))
        : image;
    return QSize(std::max(shown.width(), kMinViewportWidth),
                 std::max(shown.height(), kMinViewportHeight));
}

QString zoomText(double scale, bool fitted)
{
    const double percent = 100 * scale;
    const QString text = percent < 9.95 ? picture::spanishNumber(percent, 1) + QStringLiteral(" %")
                                        : QStringLiteral("%1 %").arg(std::lround(percent));
    return fitted ? text + QStringLiteral(" (ajustada)") : text;
}

} // namespace viewer
