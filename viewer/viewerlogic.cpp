// The viewer's rules, without widgets.
#include "viewerlogic.h"

#include "dospath.h"
#include "measures.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <system_error>

namespace viewer {

namespace {

// About 128 MB of 32-bit pixmap: enough for 8x on a 512 x 512 photograph.
constexpr double kMaxShownPixels = double(1 << 25);

// Steps are compared with a little slack so that 2/3 computed twice is one step.
constexpr double kSlack = 1e-9;

// The smallest window that still shows its menus and status bar whole.
constexpr int kMinViewportWidth = 360;
constexpr int kMinViewportHeight = 160;

double clamp01(double value)
{
    return std::clamp(value, 0.0, 1.0);
}

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

QString pixelText(QPoint pixel, double grey, int maxval)
{
    const QString where = QStringLiteral("x %1, y %2").arg(pixel.x()).arg(pixel.y());
    const long onScale = std::lround(clamp01(grey) * maxval);
    if (maxval == 255)
        return QStringLiteral("%1 · gris %2").arg(where).arg(onScale);
    const long on255 = std::lround(clamp01(grey) * 255);
    return QStringLiteral("%1 · gris %2 de %3 (%4 en 0–255)")
        .arg(where)
        .arg(onScale)
        .arg(maxval)
        .arg(on255);
}

QString spectrumText(QPoint pixel, double magnitude)
{
    return QStringLiteral("x %1, y %2 · |F| %3")
        .arg(pixel.x())
        .arg(pixel.y())
        .arg(spanishNumber(magnitude, magnitude < 10 ? 2 : 1));
}

QString differenceText(QPoint pixel, double levels)
{
    const long rounded = std::lround(levels);
    return QStringLiteral("x %1, y %2 · diferencia %3")
        .arg(pixel.x())
        .arg(pixel.y())
        .arg(rounded < 0 ? QStringLiteral("−%1").arg(-rounded) : QString::number(rounded));
}

QString zoomText(double scale, bool fitted)
{
    const double percent = 100 * scale;
    const QString text = percent < 9.95 ? spanishNumber(percent, 1) + QStringLiteral(" %")
                                        : QStringLiteral("%1 %").arg(std::lround(percent));
    return fitted ? text + QStringLiteral(" (ajustada)") : text;
}

QString summaryText(QSize image, int maxval)
{
    const QString size = QStringLiteral("%1 × %2 píxeles").arg(image.width()).arg(image.height());
    if (maxval == 255)
        return size + QStringLiteral(" · 8 bits");
    if (maxval == 65535)
        return size + QStringLiteral(" · 16 bits");
    return size + QStringLiteral(" · grises de 0 a %1").arg(maxval);
}

QString spanishNumber(double value, int decimals)
{
    QLocale spanish(QLocale::Spanish, QLocale::Spain);
    spanish.setNumberOptions(QLocale::OmitGroupSeparator);
    return spanish.toString(value, 'f', decimals);
}

QString psnrText(double db, const QString &referenceName)
{
    if (std::isinf(db))
        return QStringLiteral("PSNR frente a %1: ∞ dB (imágenes idénticas)").arg(referenceName);
    return QStringLiteral("PSNR frente a %1: %2 dB").arg(referenceName, spanishNumber(db, 1));
}

QString comparisonText(const GreyLevels &image, const GreyLevels &reference,
                       const QString &referenceName)
{
    const std::optional<Measures> measures = measure(image, reference);
    return measures ? measuresText(*measures, referenceName) : QString();
}

std::optional<fs::path> comparisonFile(const fs::path &shown)
{
    const fs::path folder = shown.has_parent_path() ? shown.parent_path() : fs::path(".");
    const fs::path reference = dos::findInFolder(folder, kReferenceName);
    std::error_code error;
    if (!fs::is_regular_file(reference, error))
        return std::nullopt;
    if (dos::equalsIgnoreCase(shown.filename().string(), reference.filename().string())
        || fs::equivalent(shown, reference, error))
        return std::nullopt;
    return reference;
}

} // namespace viewer
