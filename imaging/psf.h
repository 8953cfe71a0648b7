// Point-spread functions and their transfer functions, shared by the blurring tools and the
// restoration tools so that a blur and its undoing agree to the last bin.
//
// Conventions every tool relies on:
// - A PSF image of size pw × ph has its centre at pixel (pw / 2, ph / 2) (the middle pixel for
//   odd sizes; for even sizes the one right of and below the middle). That pixel is moved to
//   the origin, so a PSF with a single bright pixel at its centre does not shift the image.
// - The PSF is scaled to sum 1, so its transfer function has H(0,0) == 1 and a blur keeps the
//   mean grey level. The grey scale of the PSF file (8 or 16 bits, its maxval) does not matter.
// - Blurring is circular (periodic): the image wraps around at its borders, which is what a
//   product of DFTs does and what lets an inverse filter undo a blur exactly.
#pragma once

#include "fft.h"
#include "image.h"

#include <string>

namespace img {

// Throws BadInput naming `name` when the PSF cannot describe a blur of `image`: all zero (or
// summing to zero or less), or wider or taller than the image.
void checkPsf(const Image &psf, const Image &image, const std::string &name);

// Reads the PSF file `path` (resolved without regard to case) and checks it against `image`.
Image readPsf(const std::string &path, const Image &image);

// The transfer function H of `psf` on a width × height grid: the PSF scaled to sum 1, its
// centre moved to the origin with wrap-around, transformed. H(0,0) == 1 up to rounding.
// Throws BadInput for a PSF that checkPsf would refuse.
Spectrum transferFunction(const Image &psf, int width, int height);

// The PSF of a horizontal motion blur of `length` pixels: a 1 × length box of ones, centred by
// the rule above (offsets -length/2 .. (length-1)/2). mblur.exe blurs with it and motion.exe
// undoes it with transferFunction(motionPsf(length), width, height).
Image motionPsf(int length);

// Multiplies `spectrum` bin by bin by `h` (same size).
void multiply(Spectrum &spectrum, const Spectrum &h);

// Circular convolution: inverse(forward(image) · h).
Image applyTransfer(const Image &image, const Spectrum &h);

} // namespace img
