// Working with a whole spectrum: the centred display that transfor.exe draws, conjugate
// twins, and the search for the strong off-centre peaks that periodic noise leaves.
//
// Bins are named by integer frequencies (u, v), u along the width and v along the height, in
// any representative: (u, v), (u - width, v) and (u, v + height) name one bin. The twin of
// (u, v) is (-u, -v); a real image has F(-u, -v) == conj(F(u, v)).
//
// The centred display: pixel (x, y) of an image the size of the spectrum shows frequency
// (x - width/2, y - height/2), so DC lies at (width/2, height/2). snr.exe takes regions in
// these coordinates because the student reads them off FFT.pgm.
#pragma once

#include "fft.h"
#include "image.h"

#include <complex>
#include <vector>

namespace img {

// The bin that display pixel `x` of an `n`-wide centred display shows, in 0..n-1.
inline int binOfDisplay(int x, int n)
{
    return ((x - n / 2) % n + n) % n;
}

// The display pixel, in 0..n-1, where bin `k` (any representative) is drawn.
inline int displayOfBin(int k, int n)
{
    return ((k + n / 2) % n + n) % n;
}

// F(u, v) for any bin, including those of the half that Spectrum does not store.
std::complex<double> fullAt(const Spectrum &spectrum, int u, int v);

// Sets F(u, v) and F(-u, -v) to zero together, so the inverse transform stays real and loses
// exactly that pair of frequencies.
void zeroBin(Spectrum &spectrum, int u, int v);

// |F| on the whole grid, drawn centred: pixel (x, y) holds |F| of frequency
// (x - width/2, y - height/2).
Image centredMagnitude(const Spectrum &spectrum);

struct Peak
{
    int u = 0; // signed frequency along the width, in bins: -width/2 .. width/2
    int v = 0; // signed frequency along the height, in bins
    double magnitude = 0.0;
};

// The `count` strongest local maxima of |F| (not below any of their 8 neighbours) whose
// frequency lies at least `minRadius` cycles per pixel from DC, that is
// (u/width)² + (v/height)² >= minRadius². One of each twin pair is listed (the other is
// (-u, -v)); strongest first. Fewer than `count` when the spectrum has fewer.
std::vector<Peak> strongestPeaks(const Spectrum &spectrum, int count, double minRadius);

} // namespace img
