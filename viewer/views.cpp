// The viewer's views, as pictures.
#include "views.h"

#include "fft.h"
#include "frequency.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace viewer {

namespace {

// The share of pixels whose difference may lie beyond the range: a few extreme pixels at the
// borders of a restoration would otherwise leave everything else flat grey.
constexpr double kDifferenceQuantile = 0.995;

QImage grey8(int width, int height)
{
    return QImage(width, height, QImage::Format_Grayscale8);
}

} // namespace

SpectrumView spectrumView(const img::Image &grey)
{
    SpectrumView view;
    view.magnitude = img::centredMagnitude(img::forward(grey));
    const int w = grey.width, h = grey.height;
    std::vector<double> logs(view.magnitude.size());
    for (size_t i = 0; i < logs.size(); ++i)
        logs[i] = std::log1p(view.magnitude.px[i] *= 255.0);
    const size_t dc = size_t(h / 2) * size_t(w) + size_t(w / 2);
    double high = logs.size() > 1 ? -INFINITY : logs[0];
    for (size_t i = 0; i < logs.size(); ++i)
        if (i != dc)
            high = std::max(high, logs[i]);
    std::vector<double> sorted = logs;
    const auto middle = sorted.begin() + std::ptrdiff_t(sorted.size() / 2);
    std::nth_element(sorted.begin(), middle, sorted.end());
    const double low = *middle;
    const double scale = high > low ? 255.0 / (high - low) : 0.0;
    view.display = grey8(w, h);
    for (int y = 0; y < h; ++y) {
        uchar *line = view.display.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const double level = (logs[size_t(y) * size_t(w) + size_t(x)] - low) * scale;
            line[x] = uchar(std::lround(std::clamp(level, 0.0, 255.0)));
        }
    }
    return view;
}

DifferenceView differenceView(const img::Image &image, const img::Image &reference)
{
    DifferenceView view;
    view.levels = img::Image(image.width, image.height);
    std::vector<double> magnitudes(image.size());
    for (size_t i = 0; i < image.size(); ++i) {
        view.levels.px[i] = 255.0 * (image.px[i] - reference.px[i]);
        magnitudes[i] = std::abs(view.levels.px[i]);
    }
    if (!magnitudes.empty()) {
        const auto at = magnitudes.begin()
            + std::ptrdiff_t(kDifferenceQuantile * double(magnitudes.size() - 1));
        std::nth_element(magnitudes.begin(), at, magnitudes.end());
        view.range = std::max(1, int(std::ceil(*at - 1e-9)));
    }
    view.display = grey8(image.width, image.height);
    for (int y = 0; y < image.height; ++y) {
        uchar *line = view.display.scanLine(y);
        for (int x = 0; x < image.width; ++x) {
            const double d = std::clamp(view.levels.at(x, y) / view.range, -1.0, 1.0);
            line[x] = uchar(std::lround(127.5 + 127.5 * d - 0.001));
        }
    }
    return view;
}

std::array<long, 256> histogram(const img::Image &grey)
{
    std::array<long, 256> counts {};
    for (double v : grey.px)
        ++counts[size_t(std::lround(std::clamp(v, 0.0, 1.0) * 255))];
    return counts;
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

} // namespace viewer
