// The texts said about a picture.
#include "readouts.h"

#include "dospath.h"
#include "measures.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <system_error>

namespace picture {

namespace {

double clamp01(double value)
{
    return std::clamp(value, 0.0, 1.0);
}

} // namespace

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

} // namespace picture
