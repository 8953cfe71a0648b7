// Undoing a known blur in the frequency domain.
#include "deconv.h"

#include <complex>
#include <stdexcept>

namespace restore {

namespace {

void checkSizes(const img::Spectrum &g, const img::Spectrum &h)
{
    if (g.width != h.width || g.height != h.height)
        throw std::invalid_argument("restore: transfer function and image of different sizes");
}

} // namespace

img::Image inverseFilter(img::Spectrum g, const img::Spectrum &h, double threshold)
{
    checkSizes(g, h);
    for (size_t i = 0; i < g.c.size(); ++i) {
        const double m = std::abs(h.c[i]);
        g.c[i] = (m > 0.0 && m >= threshold) ? g.c[i] / h.c[i] : 0.0;
    }
    return img::inverse(g);
}

img::Image wienerFilter(img::Spectrum g, const img::Spectrum &h, double k)
{
    checkSizes(g, h);
    for (size_t i = 0; i < g.c.size(); ++i) {
        const double power = std::norm(h.c[i]) + k;
        g.c[i] = power > 0.0 ? std::conj(h.c[i]) * g.c[i] / power : 0.0;
    }
    return img::inverse(g);
}

} // namespace restore
