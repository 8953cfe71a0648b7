// What each tool does, checked by properties rather than golden bytes: the impulse response
// of mblur, blur against a delta and against its own exact inverse, the noise that snoise adds
// and that a notch takes out, the peaks transfor draws, align's conversion, case-blind names,
// and two tools writing one file at once.
#include "check.h"
#include "digest.h"
#include "fft.h"
#include "frequency.h"
#include "linekeys.h"
#include "pnm.h"
#include "psf.h"
#include "quality.h"
#include "randomimage.h"
#include "runtool.h"
#include "tempdir.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace img;

namespace {

const double kLevel16 = 1.0 / 65535.0;

void run(const std::string &tool, const std::vector<std::string> &args, const TempDir &dir)
{
    const ToolRun r = runTool(tool + ".exe", args, dir.path);
    std::string label = tool;
    for (const auto &a : args)
        label += " " + a;
    check::report(r.status == 0 && r.err.empty(), __FILE__, __LINE__, label + ": " + r.err);
}

double maxDifference(const Image &a, const Image &b)
{
    if (a.width != b.width || a.height != b.height)
        return INFINITY;
    double worst = 0.0;
    for (size_t i = 0; i < a.size(); ++i)
        worst = std::max(worst, std::abs(a.px[i] - b.px[i]));
    return worst;
}

Image sample(const char *name)
{
    return readPnm(std::string(TAVELIO_SOURCE_DIR) + "/data/samples/" + name);
}

Image topLeft(const Image &image, int w, int h)
{
    Image part(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            part.at(x, y) = image.at(x, y);
    return part;
}

void testAlign()
{
    TempDir dir;
    // A colour PPM becomes its luminance, rounded to 8 bits; the source is found in any case.
    dir.write("Color.ppm", "P3\n2 1\n255\n255 0 0  10 200 30\n");
    dir.write("Align.PGM", "previous");
    run("align", {"COLOR.PPM"}, dir);
    CHECK(dir.listing() == "Align.PGM Color.ppm ");
    CHECK(PnmRows(dir.file("Align.PGM")).levels() == 255);
    const Image got = readPnm(dir.file("align.pgm"));
    CHECK_NEAR(got.px[0] * 255, std::round(0.299 * 255), 1e-9);
    CHECK_NEAR(got.px[1] * 255, std::round(0.299 * 10 + 0.587 * 200 + 0.114 * 30), 1e-9);

    // A 16-bit PGM is rounded to the nearest 8-bit level; an 8-bit one passes unchanged.
    TempDir deep;
    deep.write("d.pgm",
               std::string("P5 2 1 65535\n") + char(0x80) + char(0x7f) + char(0) + char(0x40));
    run("align", {"d.pgm"}, deep);
    const Image d = readPnm(deep.file("align.pgm"));
    CHECK_NEAR(d.px[0] * 255, 128.0, 1e-9); // 0x807f = 32895 → 127.999 → 128
    CHECK_NEAR(d.px[1] * 255, 0.0, 1e-9); // 64 → 0.249 → 0
    TempDir photo;
    std::filesystem::copy_file(std::string(TAVELIO_SOURCE_DIR) + "/data/samples/camera.pgm",
                               photo.path / "camera.pgm");
    run("align", {"camera.pgm"}, photo);
    CHECK(maxDifference(readPnm(photo.file("align.pgm")), sample("camera.pgm")) == 0.0);

    // Its line names the pixels it wrote: the digest of align.pgm as read back, which the same
    // levels in 16 bits keep and one pixel changed by one level loses.
    const Image aligned = readPnm(photo.file("align.pgm"));
    const std::string line = readPnmComments(photo.file("align.pgm")).back();
    CHECK(lineValue(line, kDigestKey) == digestText(pictureDigest(aligned)));
    writePgm(photo.file("deep.pgm"), aligned, 16);
    CHECK(pictureDigest(readPnm(photo.file("deep.pgm"))) == pictureDigest(aligned));
    Image touched = aligned;
    touched.px[touched.size() / 2] += (touched.px[touched.size() / 2] < 0.5 ? 1.0 : -1.0) / 255;
    CHECK(pictureDigest(touched) != pictureDigest(aligned));
    CHECK(pictureDigest(Image(2, 3)) != pictureDigest(Image(3, 2)));
}

void testMblurImpulse()
{
    // An impulse through mblur is the box kernel: 1/L over offsets -L/2 .. (L-1)/2, wrapping
    // around the row, nothing on other rows, and the total kept.
    for (auto [length, x0] : {std::pair {10, 20}, {7, 20}, {10, 1}, {1, 5}, {64, 0}}) {
        TempDir dir;
        Image impulse(64, 5);
        impulse.at(x0, 2) = 1.0;
        writePgm(dir.file("align.pgm"), impulse, 8);
        run("mblur", {"align.pgm", std::to_string(length), "distor.pgm"}, dir);
        const Image out = readPnm(dir.file("distor.pgm"));
        CHECK(PnmRows(dir.file("distor.pgm")).levels() == 65535);
        Image box(64, 5);
        for (int k = -(length / 2); k <= (length - 1) / 2; ++k)
            box.at(((x0 + k) % 64 + 64) % 64, 2) = 1.0 / length;
        CHECK_NEAR(maxDifference(out, box), 0.0, 0.5 * kLevel16 + 1e-12);
    }
}

void testBlurDelta()
{
    // A PSF whose only bright pixel is its centre leaves the image as it was (an even-sized
    // PSF too: its centre is the pixel right of and below the middle).
    const Image photo = sample("coins.pgm");
    for (auto [w, h] : {std::pair {5, 5}, {4, 6}}) {
        TempDir dir;
        writePgm(dir.file("align.pgm"), photo, 8);
        Image delta(w, h);
        delta.at(w / 2, h / 2) = 1.0;
        writePgm(dir.file("psf.pgm"), delta, 8);
        run("blur", {"align.pgm", "psf.pgm", "distor.pgm"}, dir);
        CHECK_NEAR(maxDifference(readPnm(dir.file("distor.pgm")), photo), 0.0,
                   0.5 * kLevel16 + 1e-9);
    }
}

void testBlurExactInverse()
{
    // Blur, then divide by the transfer function: the input comes back. A PSF whose transfer
    // function stays well away from zero keeps the 16-bit rounding from growing.
    const Image photo = sample("text.pgm");
    TempDir dir;
    writePgm(dir.file("align.pgm"), photo, 8);
    dir.write("psf.pgm", "P2 3 3 16  1 4 1  4 16 4  1 4 1\n");
    run("blur", {"align.pgm", "psf.pgm", "distor.pgm"}, dir);
    const Image blurred = readPnm(dir.file("distor.pgm"));
    CHECK(psnr(blurred, photo) < 40.0); // it did blur
    const Spectrum h = transferFunction(readPnm(dir.file("psf.pgm")), photo.width, photo.height);
    Spectrum g = forward(blurred);
    for (size_t i = 0; i < g.c.size(); ++i)
        g.c[i] /= h.c[i];
    const Image restored = inverse(std::move(g));
    CHECK(psnr(restored, photo) > 80.0);
    CHECK_NEAR(maxDifference(quantised(restored, 8), photo), 0.0, 1e-12); // every grey level
}

void testShippedPsfs()
{
    // psf1A.pgm and psf2A.pgm describe one blur, and the inverse filter at the advised
    // threshold 0.0001 undoes it from a 16-bit blurred photo: what the program's
    // "Filtro Inverso" after "Sin ruido" relies on.
    const std::string folder = std::string(TAVELIO_BUILD_DRIVE_C) + "/qor/ejecutable/auxiliares/";
    const Image psf1 = readPnm(folder + "psf1A.pgm");
    const Image psf2 = readPnm(folder + "PSF2A.PGM");
    CHECK(psf1.width == 11 && psf1.height == 11 && psf2.width == 11 && psf2.height == 11);
    const Image photo = sample("camera.pgm");
    const Spectrum h1 = transferFunction(psf1, photo.width, photo.height);
    const Spectrum h2 = transferFunction(psf2, photo.width, photo.height);
    double differ = 0.0;
    int small = 0;
    for (size_t i = 0; i < h1.c.size(); ++i) {
        differ = std::max(differ, std::abs(h1.c[i] - h2.c[i]));
        small += std::abs(h1.c[i]) < 1e-4;
    }
    CHECK_NEAR(differ, 0.0, 1e-14);
    CHECK(small > 0 && small < 1000); // near-zeros, but few

    TempDir dir;
    std::filesystem::copy_file(folder + "psf1A.pgm", dir.path / "psf1A.pgm");
    writePgm(dir.file("align.pgm"), photo, 8);
    run("blur", {"align.pgm", "psf1A.pgm", "distor.pgm"}, dir);
    const Image blurred = readPnm(dir.file("distor.pgm"));
    CHECK(psnr(blurred, photo) < 30.0); // visibly blurred
    Spectrum g = forward(blurred);
    for (size_t i = 0; i < g.c.size(); ++i)
        g.c[i] = std::abs(h2.c[i]) >= 1e-4 ? g.c[i] / h2.c[i] : 0.0;
    CHECK(psnr(quantised(inverse(std::move(g)), 8), photo) > 48.0);
}

void testSnoise()
{
    // On each shipped photograph the three cosines are the three strongest peaks outside
    // 0.05 cycles per pixel, at the bins the usage text gives, and a 3 × 3 notch on each
    // peak and its twin brings the photograph back.
    for (const char *name : {"camera.pgm", "coins.pgm", "text.pgm"}) {
        const Image photo = sample(name);
        TempDir dir;
        writePgm(dir.file("align.pgm"), photo, 8);
        run("snoise", {"align.pgm", "distor.pgm"}, dir);
        const Image noisy = readPnm(dir.file("distor.pgm"));
        CHECK(PnmRows(dir.file("distor.pgm")).levels() == 65535);
        const int w = photo.width, h = photo.height;
        const int expected[3][2] = {{int(std::lround(w / 6.0)), 0},
                                    {0, int(std::lround(h / 5.0))},
                                    {int(std::lround(w / 8.0)), int(std::lround(h / 8.0))}};
        Spectrum s = forward(noisy);
        const auto peaks = strongestPeaks(powerOf(s), 3, 0.05);
        int found = 0;
        for (const auto &e : expected)
            for (const Peak &p : peaks)
                found += (p.u == e[0] && p.v == e[1]) || (p.u == -e[0] && p.v == -e[1]);
        check::report(found == 3, __FILE__, __LINE__, std::string(name) + ": picos no hallados");
        for (const Peak &p : peaks)
            for (int dv = -1; dv <= 1; ++dv)
                for (int du = -1; du <= 1; ++du)
                    zeroBin(s, p.u + du, p.v + dv);
        const double before = psnr(noisy, photo);
        const double after = psnr(quantised(inverse(std::move(s)), 8), photo);
        check::report(before < 30.0 && after >= 40.0, __FILE__, __LINE__,
                      std::string(name) + ": " + std::to_string(before) + " → "
                          + std::to_string(after) + " dB");
    }
    // On mid grey nothing clips: the noise's spread is the 8·√(3/2) grey levels the usage
    // text gives, and its mean is zero.
    TempDir dir;
    writePgm(dir.file("gris.pgm"), Image(120, 80, 0.5), 16);
    run("snoise", {"gris.pgm", "ruido.pgm"}, dir);
    const Image noisy = readPnm(dir.file("ruido.pgm"));
    double sum = 0.0, squares = 0.0;
    for (double v : noisy.px) {
        sum += v - 0.5;
        squares += (v - 0.5) * (v - 0.5);
    }
    const double n = double(noisy.size());
    CHECK_NEAR(sum / n * 255.0, 0.0, 0.01);
    CHECK_NEAR(std::sqrt(squares / n) * 255.0, 8.0 * std::sqrt(1.5), 0.01);
}

void testTransfor()
{
    // A pure sinusoid: DC brightest at (w/2, h/2), its two peaks symmetric about it, 8 bits.
    const int w = 64, h = 48;
    Image wave(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            wave.at(x, y)
                = 0.5 + 0.4 * std::cos(2 * std::numbers::pi * (5.0 * x / w + 3.0 * y / h));
    TempDir dir;
    writePgm(dir.file("align.pgm"), wave, 16);
    run("transfor", {"align.pgm", "FFT.pgm"}, dir);
    unsigned levels = 0;
    const Image shown = readPnm(dir.file("fft.pgm"), &levels);
    CHECK(levels == 255 && shown.width == w && shown.height == h);
    CHECK(shown.at(w / 2, h / 2) == 1.0);
    double rest = 0.0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool peak
                = (x == w / 2 + 5 && y == h / 2 + 3) || (x == w / 2 - 5 && y == h / 2 - 3);
            if (peak)
                CHECK(shown.at(x, y) > 0.7);
            else if (!(x == w / 2 && y == h / 2))
                rest = std::max(rest, shown.at(x, y));
        }
    CHECK(rest < 0.2);

    // Level for level what log(1 + 255·|F|), stretched and rounded, draws: on a photograph of
    // odd sides, and on a spectrum so nearly flat that its levels crowd together.
    Image flat = randomImage(33, 21, 5);
    for (double &v : flat.px)
        v *= 20 * kLevel16;
    flat.at(4, 7) = 1.0;
    for (const Image &image : {topLeft(sample("camera.pgm"), 63, 47), flat}) {
        writePgm(dir.file("in.pgm"), image, 16);
        run("transfor", {"in.pgm", "out.pgm"}, dir);
        const Spectrum f = forward(readPnm(dir.file("in.pgm")));
        Image logs(f.width, f.height);
        drawCentred(f, logs, [](std::complex<double> c) {
            return double(std::log(1.0f + 255.0f * float(std::sqrt(std::norm(c)))));
        });
        const auto [lo, hi] = std::minmax_element(logs.px.begin(), logs.px.end());
        const Image drawn = readPnm(dir.file("out.pgm"));
        size_t wrong = 0;
        for (size_t i = 0; i < logs.size(); ++i)
            wrong += quantise((logs.px[i] - *lo) * (1.0 / (*hi - *lo)), 255)
                != std::lround(drawn.px[i] * 255.0);
        CHECK(wrong == 0);
    }
}

void testConcurrentWriters()
{
    // mblur and blur write one file at the same moment under two cases of its name, over and
    // over, every other time into a folder that has no such file yet: each time one file is
    // left, holding one whole image, that of one tool or the other, and no temporary.
    TempDir dir;
    writePgm(dir.file("align.pgm"), sample("camera.pgm"), 8);
    dir.write("psf.pgm", "P2 3 3 1  0 1 0  1 1 1  0 1 0\n");
    // Each run alone first, with the command line it has below: its header names it.
    run("mblur", {"align.pgm", "9", "distor.pgm"}, dir);
    std::filesystem::rename(dir.path / "distor.pgm", dir.path / "m.pgm");
    run("blur", {"align.pgm", "psf.pgm", "Distor.pgm"}, dir);
    std::filesystem::rename(dir.path / "Distor.pgm", dir.path / "b.pgm");
    const std::string fromMblur = dir.read("m.pgm"), fromBlur = dir.read("b.pgm");
    const std::filesystem::path err = dir.path / "err.txt";
    int whole = 0;
    const int rounds = 8;
    for (int i = 0; i < rounds; ++i) {
        if (i % 2 == 0) {
            std::filesystem::remove(dir.path / "distor.pgm");
            std::filesystem::remove(dir.path / "Distor.pgm");
        }
        const pid_t a = startTool("mblur.exe", {"align.pgm", "9", "distor.pgm"}, dir.path,
                                  "/dev/null", "/dev/null", err);
        const pid_t b = startTool("blur.exe", {"align.pgm", "psf.pgm", "Distor.pgm"}, dir.path,
                                  "/dev/null", "/dev/null", err);
        const int sa = waitTool(a), sb = waitTool(b);
        const std::string listing = dir.listing();
        const std::string got = dir.read(listing[0] == 'D' ? "Distor.pgm" : "distor.pgm");
        whole += sa == 0 && sb == 0 && (got == fromMblur || got == fromBlur)
            && (listing == "align.pgm b.pgm distor.pgm err.txt m.pgm psf.pgm "
                || listing == "Distor.pgm align.pgm b.pgm err.txt m.pgm psf.pgm ");
    }
    CHECK(whole == rounds);
}

} // namespace

int main()
{
    testAlign();
    testMblurImpulse();
    testBlurDelta();
    testBlurExactInverse();
    testShippedPsfs();
    testSnoise();
    testTransfor();
    testConcurrentWriters();
    return check::summary();
}
