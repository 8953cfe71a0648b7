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

// `out` takes g's shape; when it is g itself nothing moves.
void shapeLike(const img::Spectrum &g, img::Spectrum &out)
{
    if (&out == &g)
        return;
    out.width = g.width;
    out.height = g.height;
    out.c.resize(g.c.size()); // kept from one value to the next: no new memory each time
}

// a·b*, written out on the real and imaginary parts: std::complex's operators guard against
// infinities with a test and a library call per bin, and no bin here is infinite.
std::complex<double> conjProduct(std::complex<double> a, std::complex<double> b)
{
    return {a.real() * b.real() + a.imag() * b.imag(), a.imag() * b.real() - a.real() * b.imag()};
}

} // namespace

void inverseBins(const img::Spectrum &g, const img::Spectrum &h, double threshold,
                 img::Spectrum &out)
{
    checkSizes(g, h);
    shapeLike(g, out);
    for (size_t i = 0; i < g.c.size(); ++i) {
        const double power = std::norm(h.c[i]);
        // G / H = G·H* / |H|²
        out.c[i] = (power > 0.0 && power >= threshold * threshold)
            ? conjProduct(g.c[i], h.c[i]) / power
            : 0.0;
    }
}

void wienerBins(const img::Spectrum &g, const img::Spectrum &h, double k, img::Spectrum &out)
{
    checkSizes(g, h);
    shapeLike(g, out);
    for (size_t i = 0; i < g.c.size(); ++i) {
        const double power = std::norm(h.c[i]) + k;
        out.c[i] = power > 0.0 ? conjProduct(g.c[i], h.c[i]) / power : 0.0;
    }
}

img::Image inverseFilter(img::Spectrum g, const img::Spectrum &h, double threshold)
{
    inverseBins(g, h, threshold, g);
    return img::inverse(std::move(g));
}

img::Image wienerFilter(img::Spectrum g, const img::Spectrum &h, double k)
{
    wienerBins(g, h, k, g);
    return img::inverse(std::move(g));
}

} // namespace restore
