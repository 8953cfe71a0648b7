// A restoration's spectra cut down to a smaller picture.
#include "preview.h"

#include <algorithm>
#include <cmath>

namespace restore {

namespace {

// The bins of a width × height image (the centre of the large one's, `large` of `from`'s
// shape), each times `gain`.
template<typename Bin>
std::vector<Bin> lowFrequencies(const std::vector<Bin> &large, const img::SpectrumF &from,
                                int width, int height, float gain)
{
    const int halfWidth = width / 2 + 1;
    std::vector<Bin> out(size_t(halfWidth) * size_t(height));
    for (int v = 0; v < height; ++v) {
        // Row v of the small spectrum is the same signed frequency of the large one.
        const int f = img::signedFrequency(v, height);
        const size_t row = size_t(f >= 0 ? f : from.height + f) * size_t(from.halfWidth());
        for (int u = 0; u < halfWidth; ++u)
            out[size_t(v) * size_t(halfWidth) + size_t(u)] = large[row + size_t(u)] * gain;
    }
    return out;
}

} // namespace

Blurred shrunk(const Blurred &blurred, int maxWidth, int maxHeight)
{
    const int width = blurred.gh.width, height = blurred.gh.height;
    const double scale = std::min({1.0, double(maxWidth) / width, double(maxHeight) / height});
    if (scale >= 1.0)
        return blurred;
    const int w = std::max(1, int(std::lround(width * scale)));
    const int h = std::max(1, int(std::lround(height * scale)));
    Blurred out;
    out.adviceK = blurred.adviceK;
    out.gh.width = w;
    out.gh.height = h;
    // The inverse transform divides by the pixels it makes, the forward one summed them all:
    // G·H* is scaled by their ratio. |H|² is a gain, the same at any size.
    out.gh.c = lowFrequencies(blurred.gh.c, blurred.gh, w, h,
                              float(double(w) * h / (double(width) * height)));
    out.power = lowFrequencies(blurred.power, blurred.gh, w, h, 1.0f);
    return out;
}

} // namespace restore
