// The pieces the restoration tools are built from: reading answers, finding noise spikes,
// measuring noise, the deconvolution filters and the enhancement filters.
#include "check.h"
#include "deconv.h"
#include "enhance.h"
#include "frequency.h"
#include "noise.h"
#include "peaks.h"
#include "pnm.h"
#include "prompt.h"
#include "psf.h"
#include "quality.h"

#include <cmath>
#include <numbers>
#include <random>
#include <sstream>

using namespace restore;

namespace {

constexpr double kPi = std::numbers::pi;

// A photograph stand-in: smooth blobs and gradients with a little fine texture, so that its
// spectrum falls off from DC the way a photograph's does.
img::Image smoothScene(int w, int h, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> pos(0.0, 1.0);
    img::Image image(w, h, 0.3);
    for (int blob = 0; blob < 12; ++blob) {
        const double cx = pos(rng) * w, cy = pos(rng) * h, r = 4.0 + pos(rng) * w / 6.0;
        const double a = (pos(rng) - 0.5) * 0.5;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
                image.at(x, y) += a * std::exp(-d2 / (2 * r * r));
            }
    }
    std::normal_distribution<double> grain(0.0, 0.002);
    for (double &v : image.px)
        v += grain(rng);
    return image;
}

void addCosine(img::Image &image, int u, int v, double amplitude, double phase = 0.3)
{
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.at(x, y) += amplitude
                * std::cos(2 * kPi * (double(u) * x / image.width + double(v) * y / image.height)
                           + phase);
}

// Whether the peak list holds (u, v) or its twin.
bool hasPeak(const std::vector<NoisePeak> &peaks, int u, int v)
{
    for (const NoisePeak &p : peaks)
        if ((p.u == u && p.v == v) || (p.u == -u && p.v == -v))
            return true;
    return false;
}

void testAnswers()
{
    CHECK(parseNumber("0.0001") == 0.0001);
    CHECK(parseNumber("  0,25 ") == 0.25); // a Spanish keyboard's decimal comma
    CHECK(parseNumber("1e-3") == 0.001);
    CHECK(parseNumber("-2") == -2.0);
    CHECK(!parseNumber(""));
    CHECK(!parseNumber("abc"));
    CHECK(!parseNumber("0.1x"));
    CHECK(!parseNumber("inf"));
    CHECK(!parseNumber("nan"));
    CHECK(!parseNumber("0x10"));
    CHECK(!parseNumber("1 2"));

    CHECK(formatNumber(0.0001) == "0,0001");
    CHECK(formatNumber(0.07686) == "0,07686");
    CHECK(formatNumber(1e-5) == "0,00001");
    CHECK(formatNumber(2.0) == "2");

    {
        // A word is asked again, then the number is taken.
        std::istringstream in("abc\n0,5\n");
        std::ostringstream out;
        CHECK(askNumber(in, out, "k", 0.1, 0.0) == 0.5);
        CHECK(out.str().find("no es un número") != std::string::npos);
        CHECK(out.str().find("k [0,1]: ") != std::string::npos); // the default is shown
    }
    {
        std::istringstream in("\n7\n");
        std::ostringstream out;
        CHECK(askNumber(in, out, "k", 0.1, 0.0) == 0.1); // Enter alone
    }
    {
        std::istringstream in("xyz\n");
        std::ostringstream out;
        CHECK(askNumber(in, out, "k", 0.1, 0.0) == 0.1); // the input ends after a bad answer
    }
    {
        std::istringstream in("-1\n\r\n");
        std::ostringstream out;
        CHECK(askNumber(in, out, "k", 0.1, 0.0) == 0.1); // below the minimum, then a CRLF Enter
        CHECK(out.str().find("al menos 0") != std::string::npos);
    }
}

void testRegions()
{
    CHECK(parseRegion("10 20 30 40") == (DisplayRect {10, 20, 30, 40}));
    CHECK(parseRegion(" 30,40, 10 ,20 ") == (DisplayRect {10, 20, 30, 40})); // corners swapped
    CHECK(!parseRegion("10 20 30"));
    CHECK(!parseRegion("10 20 30 40 50"));
    CHECK(!parseRegion("10 20 -30 40"));
    CHECK(!parseRegion("10 20 3.5 40"));
    CHECK(!parseRegion("a b c d"));
    CHECK(overlapsDisplay({0, 0, 0, 0}, 8, 8));
    CHECK(overlapsDisplay({5, 5, 100, 100}, 8, 8));
    CHECK(!overlapsDisplay({8, 0, 9, 3}, 8, 8));

    // Zeroing the display pixels of a cosine's spike leaves the rest of the image, and the
    // result real: only the twin pair goes.
    img::Image flat(40, 30, 0.5);
    img::Image noisy = flat;
    addCosine(noisy, 7, -4, 0.1);
    img::Spectrum s = img::forward(noisy);
    const int x = img::displayOfBin(7, 40), y = img::displayOfBin(-4, 30);
    zeroRegion(s, {x, y, x, y});
    CHECK(img::psnr(img::inverse(s), flat) > 200.0);
    // The same through the twin's pixel, and through a region that runs off the display.
    s = img::forward(noisy);
    zeroRegion(s, {img::displayOfBin(-7, 40), img::displayOfBin(4, 30), 1000, 1000});
    CHECK(img::psnr(img::inverse(s), flat) > 200.0);
}

