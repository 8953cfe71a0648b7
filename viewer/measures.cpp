// PSNR and SSIM against align.pgm.
#include "measures.h"

#include "quality.h"
#include "viewerlogic.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace viewer {

namespace {

constexpr double kSigma = 1.5;
// scikit-image's window: the Gaussian truncated at 3.5 σ, radius int(3.5 σ + 0.5) = 5.
constexpr int kRadius = 5;
constexpr double kC1 = 0.01 * 0.01; // (K1 · data range)²
constexpr double kC2 = 0.03 * 0.03;

std::vector<double> gaussianWeights()
{
    std::vector<double> w(2 * kRadius + 1);
    double sum = 0;
    for (int i = -kRadius; i <= kRadius; ++i)
        sum += w[size_t(i + kRadius)] = std::exp(-0.5 * i * i / (kSigma * kSigma));
    for (double &value : w)
        value /= sum;
    return w;
}

// Mirrors an index into 0..n-1 as "d c b a | a b c d"; only the margin that the mean leaves out
// ever needs it, but the filter stays defined everywhere.
int reflect(int i, int n)
{
    while (i < 0 || i >= n)
        i = i < 0 ? -i - 1 : 2 * n - i - 1;
    return i;
}

// The separable Gaussian filter along the rows, then the columns.
img::Image gaussian(const img::Image &in, const std::vector<double> &w)
{
    img::Image rows(in.width, in.height), out(in.width, in.height);
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) {
            double sum = 0;
            for (int k = -kRadius; k <= kRadius; ++k)
                sum += w[size_t(k + kRadius)] * in.at(reflect(x + k, in.width), y);
            rows.at(x, y) = sum;
        }
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) {
            double sum = 0;
            for (int k = -kRadius; k <= kRadius; ++k)
                sum += w[size_t(k + kRadius)] * rows.at(x, reflect(y + k, in.height));
            out.at(x, y) = sum;
        }
    return out;
}

img::Image product(const img::Image &a, const img::Image &b)
{
    img::Image out(a.width, a.height);
    for (size_t i = 0; i < a.size(); ++i)
        out.px[i] = a.px[i] * b.px[i];
    return out;
}

} // namespace

std::optional<double> ssim(const img::Image &a, const img::Image &b)
{
    const int side = 2 * kRadius + 1;
    if (a.width != b.width || a.height != b.height || a.width < side || a.height < side)
        return std::nullopt;
    const std::vector<double> w = gaussianWeights();
    const img::Image ux = gaussian(a, w), uy = gaussian(b, w);
    const img::Image uxx = gaussian(product(a, a), w), uyy = gaussian(product(b, b), w),
                     uxy = gaussian(product(a, b), w);
    double sum = 0;
    for (int y = kRadius; y < a.height - kRadius; ++y)
        for (int x = kRadius; x < a.width - kRadius; ++x) {
            const double mx = ux.at(x, y), my = uy.at(x, y);
            const double vx = uxx.at(x, y) - mx * mx, vy = uyy.at(x, y) - my * my;
            const double cov = uxy.at(x, y) - mx * my;
            sum += (2 * mx * my + kC1) * (2 * cov + kC2)
                / ((mx * mx + my * my + kC1) * (vx + vy + kC2));
        }
    return sum / (double(a.width - 2 * kRadius) * double(a.height - 2 * kRadius));
}

std::optional<Measures> measure(const img::Image &image, const img::Image &reference)
{
    if (image.width != reference.width || image.height != reference.height || image.size() == 0)
        return std::nullopt;
    // PSNR on the 16-bit levels a file can hold: a reader may scale by 1/maxval or divide by
    // it, and a bitmap and its PGM twin must come out identical, not 330 dB apart.
    return Measures {img::psnr(img::quantised(image, 16), img::quantised(reference, 16)),
                     ssim(image, reference)};
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

} // namespace viewer
