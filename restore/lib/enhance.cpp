// Enhancement in the frequency domain.
#include "enhance.h"

#include "fft.h"
#include "padding.h"
#include "tone.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace restore {

namespace {

const double kLogScale = std::log(256.0);

// Whether n has no prime factor above 7: FFTW is fastest on such sizes.
bool smooth(int n)
{
    for (int p : {2, 3, 5, 7})
        while (n % p == 0)
            n /= p;
    return n == 1;
}

// The least pad of at least `margin` that gives the mirrored line an FFT-friendly length.
int padFor(int n, int margin)
{
    for (int p = margin; p < margin + 64; ++p)
        if (smooth(n + 2 * p))
            return p;
    return margin;
}

// Filters `image`, mirrored by (padX, padY) about its borders, by a gain that depends on the
// frequency (fu, fv) in bins of the mirrored image's transform, whose size is passed along.
template<typename Gain>
img::Image filterMirrored(const img::Image &image, int padX, int padY, Gain gain)
{
    img::Spectrum s = img::forward(img::mirrorPad(image, padX, padY));
    for (int v = 0; v < s.height; ++v) {
        const int fv = img::signedFrequency(v, s.height);
        for (int u = 0; u < s.halfWidth(); ++u)
            s.at(u, v) *= gain(u, fv, s.width, s.height);
    }
    return img::crop(img::inverse(s), padX, padY, image.width, image.height);
}

// The values at the `low` and `high` fractions of the sorted pixels.
std::pair<double, double> quantiles(const std::vector<double> &px, double low, double high)
{
    std::vector<double> values = px;
    const auto at = [&](double f) {
        return values.begin() + long(std::llround(f * double(values.size() - 1)));
    };
    const auto lo = at(low), hi = at(high);
    std::nth_element(values.begin(), lo, values.end());
    const double loValue = *lo;
    // Everything after `lo` is already no smaller than it, so the second search can start
    // there; it may move `lo` itself, whose value was kept.
    if (hi > lo)
        std::nth_element(lo + 1, hi, values.end());
    return {loValue, *hi};
}

} // namespace

img::Image logImage(const img::Image &image)
{
    img::Image out(image.width, image.height);
    for (size_t i = 0; i < image.size(); ++i)
        out.px[i] = std::log1p(255.0 * std::max(0.0, image.px[i])) / kLogScale;
    return out;
}

img::Image expImage(const img::Image &logarithm)
{
    img::Image out(logarithm.width, logarithm.height);
    for (size_t i = 0; i < logarithm.size(); ++i)
        out.px[i] = std::expm1(logarithm.px[i] * kLogScale) / 255.0;
    return out;
}

double homomorphicGain(double distanceSquaredBins)
{
    return (kGammaHigh - kGammaLow)
        * (1.0 - std::exp(-kSharpness * distanceSquaredBins / (kCutoffBins * kCutoffBins)))
        + kGammaLow;
}

img::Image homomorphic(const img::Image &logarithm)
{
    if (logarithm.size() == 0)
        return logarithm;
    // The illumination the filter takes out varies over a good part of the image, so the
    // mirror is half the image wide on each side: nearly one whole period of the image's even
    // extension, whose borders meet without a jump.
    const img::Image filtered = filterMirrored(
        logarithm, logarithm.width / 2, logarithm.height / 2, [](int fu, int fv, int, int) {
            return homomorphicGain(double(fu) * fu + double(fv) * fv);
        });
    return img::stretchPercentile(expImage(filtered), kHomoClip, 1.0 - kHomoClip);
}

double emphasisGain(double distanceSquaredCycles)
{
    return kEmphasisA
        + kEmphasisB
        * (1.0 - std::exp(-distanceSquaredCycles / (2.0 * kEmphasisCutoff * kEmphasisCutoff)));
}

img::Image emphasise(const img::Image &image)
{
    if (image.size() == 0)
        return image;
    // The high-pass reaches a few pixels only (a Gaussian of 1/(2π·D0) = 1.6 pixels), so a
    // narrow mirror keeps the opposite borders apart: the transform stays a quarter of the
    // size the homomorphic filter needs.
    img::Image out
        = filterMirrored(image, padFor(image.width, kEmphasisMargin),
                         padFor(image.height, kEmphasisMargin), [](int fu, int fv, int w, int h) {
                             const double cu = double(fu) / w;
                             const double cv = double(fv) / h;
                             return emphasisGain(cu * cu + cv * cv);
                         });
    double mean = 0.0;
    for (double v : out.px)
        mean += v;
    mean /= double(out.size());
    const auto [lo, hi] = quantiles(out.px, kEmphasisClip, 1.0 - kEmphasisClip);
    double scale = 1.0;
    if (hi > 1.0 && hi > mean)
        scale = std::min(scale, (1.0 - mean) / (hi - mean));
    if (lo < 0.0 && lo < mean)
        scale = std::min(scale, mean / (mean - lo));
    scale = std::max(scale, 0.0);
    for (double &v : out.px)
        v = mean + (v - mean) * scale;
    return out;
}

int emphasisBits(const img::Image &input)
{
    for (double v : input.px) {
        const double level = v * 255.0;
        if (std::abs(level - std::round(level)) > 1e-6)
            return 8;
    }
    return 16;
}

} // namespace restore
