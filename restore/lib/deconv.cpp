// Undoing a known blur in the frequency domain.
#include "deconv.h"

#include <complex>
#include <stdexcept>
#include <utility>

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
        // G / H = G·H* / |H|²
        const double divisor = inverseDivisor(std::norm(h.c[i]), threshold);
        g.c[i] = divisor > 0.0 ? conjProduct(g.c[i], h.c[i]) / divisor : 0.0;
    }
    return img::inverse(std::move(g));
}

img::Image wienerFilter(img::Spectrum g, const img::Spectrum &h, double k)
{
    checkSizes(g, h);
    for (size_t i = 0; i < g.c.size(); ++i) {
        const double divisor = wienerDivisor(std::norm(h.c[i]), k);
        g.c[i] = divisor > 0.0 ? conjProduct(g.c[i], h.c[i]) / divisor : 0.0;
    }
    return img::inverse(std::move(g));
}

} // namespace restore
