// PSNR and SSIM against align.pgm.
#include "measures.h"

#include "pnm.h"
#include "readouts.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

namespace picture {

namespace {

// PSNR on the 16-bit levels a file can hold: a reader may scale by 1/maxval or divide by it,
// and a bitmap and its PGM twin must come out identical, not 330 dB apart.
double psnr16(const GreyLevels &image, const GreyLevels &reference)
{
    const int w = image.width(), h = image.height();
    std::vector<double> a(static_cast<size_t>(w)), b(static_cast<size_t>(w));
    double sum = 0;
    for (int y = 0; y < h; ++y) {
        image.row(y, a.data());
        reference.row(y, b.data());
        for (int x = 0; x < w; ++x) {
            const double d = double(img::quantise(a[size_t(x)], 65535))
                - double(img::quantise(b[size_t(x)], 65535));
            sum += d * d;
        }
    }
    const double mse = sum / (double(w) * double(h) * 65535.0 * 65535.0);
    return mse > 0 ? 10 * std::log10(1 / mse) : std::numeric_limits<double>::infinity();
}

} // namespace

std::optional<Measures> measure(const GreyLevels &image, const GreyLevels &reference)
{
    if (image.size() != reference.size() || image.size().isEmpty())
        return std::nullopt;
    return Measures {psnr16(image, reference),
                     img::ssim(image.width(), image.height(), image.rows(), reference.rows())};
}

QString measuresText(const Measures &measures, const QString &referenceName)
{
    QString text = psnrText(measures.psnr, referenceName);
    if (measures.ssim)
        text += QStringLiteral(" · SSIM %1").arg(spanishNumber(*measures.ssim, 3));
    return text;
}

std::string measuresReport(const Measures &measures)
{
    char line[64];
    if (std::isinf(measures.psnr))
        std::snprintf(line, sizeof line, "PSNR inf dB\n");
    else
        std::snprintf(line, sizeof line, "PSNR %.3f dB\n", measures.psnr);
    std::string report = line;
    if (measures.ssim) {
        std::snprintf(line, sizeof line, "SSIM %.5f\n", *measures.ssim);
        report += line;
    }
    return report;
}

} // namespace picture
