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

std::pair<double, double> quantiles(const std::vector<double> &values, double low, double high)
{
    if (values.empty())
        return {0.0, 0.0};
    const auto rank = [&](double f) {
        return size_t(std::llround(std::clamp(f, 0.0, 1.0) * double(values.size() - 1)));
    };
    const size_t ranks[2] = {rank(low), rank(high)};
    const auto [least, most] = std::minmax_element(values.begin(), values.end());
    const double lo = *least, hi = *most;
    if (!(hi > lo) || !std::isfinite(hi - lo))
        return {lo, lo};
    // A histogram finds the bucket of each rank; only that bucket's values are then sorted.
    // Buckets are cut by a scaling that never decreases with the value, so the value found is
    // the very one a sort would put at that rank, in two passes and a small selection instead
    // of a selection over the whole image.
    constexpr int kBuckets = 4096;
    const double scale = kBuckets / (hi - lo);
    const auto bucket = [&](double v) { return std::min(kBuckets - 1, int((v - lo) * scale)); };
    std::vector<size_t> count(kBuckets, 0);
    for (double v : values) {
        if (!(v >= lo)) // NaN: no order to speak of
            return {lo, hi};
        ++count[size_t(bucket(v))];
    }
    int at[2] = {0, 0};
    size_t before[2] = {0, 0};
    for (int i = 0; i < 2; ++i)
        while (before[i] + count[size_t(at[i])] <= ranks[i])
            before[i] += count[size_t(at[i]++)];
    std::vector<double> inBucket[2];
    for (double v : values) {
        const int b = bucket(v);
        for (int i = 0; i < 2; ++i)
            if (b == at[i])
                inBucket[i].push_back(v);
    }
    double found[2];
    for (int i = 0; i < 2; ++i) {
        const auto nth = inBucket[i].begin() + long(ranks[i] - before[i]);
        std::nth_element(inBucket[i].begin(), nth, inBucket[i].end());
        found[i] = *nth;
    }
    return {found[0], found[1]};
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
