// The curve of a restoration's value and the regions of a structured-noise removal, for the
// report.
#include "choice.h"

#include "explorable.h"
#include "linekeys.h"
#include "views.h"

#include <QFile>
#include <QPainter>

namespace report {

namespace {

// The largest side a spectrum keeps in the report, as the report's other pictures.
constexpr int kMaxSide = 660;

// `spectrum` (drawn from a width × height image) with `regions` drawn on it as boxes, reduced
// to the report's size keeping single bright bins.
QImage withRegions(const QImage &spectrum, QSize image, const std::vector<QRect> &regions)
{
    QImage shown = spectrum.width() <= kMaxSide && spectrum.height() <= kMaxSide
        ? spectrum
        : picture::maxReduced(spectrum,
                              spectrum.size().scaled(kMaxSide, kMaxSide, Qt::KeepAspectRatio));
    shown = shown.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&shown);
    const double sx = double(shown.width()) / image.width();
    const double sy = double(shown.height()) / image.height();
    const double pen = std::max(1.0, shown.width() / 220.0);
    painter.setPen(QPen(QColor(255, 60, 0), pen));
    painter.setRenderHint(QPainter::Antialiasing);
    for (const QRect &region : regions) {
        // The stroke on the ring of pixels just outside the zeroed bins, which stay visible
        // inside; a region of one bin would vanish at the report's size, so a box is at least
        // a few pens wide.
        QRectF drawn(region.left() * sx, region.top() * sy, region.width() * sx,
                     region.height() * sy);
        const double out
            = pen / 2 + std::max(0.0, (6 * pen - std::min(drawn.width(), drawn.height())) / 2);
        painter.drawRect(drawn.adjusted(-out, -out, out, out));
    }
    return shown;
}

} // namespace

std::vector<QRect> zeroedRegions(const QString &line)
{
    std::vector<QRect> regions;
    for (const restore::DisplayRect &r :
         regionsOfWord(img::lineValue(line.toStdString(), img::kRegionsKey).value_or("")))
        regions.push_back(QRect(QPoint(r.x0, r.y0), QPoint(r.x1, r.y1)));
    return regions;
}

void addChoice(LabReport &report, const picture::LoadedImage &result,
               const std::optional<picture::LoadedImage> &source)
{
    if (result.lines.isEmpty())
        return;
    const LineMeaning made = lookupLine(result.lines.constLast());
    if (isProgram(made, "wiener.exe") || isProgram(made, "inverse.exe")) {
        // The curve's PSNR alone: the figures of the result itself are in its column.
        QString why;
        report.curve = curveOf(result.path, report.name, why, restore::Measures::PsnrOnly);
        return;
    }
    if (!isProgram(made, "snr.exe"))
        return;
    const std::vector<QRect> regions = zeroedRegions(result.lines.constLast());
    const QSize size(result.grey.width(), result.grey.height());
    const QString marked
        = QStringLiteral("en rojo, las regiones anuladas (%1)").arg(regions.size());
    if (!report.spectrum.isNull()) {
        report.spectrum = withRegions(report.spectrum, size, regions);
        report.spectrumCaption += QStringLiteral("; ") + marked;
    }
    if (!source || source->grey.width() != size.width() || source->grey.height() != size.height())
        return;
    report.spectrumBefore = withRegions(picture::spectrumView(source->grey).display, size, regions);
    report.spectrumBeforeCaption
        = QStringLiteral("Espectro de %1, antes del retiro; %2")
              .arg(QFile::decodeName(source->path.filename().string().c_str()), marked);
}

} // namespace report
