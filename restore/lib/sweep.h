// The PSNR and SSIM a Wiener or inverse-filter restoration reaches at many values of its k or
// threshold, against the photograph it came from: the curve a student chooses the value on.
//
// True to the tools: each value is filtered by the very functions wiener.exe and Inverse.exe
// call (deconv.h), rounded to the 8 bits they write, and measured as the viewer measures
// (quality.h). What many values share is done once: the image's and the PSF's transforms.
#pragma once

#include "fft.h"
#include "image.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace restore {

enum class Method { Wiener, Inverse };

// The name of the value a method asks for, as its line and the table's first column write it:
// "k" or "umbral".
const char *valueName(Method method);

// What every value of a sweep starts from: the blurred image's spectrum G and the PSF's transfer
// function H, as the tools make them.
struct Blurred
{
    img::Spectrum g;
    img::Spectrum h;
};

// Transforms the blurred image and its PSF (checked as the tools check it: img::checkPsf).
Blurred prepare(const img::Image &blurred, const img::Image &psf);

// The value the tool advises for this image, as its console proposes it: for Wiener the noise
// measured on G (noise.h's adviseWiener), for the inverse filter kAdvisedThreshold.
double advisedValue(Method method, const img::Spectrum &g);

// The result the tool writes for `value`, before its rounding to 8 bits.
img::Image restoreWith(Method method, const Blurred &blurred, double value);

// The values a curve is drawn on: 0 first, then `perDecade` values a decade spaced evenly on a
// logarithmic scale from advised/10^2 to advised·10^2 (advised itself among them), the range
// widened to a whole step beyond `own` when it lies outside, and `own` itself added when it is
// not already there (own = 0 is the first row). Increasing.
std::vector<double> sweepValues(double advised, double own, int perDecade = 10);

struct SweepRow
{
    double value = 0.0;
    double psnr = 0.0; // dB; infinity when the result equals the truth
    std::optional<double> ssim; // nothing when the image is smaller than SSIM's window, or
                                // when the sweep took PSNR alone
};

struct Sweep
{
    Method method = Method::Wiener;
    std::vector<SweepRow> rows; // in the order of the values given
    size_t best = 0; // the row of the highest PSNR (the first of equals)
};

// What a sweep measures. SSIM costs about what the filtering does: a plot of PSNR alone, which
// wants SSIM at a value or two, takes those apart.
enum class Measures { PsnrAndSsim, PsnrOnly };

// Restores `blurred` with every value and measures each result, rounded to 8 bits as the tool
// writes it, against `truth` (align.pgm, the same size). Values are shared among `threads`
// workers (0: one per core); each keeps one spectrum and one image of work. Throws
// std::invalid_argument for a truth of another size. `measured`, when given, is called from
// the worker with each row as soon as it is measured, for a curve drawn as it fills; what it
// throws ends the sweep and is thrown again. Without `ssim` the rows have no SSIM, and the
// sweep costs about half as much and no memory for SSIM's reference.
Sweep sweep(Method method, const Blurred &blurred, const img::Image &truth,
            const std::vector<double> &values, unsigned threads = 0,
            Measures measures = Measures::PsnrAndSsim,
            const std::function<void(const SweepRow &)> &measured = {});

// The sweep as a Spanish spreadsheet opens it: "k;PSNR;SSIM" (or "umbral;..."), then a row a
// value, fields separated by ';' with a decimal comma ("0,000542;23,41;0,8123"), '\n' ends.
std::string sweepTable(const Sweep &sweep);

} // namespace restore
