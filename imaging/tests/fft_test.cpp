// The FFT against a naive DFT, and the properties the restoration tools lean on.
#include "check.h"
#include "fft.h"
#include "frequency.h"
#include "randomimage.h"

#include <complex>
#include <numbers>
#include <random>

using namespace img;

namespace {

std::complex<double> naiveDft(const Image &image, int u, int v)
{
    std::complex<double> sum = 0.0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const double phase = -2.0 * std::numbers::pi
                * (double(u) * x / image.width + double(v) * y / image.height);
            sum += image.at(x, y) * std::polar(1.0, phase);
        }
    return sum;
}

void testAgreesWithNaiveDft()
{
    const int sizes[][2] = {{5, 3}, {7, 9}, {1, 7}, {7, 1}, {6, 5}, {9, 4}};
    for (const auto &size : sizes) {
        const Image image = randomImage(size[0], size[1], unsigned(size[0] * 31 + size[1]));
        const Spectrum s = forward(image);
        CHECK(s.width == size[0] && s.height == size[1]);
        CHECK(s.c.size() == size_t(size[1]) * size_t(size[0] / 2 + 1));
        double worst = 0.0;
        for (int v = 0; v < size[1]; ++v)
            for (int u = 0; u < size[0]; ++u) // the unstored half through fullAt
                worst = std::max(worst, std::abs(fullAt(s, u, v) - naiveDft(image, u, v)));
        CHECK_NEAR(worst, 0.0, 1e-11);
    }
}

void testRoundTrip()
{
    for (auto [w, h] : {std::pair {13, 11}, {1, 1}, {17, 2}, {30, 21}}) {
        const Image image = randomImage(w, h, unsigned(w * h));
        const Image back = inverse(forward(image));
        CHECK(back.width == w && back.height == h);
        double worst = 0.0;
        for (size_t i = 0; i < image.size(); ++i)
            worst = std::max(worst, std::abs(back.px[i] - image.px[i]));
        CHECK_NEAR(worst, 0.0, 1e-13);
    }
    // In single precision and in place, on odd and even sizes: the same image, each row where
    // FFTW's in-place layout puts it, not yet divided by the number of pixels.
    for (auto [w, h] : {std::pair {13, 11}, {1, 1}, {30, 21}}) {
        const Image image = randomImage(w, h, unsigned(w + h));
        const Spectrum g = forward(image);
        SpectrumF single {w, h, std::vector<std::complex<float>>(g.c.begin(), g.c.end())};
        const float *rows = inverseInPlace(single);
        double worst = 0.0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                worst
                    = std::max(worst,
                               std::abs(rows[size_t(y) * 2 * size_t(single.halfWidth()) + size_t(x)]
                                            / double(w * h)
                                        - image.at(x, y)));
        CHECK_NEAR(worst, 0.0, 1e-5);
    }
    // The caller's spectrum survives the inverse (FFTW's c2r destroys its input).
    const Spectrum s = forward(randomImage(9, 7, 3));
    const Spectrum copy = s;
    (void)inverse(s);
    CHECK(s.c == copy.c);
}

void testEnergy()
{
    // Parseval: sum |x|² == sum over the whole grid of |F|² / N.
    const Image image = randomImage(11, 9, 5);
    const Spectrum s = forward(image);
    double space = 0.0, frequency = 0.0, sum = 0.0;
    for (double v : image.px) {
        space += v * v;
        sum += v;
    }
    for (int v = 0; v < s.height; ++v)
        for (int u = 0; u < s.width; ++u)
            frequency += std::norm(fullAt(s, u, v));
    CHECK_NEAR(frequency / double(image.size()), space, 1e-10 * space);
    CHECK_NEAR(s.at(0, 0).real(), sum, 1e-12); // unnormalised: DC is the sum
}

void testSinusoidPeaks()
{
    // cos(2π(3x/15 + 2y/11)) puts N/2 at (3, 2) and its twin (-3, -2), nothing elsewhere.
    const int w = 15, h = 11;
    Image image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.at(x, y) = std::cos(2.0 * std::numbers::pi * (3.0 * x / w + 2.0 * y / h));
    const Spectrum s = forward(image);
    int peaks = 0;
    for (int v = 0; v < h; ++v)
        for (int u = 0; u < w; ++u) {
            const double m = std::abs(fullAt(s, u, v));
            const bool expected = (u == 3 && v == 2) || (u == w - 3 && v == h - 2);
            if (expected)
                CHECK_NEAR(m, w * h / 2.0, 1e-9);
            else if (m > 1e-9)
                ++peaks;
        }
    CHECK(peaks == 0);
    // On the centred display the pair sits symmetrically about DC at (w/2, h/2).
    const Image shown = centredMagnitude(s);
    CHECK_NEAR(shown.at(w / 2 + 3, h / 2 + 2), w * h / 2.0, 1e-9);
    CHECK_NEAR(shown.at(w / 2 - 3, h / 2 - 2), w * h / 2.0, 1e-9);
    CHECK(binOfDisplay(w / 2, w) == 0 && displayOfBin(0, w) == w / 2);
    CHECK(displayOfBin(-3, w) == w / 2 - 3);
}

void testSparseRows()
{
    // Rows 0, 5 and 5 again (they add) of a 9 × 8 image, the rest zero, and a single row 0 (a
    // motion blur's PSF, which takes a shortcut): forwardOfRows must give what forward() gives
    // on the full image.
    Spectrum got;
    for (const std::vector<int> &at : {std::vector<int> {0, 5, 5}, std::vector<int> {0}}) {
        const Image rows = randomImage(9, int(at.size()), 11);
        Image full(9, 8);
        for (size_t j = 0; j < at.size(); ++j)
            for (int x = 0; x < 9; ++x)
                full.at(x, at[j]) += rows.at(x, int(j));
        const Spectrum expected = forward(full);
        got = forwardOfRows(rows, at, 8);
        CHECK(got.width == 9 && got.height == 8 && got.c.size() == expected.c.size());
        double worst = 0.0;
        for (size_t i = 0; i < got.c.size(); ++i)
            worst = std::max(worst, std::abs(got.c[i] - expected.c[i]));
        CHECK_NEAR(worst, 0.0, 1e-12);
    }
    // The move overload of inverse gives the same image as the copying one.
    Spectrum moved = got;
    const Image a = inverse(got);
    const Image b = inverse(std::move(moved));
    CHECK(a.px == b.px);
}

void testCentredDisplay()
{
    // Every pixel of the centred display against fullAt, on even and odd sizes.
    for (auto [w, h] : {std::pair {8, 6}, {7, 5}, {8, 5}}) {
        const Spectrum s = forward(randomImage(w, h, unsigned(w + h)));
        const Image shown = centredMagnitude(s);
        double worst = 0.0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                worst = std::max(
                    worst, std::abs(shown.at(x, y) - std::abs(fullAt(s, x - w / 2, y - h / 2))));
        CHECK_NEAR(worst, 0.0, 1e-12);
    }
}

void testSignedFrequency()
{
    CHECK(signedFrequency(0, 8) == 0 && signedFrequency(4, 8) == 4 && signedFrequency(5, 8) == -3);
    CHECK(signedFrequency(3, 7) == 3 && signedFrequency(4, 7) == -3);
}

} // namespace

int main()
{
    testAgreesWithNaiveDft();
    testRoundTrip();
    testEnergy();
    testSinusoidPeaks();
    testSparseRows();
    testCentredDisplay();
    testSignedFrequency();
    return check::summary();
}