void testPeaks()
{
    const img::Image scene = smoothScene(160, 120, 7);
    CHECK(findNoisePeaks(img::powerOf(img::forward(scene))).empty());

    // Three whole-bin cosines of 6 grey levels are found, and nothing else.
    img::Image noisy = scene;
    addCosine(noisy, 27, 0, 6.0 / 255);
    addCosine(noisy, 0, 24, 6.0 / 255);
    addCosine(noisy, 20, -15, 6.0 / 255);
    const auto peaks = findNoisePeaks(img::powerOf(img::forward(noisy)));
    CHECK(peaks.size() == 3);
    CHECK(hasPeak(peaks, 27, 0) && hasPeak(peaks, 0, 24) && hasPeak(peaks, 20, -15));
    for (const NoisePeak &p : peaks) {
        CHECK_NEAR(p.amplitude * 255, 6.0, 0.3);
        CHECK(p.region.x0 == p.region.x1 && p.region.y0 == p.region.y1); // one bin each
    }

    // Too faint to see, or too close to DC: not suggested.
    img::Image faint = scene;
    addCosine(faint, 40, 0, 1.0 / 255);
    addCosine(faint, 4, 3, 8.0 / 255); // 0.04 cycles per pixel
    CHECK(findNoisePeaks(img::powerOf(img::forward(faint))).empty());

    // Between two bins the energy leaks sideways, and the region grows to hold it.
    img::Image between = scene;
    for (int y = 0; y < between.height; ++y)
        for (int x = 0; x < between.width; ++x)
            between.at(x, y) += 8.0 / 255 * std::cos(2 * kPi * 40.5 * x / between.width);
    const auto leaky = findNoisePeaks(img::powerOf(img::forward(between)));
    CHECK(!leaky.empty() && leaky[0].region.x1 - leaky[0].region.x0 >= 1);
}

void testNoiseEstimate()
{
    const img::Image scene = img::applyTransfer(
        smoothScene(256, 192, 3), img::transferFunction(img::Image(5, 5, 1.0), 256, 192));
    std::mt19937 rng(11);
    std::normal_distribution<double> normal(0.0, 5.0 / 255);
    img::Image white = scene;
    for (double &v : white.px)
        v += normal(rng);
    img::PowerMap p = img::powerOf(img::forward(white));
    NoiseEstimate e = estimateNoise(p, findNoisePeaks(p));
    CHECK_NEAR(e.white * 255, 5.0, 0.4);
    CHECK(e.structured == 0.0);

    // Three cosines of 8 grey levels: σ = 8·√(3/2) ≈ 9.8, all of it periodic.
    img::Image periodic = scene;
    addCosine(periodic, 43, 0, 8.0 / 255);
    addCosine(periodic, 0, 38, 8.0 / 255);
    addCosine(periodic, 32, 24, 8.0 / 255);
    p = img::powerOf(img::forward(periodic));
    e = estimateNoise(p, findNoisePeaks(p));
    const double sigma = 8.0 * std::sqrt(1.5);
    CHECK_NEAR(e.structured * 255, sigma, 0.05 * sigma);
    CHECK(e.white * 255 < 0.5);
}

