// How much noise an image carries, measured on its spectrum.
//
// Two kinds, estimated apart: periodic noise from the energy of its spectral spikes, and white
// noise from the bins of the corner of the spectrum farthest from DC along both axes, where a
// blurred photograph has least of its own. White noise of deviation σ gives every bin an |F|²
// exponentially distributed with mean N·σ² (N pixels), so that a tenth of the bins lie below
// N·σ²·ln(10/9). That low quantile, rather than the mean or the median, because what the
// photograph adds only raises a bin: the quietest bins, near the zeros of the blur, are the
// noise alone, and a spike of periodic noise does not count at all.
#pragma once

#include "frequency.h"
#include "peaks.h"

#include <vector>

namespace restore {

struct NoiseEstimate
{
    double structured = 0.0; // standard deviation of the periodic part, 0..1 scale
    double white = 0.0; // standard deviation of the white part, 0..1 scale
    double total() const; // of both together
};

// The noise of the image whose spectrum has |F|² `power` and the noise spikes `peaks`.
NoiseEstimate estimateNoise(const img::PowerMap &power, const std::vector<NoisePeak> &peaks);

// White noise alone.
double whiteNoise(const img::PowerMap &power);

// Wiener's k is never advised below this: twice the rounding noise of a 16-bit image, below
// which there is nothing left to trust, and k = 0 would divide by the exact zeros of H.
constexpr double kMinimumK = 1e-5;

// What wiener.exe advises for the blurred image whose spectrum is `g`: k = 2·σ on the 0..1
// scale, σ the noise measured on the image itself, with what it was measured from. `spare`, a
// buffer the caller has done with, as powerOf takes it.
struct WienerAdvice
{
    std::vector<NoisePeak> peaks;
    NoiseEstimate noise;
    double k = kMinimumK;
};
WienerAdvice adviseWiener(const img::Spectrum &g, std::vector<double> spare = {});

} // namespace restore
