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

// Draws value(F) of every bin centred, as centredMagnitude draws |F|, into `out`, an image of
// the spectrum's size whose every pixel is overwritten. Each stored coefficient is drawn
// twice, at its own place and at its twin's, so `value` is taken once per stored bin and must
// not depend on the sign of the imaginary part.
template<class Value> void drawCentred(const Spectrum &spectrum, Image &out, Value value)
{
    const int w = spectrum.width;
    const int h = spectrum.height;
    const int hw = spectrum.halfWidth();
    std::vector<size_t> column(static_cast<size_t>(hw)), twinColumn(static_cast<size_t>(hw));
    for (int u = 0; u < hw; ++u) {
        column[size_t(u)] = size_t(displayOfBin(u, w));
        twinColumn[size_t(u)] = size_t(displayOfBin(-u, w));
    }
    for (int v = 0; v < h; ++v) {
        const std::complex<double> *row = &spectrum.c[size_t(v) * size_t(hw)];
        double *dst = &out.px[size_t(displayOfBin(v, h)) * size_t(w)];
        double *twin = &out.px[size_t(displayOfBin(-v, h)) * size_t(w)];
        for (int u = 0; u < hw; ++u) {
            const double m = value(row[u]);
            dst[column[size_t(u)]] = m;
            twin[twinColumn[size_t(u)]] = m;
        }
    }
}

// |F|² of every bin a Spectrum stores, in its layout: the one pass of squared magnitudes that
// the peak search and the noise estimate of a tool share. Squares, because every use compares
// or takes a median, which squaring keeps, and a square root or hypot per bin is most of the
// cost of a search over the whole spectrum.
struct PowerMap
{
    int width = 0;
    int height = 0;
    std::vector<double> p;

    int halfWidth() const { return width / 2 + 1; }
    // |F(u, v)|² for any bin: the half that is not stored is its twin's.
    double at(int u, int v) const;
};

// `storage`, when given, is a buffer the caller has done with (the transformed image's pixels,
// twice the size needed): the map is made in it instead of in new memory that must be cleared.
PowerMap powerOf(const Spectrum &spectrum, std::vector<double> storage = {});

struct Peak
{
    int u = 0; // signed frequency along the width, in bins: 0 .. width/2
    int v = 0; // signed frequency along the height, in bins
    double magnitude = 0.0; // |F|
};

// The `count` strongest local maxima of |F| (not below any of their 8 neighbours) whose
// frequency lies at least `minRadius` cycles per pixel from DC, that is
// (u/width)² + (v/height)² >= minRadius². One of each twin pair is listed, the one with
// u >= 0 (the other is (-u, -v)); strongest first. Fewer than `count` when there are fewer.
std::vector<Peak> strongestPeaks(const PowerMap &power, int count, double minRadius);

} // namespace img
