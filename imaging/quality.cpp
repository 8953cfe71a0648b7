// Measuring an image against a reference.
#include "quality.h"

#include "pnm.h"
#include "ssimkernels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

namespace img {

namespace {

using namespace ssim_kernels;

constexpr double kSigma = 1.5; // scikit-image's window: σ = 1.5, truncated at 3.5 σ

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

size_t padded(size_t n)
{
    return (n + kLanes - 1) / kLanes * kLanes;
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

namespace {

// The rows of an image as SSIM takes them.
FloatRows rowsOf(const Image &image)
{
    return [&image](int y, float *row) {
        const double *px = &image.px[size_t(y) * size_t(image.width)];
        for (int x = 0; x < image.width; ++x)
            row[x] = float(px[x]);
    };
}

// Where a row's values and sums lie: only the columns whose window lies inside the image are
// averaged, so only they are summed and no border rule is ever needed. Their sums are taken in
// whole blocks, the last running into padding whose sums are never read.
struct Layout
{
    size_t n, inner, stride, rowStride, values;
    explicit Layout(int width)
        : n(size_t(width))
        , inner(n - 2 * kRadius)
        , stride(padded(inner))
        , rowStride(padded(stride + 2 * kRadius)) // room for the last block's window
        , values(padded(n))
    {
    }
};

// The Gaussian window sums of `planes` rows of values (a, b, their squares, their product, or a
// part of them), one image row at a time: the caller fills plane(s) for row y, then push(y)
// takes the sums along the row and keeps the last 11 of them; once a window's rows are all in,
// it returns the sums down the columns for row y - 5, plane after plane, `stride` apart.
class WindowSums
{
public:
    WindowSums(const Layout &layout, size_t planes)
        : layout_(layout)
        , planes_(planes)
        , row_(planes * layout.rowStride)
        , ring_(size_t(kSide) * planes * layout.stride)
        , sums_(planes * layout.stride)
    {
    }
    float *plane(size_t s) { return &row_[s * layout_.rowStride]; }
    const float *push(int y)
    {
        const size_t stride = layout_.stride;
        float *slot = &ring_[size_t(y % kSide) * planes_ * stride];
        std::array<const float *, kSide> window {};
        for (size_t s = 0; s < planes_; ++s) {
            for (size_t k = 0; k < kSide; ++k)
                window[k] = plane(s) + k;
            weightedSum(slot + s * stride, window, w_, stride);
        }
        if (y < kSide - 1)
            return nullptr;
        for (size_t k = 0; k < kSide; ++k)
            window[k] = &ring_[size_t(y - kSide + 1 + int(k)) % kSide * planes_ * stride];
        weightedSum(sums_.data(), window, w_, planes_ * stride);
        return sums_.data();
    }

private:
    const Layout &layout_;
    size_t planes_;
    std::array<float, kSide> w_ = gaussianWeights();
    std::vector<float> row_, ring_, sums_;
};

// Centred on mid grey: the squares stay small, and the variances, a difference of two of them,
// keep more of single precision's digits.
void centre(float *row, size_t n)
{
    for (size_t x = 0; x < n; ++x)
        row[x] -= 0.5f;
}

// b centred as centre() does it, its squares and its products with a, for n a multiple of
// kLanes: what ssim() works out for b, in blocks the compiler turns into vector instructions.
void centredWithProducts(float *__restrict b, float *__restrict bb, float *__restrict ab,
                         const float *__restrict a, size_t n)
{
    for (size_t x0 = 0; x0 < n; x0 += kLanes)
        for (size_t x = x0; x < x0 + kLanes; ++x) {
            b[x] -= 0.5f;
            bb[x] = b[x] * b[x];
            ab[x] = a[x] * b[x];
        }
}

} // namespace

std::optional<double> ssim(int width, int height, const FloatRows &a, const FloatRows &b)
{
    if (width < kSide || height < kSide)
        return std::nullopt;
    const Layout l(width);
    WindowSums sums(l, kSums); // a, b, a², b², ab
    double total = 0;
    for (int y = 0; y < height; ++y) {
        float *ra = sums.plane(0), *rb = sums.plane(1);
        a(y, ra);
        b(y, rb);
        centre(ra, l.n);
        centre(rb, l.n);
        float *aa = sums.plane(2), *bb = sums.plane(3), *ab = sums.plane(4);
        for (size_t x = 0; x < l.n; ++x) {
            aa[x] = ra[x] * ra[x];
            bb[x] = rb[x] * rb[x];
            ab[x] = ra[x] * rb[x];
        }
        if (const float *m = sums.push(y))
            total += rowTotal(m, m + l.stride, m + 2 * l.stride, m + 3 * l.stride, m + 4 * l.stride,
                              l.inner);
    }
    return total / (double(l.inner) * double(height - 2 * kRadius));
}

SsimReference::SsimReference(int width, int height, const FloatRows &a)
    : width_(width)
    , height_(height)
{
    if (width < kSide || height < kSide)
        return;
    const Layout l(width);
    rows_.resize(l.values * size_t(height)); // padded with zeros, for whole blocks
    sums_.reserve(2 * l.stride * size_t(height - 2 * kRadius));
    WindowSums sums(l, 2); // a, a²
    for (int y = 0; y < height; ++y) {
        float *ra = sums.plane(0), *aa = sums.plane(1);
        a(y, ra);
        centre(ra, l.n);
        for (size_t x = 0; x < l.n; ++x)
            aa[x] = ra[x] * ra[x];
        std::copy(ra, ra + l.n, &rows_[size_t(y) * l.values]);
        if (const float *m = sums.push(y))
            sums_.insert(sums_.end(), m, m + 2 * l.stride);
    }
}

SsimReference::SsimReference(const Image &a)
    : SsimReference(a.width, a.height, rowsOf(a))
{
}

std::optional<double> SsimReference::of(const FloatRows &b) const
{
    if (rows_.empty())
        return std::nullopt;
    const Layout l(width_);
    WindowSums sums(l, 3); // b, b², ab
    double total = 0;
    for (int y = 0; y < height_; ++y) {
        const float *ra = &rows_[size_t(y) * l.values];
        float *rb = sums.plane(0), *bb = sums.plane(1), *ab = sums.plane(2);
        b(y, rb);
        // The padding is mid grey, centred to nothing.
        std::fill(rb + l.n, rb + l.values, 0.5f);
        centredWithProducts(rb, bb, ab, ra, l.values);
        if (const float *m = sums.push(y)) {
            const float *a = &sums_[size_t(y - 2 * kRadius) * 2 * l.stride];
            total += rowTotal(a, m, a + l.stride, m + l.stride, m + 2 * l.stride, l.inner);
        }
    }
    return total / (double(l.inner) * double(height_ - 2 * kRadius));
}

std::optional<double> SsimReference::of(const Image &b) const
{
    if (b.width != width_ || b.height != height_)
        return std::nullopt;
    return of(rowsOf(b));
}

std::optional<double> ssim(const Image &a, const Image &b)
{
    if (a.width != b.width || a.height != b.height)
        return std::nullopt;
    return ssim(a.width, a.height, rowsOf(a), rowsOf(b));
}

} // namespace img
