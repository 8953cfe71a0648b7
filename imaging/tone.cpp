// Mapping grey levels onto the 0..1 range of an output file.
#include "tone.h"

#include <algorithm>
#include <cmath>

namespace img {

namespace {

void mapRange(Image &image, double lo, double hi, bool clamp)
{
    if (!(hi > lo)) {
        std::fill(image.px.begin(), image.px.end(), 0.0);
        return;
    }
    const double scale = 1.0 / (hi - lo);
    for (double &v : image.px) {
        v = (v - lo) * scale;
        if (clamp)
            v = std::clamp(v, 0.0, 1.0);
    }
}

} // namespace

Image stretchMinMax(Image image)
{
    if (image.size() == 0)
        return image;
    const auto [lo, hi] = std::minmax_element(image.px.begin(), image.px.end());
    mapRange(image, *lo, *hi, false);
    return image;
}

std::pair<double, double> quantiles(std::vector<double> values, double low, double high)
{
    if (values.empty())
        return {0.0, 0.0};
    const auto at = [&](double f) {
        return values.begin()
            + long(std::llround(std::clamp(f, 0.0, 1.0) * double(values.size() - 1)));
    };
    const auto lo = at(low), hi = at(high);
    std::nth_element(values.begin(), lo, values.end());
    const double loValue = *lo;
    // Everything after `lo` is already no smaller than it, so the second search can start
    // there; it may move `lo` itself, whose value was kept.
    if (hi > lo)
        std::nth_element(lo + 1, hi, values.end());
    else if (hi < lo)
        std::nth_element(values.begin(), hi, lo);
    return {loValue, *hi};
}

Image stretchPercentile(Image image, double low, double high)
{
    if (image.size() == 0)
        return image;
    const auto [lo, hi] = quantiles(image.px, low, high);
    mapRange(image, lo, hi, true);
    return image;
}

} // namespace img
