// How much noise an image carries, measured on the image itself.
//
// Two kinds, estimated apart because no single estimator sees both: periodic noise from the
// energy of its spectral spikes (the finest diagonal details that measure white noise cancel a
// sinusoid running along the rows or the columns and see only part of a slanted one), and white
// noise from the median absolute value of those details once the spikes are taken out (a
// blurred photograph has almost nothing of its own there).
#pragma once

#include "fft.h"
#include "image.h"
#include "peaks.h"

#include <vector>

namespace restore {

struct NoiseEstimate
{
    double structured = 0.0; // standard deviation of the periodic part, 0..1 scale
    double white = 0.0; // standard deviation of the white part, 0..1 scale
    double total() const; // of both together
};

// The noise of `image`, whose spectrum and noise spikes the caller already has.
NoiseEstimate estimateNoise(const img::Image &image, const img::Spectrum &spectrum,
                            const std::vector<NoisePeak> &peaks);

// White noise alone: the median absolute diagonal Haar detail over 0.6745, the median of |z|
// for a unit normal z.
double whiteNoise(const img::Image &image);

} // namespace restore
