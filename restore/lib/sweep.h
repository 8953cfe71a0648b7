// The PSNR and SSIM a Wiener or inverse-filter restoration reaches at many values of its k or
// threshold, against the photograph it came from: the curve a student chooses the value on.
//
// True to the tools: each value is filtered by the tools' own rule (deconv.h's divisors),
// rounded to the 8 bits they write, and measured as the viewer measures (quality.h). What many
// values share is done once: the image's and the PSF's transforms, kept as G·H* and |H|². Each
// value is transformed back in single precision, in place: half the memory and about half the
// time of the tools' double precision, which the rounding to 8 bits hides (the figures agree
// with the tools' files to a few thousandths of a dB). A 12-megapixel image costs 72 MB of
// spectra and 48 MB a worker.
#pragma once

#include "fft.h"
#include "image.h"

#include <complex>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace restore {

enum class Method { Wiener, Inverse };

// The name of the value a method asks for, as its line and the table's first column write it:
// "k" or "umbral".
const char *valueName(Method method);

// The picture results are measured against, at the 8 bits align.pgm holds: an eighth of an
// img::Image's memory.
struct Truth
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> level; // row by row
};
Truth truthOf(const img::Image &picture);

// What every value of a sweep starts from: the blurred image's spectrum G times the conjugate
// of the PSF's transfer function H, and |H|², as the tools make them.
struct Blurred
{
    img::SpectrumF gh; // G·H*
    std::vector<float> power; // |H|², laid out as gh's bins
    double adviceK = 0.0; // what wiener.exe advises, measured on G
};

// From the two spectra the tools make.
Blurred blurredOf(const img::Spectrum &g, const img::Spectrum &h);

// Transforms the blurred image and its PSF (checked as the tools check it: img::checkPsf). The
// image is let go of once transformed: moved in, it costs no memory beyond that point.
Blurred prepare(img::Image blurred, const img::Image &psf);

// The value the tool advises for this image, as its console proposes it: for Wiener the noise
// measured on G (noise.h's adviseWiener), for the inverse filter kAdvisedThreshold.
double advisedValue(Method method, const Blurred &blurred);

// A result left where it was transformed back: row y's width floats at first + y · stride.
struct Rows
{
    const float *first = nullptr;
    size_t stride = 0;
    const float *row(int y) const { return first + size_t(y) * stride; }
};

// The result the tool writes for `value`, before its rounding to 8 bits, made in `work`'s
// storage (sized to fit, and kept from one value to the next).
Rows restoreInto(Method method, const Blurred &blurred, double value, img::SpectrumF &work);

// The same as an image of its own.
img::Image restoreWith(Method method, const Blurred &blurred, double value);

// `rows` rounded to the 8 bits the tool writes, each row y into levels + y · levelStride, and
// their PSNR against `truth` (same size) when one is given.
std::optional<double> writtenLevels(Rows rows, int width, int height, const Truth *truth,
                                    std::uint8_t *levels, size_t levelStride);

// The PSNR of a picture's 8-bit levels, row y at levels + y · stride, against `truth`, of its
// size: img::psnr's figure for the file that holds them.
double psnrOfLevels(const std::uint8_t *levels, size_t stride, const Truth &truth);

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
// workers (0: one per core, as many as keep their work within 100 MB); each keeps one spectrum
// of work. Throws
// std::invalid_argument for a truth of another size. `measured`, when given, is called from
// the worker with each row as soon as it is measured, for a curve drawn as it fills; what it
// throws ends the sweep and is thrown again. Without `ssim` the rows have no SSIM, and the
// sweep costs about half as much and no memory for SSIM's reference (three floats a pixel).
Sweep sweep(Method method, const Blurred &blurred, const Truth &truth,
            const std::vector<double> &values, unsigned threads = 0,
            Measures measures = Measures::PsnrAndSsim,
            const std::function<void(const SweepRow &)> &measured = {});

// The sweep as a Spanish spreadsheet opens it: "k;PSNR;SSIM" (or "umbral;..."), then a row a
// value, fields separated by ';' with a decimal comma ("0,000542;23,41;0,8123"), '\n' ends.
std::string sweepTable(const Sweep &sweep);

} // namespace restore
