// Two-dimensional real FFT on FFTW 3, any size.
#pragma once

#include "image.h"

#include <complex>
#include <functional>
#include <vector>

namespace img {

// The non-redundant half of the 2-D DFT of a real image: `height` rows of `width / 2 + 1`
// coefficients, F(u, v) at c[v * (width / 2 + 1) + u], unnormalised (F(0,0) is the sum).
template<typename Real> struct BasicSpectrum
{
    int width = 0;
    int height = 0;
    std::vector<std::complex<Real>> c;

    int halfWidth() const { return width / 2 + 1; }
    std::complex<Real> &at(int u, int v) { return c[size_t(v) * size_t(halfWidth()) + size_t(u)]; }
    std::complex<Real> at(int u, int v) const
    {
        return c[size_t(v) * size_t(halfWidth()) + size_t(u)];
    }
};

// What the tools compute in.
using Spectrum = BasicSpectrum<double>;

// Half the memory and about half the time, for a sweep that transforms one image back again
// and again at many values: the 8 bits each result is rounded to hide the difference.
using SpectrumF = BasicSpectrum<float>;

Spectrum forward(const Image &image);

// Inverse of forward, divided by width * height, so inverse(forward(x)) == x.
Image inverse(const Spectrum &spectrum);

// The same, using the spectrum's storage as FFTW's work space instead of a copy (an image of
// 2048 × 2048 saves 33 MB and a copy); the spectrum is left in an unspecified state.
Image inverse(Spectrum &&spectrum);

// forward() of a width × height image that is zero except in a few rows: row j of `rows`
// (rows.width == the image's width) lies at row rowAt[j] (rows landing on one row add up).
// Transforms only those rows, then the columns: a PSF's transfer function on a large image
// costs about two thirds of a full forward().
Spectrum forwardOfRows(const Image &rows, const std::vector<int> &rowAt, int height);

// For a filter that makes a large image only to transform it (a mirrored one): the
// width × height image is written row by row, `fill(y, row)` giving the `width` values of row
// y, straight into the spectrum's own storage and transformed there, so it costs no memory of
// its own.
Spectrum forwardFilled(int width, int height, const std::function<void(int, double *)> &fill);

// And back the same way: the inverse transform in the spectrum's storage, handing each row of
// the result to `take(y, row)`. Not divided by width * height: a filter folds that into its
// gain.
void inverseRows(Spectrum &&spectrum, const std::function<void(int, const double *)> &take);

// inverseRows in single precision, in place: the result's row y is left at
// spectrum.c's storage + y · 2 · halfWidth floats, not divided by width * height; the return
// value points at row 0. The spectrum keeps its size, its values are gone.
float *inverseInPlace(SpectrumF &spectrum);

// Signed frequency index of bin k of an n-point DFT: 0, 1, ..., then negative.
inline int signedFrequency(int k, int n)
{
    return k <= n / 2 ? k : k - n;
}

} // namespace img
