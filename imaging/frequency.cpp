// Working with a whole spectrum: centred display, twins, peaks.
#include "frequency.h"

#include <algorithm>
#include <cmath>

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
    const int w = spectrum.width;
    const int h = spectrum.height;
    Image out(w, h);
    // Each stored coefficient is drawn twice, at its own place and at its twin's, so the
    // magnitude is taken once per stored bin (hypot-free: sqrt of the norm is exact enough).
    const int hw = spectrum.halfWidth();
    std::vector<size_t> column(static_cast<size_t>(hw)), twinColumn(static_cast<size_t>(hw));
    for (int u = 0; u < hw; ++u) {
        column[size_t(u)] = size_t(displayOfBin(u, w));
        twinColumn[size_t(u)] = size_t(displayOfBin(-u, w));
    }
    for (int v = 0; v < h; ++v) {
        const int y = displayOfBin(v, h);
        const int twinY = displayOfBin(-v, h);
        const std::complex<double> *row = &spectrum.c[size_t(v) * size_t(hw)];
        double *dst = &out.px[size_t(y) * size_t(w)];
        double *twin = &out.px[size_t(twinY) * size_t(w)];
        for (int u = 0; u < hw; ++u) {
            const double m = std::sqrt(std::norm(row[u]));
            dst[column[size_t(u)]] = m;
            twin[twinColumn[size_t(u)]] = m;
        }
    }
    return out;
}

std::vector<Peak> strongestPeaks(const Spectrum &spectrum, int count, double minRadius)
{
    std::vector<Peak> peaks;
    const int w = spectrum.width;
    const int h = spectrum.height;
    if (w <= 0 || h <= 0 || count <= 0)
        return peaks;
    // Magnitudes on the whole grid in bin order, so neighbours wrap with a modulo.
    std::vector<double> m(size_t(w) * size_t(h));
    for (int v = 0; v < h; ++v)
        for (int u = 0; u < w; ++u)
            m[size_t(v) * size_t(w) + size_t(u)] = std::abs(fullAt(spectrum, u, v));
    auto mag = [&](int u, int v) { return m[size_t(wrap(v, h)) * size_t(w) + size_t(wrap(u, w))]; };

    for (int v = 0; v < h; ++v) {
        for (int u = 0; u < w; ++u) {
            const int fu = signedFrequency(u, w);
            const int fv = signedFrequency(v, h);
            const double ru = double(fu) / w;
            const double rv = double(fv) / h;
            if (ru * ru + rv * rv < minRadius * minRadius)
                continue;
            // One of each twin pair: the one with the smaller index in bin order.
            const size_t index = size_t(v) * size_t(w) + size_t(u);
            const size_t twin = size_t(wrap(-v, h)) * size_t(w) + size_t(wrap(-u, w));
            if (twin < index)
                continue;
            const double here = mag(u, v);
            bool isMax = true;
            for (int dv = -1; dv <= 1 && isMax; ++dv)
                for (int du = -1; du <= 1 && isMax; ++du)
                    if ((du || dv) && mag(u + du, v + dv) > here)
                        isMax = false;
            if (isMax)
                peaks.push_back({fu, fv, here});
        }
    }
    const size_t keep = std::min(peaks.size(), size_t(count));
    std::partial_sort(peaks.begin(), peaks.begin() + keep, peaks.end(),
                      [](const Peak &a, const Peak &b) { return a.magnitude > b.magnitude; });
    peaks.resize(keep);
    return peaks;
}

} // namespace img
