// PSFs and transfer functions, twins and peaks, PSNR, padding and stretching: the shared
// pieces whose conventions the blurring and the restoring tools must agree on.
#include "check.h"
#include "frequency.h"
#include "padding.h"
#include "psf.h"
#include "quality.h"
#include "randomimage.h"
#include "tone.h"
#include "tool.h"

#include <algorithm>
#include <numbers>
#include <random>

using namespace img;

namespace {

double maxDifference(const Image &a, const Image &b)
{
    double worst = 0.0;
    for (size_t i = 0; i < a.size(); ++i)
        worst = std::max(worst, std::abs(a.px[i] - b.px[i]));
    return worst;
}

// Circular convolution straight from its definition, centring the PSF at (pw/2, ph/2).
Image naiveConvolution(const Image &image, const Image &psf)
{
    double total = 0.0;
    for (double v : psf.px)
        total += v;
    Image out(image.width, image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            for (int j = 0; j < psf.height; ++j)
                for (int i = 0; i < psf.width; ++i) {
                    const int sx
                        = ((x - (i - psf.width / 2)) % image.width + image.width) % image.width;
                    const int sy
                        = ((y - (j - psf.height / 2)) % image.height + image.height) % image.height;
                    out.at(x, y) += psf.at(i, j) / total * image.at(sx, sy);
                }
    return out;
}

void testDeltaAndScale()
{
    const Image image = randomImage(13, 9, 1);
    Image delta(5, 3);
    delta.at(2, 1) = 0.7; // the centre, at any grey level
    const Spectrum h = transferFunction(delta, 13, 9);
    double worst = 0.0;
    for (auto c : h.c)
        worst = std::max(worst, std::abs(c - 1.0));
    CHECK_NEAR(worst, 0.0, 1e-15);
    CHECK_NEAR(maxDifference(applyTransfer(image, h), image), 0.0, 1e-14);

    // H(0,0) == 1 whatever the PSF's scale.
    Image psf = randomImage(4, 3, 2);
    const Spectrum h1 = transferFunction(psf, 13, 9);
    for (double &v : psf.px)
        v *= 40.0;
    const Spectrum h40 = transferFunction(psf, 13, 9);
    CHECK_NEAR(std::abs(h1.at(0, 0) - 1.0), 0.0, 1e-14);
    double spread = 0.0;
    for (size_t i = 0; i < h1.c.size(); ++i)
        spread = std::max(spread, std::abs(h1.c[i] - h40.c[i]));
    CHECK_NEAR(spread, 0.0, 1e-14);
}

void testConvolutionMatchesDefinition()
{
    // Odd and even PSF sizes, so both centring cases are pinned down.
    const Image image = randomImage(11, 7, 3);
    for (auto [pw, ph] : {std::pair {3, 3}, {4, 2}, {11, 1}, {6, 7}}) {
        const Image psf = randomImage(pw, ph, unsigned(pw * 10 + ph));
        const Image fast = applyTransfer(image, transferFunction(psf, 11, 7));
        CHECK_NEAR(maxDifference(fast, naiveConvolution(image, psf)), 0.0, 1e-13);
    }
}

void testMotionBox()
{
    // An impulse blurred by motionPsf(L) is a 1/L box over offsets -L/2 .. (L-1)/2.
    for (int length : {1, 4, 5, 10}) {
        Image impulse(32, 3);
        impulse.at(16, 1) = 1.0;
        const Image out = applyTransfer(impulse, transferFunction(motionPsf(length), 32, 3));
        double worst = 0.0;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 32; ++x) {
                const int offset = x - 16;
                const bool inside = y == 1 && offset >= -(length / 2) && offset <= (length - 1) / 2;
                worst = std::max(worst, std::abs(out.at(x, y) - (inside ? 1.0 / length : 0.0)));
            }
        CHECK_NEAR(worst, 0.0, 1e-14);
    }
}

void testBlurThenExactInverse()
{
    // A disc PSF on a size whose transfer function has no exact zero: dividing by H
    // undoes the blur to rounding.
    Image disc(7, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            disc.at(x, y) = (x - 3) * (x - 3) + (y - 3) * (y - 3) <= 9 ? 1.0 : 0.0;
    const Image image = randomImage(31, 29, 4);
    const Spectrum h = transferFunction(disc, 31, 29);
    Spectrum g = forward(applyTransfer(image, h));
    double smallest = 1.0;
    for (size_t i = 0; i < g.c.size(); ++i) {
        smallest = std::min(smallest, std::abs(h.c[i]));
        g.c[i] /= h.c[i];
    }
    CHECK(smallest > 1e-6);
    CHECK_NEAR(maxDifference(inverse(g), image), 0.0, 1e-8);
}

void testPsfChecks()
{
    const Image image(8, 8);
    std::string message;
    CHECK_THROWS(checkPsf(Image(3, 3, 0.0), image, "psf1A.pgm"), BadInput, message);
    CHECK(message.find("«psf1A.pgm»") != std::string::npos);
    CHECK_THROWS(checkPsf(Image(9, 1, 1.0), image, "ancha.pgm"), BadInput, message);
    CHECK(message.find("«ancha.pgm»") != std::string::npos);
    CHECK_THROWS(checkPsf(Image(1, 9, 1.0), image, "alta.pgm"), BadInput, message);
    CHECK_THROWS(transferFunction(Image(2, 2, 0.0), 8, 8), BadInput, message);
    checkPsf(Image(8, 8, 1.0), image, "justa.pgm"); // as large as the image is fine
}

void testTwinsAndPeaks()
{
    // Cosines on whole bins, one on the u = 0 column and one on the Nyquist column of an even
    // width, where both twins are stored; zeroBin must take each out entirely.
    const int w = 40, h = 30;
    const double pi = std::numbers::pi;
    const Image base = randomImage(w, h, 5);
    Image noisy = base;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            noisy.at(x, y) += 3.0 * std::cos(2 * pi * (7.0 * x / w - 4.0 * y / h))
                + 2.0 * std::cos(2 * pi * 6.0 * y / h)
                + 1.5 * std::cos(2 * pi * (20.0 * x / w + 5.0 * y / h));
    Spectrum s = forward(noisy);
    const auto peaks = strongestPeaks(powerOf(s), 3, 0.05);
    CHECK(peaks.size() == 3);
    CHECK((peaks[0].u == 7 && peaks[0].v == -4) || (peaks[0].u == -7 && peaks[0].v == 4));
    CHECK(peaks[1].u == 0 && std::abs(peaks[1].v) == 6);
    CHECK(std::abs(peaks[2].u) == 20 && std::abs(peaks[2].v) == 5);
    CHECK(peaks[0].magnitude > peaks[1].magnitude && peaks[1].magnitude > peaks[2].magnitude);
    // Nothing inside the radius: a huge radius leaves no candidates.
    CHECK(strongestPeaks(powerOf(s), 3, 0.8).empty());

    for (const Peak &p : peaks)
        zeroBin(s, p.u, p.v);
    CHECK(std::abs(fullAt(s, -7, 4)) == 0.0 && std::abs(fullAt(s, 0, -6)) == 0.0);
    // The cosines are gone; only the base's own energy at those bins went with them.
    Spectrum b = forward(base);
    for (const Peak &p : peaks)
        zeroBin(b, p.u, p.v);
    CHECK_NEAR(maxDifference(inverse(s), inverse(b)), 0.0, 1e-12);
}

void testPsnr()
{
    const Image a(10, 10, 0.5);
    CHECK(std::isinf(psnr(a, a)));
    CHECK_NEAR(psnr(Image(10, 10, 0.6), a), 20.0, 1e-9); // error 0.1 everywhere
    Image b(10, 10, 0.5);
    b.at(0, 0) = 1.5; // one pixel off by 1: MSE 0.01
    CHECK_NEAR(psnr(b, a), 20.0, 1e-9);
    std::string message;
    CHECK_THROWS(psnr(Image(2, 2), Image(2, 3)), std::invalid_argument, message);
    // quantised() matches what the writer stores: clamped and rounded.
    Image q(3, 1);
    q.px = {-1.0, 0.5, 0.3};
    const Image eight = quantised(q, 8);
    CHECK(eight.px[0] == 0.0 && eight.px[1] == 128.0 / 255.0 && eight.px[2] == 77.0 / 255.0);
}

void testPaddingAndTone()
{
    // A line of 3 seen 4 positions either side: edge repeated, reflecting on past the far end.
    const int expected[] = {2, 2, 1, 0, 0, 1, 2, 2, 1, 0, 0};
    for (int i = -4; i < 7; ++i)
        CHECK(reflect(i, 3) == expected[i + 4]);

    Image ramp(101, 1);
    for (int x = 0; x <= 100; ++x)
        ramp.px[size_t(x)] = x;
    ramp.px[100] = 1e6; // one outlier
    const Image p = stretchPercentile(ramp, 0.01, 0.99);
    CHECK_NEAR(p.px[1], 0.0, 1e-12);
    CHECK_NEAR(p.px[99], 1.0, 1e-12);
    CHECK_NEAR(p.px[50], 49.0 / 98.0, 1e-12);
    CHECK(p.px[100] == 1.0 && p.px[0] == 0.0);
    // The quantiles are the values a sort puts at their ranks, ties and a far outlier included.
    std::vector<double> values;
    for (int i = 0; i < 1000; ++i)
        values.push_back(double((i * 7919) % 101) / 7.0);
    values.push_back(1e9);
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    const auto [q1, q2] = quantiles(values, 0.005, 0.995);
    CHECK(q1 == sorted[5] && q2 == sorted[995]);
    const Image m = stretchMinMax(ramp);
    CHECK(m.px[0] == 0.0 && m.px[100] == 1.0 && m.px[50] < 1e-4);
    CHECK(stretchMinMax(Image(2, 2, 0.3)).px == std::vector<double>(4, 0.0));
}

void testArgumentCountsAgree()
{
    // The count and its words agree in number: one argument, any other count in the plural.
    std::string message;
    CHECK_THROWS(expectArgs({}, 1), Misuse, message);
    CHECK(message == "se esperaba 1 argumento y hay 0");
    CHECK_THROWS(expectArgs({"a"}, 3), Misuse, message);
    CHECK(message == "se esperaban 3 argumentos y hay 1");
    expectArgs({"a", "b"}, 2);
}

} // namespace

int main()
{
    testArgumentCountsAgree();
    testDeltaAndScale();
    testConvolutionMatchesDefinition();
    testMotionBox();
    testBlurThenExactInverse();
    testPsfChecks();
    testTwinsAndPeaks();
    testPsnr();
    testPaddingAndTone();
    return check::summary();
}
