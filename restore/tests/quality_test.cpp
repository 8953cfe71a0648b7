// The quality the restoration tools promise, measured on every shipped photograph through the
// same chains of tools the program runs, each figure against align.pgm. Prints the figures;
// fails when one is missed.
#include "check.h"
#include "pnm.h"
#include "quality.h"
#include "runtool.h"
#include "sweep.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace {

const char *const kSamples[] = {"camera", "coins", "text"};

std::string toolFolder()
{
    return std::string(TAVELIO_BUILD_DRIVE_C) + "/qor/ejecutable/auxiliares/";
}

img::Image load(const TempDir &dir, const std::string &name)
{
    return img::readPnm(dir.file(name));
}

// Runs a tool and counts a failure to run as a failed check, naming it.
void step(const TempDir &dir, const std::string &tool, const std::string &args,
          const std::string &answers = "")
{
    const ToolRun run = runLine(dir, tool, args, answers);
    check::report(run.status == 0, __FILE__, __LINE__, tool + " " + args + ": " + run.err);
}

// Prints a PSNR figure beside its lower bound and fails the test when it is missed.
void atLeast(const char *sample, const std::string &what, double value, double bound)
{
    const bool ok = value >= bound;
    std::printf("  %-7s %-44s %7.2f dB  (límite %.2f)%s\n", sample, what.c_str(), value, bound,
                ok ? "" : "  FALLA");
    check::report(ok, __FILE__, __LINE__, std::string(sample) + ": " + what);
}

void motion(const char *sample, const TempDir &dir, const img::Image &ref)
{
    for (int length : {10, 25, 50}) {
        const std::string l = std::to_string(length);
        step(dir, "mblur.exe", "align.pgm " + l + " distor.pgm");
        step(dir, "motion.exe", "distor.pgm " + l + " mov" + l + ".pgm");
        const double p = img::psnr(load(dir, "mov" + l + ".pgm"), ref);
        atLeast(sample, "mblur + motion, L = " + l, p, 50.0);
    }
}

void inverse(const char *sample, const TempDir &dir, const img::Image &ref)
{
    step(dir, "blur.exe", "align.pgm psf1A.pgm distor.pgm");
    step(dir, "inverse.exe", "distor.pgm psf2A.pgm Inverso.pgm", "0.0001\n");
    const double p = img::psnr(load(dir, "Inverso.pgm"), ref);
    atLeast(sample, "blur psf1A + Inverse psf2A, 0,0001", p, 45.0);
}

void structured(const char *sample, const TempDir &dir, const img::Image &ref)
{
    step(dir, "snoise.exe", "align.pgm distor.pgm");
    step(dir, "snr.exe", "distor.pgm retiro.pgm", "\n");
    const double p = img::psnr(load(dir, "retiro.pgm"), ref);
    atLeast(sample, "snoise + snr (regiones propuestas)", p, 40.0);
}

void noisyBlur(const char *sample, const TempDir &dir, const img::Image &ref)
{
    step(dir, "blur.exe", "align.pgm psf1A.pgm Dis_Ruido.pgm");
    step(dir, "snoise.exe", "Dis_Ruido.pgm distor.pgm");
    step(dir, "wiener.exe", "distor.pgm psf1A.pgm wiener.pgm", "\n");
    step(dir, "inverse.exe", "distor.pgm psf1A.pgm Inverso.pgm", "0.0001\n");
    const img::Image distorted = load(dir, "distor.pgm");
    const double wiener = img::psnr(load(dir, "wiener.pgm"), ref);
    const double inverse = img::psnr(load(dir, "Inverso.pgm"), ref);
    const double input = img::psnr(img::quantised(distorted, 8), ref);

    // The best constant k on a sweep of 10 steps per decade from 1e-4 to 1.
    std::vector<double> ks;
    for (int i = 0; i <= 40; ++i)
        ks.push_back(std::pow(10.0, -4.0 + i / 10.0));
    const restore::Sweep sweep = restore::sweep(restore::Method::Wiener,
                                                restore::prepare(distorted, load(dir, "psf1A.pgm")),
                                                restore::truthOf(ref), ks);
    const double best = sweep.rows[sweep.best].psnr, bestK = sweep.rows[sweep.best].value;
    const bool ok = wiener >= best - 1.0 && wiener >= inverse + 10.0 && wiener >= input - 2.0;
    std::printf("  %-7s blur + snoise, entrada %.2f dB: wiener con la k propuesta %.2f dB; mejor k "
                "%.4f %.2f dB (hasta 1 dB menos); Inverse 0,0001 %.2f dB (10 dB menos o "
                "más)%s\n",
                sample, input, wiener, bestK, best, inverse, ok ? "" : "  FALLA");
    CHECK(wiener >= best - 1.0);
    CHECK(wiener >= inverse + 10.0);
    CHECK(wiener >= input - 2.0);
}

