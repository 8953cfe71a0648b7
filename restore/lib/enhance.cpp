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

// The mirror put before and after a line of n pixels.
struct Pad
{
    int before, after;
    int length(int n) const { return before + n + after; }
};

// The least mirror of at least `margin` a side that gives the line an FFT-friendly length: the
// same on both sides when one comes within 64 pixels, else one more after. An odd line meets
// only odd lengths with equal sides, and FFT-friendly odd lengths lie far apart: 1021 would
// find none before 2187, and fall back on 2041, 13·157, where a pixel more makes it 2048.
Pad padFor(int n, int margin)
{
    for (int extra : {0, 1})
        for (int p = margin; p < margin + 64; ++p)
            if (smooth(n + 2 * p + extra))
                return {p, p + extra};
    return {margin, margin};
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
img::Image filterMirrored(img::Image image, Pad padX, Pad padY, const GaussianGain &gain)
{
    const int w = padX.length(image.width);
    const int h = padY.length(image.height);
    std::vector<int> column(size_t(w), 0);
    for (int x = 0; x < w; ++x)
        column[size_t(x)] = img::reflect(x - padX.before, image.width);
    img::Spectrum s = img::forwardFilled(w, h, [&](int y, double *row) {
        const double *src
            = &image.px[size_t(img::reflect(y - padY.before, image.height)) * size_t(image.width)];
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
        if (y >= padY.before && y < padY.before + image.height)
            std::copy(row + padX.before, row + padX.before + image.width,
                      &image.at(0, y - padY.before));
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
    const Pad padX = padFor(w, w / 2), padY = padFor(h, h / 2);
    const double scaleU = 2.0 * w / padX.length(w), scaleV = 2.0 * h / padY.length(h);
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
    const Pad padX = padFor(image.width, kEmphasisMargin);
    const Pad padY = padFor(image.height, kEmphasisMargin);
    const double lw = padX.length(image.width), lh = padY.length(image.height);
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
