// Measuring an image against a reference: what the quality tests, the benchmarks and the
// viewer's status bar report.
#pragma once

#include "image.h"

#include <functional>
#include <optional>
#include <vector>

namespace img {

// Peak signal-to-noise ratio in dB on the 0..1 scale (peak 1): 10·log10(1 / MSE). Infinity
// for equal images. Throws std::invalid_argument for images of different sizes.
double psnr(const Image &image, const Image &reference);

// The image as a PGM file of `bits` (8 or 16) would hold it: clamped to 0..1 and rounded to
// the file's levels. PSNR of a tool's output should be taken on this.
Image quantised(const Image &image, int bits);

// The rows of an image, handed over one at a time: fills `row` with the `width` grey levels
// (0..1) of row y. Asked for once each, top to bottom, so the image may live in any form (a
// file's 8- or 16-bit samples) and never be held as doubles.
using FloatRows = std::function<void(int y, float *row)>;

// The structural similarity (SSIM) of Wang, Bovik, Sheikh and Simoncelli (2004): local means,
// variances and the covariance under a Gaussian window of σ = 1.5 (11 × 11), K1 = 0.01,
// K2 = 0.03, data range 1, population variances, averaged over the pixels whose window lies
// wholly inside the image. This is scikit-image's structural_similarity(a, b,
// gaussian_weights=True, sigma=1.5, use_sample_covariance=False, data_range=1).
//
// One pass over the rows: each row's five window sums (a, b, a², b², ab) are taken along it,
// in single precision, and the last 11 of them kept; once a window's rows are all in, the
// sums down the columns give that row's figures. A 4000 × 3000 image needs under a megabyte
// beside its two rows. Nothing when the image is smaller than the window either way.
std::optional<double> ssim(int width, int height, const FloatRows &a, const FloatRows &b);
// The same on two images of one size; nothing for images of different sizes.
std::optional<double> ssim(const Image &a, const Image &b);

// ssim(a, b) of one reference `a` against many images b, as a sweep of a filter's value
// measures its results: a's rows (as floats) and their window sums are taken once, so each b
// costs three of the five sums. Gives exactly what ssim() gives. Holds three floats a pixel.
class SsimReference
{
public:
    SsimReference(int width, int height, const FloatRows &a);
    explicit SsimReference(const Image &a);
    // Nothing when the image is smaller than the window, or b of another size.
    std::optional<double> of(const FloatRows &b) const;
    std::optional<double> of(const Image &b) const;

private:
    int width_ = 0, height_ = 0;
    std::vector<float> rows_; // a, centred on mid grey
    std::vector<float> sums_; // a row's window sums of a and a², for each inner row
};

} // namespace img
