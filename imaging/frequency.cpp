// Working with a whole spectrum: centred display, twins, peaks.
#include "frequency.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace img {

namespace {

int wrap(int k, int n)
{
    return (k % n + n) % n;
}

} // namespace

std::complex<double> fullAt(const Spectrum &spectrum, int u, int v)
{
    const int w = spectrum.width;
    const int h = spectrum.height;
    const int uu = wrap(u, w);
    const int vv = wrap(v, h);
    if (uu <= w / 2)
        return spectrum.at(uu, vv);
    return std::conj(spectrum.at(w - uu, wrap(-vv, h)));
}

void zeroBin(Spectrum &spectrum, int u, int v)
{
    const int w = spectrum.width;
    const int h = spectrum.height;
    int uu = wrap(u, w);
    int vv = wrap(v, h);
    if (uu > w / 2) {
        uu = w - uu;
        vv = wrap(-vv, h);
    }
    spectrum.at(uu, vv) = 0.0;
    // Columns 0 and (for even widths) width/2 hold both members of a twin pair; clearing one
    // alone would leave half the frequency in the real result.
    if (uu == 0 || 2 * uu == w)
        spectrum.at(uu, wrap(-vv, h)) = 0.0;
}

Image centredMagnitude(const Spectrum &spectrum)
{
    Image out(spectrum.width, spectrum.height);
    // sqrt of the norm: hypot's care for overflow is not needed at these magnitudes.
    drawCentred(spectrum, out, [](std::complex<double> c) { return std::sqrt(std::norm(c)); });
    return out;
}

double PowerMap::at(int u, int v) const
{
    const int uu = wrap(u, width);
    const int vv = wrap(v, height);
    if (uu <= width / 2)
        return p[size_t(vv) * size_t(halfWidth()) + size_t(uu)];
    return p[size_t(wrap(-vv, height)) * size_t(halfWidth()) + size_t(width - uu)];
}

PowerMap powerOf(const Spectrum &spectrum, std::vector<double> storage)
{
    PowerMap power {spectrum.width, spectrum.height, std::move(storage)};
    power.p.resize(spectrum.c.size());
    for (size_t i = 0; i < spectrum.c.size(); ++i)
        power.p[i] = std::norm(spectrum.c[i]);
    return power;
}

std::vector<Peak> strongestPeaks(const PowerMap &power, int count, double minRadius)
{
    std::vector<Peak> peaks;
    const int w = power.width;
    const int h = power.height;
    const int hw = power.halfWidth();
    if (w <= 0 || h <= 0 || count <= 0)
        return peaks;
    // The strongest so far, weakest on top of a heap: a bin no stronger than that cannot enter,
    // which settles almost every bin with one comparison.
    const auto stronger = [](const Peak &a, const Peak &b) { return a.magnitude > b.magnitude; };
    for (int v = 0; v < h; ++v) {
        const int fv = signedFrequency(v, h);
        const double rv = double(fv) / h;
        const double *row = &power.p[size_t(v) * size_t(hw)];
        for (int u = 0; u < hw; ++u) {
            const double here = row[u];
            if (int(peaks.size()) == count && here <= peaks.front().magnitude)
                continue;
            const double ru = double(u) / w;
            if (ru * ru + rv * rv < minRadius * minRadius)
                continue;
            // Columns 0 and width/2 hold both twins of a pair: the one with v >= 0 stands.
            if ((u == 0 || 2 * u == w) && fv < 0)
                continue;
            bool isMax = true;
            for (int dv = -1; dv <= 1 && isMax; ++dv)
                for (int du = -1; du <= 1 && isMax; ++du)
                    if ((du || dv) && power.at(u + du, v + dv) > here)
                        isMax = false;
            if (!isMax)
                continue;
            if (int(peaks.size()) == count) {
                std::pop_heap(peaks.begin(), peaks.end(), stronger);
                peaks.pop_back();
            }
            peaks.push_back({u, fv, here});
            std::push_heap(peaks.begin(), peaks.end(), stronger);
        }
    }
    std::sort_heap(peaks.begin(), peaks.end(), stronger);
    for (Peak &p : peaks)
        p.magnitude = std::sqrt(p.magnitude);
    return peaks;
}

} // namespace img
