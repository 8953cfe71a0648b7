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

// a·b*, written out on the real and imaginary parts: std::complex's operators guard against
// infinities with a test and a library call per bin, and no bin here is infinite.
std::complex<double> conjProduct(std::complex<double> a, std::complex<double> b)
{
    return {a.real() * b.real() + a.imag() * b.imag(), a.imag() * b.real() - a.real() * b.imag()};
}

} // namespace

img::Image inverseFilter(img::Spectrum g, const img::Spectrum &h, double threshold)
{
    checkSizes(g, h);
    for (size_t i = 0; i < g.c.size(); ++i) {
        const double power = std::norm(h.c[i]);
        // G / H = G·H* / |H|²
        g.c[i] = (power > 0.0 && power >= threshold * threshold)
            ? conjProduct(g.c[i], h.c[i]) / power
            : 0.0;
    }
    return img::inverse(std::move(g));
}

img::Image wienerFilter(img::Spectrum g, const img::Spectrum &h, double k)
{
    checkSizes(g, h);
    for (size_t i = 0; i < g.c.size(); ++i) {
        const double power = std::norm(h.c[i]) + k;
        g.c[i] = power > 0.0 ? conjProduct(g.c[i], h.c[i]) / power : 0.0;
    }
    return img::inverse(std::move(g));
}

} // namespace restore
