// What the viewer's views draw, without widgets: the spectrum in the coordinates snr.exe asks
// for, the signed difference with align.pgm, the histogram of grey levels, and a reduction that
// keeps single bright pixels.
#pragma once

#include "greylevels.h"
#include "image.h"

#include <QImage>
#include <QSize>

#include <array>
#include <vector>

namespace picture {

// The centred spectrum in the coordinates transfor.exe draws and snr.exe asks for: pixel (x, y)
// shows frequency (x - width/2, y - height/2), brightness log(1 + |F|), F taken on the 0..255
// grey scale. The brightness runs from the median (the floor most bins lie near) to the
// strongest bin other than DC, where transfor.exe stretches from the weakest to DC: the floor
// goes dark and a peak of periodic noise, a single bin, stands out as a bright point.
//
// Only the half of the bins a real image's transform stores is kept, as log(1 + |F|) in
// double precision, for the readout: the other half is their twins. The transform itself is
// made in place and let go as soon as they are taken.
struct SpectrumView
{
    QImage display;
    int width = 0;
    int height = 0;
    std::vector<double> logs; // bins (u, v), u = 0 .. width/2, at logs[v * (width/2 + 1) + u]

    // |F| of the bin drawn at display pixel (x, y).
    double magnitudeAt(int x, int y) const;
};
SpectrumView spectrumView(const GreyLevels &grey);

// image - reference in grey levels of 0..255, zero drawn mid grey and ± `range` filling black to
// white, beyond it clamped. `range`, what the status bar names, is the whole number of levels
// that covers 99.5 % of the pixels (at least 1): a few extreme pixels at a border do not
// flatten the rest.
struct DifferenceView
{
    QImage display;
    int range = 1;
};
DifferenceView differenceView(const GreyLevels &image, const GreyLevels &reference);

// The signed difference at a pixel, in grey levels of 0..255: what the difference's readout
// says, taken from the two pictures rather than kept for every pixel.
inline double differenceAt(const GreyLevels &image, const GreyLevels &reference, int x, int y)
{
    return 255.0 * (image.at(x, y) - reference.at(x, y));
}

// How many pixels fall on each of the 256 grey levels.
std::array<long, 256> histogram(const GreyLevels &grey);

// `image` as the 8-bit file its tool writes would show it: each value clamped to 0..1 and
// rounded to its grey level.
QImage eightBit(const img::Image &image);

// `picture` (8-bit grey) shrunk to `shown` (no larger than it) with each screen pixel the
// brightest of the pixels it covers: a single bright bin stays a bright point at any reduction,
// where smoothing would average it away.
QImage maxReduced(const QImage &picture, QSize shown);

} // namespace picture
