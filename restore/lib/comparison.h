// Every restoration of the menu on one distorted image, measured against its photograph: which
// method fits which damage. Each runs through the functions its tool runs, on the image in
// memory, its result rounded to the 8 bits the tool writes; no file is read or written.
#pragma once

#include "image.h"
#include "sweep.h"

#include <optional>
#include <vector>

namespace restore {

// In the menu's order; the last is the two steps "Retiro Ruido Estructurado + Filtro Wiener":
// the structured noise removed with the proposed regions, then Wiener on that 8-bit result.
enum class Restoration {
    Motion10,
    Motion25,
    Motion50,
    Inverse,
    Wiener,
    NoiseRemoval,
    NoiseThenWiener
};

struct Measured
{
    double psnr = 0.0; // dB against the photograph
    std::optional<double> ssim;
};

struct Compared
{
    Restoration method = Restoration::Motion10;
    // With the tool's own answer: its advice for k and the threshold, the proposed regions for
    // the noise removal; motion removal asks nothing.
    Measured advised;
    std::optional<double> advice; // k or the threshold advised
    // For k and the threshold: the whole curve and its best row (Sweep::best); PSNR at every
    // value, SSIM at the best alone.
    std::optional<Sweep> curve;
    // What the row is ranked by (bestPsnr): the 8-bit result with the advice, or at the
    // curve's best when that is higher, averaged down to at most kThumbnailSide pixels on its
    // longer side. Enough for a page's thumbnail, and small at any size of photograph.
    img::Image thumbnail;
};

inline constexpr int kThumbnailSide = 256;

struct Comparison
{
    Measured distorted; // the distorted image itself, as its 8-bit file holds it
    std::vector<Compared> rows; // in Restoration's order, less those that cannot run
};

// The menu's restorations of `distorted` against `truth` (align.pgm, the same size): the
// inverse filter with `psfInverse` (the menu's psf2A.pgm) and Wiener with `psfWiener` (psf1A),
// as the batch files give them. A motion removal longer than the image is wide is left out,
// as motion.exe refuses it. `twoSteps` adds NoiseThenWiener (for blur and structured noise
// together). Throws img::BadInput for a PSF the tools would refuse.
Comparison compareMethods(const img::Image &distorted, const img::Image &truth,
                          const img::Image &psfInverse, const img::Image &psfWiener, bool twoSteps,
                          unsigned threads = 0);

// The larger of a row's PSNR with the advice and at its curve's best: what a ranking goes by.
double bestPsnr(const Compared &row);

} // namespace restore