// Mean absolute 4-neighbour Laplacian: how much edge there is.
double edgeContrast(const img::Image &a)
{
    double sum = 0;
    for (int y = 1; y + 1 < a.height; ++y)
        for (int x = 1; x + 1 < a.width; ++x)
            sum += std::abs(4 * a.at(x, y) - a.at(x - 1, y) - a.at(x + 1, y) - a.at(x, y - 1)
                            - a.at(x, y + 1));
    return sum / (double(a.width - 2) * double(a.height - 2));
}

// Mean brightness of the leftmost quarter over that of the rightmost quarter.
double leftRight(const img::Image &a)
{
    const int q = a.width / 4;
    double left = 0, right = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < q; ++x)
            left += a.at(x, y), right += a.at(a.width - 1 - x, y);
    return right > 0 ? left / right : 0.0;
}

void homomorphic(const char *sample, const TempDir &dir, const img::Image &ref)
{
    // Lit from the right: the light falls from 1 to 0.15 towards the left border.
    img::Image dark = ref;
    for (int y = 0; y < dark.height; ++y)
        for (int x = 0; x < dark.width; ++x)
            dark.at(x, y) *= 0.15 + 0.85 * x / double(dark.width - 1);
    img::writePgm(dir.file("oscura.pgm"), dark, 8);
    dark = load(dir, "oscura.pgm");
    step(dir, "shuffle.exe", "oscura.pgm");
    step(dir, "homo.exe", "shuff.pgm homo.pgm");
    const img::Image out = load(dir, "homo.pgm");
    const double rise = leftRight(out) - leftRight(dark);
    const double edges = edgeContrast(out) / edgeContrast(dark);
    std::printf("  %-7s shuffle + homo: izquierda/derecha %.3f -> %.3f (+%.3f, límite 0,15), "
                "bordes x%.2f (límite 1)%s\n",
                sample, leftRight(dark), leftRight(out), rise, edges,
                rise >= 0.15 && edges >= 1.0 ? "" : "  FALLA");
    CHECK(rise >= 0.15);
    CHECK(edges >= 1.0);
}

double clippedFraction(const img::Image &a)
{
    size_t n = 0;
    for (double v : a.px)
        n += (v <= 0.0 || v >= 1.0);
    return double(n) / double(a.size());
}

void emphasis(const char *sample, const TempDir &dir, const img::Image &ref)
{
    step(dir, "hiemph.exe", "align.pgm alto.pgm");
    step(dir, "hiemph.exe", "alto.pgm enfasis.pgm");
    const img::Image out = load(dir, "enfasis.pgm");
    const double clipped = clippedFraction(out) - clippedFraction(ref);
    const double edges = edgeContrast(out) / edgeContrast(ref);
    const double p = img::psnr(out, ref);
    const bool ok = clipped <= 0.02 && edges >= 1.5 && p >= 20.0;
    std::printf("  %-7s hiemph dos pasadas: %.2f %% más píxeles negros o blancos (límite 2), "
                "bordes x%.2f (límite 1,5), %.2f dB (límite 20)%s\n",
                sample, 100 * clipped, edges, p, ok ? "" : "  FALLA");
    CHECK(clipped <= 0.02);
    CHECK(edges >= 1.5);
    CHECK(p >= 20.0);
}

} // namespace

int main()
{
    for (const char *sample : kSamples) {
        TempDir dir;
        for (const std::string &name :
             {std::string(sample) + ".pgm", std::string("psf1A.pgm"), std::string("psf2A.pgm")})
            std::filesystem::copy_file(toolFolder() + name, dir.file(name));
        step(dir, "align.exe", std::string(sample) + ".pgm");
        const img::Image ref = load(dir, "align.pgm");
        motion(sample, dir, ref);
        inverse(sample, dir, ref);
        structured(sample, dir, ref);
        noisyBlur(sample, dir, ref);
        homomorphic(sample, dir, ref);
        emphasis(sample, dir, ref);
    }
    return check::summary();
}
