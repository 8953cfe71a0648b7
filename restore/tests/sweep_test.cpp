// The sweep against the tools themselves: on a photograph blurred (and noised) by the real
// distortion tools, the PSNR the sweep gives a value is the PSNR of the file the real tool
// writes for that value, for both methods; the values and the table are what a curve needs.
#include "check.h"
#include "comparison.h"
#include "linekeys.h"
#include "pnm.h"
#include "quality.h"
#include "runtool.h"
#include "sweep.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace {

std::string drivec(const std::string &name)
{
    return std::string(TAVELIO_BUILD_DRIVE_C) + "/qor/ejecutable/auxiliares/" + name;
}

bool ran(const TempDir &dir, const std::string &tool, const std::string &args,
         const std::string &answers = "")
{
    const ToolRun run = runLine(dir, tool, args, answers);
    check::report(run.status == 0, __FILE__, __LINE__, tool + " " + args + ": " + run.err);
    return run.status == 0;
}

std::string typed(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.17g\n", value);
    return text;
}

// For each of `picks` rows, the tool run with that row's value writes a file whose PSNR is the
// row's; and the advice its line records is the sweep's.
void trueToTool(const TempDir &dir, restore::Method method, const std::string &tool,
                const img::Image &truth)
{
    const restore::Blurred blurred = restore::prepare(img::readPnm(dir.file("distor.pgm")),
                                                      img::readPnm(dir.file("psf1A.pgm")));
    const double advised = restore::advisedValue(method, blurred);
    const std::vector<double> values = restore::sweepValues(advised, 0.0);
    const restore::Sweep sweep = restore::sweep(method, blurred, restore::truthOf(truth), values);
    CHECK(sweep.rows.size() == values.size());
    const size_t middle = size_t(std::find(values.begin(), values.end(), advised) - values.begin());
    std::vector<size_t> picks;
    for (const size_t row : {size_t(0), middle - 10, middle, sweep.best, values.size() - 3})
        if (std::find(picks.begin(), picks.end(), row) == picks.end())
            picks.push_back(row);
    for (const size_t row : picks) {
        if (!ran(dir, tool, "distor.pgm psf1A.pgm out.pgm", typed(values[row])))
            continue;
        const double psnr = img::psnr(img::readPnm(dir.file("out.pgm")), truth);
        std::printf("  %s %s=%g: herramienta %.3f dB, barrido %.3f dB\n", tool.c_str(),
                    restore::valueName(method), values[row], psnr, sweep.rows[row].psnr);
        CHECK(std::abs(psnr - sweep.rows[row].psnr) <= 0.05);
        const std::string line = img::readPnmComments(dir.file("out.pgm")).back();
        CHECK(img::lineNumber(line, img::kAdvisedKey) == advised);
        CHECK(img::lineNumber(line, restore::valueName(method)) == values[row]);
    }
}

void testValuesAndTable()
{
    const std::vector<double> values = restore::sweepValues(0.000542, 0.05);
    CHECK(values.front() == 0.0 && std::is_sorted(values.begin(), values.end()));
    CHECK(values.size() >= 41 && values[1] <= 0.000542 / 100 && values.back() >= 0.000542 * 100);
    CHECK(std::count(values.begin(), values.end(), 0.000542) == 1);
    CHECK(std::count(values.begin(), values.end(), 0.05) == 1);
    // A value far outside widens the range rather than standing alone.
    const std::vector<double> wide = restore::sweepValues(1e-4, 10.0);
    CHECK(wide.back() > 10.0 && wide.size() > values.size());

    restore::Sweep sweep;
    sweep.method = restore::Method::Inverse;
    sweep.rows = {{0.0, 7.812, 0.1234}, {0.0001, 23.4, std::nullopt}};
    CHECK(restore::sweepTable(sweep) == "umbral;PSNR;SSIM\n0;7,81;0,1234\n0,0001;23,40;\n");
}

const char *const kNames[]
    = {"mov10", "mov25", "mov50", "inverso", "wiener", "retiro", "retiro+wiener"};

restore::Comparison compared(const TempDir &dir, bool twoSteps)
{
    const restore::Comparison c = restore::compareMethods(
        img::readPnm(dir.file("distor.pgm")), img::readPnm(dir.file("align.pgm")),
        img::readPnm(dir.file("psf2A.pgm")), img::readPnm(dir.file("psf1A.pgm")), twoSteps);
    std::printf("  distorsionada %.2f dB\n", c.distorted.psnr);
    for (const restore::Compared &row : c.rows)
        std::printf("  %-14s %6.2f dB (consejo), mejor %6.2f dB\n", kNames[int(row.method)],
                    row.advised.psnr, restore::bestPsnr(row));
    return c;
}

const restore::Compared *first(const restore::Comparison &c)
{
    return &*std::max_element(c.rows.begin(), c.rows.end(), [](const auto &a, const auto &b) {
        return restore::bestPsnr(a) < restore::bestPsnr(b);
    });
}

// Each damage's own remedy ranks first, and the noise removal is snr.exe's to the last level.
void testComparison()
{
    TempDir dir;
    for (const char *name : {"camera.pgm", "psf1A.pgm", "psf2A.pgm"})
        std::filesystem::copy_file(drivec(name), dir.file(name));
    if (!ran(dir, "align.exe", "camera.pgm") || !ran(dir, "mblur.exe", "align.pgm 25 distor.pgm"))
        return;
    const restore::Comparison motion = compared(dir, false);
    CHECK(first(motion)->method == restore::Restoration::Motion25);

    if (!ran(dir, "blur.exe", "align.pgm psf1A.pgm Dis_Ruido.pgm")
        || !ran(dir, "snoise.exe", "Dis_Ruido.pgm distor.pgm")
        || !ran(dir, "snr.exe", "distor.pgm retiro.pgm", "\n"))
        return;
    const restore::Comparison noisy = compared(dir, true);
    CHECK(first(noisy)->method == restore::Restoration::NoiseThenWiener);
    const img::Image truth = img::readPnm(dir.file("align.pgm"));
    const double removal = img::psnr(img::readPnm(dir.file("retiro.pgm")), truth);
    CHECK(noisy.rows.size() == 7 && noisy.rows[5].advised.psnr == removal);
}

} // namespace

int main()
{
    testValuesAndTable();
    testComparison();
    TempDir dir;
    for (const char *name : {"coins.pgm", "psf1A.pgm"})
        std::filesystem::copy_file(drivec(name), dir.file(name));
    if (ran(dir, "align.exe", "coins.pgm") && ran(dir, "blur.exe", "align.pgm psf1A.pgm blur.pgm")
        && ran(dir, "snoise.exe", "blur.pgm distor.pgm")) {
        const img::Image truth = img::readPnm(dir.file("align.pgm"));
        trueToTool(dir, restore::Method::Wiener, "wiener.exe", truth);
        std::filesystem::copy_file(dir.file("blur.pgm"), dir.file("distor.pgm"),
                                   std::filesystem::copy_options::overwrite_existing);
        trueToTool(dir, restore::Method::Inverse, "inverse.exe", truth);
    }
    return check::summary();
}
