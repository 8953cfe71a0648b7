// Two-dimensional real FFT on FFTW 3, any size.
#pragma once

#include "image.h"

#include <complex>
#include <vector>

namespace img {

// The non-redundant half of the 2-D DFT of a real image: `height` rows of `width / 2 + 1`
// coefficients, F(u, v) at c[v * (width / 2 + 1) + u], unnormalised (F(0,0) is the sum).
struct Spectrum
{
    int width = 0;
    int height = 0;
    std::vector<std::complex<double>> c;

    int halfWidth() const { return width / 2 + 1; }
    std::complex<double>& at(int u, int v) { return c[size_t(v) * size_t(halfWidth()) + size_t(u)]; }
    std::complex<double> at(int u, int v) const
    {
        return c[size_t(v) * size_t(halfWidth()) + size_t(u)];
    }
};

Spectrum forward(const Image& image);

// Inverse of forward, divided by width * height, so inverse(forward(x)) == x.
Image inverse(const Spectrum& spectrum);

// Signed frequency index of bin k of an n-point DFT: 0, 1, ..., then negative.
inline int signedFrequency(int k, int n) { return k <= n / 2 ? k : k - n; }

} // namespace img
