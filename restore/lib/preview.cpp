// A restoration's spectra cut down to a smaller picture.
#include "preview.h"

#include <algorithm>
#include <cmath>

namespace restore {

img::Spectrum lowFrequencies(const img::Spectrum &spectrum, int width, int height, double gain)
{
    img::Spectrum out;
    out.width = width;
    out.height = height;
    out.c.resize(size_t(out.halfWidth()) * size_t(height));
    for (int v = 0; v < height; ++v) {
        // Row v of the small spectrum is the same signed frequency of the large one.
        const int f = img::signedFrequency(v, height);
        const int from = f >= 0 ? f : spectrum.height + f;
        for (int u = 0; u < out.halfWidth(); ++u)
            out.at(u, v) = gain * spectrum.at(u, from);
    }
    return out;
}

Blurred shrunk(const Blurred &blurred, int maxWidth, int maxHeight)
{
    const int width = blurred.g.width, height = blurred.g.height;
    const double scale = std::min({1.0, double(maxWidth) / width, double(maxHeight) / height});
    if (scale >= 1.0)
        return blurred;
    const int w = std::max(1, int(std::lround(width * scale)));
    const int h = std::max(1, int(std::lround(height * scale)));
    // The inverse transform divides by the pixels it makes, the forward one summed them all:
    // G is scaled by their ratio. H is a gain, the same at any size.
    return Blurred {lowFrequencies(blurred.g, w, h, double(w) * h / (double(width) * height)),
                    lowFrequencies(blurred.h, w, h)};
}

} // namespace restore
