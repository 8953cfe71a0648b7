// Mapping grey levels onto the 0..1 range of an output file.
#include "tone.h"

#include <algorithm>
#include <cmath>

namespace img {

namespace {

Image mapRange(const Image &image, double lo, double hi, bool clamp)
{
    Image out(image.width, image.height);
    if (!(hi > lo))
        return out;
    const double scale = 1.0 / (hi - lo);
    for (size_t i = 0; i < image.size(); ++i) {
        double v = (image.px[i] - lo) * scale;
        if (clamp)
            v = std::clamp(v, 0.0, 1.0);
        out.px[i] = v;
    }
    return out;
}

double quantile(std::vector<double> &values, double fraction)
{
    const double f = std::clamp(fraction, 0.0, 1.0);
    const auto k = size_t(std::llround(f * double(values.size() - 1)));
    std::nth_element(values.begin(), values.begin() + long(k), values.end());
    return values[k];
}

} // namespace

Image stretchMinMax(const Image &image)
{
    if (image.size() == 0)
        return image;
    const auto [lo, hi] = std::minmax_element(image.px.begin(), image.px.end());
    return mapRange(image, *lo, *hi, false);
}

Image stretchPercentile(const Image &image, double low, double high)
{
    if (image.size() == 0)
        return image;
    std::vector<double> values = image.px;
    const double lo = quantile(values, low);
    const double hi = quantile(values, high);
    return mapRange(image, lo, hi, true);
}

} // namespace img
