// Enhancement in the frequency domain.
#include "enhance.h"

#include "fft.h"
#include "frequency.h"
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

// A gain that rises from `dc` at DC to `far` at high frequencies as a Gaussian:
// G = far − (far − dc)·exp(−αu·fu² − αv·fv²), fu and fv in bins of the mirrored image's
// transform. It is a product of one factor per row and one per column, so the exponentials are
// taken once per row and column rather than once per bin.
struct GaussianGain
{
    double dc, far, alphaU, alphaV;
};

// Filters `image`, mirrored by (padX, padY) about its borders, by `gain`. The mirrored image is
// written straight into the transform's storage, and the result back into the image's own.
img::Image filterMirrored(img::Image image, int padX, int padY, const GaussianGain &gain)
{
    const int w = image.width + 2 * padX;
    const int h = image.height + 2 * padY;
    std::vector<int> column(size_t(w), 0);
    for (int x = 0; x < w; ++x)
        column[size_t(x)] = img::reflect(x - padX, image.width);
    img::Spectrum s = img::forwardFilled(w, h, [&](int y, double *row) {
        const double *src
            = &image.px[size_t(img::reflect(y - padY, image.height)) * size_t(image.width)];
        for (int x = 0; x < w; ++x)
            row[x] = src[column[size_t(x)]];
    });
    std::vector<double> across(size_t(s.halfWidth()), 0.0), down(size_t(h), 0.0);
    for (int u = 0; u < s.halfWidth(); ++u)
        across[size_t(u)] = std::exp(-gain.alphaU * double(u) * u);
    for (int v = 0; v < h; ++v) {
        const double fv = img::signedFrequency(v, h);
        down[size_t(v)] = std::exp(-gain.alphaV * fv * fv);
    }
    // The inverse transform leaves a factor w·h, taken out with the gain.
    const double n = double(w) * double(h);
    const double far = gain.far / n, rise = (gain.far - gain.dc) / n;
    for (int v = 0; v < h; ++v)
        for (int u = 0; u < s.halfWidth(); ++u)
            s.at(u, v) *= far - rise * across[size_t(u)] * down[size_t(v)];
    img::inverseRows(std::move(s), [&](int y, const double *row) {
        if (y >= padY && y < padY + image.height)
            std::copy(row + padX, row + padX + image.width, &image.at(0, y - padY));
    });
    return image;
}

} // namespace

void logarithm(const double *in, double *out, size_t n, unsigned levels)
{
    // The program hands this an 8-bit photograph, 256 levels: each level's logarithm is taken
    // once, and a pixel that holds exactly that level, as the reader makes it, takes it from
    // the table, the very value its own logarithm would give. Any other value (a finer level,
    // or one outside 0..1, NaN included) takes its own.
    struct Table
    {
        double level[256], logOf[256];
        Table()
        {
            for (int i = 0; i < 256; ++i) {
                level[i] = double(i) * (1.0 / 255.0);
                logOf[i] = std::log1p(255.0 * level[i]) / kLogScale;
            }
        }
    };
    static const Table table;
    if (levels == 255) {
        // Read from an 8-bit file: each value is level i as the reader makes it, i / 255
        // computed as the table's own is, and needs no check.
        for (size_t k = 0; k < n; ++k)
            out[k] = table.logOf[int(in[k] * 255.0 + 0.5)];
        return;
    }
    for (size_t k = 0; k < n; ++k) {
        const double x = in[k];
        if (x >= 0.0 && x <= 1.0) {
            const int i = int(x * 255.0 + 0.5);
            if (table.level[i] == x) {
                out[k] = table.logOf[i];
                continue;
            }
        }
        out[k] = std::log1p(255.0 * std::max(0.0, x)) / kLogScale;
    }
}

img::Image expImage(img::Image logarithm)
{
    for (double &v : logarithm.px)
        v = std::expm1(v * kLogScale) / 255.0;
    return logarithm;
}

