// The streaming SSIM against SSIM taken the plain way, in double precision, window by window,
// on sizes that fit no block or vector width.
#include "check.h"
#include "quality.h"
#include "randomimage.h"
#include "ssimkernels.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <vector>

using namespace img;

namespace {

// Wang et al.'s SSIM straight from its definition: at each pixel whose 11 × 11 window lies
// inside the image, the Gaussian-weighted means, variances and covariance of the window.
double plainSsim(const Image &a, const Image &b)
{
    const int r = 5;
    double w[2 * r + 1][2 * r + 1], weights = 0;
    for (int j = -r; j <= r; ++j)
        for (int i = -r; i <= r; ++i)
            weights += w[j + r][i + r] = std::exp(-(i * i + j * j) / (2 * 1.5 * 1.5));
    const double c1 = 1e-4, c2 = 9e-4;
    double total = 0;
    for (int y = r; y < a.height - r; ++y)
        for (int x = r; x < a.width - r; ++x) {
            double mx = 0, my = 0, xx = 0, yy = 0, xy = 0;
            for (int j = -r; j <= r; ++j)
                for (int i = -r; i <= r; ++i) {
                    const double k = w[j + r][i + r] / weights;
                    const double p = a.at(x + i, y + j), q = b.at(x + i, y + j);
                    mx += k * p;
                    my += k * q;
                    xx += k * p * p;
                    yy += k * q * q;
                    xy += k * p * q;
                }
            const double vx = xx - mx * mx, vy = yy - my * my, cov = xy - mx * my;
            total += (2 * mx * my + c1) * (2 * cov + c2)
                / ((mx * mx + my * my + c1) * (vx + vy + c2));
        }
    return total / ((a.width - 2 * r) * (a.height - 2 * r));
}

// A photograph-like pair: smooth shading with edges, and the same damaged the ways the tools
// damage it (blur, noise, a shift of the grey levels), clamped to 0..1 as a file holds it.
Image scene(int w, int h)
{
    Image image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.at(x, y) = 0.2 + 0.5 * (x * 7 + y * 3) / (7.0 * w + 3.0 * h)
                + ((x / 6 + y / 4) % 2 ? 0.25 : 0.0);
    return image;
}

Image damaged(const Image &image, unsigned seed)
{
    const Image noise = randomImage(image.width, image.height, seed);
    Image out(image.width, image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const double blurred = (image.at(x, y) + image.at(std::max(0, x - 1), y)
                                    + image.at(x, std::max(0, y - 1)))
                / 3;
            out.at(x, y) = std::clamp(blurred + 0.1 * (noise.at(x, y) - 0.5) + 0.03, 0.0, 1.0);
        }
    return out;
}

void testAgainstThePlainSsim()
{
    double worst = 0;
    for (auto [w, h] : {std::pair {11, 11}, {13, 17}, {37, 11}, {101, 59}, {257, 129}}) {
        const Image clean = scene(w, h), bad = damaged(clean, unsigned(w * h));
        const Image noise = randomImage(w, h, unsigned(w + h));
        Image negative = clean;
        for (double &v : negative.px)
            v = 1 - v;
        for (auto [a, b] : {std::pair {&clean, &bad},
                            {&bad, &clean},
                            {&clean, &noise},
                            {&noise, &bad},
                            {&clean, &negative}}) {
            const double streamed = *ssim(*a, *b), plain = plainSsim(*a, *b);
            CHECK_NEAR(streamed, plain, 1e-4);
            worst = std::max(worst, std::abs(streamed - plain));
        }
        // An image against itself is exactly 1, in any precision.
        CHECK(*ssim(noise, noise) == 1.0);
    }
    std::printf("worst difference from the plain SSIM: %.2e\n", worst);
}

void testRowsAreReadOnceInOrder()
{
    const Image a = scene(23, 19), b = damaged(a, 7);
    std::vector<int> asked;
    const FloatRows rowsOfA = [&](int y, float *row) {
        asked.push_back(y);
        for (int x = 0; x < a.width; ++x)
            row[x] = float(a.at(x, y));
    };
    const FloatRows rowsOfB = [&](int y, float *row) {
        for (int x = 0; x < b.width; ++x)
            row[x] = float(b.at(x, y));
    };
    const std::optional<double> streamed = ssim(a.width, a.height, rowsOfA, rowsOfB);
    CHECK(streamed && *streamed == *ssim(a, b));
    bool inOrder = int(asked.size()) == a.height;
    for (size_t i = 0; i < asked.size(); ++i)
        inOrder = inOrder && asked[i] == int(i);
    CHECK(inOrder);

    // Against a reference taken once, each image gives exactly what ssim() gives.
    const SsimReference reference(a);
    for (const Image &other : {b, damaged(a, 2), a})
        CHECK(reference.of(other) == ssim(a, other));
    CHECK(!reference.of(scene(23, 20)) && !SsimReference(scene(10, 40)).of(scene(10, 40)));
}

void testTooSmallOrUnlike()
{
    // Smaller than the 11 × 11 window either way, or two sizes: no SSIM, and no row read.
    const FloatRows never = [](int, float *) { throw std::logic_error("row read"); };
    CHECK(!ssim(10, 40, never, never));
    CHECK(!ssim(40, 10, never, never));
    CHECK(!ssim(scene(12, 12), scene(12, 13)));
}

} // namespace

// The kernels built for the baseline alone (ssimkernels_baseline.cpp).
namespace img::ssim_kernels_baseline {
void weightedSum(float *out, const std::array<const float *, ssim_kernels::kSide> &rows,
                 const std::array<float, ssim_kernels::kSide> &w, size_t n);
double rowTotal(const float *ma, const float *mb, const float *maa, const float *mbb,
                const float *mab, size_t inner);
} // namespace img::ssim_kernels_baseline

namespace {

// The figures do not depend on the processor: the library's kernels (AVX2 where there is
// one) give the baseline's to the last bit, on a row of 53 columns (padded to 56).
void testSameOnEveryProcessor()
{
    namespace k = ssim_kernels;
    const Image noise = randomImage(64, 16, 7);
    std::vector<float> v(noise.px.begin(), noise.px.end());
    for (float &x : v)
        x -= 0.5f;
    std::array<const float *, k::kSide> rows {};
    std::array<float, k::kSide> w {};
    for (int i = 0; i < k::kSide; ++i) {
        rows[size_t(i)] = &v[size_t(i) * 64];
        w[size_t(i)] = w[size_t(k::kSide - 1 - i)] = float(i + 1) / 50.0f;
    }
    std::vector<float> mine(56), baseline(56);
    k::weightedSum(mine.data(), rows, w, 56);
    ssim_kernels_baseline::weightedSum(baseline.data(), rows, w, 56);
    CHECK(mine == baseline);
    // Sums of a and b, their squares and their product, as a window gives them.
    const float *s = v.data();
    std::vector<float> square(v.size()), product(v.size());
    for (size_t i = 0; i + 64 < v.size(); ++i) {
        square[i] = s[i] * s[i] + 0.01f;
        product[i] = s[i] * s[i + 64];
    }
    const double a = k::rowTotal(s, s + 64, square.data(), square.data() + 64, product.data(), 53);
    const double b = ssim_kernels_baseline::rowTotal(s, s + 64, square.data(), square.data() + 64,
                                                     product.data(), 53);
    CHECK(a == b && std::isfinite(a));
}

} // namespace

int main()
{
    testSameOnEveryProcessor();
    testAgainstThePlainSsim();
    testRowsAreReadOnceInOrder();
    testTooSmallOrUnlike();
    return check::summary();
}
