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
    size_t n, inner, stride, rowStride;
    explicit Layout(int width)
        : n(size_t(width))
        , inner(n - 2 * kRadius)
        , stride(padded(inner))
        , rowStride(stride + 2 * kRadius) // room for the last block's window
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

// The sum of one row's SSIM over its inner columns, from its window sums.
double rowTotal(const float *ma, const float *mb, const float *maa, const float *mbb,
                const float *mab, size_t inner)
{
    double total = 0;
    for (size_t x = 0; x < inner; ++x) {
        const double ca = ma[x], cb = mb[x];
        const double vx = maa[x] - ca * ca, vy = mbb[x] - cb * cb, cov = mab[x] - ca * cb;
        const double mx = ca + 0.5, my = cb + 0.5;
        total += (2 * mx * my + kC1) * (2 * cov + kC2)
            / ((mx * mx + my * my + kC1) * (vx + vy + kC2));
    }
    return total;
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
    rows_.resize(l.n * size_t(height));
    sums_.reserve(2 * l.stride * size_t(height - 2 * kRadius));
    WindowSums sums(l, 2); // a, a²
    for (int y = 0; y < height; ++y) {
        float *ra = sums.plane(0), *aa = sums.plane(1);
        a(y, ra);
        centre(ra, l.n);
        for (size_t x = 0; x < l.n; ++x)
            aa[x] = ra[x] * ra[x];
        std::copy(ra, ra + l.n, &rows_[size_t(y) * l.n]);
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
        const float *ra = &rows_[size_t(y) * l.n];
        float *rb = sums.plane(0), *bb = sums.plane(1), *ab = sums.plane(2);
        b(y, rb);
        centre(rb, l.n);
        for (size_t x = 0; x < l.n; ++x) {
            bb[x] = rb[x] * rb[x];
            ab[x] = ra[x] * rb[x];
        }
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