img::Image homomorphic(img::Image logarithm)
{
    if (logarithm.size() == 0)
        return logarithm;
    // The illumination the filter takes out varies over a good part of the image, so the
    // mirror is half the image wide on each side: one whole period of the image's even
    // extension, whose borders meet without a jump. Where that length has a large prime factor
    // the mirror grows a little, to a length FFTW transforms fast, and the frequencies are
    // rescaled so that the filter stays the same.
    const int w = logarithm.width, h = logarithm.height;
    const int padX = padFor(w, w / 2), padY = padFor(h, h / 2);
    const double scaleU = 2.0 * w / (w + 2 * padX), scaleV = 2.0 * h / (h + 2 * padY);
    const double alpha = kSharpness / (kCutoffBins * kCutoffBins);
    const GaussianGain gain {kGammaLow, kGammaHigh, alpha * scaleU * scaleU,
                             alpha * scaleV * scaleV};
    return img::stretchPercentile(expImage(filterMirrored(std::move(logarithm), padX, padY, gain)),
                                  kHomoClip, 1.0 - kHomoClip);
}

img::Image emphasise(img::Image image)
{
    if (image.size() == 0)
        return image;
    // The high-pass reaches a few pixels only (a Gaussian of 1/(2π·D0) = 1.6 pixels), so a
    // narrow mirror keeps the opposite borders apart: the transform stays a quarter of the
    // size the homomorphic filter needs. D in cycles per pixel is the bin over the length.
    const int padX = padFor(image.width, kEmphasisMargin);
    const int padY = padFor(image.height, kEmphasisMargin);
    const double lw = image.width + 2 * padX, lh = image.height + 2 * padY;
    const double alpha = 1.0 / (2.0 * kEmphasisCutoff * kEmphasisCutoff);
    const GaussianGain gain {kEmphasisA, kEmphasisA + kEmphasisB, alpha / (lw * lw),
                             alpha / (lh * lh)};
    img::Image out = filterMirrored(std::move(image), padX, padY, gain);
    // The quantiles matter only when they lie beyond black or white, and whether they do is
    // a count: the upper one exceeds white when more pixels than lie above its rank do. Most
    // photographs overshoot less than that, and then cost one pass of comparisons, not a
    // search for both quantiles, a sum (whose additions wait on each other) and a pass to
    // scale by one.
    size_t below = 0, above = 0;
    for (double v : out.px) {
        below += v < 0.0;
        above += v > 1.0;
    }
    const double tail = kEmphasisClip * double(out.size() - 1);
    if (double(below) <= tail && double(above) <= tail)
        return out;
    double mean = 0.0;
    for (double v : out.px)
        mean += v;
    mean /= double(out.size());
    const auto [lo, hi] = img::quantiles(out.px, kEmphasisClip, 1.0 - kEmphasisClip);
    double scale = 1.0;
    if (hi > 1.0 && hi > mean)
        scale = std::min(scale, (1.0 - mean) / (hi - mean));
    if (lo < 0.0 && lo < mean)
        scale = std::min(scale, mean / (mean - lo));
    scale = std::max(scale, 0.0);
    if (scale == 1.0)
        return out;
    for (double &v : out.px)
        v = mean + (v - mean) * scale;
    return out;
}

int emphasisBits(const img::Image &input, unsigned levels)
{
    // A grey file whose maxval divides 255 holds 8-bit levels by its very header.
    if (levels != 0 && 255 % levels == 0)
        return 16;
    // Otherwise each pixel is looked at. An image read from a file lies in 0..1, so the
    // nearest level is found by a conversion rather than a call to round per pixel; anything
    // else is not an 8-bit image.
    for (double v : input.px) {
        const double level = v * 255.0;
        if (!(v >= 0.0 && v <= 1.0) || std::abs(level - double(int(level + 0.5))) > 1e-6)
            return 8;
    }
    return 16;
}

} // namespace restore
