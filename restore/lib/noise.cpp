// How much noise an image carries.
#include "noise.h"

#include "frequency.h"

#include <algorithm>
#include <cmath>

namespace restore {

namespace {

// A spike's neighbours carry some of its energy when its frequency falls between bins.
DisplayRect widened(const DisplayRect &r)
{
    return {r.x0 - 1, r.y0 - 1, r.x1 + 1, r.y1 + 1};
}

double spikeEnergy(const img::Spectrum &s, const NoisePeak &peak)
{
    const DisplayRect r = widened(peak.region);
    double energy = 0.0;
    for (int y = r.y0; y <= r.y1; ++y)
        for (int x = r.x0; x <= r.x1; ++x) {
            const double m = std::abs(
                img::fullAt(s, img::binOfDisplay(x, s.width), img::binOfDisplay(y, s.height)));
            // What the photograph would have put there anyway is not noise.
            energy += std::max(0.0, m * m - peak.background * peak.background);
        }
    return energy;
}

} // namespace

double NoiseEstimate::total() const
{
    return std::hypot(structured, white);
}

double whiteNoise(const img::Image &image)
{
    std::vector<double> details;
    details.reserve(image.size() / 4);
    for (int y = 0; y + 1 < image.height; y += 2)
        for (int x = 0; x + 1 < image.width; x += 2)
            details.push_back(std::abs(image.at(x, y) - image.at(x + 1, y) - image.at(x, y + 1)
                                       + image.at(x + 1, y + 1))
                              / 2.0);
    if (details.empty())
        return 0.0;
    const auto middle = details.begin() + long(details.size() / 2);
    std::nth_element(details.begin(), middle, details.end());
    return *middle / 0.6745;
}

NoiseEstimate estimateNoise(const img::Image &image, const img::Spectrum &spectrum,
                            const std::vector<NoisePeak> &peaks)
{
    NoiseEstimate estimate;
    if (peaks.empty()) {
        estimate.white = whiteNoise(image);
        return estimate;
    }
    // Parseval: a bin pair of magnitude m adds 2·m²/N² to the variance of the image.
    const double n = double(spectrum.width) * double(spectrum.height);
    double energy = 0.0;
    for (const NoisePeak &peak : peaks)
        energy += spikeEnergy(spectrum, peak);
    estimate.structured = std::sqrt(2.0 * energy) / n;

    img::Spectrum quiet = spectrum;
    for (const NoisePeak &peak : peaks)
        zeroRegion(quiet, widened(peak.region));
    estimate.white = whiteNoise(img::inverse(quiet));
    return estimate;
}

} // namespace restore
