// How much noise an image carries.
#include "noise.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace restore {

namespace {

// The fraction of the corner's bins below the quantile that measures white noise.
constexpr double kQuietFraction = 0.1;

// A spike's neighbours carry some of its energy when its frequency falls between bins.
DisplayRect widened(const DisplayRect &r)
{
    return {r.x0 - 1, r.y0 - 1, r.x1 + 1, r.y1 + 1};
}

double spikeEnergy(const img::PowerMap &s, const NoisePeak &peak)
{
    const DisplayRect r = widened(peak.region);
    double energy = 0.0;
    for (int y = r.y0; y <= r.y1; ++y)
        for (int x = r.x0; x <= r.x1; ++x) {
            const double p = s.at(img::binOfDisplay(x, s.width), img::binOfDisplay(y, s.height));
            // What the photograph would have put there anyway is not noise.
            energy += std::max(0.0, p - peak.background * peak.background);
        }
    return energy;
}

} // namespace

double NoiseEstimate::total() const
{
    return std::hypot(structured, white);
}

double whiteNoise(const img::PowerMap &power)
{
    // Frequencies above a quarter of a cycle per pixel along both axes.
    const int hw = power.halfWidth();
    std::vector<double> corner;
    corner.reserve(power.p.size() / 4);
    for (int v = 0; v < power.height; ++v) {
        if (4 * std::abs(img::signedFrequency(v, power.height)) < power.height)
            continue;
        const double *row = &power.p[size_t(v) * size_t(hw)];
        for (int u = (power.width + 3) / 4; u < hw; ++u)
            corner.push_back(row[u]);
    }
    if (corner.empty())
        return 0.0;
    const auto quiet = corner.begin() + long(double(corner.size()) * kQuietFraction);
    std::nth_element(corner.begin(), quiet, corner.end());
    const double n = double(power.width) * double(power.height);
    return std::sqrt(*quiet / (n * -std::log1p(-kQuietFraction)));
}

NoiseEstimate estimateNoise(const img::PowerMap &power, const std::vector<NoisePeak> &peaks)
{
    NoiseEstimate estimate;
    // Parseval: a bin pair of power p adds 2·p/N² to the variance of the image.
    const double n = double(power.width) * double(power.height);
    double energy = 0.0;
    for (const NoisePeak &peak : peaks)
        energy += spikeEnergy(power, peak);
    estimate.structured = std::sqrt(2.0 * energy) / n;
    estimate.white = whiteNoise(power);
    return estimate;
}

WienerAdvice adviseWiener(const img::Spectrum &g, std::vector<double> spare)
{
    WienerAdvice advice;
    const img::PowerMap power = img::powerOf(g, std::move(spare));
    advice.peaks = findNoisePeaks(power);
    advice.noise = estimateNoise(power, advice.peaks);
    advice.k = std::max(kMinimumK, 2.0 * advice.noise.total());
    return advice;
}

} // namespace restore
