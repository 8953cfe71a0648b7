// Undoing a known blur in the frequency domain.
//
// G = H·F + N is the blurred image's spectrum (img::forward); H is the blur's transfer function
// with H(0,0) = 1 (img::transferFunction). Both filters work bin by bin on G and return the
// restored image.
#pragma once

#include "fft.h"
#include "image.h"

namespace restore {

// The inverse filter with a threshold: F = G / H where |H| >= threshold, and nothing where
// |H| is smaller, since dividing by near zeros amplifies noise and rounding without bound. A
// threshold of 0 still drops the exact zeros.
img::Image inverseFilter(img::Spectrum g, const img::Spectrum &h, double threshold);

// The Wiener filter with a constant noise-to-signal ratio: F = H*·G / (|H|² + k). k = 0 is the
// inverse filter without a threshold (exact zeros of H give nothing).
img::Image wienerFilter(img::Spectrum g, const img::Spectrum &h, double k);

} // namespace restore
