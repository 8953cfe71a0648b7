// The viewer's views, as pictures.
#include "views.h"

#include "fft.h"
#include "frequency.h"
#include "pnm.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

namespace picture {

namespace {

// The share of pixels whose difference may lie beyond the range: a few extreme pixels at the
// borders of a restoration would otherwise leave everything else flat grey.
constexpr double kDifferenceQuantile = 0.995;

QImage grey8(int width, int height)
{
    return QImage(width, height, QImage::Format_Grayscale8);
}

// The value of rank `rank` (from 0) among non-negative doubles of which values[i] counts
// weight(i) times. Non-negative doubles sort as their bits do, so the bits are settled 16 at a
// time by counting: four passes, and no sorted copy of the values.
template<class Weight>
double weightedRank(const std::vector<double> &values, uint64_t rank, Weight weight)
{
    uint64_t prefix = 0;
    std::vector<uint64_t> counts(1 << 16);
    for (int shift = 48; shift >= 0; shift -= 16) {
        std::fill(counts.begin(), counts.end(), 0);
        const uint64_t settled = shift == 48 ? 0 : ~uint64_t(0) << (shift + 16);
        for (size_t i = 0; i < values.size(); ++i) {
            const auto bits = std::bit_cast<uint64_t>(values[i]);
            if ((bits & settled) == prefix)
                counts[(bits >> shift) & 0xffff] += weight(i);
        }
        size_t digit = 0;
        while (digit + 1 < counts.size() && rank >= counts[digit])
            rank -= counts[digit++];
        prefix |= uint64_t(digit) << shift;
    }
    return std::bit_cast<double>(prefix);
}

} // namespace

SpectrumView spectrumView(const GreyLevels &grey)
{
    SpectrumView view;
    const int w = view.width = grey.width(), h = view.height = grey.height();
    const int hw = w / 2 + 1;
    {
        // Transformed in the spectrum's own storage, straight from the samples.
        const img::Spectrum spectrum
            = img::forwardFilled(w, h, [&grey](int y, double *row) { grey.row(y, row); });
        view.logs.resize(spectrum.c.size());
        for (size_t i = 0; i < view.logs.size(); ++i)
            view.logs[i] = std::log1p(std::sqrt(std::norm(spectrum.c[i])) * 255.0);
    }
    const std::vector<double> &logs = view.logs;
    // Index 0 is DC.
    double high = logs.size() > 1 ? -INFINITY : logs[0];
    for (size_t i = 1; i < logs.size(); ++i)
        high = std::max(high, logs[i]);
    // The median of the whole centred grid, where every stored bin but those of the columns
    // u = 0 and u = width/2 (their own twins' columns) is drawn twice.
    const double low = weightedRank(logs, uint64_t(w) * uint64_t(h) / 2, [w, hw](size_t i) {
        const int u = int(i % size_t(hw));
        return u == 0 || 2 * u == w ? 1 : 2;
    });
    const double scale = high > low ? 255.0 / (high - low) : 0.0;
    view.display = grey8(w, h);
    std::vector<int> column(static_cast<size_t>(hw)), twinColumn(static_cast<size_t>(hw));
    for (int u = 0; u < hw; ++u) {
        column[size_t(u)] = img::displayOfBin(u, w);
        twinColumn[size_t(u)] = img::displayOfBin(-u, w);
    }
    for (int v = 0; v < h; ++v) {
        uchar *line = view.display.scanLine(img::displayOfBin(v, h));
        uchar *twin = view.display.scanLine(img::displayOfBin(-v, h));
        const double *row = &logs[size_t(v) * size_t(hw)];
        for (int u = 0; u < hw; ++u) {
            const auto level = uchar(std::clamp((row[u] - low) * scale, 0.0, 255.0) + 0.5);
            line[column[size_t(u)]] = level;
            twin[twinColumn[size_t(u)]] = level;
        }
    }
    return view;
}

double SpectrumView::magnitudeAt(int x, int y) const
{
    int u = img::binOfDisplay(x, width), v = img::binOfDisplay(y, height);
    if (u > width / 2) { // not stored: its twin is
        u = (width - u) % width;
        v = (height - v) % height;
    }
    return std::expm1(logs[size_t(v) * size_t(width / 2 + 1) + size_t(u)]);
}

DifferenceView differenceView(const GreyLevels &image, const GreyLevels &reference)
{
    DifferenceView view;
    const int w = image.width(), h = image.height();
    std::vector<double> a(static_cast<size_t>(w)), b(static_cast<size_t>(w));
    // How many pixels each whole number of levels, ceil(|difference|), is the least range to
    // cover: the range is read off their running sum, without a sorted copy of every pixel's.
    std::array<size_t, 257> needs {};
    for (int y = 0; y < h; ++y) {
        image.row(y, a.data());
        reference.row(y, b.data());
        for (size_t x = 0; x < size_t(w); ++x) {
            const double levels = std::abs(255.0 * (a[x] - b[x]));
            ++needs[size_t(std::clamp(std::ceil(levels - 1e-9), 0.0, 256.0))];
        }
    }
    const size_t pixels = size_t(w) * size_t(h);
    if (pixels > 0) {
        const auto rank = size_t(kDifferenceQuantile * double(pixels - 1));
        size_t range = 0, covered = needs[0];
        while (covered <= rank)
            covered += needs[++range];
        view.range = std::max(1, int(range));
    }
    view.display = grey8(w, h);
    for (int y = 0; y < h; ++y) {
        image.row(y, a.data());
        reference.row(y, b.data());
        uchar *line = view.display.scanLine(y);
        for (size_t x = 0; x < size_t(w); ++x) {
            const double d = std::clamp(255.0 * (a[x] - b[x]) / view.range, -1.0, 1.0);
            line[x] = uchar(128 + 127.5 * d - 0.001); // rounded: 127.5 + 127.5 d + 0.5 >= 0
        }
    }
    return view;
}

std::array<long, 256> histogram(const GreyLevels &grey)
{
    std::array<long, 256> counts {};
    std::vector<double> row(size_t(grey.width()));
    for (int y = 0; y < grey.height(); ++y) {
        grey.row(y, row.data());
        for (double v : row)
            ++counts[img::quantise(v, 255)];
    }
    return counts;
}

QImage eightBit(const img::Image &image)
{
    QImage picture = grey8(image.width, image.height);
    for (int y = 0; y < image.height; ++y) {
        uchar *line = picture.scanLine(y);
        const double *px = &image.px[size_t(y) * size_t(image.width)];
        for (int x = 0; x < image.width; ++x)
            line[x] = uchar(img::quantise(px[x], 255));
    }
    return picture;
}

QImage maxReduced(const QImage &picture, QSize shown)
{
    const QImage in = picture.convertToFormat(QImage::Format_Grayscale8);
    const int w = in.width(), h = in.height();
    const int sw = std::clamp(shown.width(), 1, w), sh = std::clamp(shown.height(), 1, h);
    // Screen column c covers image columns [c·w/sw, (c+1)·w/sw): at least one, since sw <= w,
    // and each image column lies in exactly one screen column.
    auto first = [](int c, int n, int s) { return int(qint64(c) * n / s); };
    auto last = [&first](int c, int n, int s) { return first(c + 1, n, s); };
    QImage out = grey8(sw, sh);
    for (int r = 0; r < sh; ++r) {
        uchar *line = out.scanLine(r);
        const int y0 = first(r, h, sh), y1 = last(r, h, sh);
        for (int c = 0; c < sw; ++c) {
            const int x0 = first(c, w, sw), x1 = last(c, w, sw);
            uchar brightest = 0;
            for (int y = y0; y < y1; ++y) {
                const uchar *src = in.constScanLine(y);
                for (int x = x0; x < x1; ++x)
                    brightest = std::max(brightest, src[x]);
            }
            line[c] = brightest;
        }
    }
    return out;
}

} // namespace picture
