// The spikes that periodic noise leaves in a spectrum.
#include "peaks.h"

#include "frequency.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <utility>

namespace restore {

namespace {

// Half the side of the window whose median is a spike's background: 9 × 9 bins, the spike's own
// 3 × 3 left out so that leakage does not raise it.
constexpr int kBackgroundReach = 4;
// A region grows at most this many bins each way: a sinusoid between bins leaks into a few
// neighbours only before it sinks under the photograph.
constexpr int kMaxGrowth = 3;
// Local maxima looked at: periodic noise is among the strongest few even at 2 grey levels.
constexpr int kCandidates = 64;
// A neighbour belongs to a spike's region only when it holds this fraction of the spike too: a
// sinusoid half-way between bins puts a third, a fifth, a seventh... of its peak into the bins
// beyond the two it straddles; under 5 % lies less than half a grey level of an 8-level
// sinusoid, and a region grown over the photograph's own bins costs more than it removes.
constexpr double kLeakFraction = 0.05;

// The median of |F| is the root of the median of |F|².
double background(const img::PowerMap &power, int u, int v)
{
    std::vector<double> around;
    for (int dv = -kBackgroundReach; dv <= kBackgroundReach; ++dv)
        for (int du = -kBackgroundReach; du <= kBackgroundReach; ++du)
            if (std::abs(du) > 1 || std::abs(dv) > 1)
                around.push_back(power.at(u + du, v + dv));
    const auto middle = around.begin() + long(around.size() / 2);
    std::nth_element(around.begin(), middle, around.end());
    return std::sqrt(*middle);
}

// Whether a row or column of the display, from `a` to `b` along the other axis, still holds a
// bin whose |F| reaches `level`.
bool lineAbove(const img::PowerMap &s, bool column, int at, int a, int b, double level)
{
    for (int t = a; t <= b; ++t) {
        const int x = column ? at : t;
        const int y = column ? t : at;
        if (s.at(img::binOfDisplay(x, s.width), img::binOfDisplay(y, s.height)) >= level * level)
            return true;
    }
    return false;
}

DisplayRect grow(const img::PowerMap &s, int u, int v, double level)
{
    const int x = img::displayOfBin(u, s.width);
    const int y = img::displayOfBin(v, s.height);
    DisplayRect r {x, y, x, y};
    for (int step = 0; step < kMaxGrowth; ++step) {
        bool grew = false;
        if (r.x0 > 0 && x - r.x0 < kMaxGrowth && lineAbove(s, true, r.x0 - 1, r.y0, r.y1, level)) {
            --r.x0;
            grew = true;
        }
        if (r.x1 < s.width - 1 && r.x1 - x < kMaxGrowth
            && lineAbove(s, true, r.x1 + 1, r.y0, r.y1, level)) {
            ++r.x1;
            grew = true;
        }
        if (r.y0 > 0 && y - r.y0 < kMaxGrowth && lineAbove(s, false, r.y0 - 1, r.x0, r.x1, level)) {
            --r.y0;
            grew = true;
        }
        if (r.y1 < s.height - 1 && r.y1 - y < kMaxGrowth
            && lineAbove(s, false, r.y1 + 1, r.x0, r.x1, level)) {
            ++r.y1;
            grew = true;
        }
        if (!grew)
            break;
    }
    return r;
}

} // namespace

std::vector<NoisePeak> findNoisePeaks(const img::PowerMap &power)
{
    std::vector<NoisePeak> found;
    const double n = double(power.width) * double(power.height);
    if (n <= 0)
        return found;
    for (const img::Peak &p : img::strongestPeaks(power, kCandidates, kPeakMinRadius)) {
        NoisePeak peak;
        // Of the twins, the one in the right half of the display (the upper one on the middle
        // column), so the suggestions read the same way whatever order the search found.
        const bool flip = p.u < 0 || (p.u == 0 && p.v > 0);
        peak.u = flip ? -p.u : p.u;
        peak.v = flip ? -p.v : p.v;
        peak.magnitude = p.magnitude;
        peak.background = background(power, p.u, p.v);
        peak.amplitude = 2.0 * p.magnitude / n;
        if (peak.magnitude < kPeakMinRatio * peak.background
            || peak.amplitude < kPeakMinAmplitude / 255.0)
            continue;
        peak.region = grow(power, peak.u, peak.v,
                           std::max(kPeakMinRatio * peak.background, kLeakFraction * p.magnitude));
        found.push_back(peak);
        if (int(found.size()) == kMaxPeaks)
            break;
    }
    return found;
}

std::optional<DisplayRect> parseRegion(const std::string &line)
{
    std::vector<int> numbers;
    const char *p = line.data();
    const char *end = p + line.size();
    while (p < end) {
        if (*p == ' ' || *p == '\t' || *p == ',' || *p == '\r') {
            ++p;
            continue;
        }
        if (*p < '0' || *p > '9')
            return std::nullopt; // a sign, a point or a letter: not a pixel coordinate
        int value = 0;
        const auto [stop, error] = std::from_chars(p, end, value);
        // Too many digits is still a number, one far outside any display.
        numbers.push_back(error == std::errc::result_out_of_range ? INT_MAX : value);
        p = stop;
    }
    if (numbers.size() != 4)
        return std::nullopt;
    return DisplayRect {std::min(numbers[0], numbers[2]), std::min(numbers[1], numbers[3]),
                        std::max(numbers[0], numbers[2]), std::max(numbers[1], numbers[3])};
}

bool overlapsDisplay(const DisplayRect &rect, int width, int height)
{
    return rect.x0 < width && rect.y0 < height && rect.x1 >= 0 && rect.y1 >= 0;
}

void zeroRegion(img::Spectrum &spectrum, const DisplayRect &rect)
{
    const int x0 = std::max(0, std::min(rect.x0, rect.x1));
    const int x1 = std::min(spectrum.width - 1, std::max(rect.x0, rect.x1));
    const int y0 = std::max(0, std::min(rect.y0, rect.y1));
    const int y1 = std::min(spectrum.height - 1, std::max(rect.y0, rect.y1));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            img::zeroBin(spectrum, img::binOfDisplay(x, spectrum.width),
                         img::binOfDisplay(y, spectrum.height));
}

std::vector<DisplayRect> proposedRegions(const std::vector<NoisePeak> &peaks)
{
    std::vector<DisplayRect> regions;
    for (const NoisePeak &p : peaks)
        regions.push_back(p.region);
    return regions;
}

img::Image removeRegions(img::Spectrum spectrum, const std::vector<DisplayRect> &regions)
{
    for (const DisplayRect &r : regions)
        zeroRegion(spectrum, r);
    return img::inverse(std::move(spectrum));
}

} // namespace restore
