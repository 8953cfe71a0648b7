// Measuring an image against a reference.
#include "quality.h"

#include "pnm.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

namespace img {

namespace {

// scikit-image's SSIM window: the Gaussian of σ = 1.5 truncated at 3.5 σ, radius
// int(3.5 σ + 0.5) = 5.
constexpr int kRadius = 5;
constexpr int kSide = 2 * kRadius + 1;
constexpr double kSigma = 1.5;
constexpr double kC1 = 0.01 * 0.01; // (K1 · data range)²
constexpr double kC2 = 0.03 * 0.03;

// The five sums a window takes: a, b, a², b², ab.
constexpr int kSums = 5;

std::array<float, kSide> gaussianWeights()
{
    std::array<double, kSide> w {};
    double sum = 0;
    for (int i = -kRadius; i <= kRadius; ++i)
        sum += w[size_t(i + kRadius)] = std::exp(-0.5 * i * i / (kSigma * kSigma));
    std::array<float, kSide> weights {};
    for (size_t i = 0; i < w.size(); ++i)
        weights[i] = float(w[i] / sum);
    return weights;
}

// The filter's loops run over blocks of this many values, rows being padded to a whole number
// of them: a loop of a fixed count is one the compiler turns into vector instructions at
// -O2, where it leaves a loop of any count scalar.
constexpr size_t kLanes = 8;

size_t padded(size_t n)
{
    return (n + kLanes - 1) / kLanes * kLanes;
}

// out[i] = Σ w[k] · rows[k][i] over the 11 rows, for i < n, a multiple of kLanes: both
// directions of the filter, along a row (rows[k] = in + k) and down the columns (rows[k] the
// sums along row k of the window). A block of kLanes sums is kept in registers while all 11
// terms are added to it, in the order of k.
void weightedSum(float *__restrict out, const std::array<const float *, kSide> &rows,
                 const std::array<float, kSide> &w, size_t n)
{
    for (size_t i = 0; i < n; i += kLanes) {
        float sum[kLanes] = {};
        for (size_t k = 0; k < kSide; ++k)
            for (size_t j = 0; j < kLanes; ++j)
                sum[j] += w[k] * rows[k][i + j];
        for (size_t j = 0; j < kLanes; ++j)
            out[i + j] = sum[j];
    }
}

} // namespace

double psnr(const Image &image, const Image &reference)
{
    if (image.width != reference.width || image.height != reference.height)
        throw std::invalid_argument("img::psnr: images of different sizes");
    if (image.size() == 0)
        return std::numeric_limits<double>::infinity();
    double sum = 0.0;
    for (size_t i = 0; i < image.size(); ++i) {
        const double d = image.px[i] - reference.px[i];
        sum += d * d;
    }
    const double mse = sum / double(image.size());
    return mse > 0.0 ? 10.0 * std::log10(1.0 / mse) : std::numeric_limits<double>::infinity();
}

Image quantised(const Image &image, int bits)
{
    const unsigned maxval = bits == 16 ? 65535 : 255;
    Image out(image.width, image.height);
    for (size_t i = 0; i < image.size(); ++i)
        out.px[i] = quantise(image.px[i], maxval) / double(maxval);
    return out;
}

std::optional<double> ssim(int width, int height, const FloatRows &a, const FloatRows &b)
{
    if (width < kSide || height < kSide)
        return std::nullopt;
    const std::array<float, kSide> w = gaussianWeights();
    const size_t n = size_t(width);
    // Only the columns whose window lies inside the image are averaged, so only they are
    // summed: no border rule is ever needed. Their sums are taken in whole blocks, the last
    // running into padding whose sums are never read.
    const size_t inner = n - 2 * kRadius;
    const size_t stride = padded(inner);
    // The row as it comes (a, b) and its products (a², b², ab), each with room for the last
    // block's window, and the window sums along the last 11 rows, [row % 11][sum][column].
    const size_t rowStride = stride + 2 * kRadius;
    std::vector<float> row(kSums * rowStride);
    std::vector<float> ring(size_t(kSide) * kSums * stride);
    std::vector<float> sums(kSums * stride);
    double total = 0;
    for (int y = 0; y < height; ++y) {
        float *ra = &row[0], *rb = &row[rowStride];
        a(y, ra);
        b(y, rb);
        // Centred on mid grey: the squares stay small, and the variances, a difference of
        // two of them, keep more of single precision's digits.
        for (size_t x = 0; x < n; ++x) {
            ra[x] -= 0.5f;
            rb[x] -= 0.5f;
            row[2 * rowStride + x] = ra[x] * ra[x];
            row[3 * rowStride + x] = rb[x] * rb[x];
            row[4 * rowStride + x] = ra[x] * rb[x];
        }
        float *slot = &ring[size_t(y % kSide) * kSums * stride];
        std::array<const float *, kSide> window {};
        for (int s = 0; s < kSums; ++s) {
            for (size_t k = 0; k < kSide; ++k)
                window[k] = &row[size_t(s) * rowStride + k];
            weightedSum(slot + size_t(s) * stride, window, w, stride);
        }
        if (y < kSide - 1)
            continue;
        // Rows y - 10 .. y are in: down the columns for row y - 5.
        for (size_t k = 0; k < kSide; ++k)
            window[k] = &ring[size_t(y - kSide + 1 + int(k)) % kSide * kSums * stride];
        weightedSum(sums.data(), window, w, kSums * stride);
        const float *ma = &sums[0], *mb = &sums[stride], *maa = &sums[2 * stride],
                    *mbb = &sums[3 * stride], *mab = &sums[4 * stride];
        double rowTotal = 0;
        for (size_t x = 0; x < inner; ++x) {
            const double ca = ma[x], cb = mb[x];
            const double vx = maa[x] - ca * ca, vy = mbb[x] - cb * cb, cov = mab[x] - ca * cb;
            const double mx = ca + 0.5, my = cb + 0.5;
            rowTotal += (2 * mx * my + kC1) * (2 * cov + kC2)
                / ((mx * mx + my * my + kC1) * (vx + vy + kC2));
        }
        total += rowTotal;
    }
    return total / (double(inner) * double(height - 2 * kRadius));
}

std::optional<double> ssim(const Image &a, const Image &b)
{
    if (a.width != b.width || a.height != b.height)
        return std::nullopt;
    auto rowsOf = [](const Image &image) {
        return [&image](int y, float *row) {
            const double *px = &image.px[size_t(y) * size_t(image.width)];
            for (int x = 0; x < image.width; ++x)
                row[x] = float(px[x]);
        };
    };
    return ssim(a.width, a.height, rowsOf(a), rowsOf(b));
}

} // namespace img
