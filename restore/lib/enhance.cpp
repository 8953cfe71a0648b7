// Enhancement in the frequency domain.
#include "enhance.h"

#include "fft.h"
#include "padding.h"
#include "tone.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace restore {

namespace {

const double kLogScale = std::log(256.0);

// Filters `image` by a gain that depends on the frequency (fu, fv) in bins of the transform of
// the mirrored image, whose size is passed along.
template<typename Gain> img::Image filterMirrored(const img::Image &image, Gain gain)
{
    // Half the size on each side makes the mirrored image nearly one whole period of the
    // image's even extension, so its borders meet without a jump.
    const int padX = image.width / 2;
    const int padY = image.height / 2;
    img::Spectrum s = img::forward(img::mirrorPad(image, padX, padY));
    for (int v = 0; v < s.height; ++v) {
        const int fv = img::signedFrequency(v, s.height);
        for (int u = 0; u < s.halfWidth(); ++u)
            s.at(u, v) *= gain(u, fv, s.width, s.height);
    }
    return img::crop(img::inverse(s), padX, padY, image.width, image.height);
}

double quantile(std::vector<double> values, double fraction)
{
    const auto k = size_t(std::llround(std::clamp(fraction, 0.0, 1.0) * double(values.size() - 1)));
    std::nth_element(values.begin(), values.begin() + long(k), values.end());
    return values[k];
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
    const img::Image filtered = filterMirrored(logarithm, [](int fu, int fv, int, int) {
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
    img::Image out = filterMirrored(image, [](int fu, int fv, int w, int h) {
        const double cu = double(fu) / w;
        const double cv = double(fv) / h;
        return emphasisGain(cu * cu + cv * cv);
    });
    double mean = 0.0;
    for (double v : out.px)
        mean += v;
    mean /= double(out.size());
    const double lo = quantile(out.px, kEmphasisClip);
    const double hi = quantile(out.px, 1.0 - kEmphasisClip);
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
