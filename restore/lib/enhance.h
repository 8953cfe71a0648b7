// Enhancement in the frequency domain: the homomorphic filter (shuffle.exe then homo.exe) and
// high-frequency emphasis (hiemph.exe).
//
// Both treat the image as a photograph, not as one period of a periodic pattern: the image is
// mirrored about its borders before the FFT, so a bright left border meeting a dark right one
// does not become an edge that a high-boost filter sharpens into a bright frame; measured, a
// circular FFT with a min-max stretch loses edge contrast where the mirrored one gains it.
#pragma once

#include "image.h"

namespace restore {

// The homomorphic filter H = (γH − γL)·[1 − exp(−c·D²/D0²)] + γL, D in frequency bins of the
// mirrored image's transform. γL < 1 compresses the slow illumination, γH > 1 lifts the
// reflectance detail; these figures were chosen on dark, unevenly lit photographs.
constexpr double kGammaLow = 0.25;
constexpr double kGammaHigh = 1.5;
constexpr double kSharpness = 1.0; // c
constexpr double kCutoffBins = 10.0; // D0
// The result is stretched so that 1 % of the pixels go black and 1 % white: exp() gives a
// few specular highlights values far above the rest, which a min-max stretch would let squeeze
// the whole picture into the shadows.
constexpr double kHomoClip = 0.01;

// High-frequency emphasis H = a + b·[1 − exp(−D²/(2·D0²))], D in cycles per pixel. a = 1
// keeps the mean grey level and the broad shading; b = 0.5 makes edges half as strong again on
// each pass, so the two passes the program runs give 2.25 times, still a photograph.
constexpr double kEmphasisA = 1.0;
constexpr double kEmphasisB = 0.5;
constexpr double kEmphasisCutoff = 0.1;
// Pixels of mirror around the image, ten times the reach of the high-pass.
constexpr int kEmphasisMargin = 16;
// Overshoots beyond black and white are brought in by scaling about the mean until this
// fraction of pixels at each end is all that reaches past them: each pass then clips at most
// a few pixels, and the second pass cannot turn the picture into black and white.
constexpr double kEmphasisClip = 0.005;

// The logarithm shuffle.exe stores: ln(1 + 255·x) / ln(256), so black stays 0, white 1, and
// one grey level above black is not lost in a logarithm of zero. Of the `n` values at `in`,
// into `out` (which may be `in`): shuffle.exe takes it row by row as it writes. `levels` is
// what the PNM reader reports of the file the values come from (0 when unknown).
void logarithm(const double *in, double *out, size_t n, unsigned levels = 0);

// Undoes logarithm exactly (before the file's rounding).
img::Image expImage(img::Image logarithm);

// homo.exe's work on the contents of shuff.pgm: filter the logarithm, exponentiate, stretch.
img::Image homomorphic(img::Image logarithm);

// One pass of high-frequency emphasis, scaled back inside 0..1 as above.
img::Image emphasise(img::Image image);

// The bits hiemph.exe writes: 16 for an input that holds only 8-bit levels (align.pgm, the
// first pass), so the second pass starts from the first one's full precision; 8 for anything
// else (alto.pgm, the second pass), for viewing. `levels` is what readPnm reports of the file
// (0 when unknown).
int emphasisBits(const img::Image &input, unsigned levels = 0);

} // namespace restore
