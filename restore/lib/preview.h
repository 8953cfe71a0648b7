// A restoration seen small, at the cost of its size: what a slider shows while it is dragged.
//
// The filters work bin by bin, so filtering the low frequencies of G·H* with those of |H|² gives
// the low frequencies of the full result; transformed back at a smaller size they are the full
// result resampled (band-limited) to that size. A 12-megapixel image previewed at screen size
// costs a screen-sized transform, not a 12-megapixel one.
#pragma once

#include "fft.h"
#include "sweep.h"

namespace restore {

// `blurred` for a result no larger than maxWidth × maxHeight, its shape kept; `blurred`
// itself, copied, when it is that small already.
Blurred shrunk(const Blurred &blurred, int maxWidth, int maxHeight);

} // namespace restore
