// The spikes that periodic noise leaves in a spectrum, told apart from the photograph's own.
//
// A sinusoid of amplitude A (0..1 scale) on a whole frequency bin puts A·N/2 into one bin and
// its twin (N pixels), tens to thousands of times the median of the bins around it; the
// strongest spike of a photograph outside the centre stands a few times above them. Periodic
// texture (lines of text, bricks) can still pass, and is then taken as noise: the student sees
// the suggestion and may refuse it.
#pragma once

#include "fft.h"
#include "frequency.h"

#include <optional>
#include <string>
#include <vector>

namespace restore {

// Nothing closer to DC than this, in cycles per pixel: the photograph's own energy lives there.
constexpr double kPeakMinRadius = 0.05;
// A spike is noise when it is this many times the median |F| around it...
constexpr double kPeakMinRatio = 10.0;
// ...and its sinusoid has at least this amplitude, in grey levels of 255: weaker ones cannot
// be seen, and texture often reaches the ratio with less.
constexpr double kPeakMinAmplitude = 2.0;
// How many suggestions at most.
constexpr int kMaxPeaks = 8;

// A rectangle of the centred display (pixel (x, y) shows frequency (x - w/2, y - h/2)),
// corners included.
struct DisplayRect
{
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool operator==(const DisplayRect &) const = default;
};

struct NoisePeak
{
    int u = 0, v = 0; // the spike's frequency in bins, signed; its twin is (-u, -v)
    double magnitude = 0.0; // |F| there
    double background = 0.0; // median |F| of the bins around it
    double amplitude = 0.0; // of the sinusoid it stands for, 0..1 scale: 2·|F| / N
    DisplayRect region; // the spike and the neighbours its energy leaked into
};

// The noise spikes of the spectrum whose |F|² is `power`, strongest first, one of each twin
// pair, at most kMaxPeaks.
std::vector<NoisePeak> findNoisePeaks(const img::PowerMap &power);

// A region as the student types it: four whole numbers "x1 y1 x2 y2", blanks or commas
// between them, corners in either order. std::nullopt for anything else.
std::optional<DisplayRect> parseRegion(const std::string &line);

// Whether `rect` shares at least one pixel with a width × height display.
bool overlapsDisplay(const DisplayRect &rect, int width, int height);

// Sets every bin of `rect` and its twin to zero. `rect` is clipped to the display.
void zeroRegion(img::Spectrum &spectrum, const DisplayRect &rect);

// The regions snr.exe proposes for `peaks`: each spike's own.
std::vector<DisplayRect> proposedRegions(const std::vector<NoisePeak> &peaks);

// What snr.exe makes of the image whose spectrum is `spectrum`: every region and its twin set
// to zero, transformed back.
img::Image removeRegions(img::Spectrum spectrum, const std::vector<DisplayRect> &regions);

} // namespace restore