void testDeconvolution()
{
    const img::Image scene = smoothScene(64, 48, 5);
    // A blur whose transfer function has no zeros: 1-4-1 along the rows and along the columns,
    // |H| >= 1/9, and |H| = 1 only at DC.
    const double taps[3] = {1, 4, 1};
    img::Image kernel(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            kernel.at(x, y) = taps[x] * taps[y];
    const img::Spectrum h = img::transferFunction(kernel, 64, 48);
    const img::Spectrum g = img::forward(img::applyTransfer(scene, h));
    CHECK(img::psnr(inverseFilter(g, h, 0.0), scene) > 150.0);
    CHECK(img::psnr(wienerFilter(g, h, 0.0), scene) > 150.0);
    CHECK(img::psnr(wienerFilter(g, h, 1e-12), scene) > 150.0);

    // A threshold above every |H| but H(0,0) = 1 keeps only the mean.
    const img::Image mean = inverseFilter(g, h, 0.999);
    double lo = 1e9, hi = -1e9, avg = 0;
    for (double v : scene.px)
        avg += v / double(scene.size());
    for (double v : mean.px)
        lo = std::min(lo, v), hi = std::max(hi, v);
    CHECK_NEAR(lo, avg, 1e-9);
    CHECK_NEAR(hi, avg, 1e-9);

    // A large k shrinks everything but the mean towards it: a blurrier image, not a sharper.
    const img::Image damped = wienerFilter(g, h, 10.0);
    CHECK(img::psnr(damped, scene) < img::psnr(img::inverse(g), scene));

    // The motion blur mblur applies is undone by the same transfer function.
    const img::Spectrum m = img::transferFunction(img::motionPsf(10), 64, 48);
    const img::Image moved = img::applyTransfer(scene, m);
    CHECK(img::psnr(wienerFilter(img::forward(moved), m, 1e-12), scene) > 40.0);
}

void testEnhancement()
{
    img::Image ramp(32, 8);
    for (int x = 0; x < 32; ++x)
        for (int y = 0; y < 8; ++y)
            ramp.at(x, y) = x / 31.0;
    img::Image logs = ramp;
    logarithm(ramp.px.data(), logs.px.data(), ramp.size());
    CHECK(logs.at(0, 0) == 0.0 && std::abs(logs.at(31, 0) - 1.0) < 1e-12);
    CHECK(logs.at(8, 0) > ramp.at(8, 0)); // the shadows get most of the range
    CHECK(img::psnr(expImage(logs), ramp) > 250.0);
    // The 8-bit levels as the reader makes them: looked up unchecked, the same logarithms.
    std::string file = "P5 256 1 255\n";
    for (int i = 0; i < 256; ++i)
        file.push_back(char(i));
    const img::Image levels = img::decodePnm(file, "niveles.pgm");
    std::vector<double> checked(256), unchecked(256);
    logarithm(levels.px.data(), checked.data(), 256);
    logarithm(levels.px.data(), unchecked.data(), 256, 255);
    CHECK(checked == unchecked);

    // A flat image stays flat under emphasis: there are no edges to emphasise, and the mirror
    // padding adds none at the borders.
    const img::Image grey(50, 40, 0.4);
    const img::Image same = emphasise(grey);
    CHECK(img::psnr(same, grey) > 200.0);

    // A step edge overshoots, and the overshoot is brought back about the mean so that only
    // a sliver of the pixels reaches past black and white.
    img::Image step(64, 64, 0.02);
    for (int y = 0; y < 64; ++y)
        for (int x = 32; x < 64; ++x)
            step.at(x, y) = 0.98;
    const img::Image sharp = emphasise(emphasise(step));
    size_t outside = 0;
    for (double v : sharp.px)
        outside += (v < -1e-9 || v > 1 + 1e-9);
    CHECK(double(outside) / double(sharp.size()) <= 2 * kEmphasisClip + 1e-9);
    CHECK(sharp.at(16, 10) < 0.3 && sharp.at(48, 10) > 0.7); // still a dark and a bright half

    // Dark specks on a mid grey overshoot below black only; that is scaled back just far
    // enough: at that end the clipped fraction is the allowed one, at neither end more.
    img::Image detail(120, 90, 0.5);
    std::mt19937 rng(4);
    std::uniform_real_distribution<double> level(0.0, 1.0);
    for (double &v : detail.px)
        if (level(rng) < 0.03)
            v = 0.05 * level(rng);
    const img::Image emphasised = emphasise(detail);
    size_t below = 0, above = 0;
    for (double v : emphasised.px)
        below += v<-1e-12, above += v> 1 + 1e-12;
    const double n = double(emphasised.size());
    CHECK(below / n <= kEmphasisClip + 1 / n && above / n <= kEmphasisClip + 1 / n);
    CHECK(std::max(below, above) / n >= kEmphasisClip - 2 / n);

    CHECK(emphasisBits(ramp) == 8); // 1/31 steps are no 8-bit levels
    CHECK(emphasisBits(img::quantised(ramp, 8)) == 16);
    CHECK(emphasisBits(img::quantised(ramp, 16)) == 8);
    // A line 1021 pixels long is mirrored to 2048, one pixel more after it than before: the
    // filtered image stays where it was, a bright column where the line is.
    img::Image line(1021, 3, 0.3);
    for (int y = 0; y < 3; ++y)
        line.at(400, y) = 0.9;
    const img::Image filtered = homomorphic(line);
    CHECK(filtered.at(400, 1) > filtered.at(399, 1) + 0.5);
    CHECK(filtered.at(400, 1) > filtered.at(401, 1) + 0.5);

    // A file's maxval that divides 255 settles it; any other leaves it to the pixels.
    CHECK(emphasisBits(ramp, 85) == 16 && emphasisBits(ramp, 65535) == 8);
    CHECK(emphasisBits(img::quantised(ramp, 8), 65535) == 16);
}

} // namespace

int main()
{
    testAnswers();
    testRegions();
    testPeaks();
    testNoiseEstimate();
    testDeconvolution();
    testEnhancement();
    return check::summary();
}
