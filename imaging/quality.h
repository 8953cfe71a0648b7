// Measuring an image against a reference: what the quality tests, the benchmarks and the
// viewer's status bar report.
#pragma once

#include "image.h"

namespace img {

// Peak signal-to-noise ratio in dB on the 0..1 scale (peak 1): 10·log10(1 / MSE). Infinity
// for equal images. Throws std::invalid_argument for images of different sizes.
double psnr(const Image &image, const Image &reference);

// The image as a PGM file of `bits` (8 or 16) would hold it: clamped to 0..1 and rounded to
// the file's levels. PSNR of a tool's output should be taken on this.
Image quantised(const Image &image, int bits);

} // namespace img
