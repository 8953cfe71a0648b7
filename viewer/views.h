// What the viewer's views draw, without widgets: the spectrum in the coordinates snr.exe asks
// for, the signed difference with align.pgm, the histogram of grey levels, and a reduction that
// keeps single bright pixels.
#pragma once

#include "image.h"

#include <QImage>
#include <QSize>

#include <array>

namespace viewer {

// The centred spectrum in the coordinates transfor.exe draws and snr.exe asks for: pixel (x, y)
// shows frequency (x - width/2, y - height/2), brightness log(1 + |F|), F taken on the 0..255
// grey scale. The brightness runs from the median (the floor most bins lie near) to the
// strongest bin other than DC, where transfor.exe stretches from the weakest to DC: the floor
// goes dark and a peak of periodic noise, a single bin, stands out as a bright point.
// `magnitude` holds |F| at each pixel, for the readout.
struct SpectrumView
{
    QImage display;
    img::Image magnitude;
};
SpectrumView spectrumView(const img::Image &grey);

// image - reference in grey levels of 0..255, zero drawn mid grey and ± `range` filling black to
// white, beyond it clamped. `range`, what the status bar names, is the whole number of levels
// that covers 99.5 % of the pixels (at least 1): a few extreme pixels at a border do not
// flatten the rest.
struct DifferenceView
{
    QImage display;
    img::Image levels; // the signed difference at each pixel, in grey levels
    int range = 1;
};
DifferenceView differenceView(const img::Image &image, const img::Image &reference);

// How many pixels fall on each of the 256 grey levels.
std::array<long, 256> histogram(const img::Image &grey);

// `picture` (8-bit grey) shrunk to `shown` (no larger than it) with each screen pixel the
// brightest of the pixels it covers: a single bright bin stays a bright point at any reduction,
// where smoothing would average it away.
QImage maxReduced(const QImage &picture, QSize shown);

} // namespace viewer
