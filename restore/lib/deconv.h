// Undoing a known blur in the frequency domain.
//
// G = H·F + N is the blurred image's spectrum (img::forward); H is the blur's transfer function
// with H(0,0) = 1 (img::transferFunction). Both filters work bin by bin on G and return the
// restored image.
#pragma once

#include "fft.h"
#include "image.h"

#include <complex>

namespace restore {

// The inverse filter with a threshold: F = G / H where |H| >= threshold, and nothing where
// |H| is smaller, since dividing by near zeros amplifies noise and rounding without bound. A
// threshold of 0 still drops the exact zeros.
img::Image inverseFilter(img::Spectrum g, const img::Spectrum &h, double threshold);

// The Wiener filter with a constant noise-to-signal ratio: F = H*·G / (|H|² + k). k = 0 is the
// inverse filter without a threshold (exact zeros of H give nothing).
img::Image wienerFilter(img::Spectrum g, const img::Spectrum &h, double k);

// What each filter divides a bin's G·H* by, given |H|² there (`power`); 0 where the bin is
// dropped. The tools' rule, which a sweep follows in single precision.
inline double inverseDivisor(double power, double threshold)
{
    return power > 0.0 && power >= threshold * threshold ? power : 0.0;
}
inline double wienerDivisor(double power, double k)
{
    return power + k > 0.0 ? power + k : 0.0;
}

// a·b*, written out on the real and imaginary parts: std::complex's operators guard against
// infinities with a test and a library call per bin, and no bin here is infinite.
inline std::complex<double> conjProduct(std::complex<double> a, std::complex<double> b)
{
    return {a.real() * b.real() + a.imag() * b.imag(), a.imag() * b.real() - a.real() * b.imag()};
}

// Motion removal's fixed Wiener constant: large enough that the near-zeros of H do not blow the
// 16-bit rounding of the blurred image up, small enough to leave every other bin a plain
// division: 1e-9 .. 1e-8 land within 0.1 dB of the best on every photograph tried, 1e-7 loses
// 3 dB.
constexpr double kMotionK = 1e-8;

// The inverse filter's advised threshold: with a 16-bit blurred image it keeps every frequency
// the disc blur did not destroy.
constexpr double kAdvisedThreshold = 0.0001;

} // namespace restore
