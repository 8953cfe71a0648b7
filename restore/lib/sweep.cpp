// The PSNR and SSIM of a restoration over many values of its k or threshold.
#include "sweep.h"

#include "deconv.h"
#include "noise.h"
#include "pnm.h"
#include "psf.h"
#include "quality.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <utility>

namespace restore {

namespace {

constexpr size_t kWorkMemory = size_t(100) << 20;

// The grey each 8-bit level is read back as, in the single precision SSIM takes.
struct LevelValues
{
    float of[256];
    LevelValues()
    {
        for (int i = 0; i < 256; ++i)
            of[i] = float(i / 255.0);
    }
};
const LevelValues kLevels;

// Row `in` rounded as the tool's 8-bit file holds it, into `out`: four values at a time, as
// GCC's vector extension has them, without a branch (a restoration's noise would have the
// processor guess wrong at every other pixel), then the rest. NaN fails `> 0` and becomes
// black, as img::quantise makes it.
constexpr int kBlock = 4;
typedef float Floats __attribute__((vector_size(kBlock * sizeof(float))));
typedef std::int32_t Levels __attribute__((vector_size(kBlock * sizeof(std::int32_t))));

std::uint8_t level(float v)
{
    const float positive = v > 0.0f ? v : 0.0f;
    return std::uint8_t(std::int32_t((positive < 1.0f ? positive : 1.0f) * 255.0f + 0.5f));
}

void writtenRow(const float *__restrict in, int width, std::uint8_t *__restrict out)
{
    int x = 0;
    for (; x + kBlock <= width; x += kBlock) {
        Floats v;
        std::memcpy(&v, in + x, sizeof v);
        v = v > 0.0f ? v : 0.0f;
        v = v < 1.0f ? v : 1.0f;
        const Levels q = __builtin_convertvector(v * 255.0f + 0.5f, Levels);
        for (int j = 0; j < kBlock; ++j)
            out[x + j] = std::uint8_t(q[j]);
    }
    for (; x < width; ++x)
        out[x] = level(in[x]);
}

// Σ (a − b)² over a row of levels.
std::uint64_t squaredDifference(const std::uint8_t *__restrict a, const std::uint8_t *__restrict b,
                                int width)
{
    std::uint64_t squared = 0;
    int x = 0;
    for (; x + kBlock <= width; x += kBlock) {
        std::int32_t block = 0;
        for (int j = x; j < x + kBlock; ++j) {
            const std::int32_t d = std::int32_t(a[j]) - std::int32_t(b[j]);
            block += d * d;
        }
        squared += std::uint64_t(block);
    }
    for (; x < width; ++x) {
        const int d = int(a[x]) - int(b[x]);
        squared += std::uint64_t(d * d);
    }
    return squared;
}

// img::psnr's figure from the squared differences of `pixels` levels.
double psnrOf(std::uint64_t squared, size_t pixels)
{
    if (squared == 0)
        return std::numeric_limits<double>::infinity();
    const double mse = double(squared) / (255.0 * 255.0 * double(pixels));
    return 10.0 * std::log10(1.0 / mse);
}

// The filter's bins for `value` into `work`, each divided as the tool divides it; the inverse
// transform's division by the number of pixels is folded in.
template<typename Divisor>
void filterInto(const Blurred &blurred, double value, Divisor divisor, img::SpectrumF &work)
{
    work.width = blurred.gh.width;
    work.height = blurred.gh.height;
    work.c.resize(blurred.gh.c.size());
    const double scale = 1.0 / (double(work.width) * double(work.height));
    const std::complex<float> *gh = blurred.gh.c.data();
    const float *power = blurred.power.data();
    std::complex<float> *out = work.c.data();
    for (size_t i = 0; i < work.c.size(); ++i) {
        const double d = divisor(double(power[i]), value);
        out[i] = d > 0.0 ? gh[i] * float(scale / d) : std::complex<float>();
    }
}

// G in single precision, and the advice measured on it.
Blurred startedFrom(const img::Spectrum &g)
{
    Blurred out;
    out.adviceK = adviseWiener(g).k;
    out.gh.width = g.width;
    out.gh.height = g.height;
    out.gh.c.assign(g.c.begin(), g.c.end());
    return out;
}

// G·H* in place of G, and |H|².
void withTransfer(Blurred &out, const img::Spectrum &h)
{
    if (out.gh.width != h.width || out.gh.height != h.height)
        throw std::invalid_argument("restore: transfer function and image of different sizes");
    out.power.resize(h.c.size());
    for (size_t i = 0; i < h.c.size(); ++i) {
        out.gh.c[i] = std::complex<float>(conjProduct(std::complex<double>(out.gh.c[i]), h.c[i]));
        out.power[i] = float(std::norm(h.c[i]));
    }
}

// One value, measured with `work` as its storage and `levels` as a row's.
SweepRow measure(Method method, const Blurred &blurred, const Truth &truth,
                 const img::SsimReference *reference, double value, img::SpectrumF &work,
                 std::vector<std::uint8_t> &levels)
{
    const Rows rows = restoreInto(method, blurred, value, work);
    const int width = truth.width;
    levels.resize(size_t(width));
    std::uint64_t squared = 0;
    const auto written = [&](int y) {
        writtenRow(rows.row(y), width, levels.data());
        squared += squaredDifference(levels.data(), &truth.level[size_t(y) * size_t(width)], width);
    };
    SweepRow row;
    row.value = value;
    // The rounded rows go to SSIM as the viewer reads the file back, and are summed for PSNR
    // in the same pass.
    if (reference)
        row.ssim = reference->of([&](int y, float *out) {
            written(y);
            for (int x = 0; x < width; ++x)
                out[x] = kLevels.of[levels[size_t(x)]];
        });
    if (!row.ssim) { // no SSIM pass, or too small for SSIM: nothing rounded yet
        squared = 0;
        for (int y = 0; y < truth.height; ++y)
            written(y);
    }
    row.psnr = psnrOf(squared, truth.level.size());
    return row;
}

// A number as printf's `format` writes it, with a decimal comma.
std::string spanish(const char *format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    std::string out = text;
    std::replace(out.begin(), out.end(), '.', ',');
    return out;
}

} // namespace

const char *valueName(Method method)
{
    return method == Method::Wiener ? "k" : "umbral";
}

Truth truthOf(const img::Image &picture)
{
    Truth out;
    out.width = picture.width;
    out.height = picture.height;
    out.level.resize(picture.px.size());
    for (size_t i = 0; i < picture.px.size(); ++i)
        out.level[i] = std::uint8_t(img::quantise(picture.px[i], 255));
    return out;
}

Blurred blurredOf(const img::Spectrum &g, const img::Spectrum &h)
{
    Blurred out = startedFrom(g);
    withTransfer(out, h);
    return out;
}

Blurred prepare(img::Image blurred, const img::Image &psf)
{
    img::checkPsf(psf, blurred, "PSF");
    const int width = blurred.width, height = blurred.height;
    // The picture, then G, let go of as soon as they are used: at 12 megapixels each is
    // 96 MB in double precision, as is H.
    Blurred out;
    {
        const img::Spectrum g = img::forward(blurred);
        blurred = img::Image();
        out = startedFrom(g);
    }
    withTransfer(out, img::transferFunction(psf, width, height));
    return out;
}

double advisedValue(Method method, const Blurred &blurred)
{
    return method == Method::Wiener ? blurred.adviceK : kAdvisedThreshold;
}

Rows restoreInto(Method method, const Blurred &blurred, double value, img::SpectrumF &work)
{
    if (method == Method::Wiener)
        filterInto(
            blurred, value, [](double p, double k) { return wienerDivisor(p, k); }, work);
    else
        filterInto(
            blurred, value, [](double p, double t) { return inverseDivisor(p, t); }, work);
    return Rows {img::inverseInPlace(work), 2 * size_t(work.halfWidth())};
}

img::Image restoreWith(Method method, const Blurred &blurred, double value)
{
    img::SpectrumF work;
    const Rows rows = restoreInto(method, blurred, value, work);
    img::Image out(work.width, work.height);
    for (int y = 0; y < out.height; ++y)
        std::copy(rows.row(y), rows.row(y) + out.width, &out.px[size_t(y) * size_t(out.width)]);
    return out;
}

std::optional<double> writtenLevels(Rows rows, int width, int height, const Truth *truth,
                                    std::uint8_t *levels, size_t levelStride)
{
    if (truth && (truth->width != width || truth->height != height))
        throw std::invalid_argument("restore::writtenLevels: truth and image of different sizes");
    std::uint64_t squared = 0;
    for (int y = 0; y < height; ++y) {
        std::uint8_t *row = levels + size_t(y) * levelStride;
        writtenRow(rows.row(y), width, row);
        if (truth)
            squared += squaredDifference(row, &truth->level[size_t(y) * size_t(width)], width);
    }
    if (!truth)
        return std::nullopt;
    return psnrOf(squared, truth->level.size());
}

double psnrOfLevels(const std::uint8_t *levels, size_t stride, const Truth &truth)
{
    std::uint64_t squared = 0;
    for (int y = 0; y < truth.height; ++y)
        squared += squaredDifference(levels + size_t(y) * stride,
                                     &truth.level[size_t(y) * size_t(truth.width)], truth.width);
    return psnrOf(squared, truth.level.size());
}

std::vector<double> sweepValues(double advised, double own, int perDecade)
{
    if (!(advised > 0.0) || perDecade < 1)
        throw std::invalid_argument("restore::sweepValues: advised value not positive");
    int low = -2 * perDecade, high = 2 * perDecade;
    if (own > 0.0) {
        const double steps = std::log10(own / advised) * perDecade;
        low = std::min(low, int(std::floor(steps)) - 1);
        high = std::max(high, int(std::ceil(steps)) + 1);
    }
    std::vector<double> values {0.0};
    for (int i = low; i <= high; ++i)
        values.push_back(i == 0 ? advised : advised * std::pow(10.0, double(i) / perDecade));
    if (own > 0.0 && std::find(values.begin(), values.end(), own) == values.end())
        values.insert(std::upper_bound(values.begin(), values.end(), own), own);
    return values;
}

Sweep sweep(Method method, const Blurred &blurred, const Truth &truth,
            const std::vector<double> &values, unsigned threads, Measures measures,
            const std::function<void(const SweepRow &)> &measured)
{
    if (truth.width != blurred.gh.width || truth.height != blurred.gh.height)
        throw std::invalid_argument("restore::sweep: truth and image of different sizes");
    Sweep out;
    out.method = method;
    out.rows.resize(values.size());
    if (threads == 0) {
        // One worker a core, as many as keep their spectra within kWorkMemory: a 12-megapixel
        // image's take 48 MB each, and a machine of many cores would otherwise need gigabytes.
        const size_t each = blurred.gh.c.size() * sizeof(std::complex<float>);
        const size_t fit = std::max<size_t>(1, kWorkMemory / std::max<size_t>(each, 1));
        threads
            = unsigned(std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()), fit));
    }
    threads = unsigned(std::min<size_t>(threads, std::max<size_t>(values.size(), 1)));

    std::optional<img::SsimReference> reference;
    if (measures == Measures::PsnrAndSsim)
        reference.emplace(truth.width, truth.height, [&truth](int y, float *row) {
            const std::uint8_t *level = &truth.level[size_t(y) * size_t(truth.width)];
            for (int x = 0; x < truth.width; ++x)
                row[x] = kLevels.of[level[x]];
        });
    std::atomic<size_t> next {0};
    std::exception_ptr failure;
    std::mutex failureLock;
    const auto work = [&] {
        img::SpectrumF spectrum; // this worker's, filled again for each value
        std::vector<std::uint8_t> levels;
        try {
            for (size_t i; (i = next++) < values.size();) {
                out.rows[i] = measure(method, blurred, truth, reference ? &*reference : nullptr,
                                      values[i], spectrum, levels);
                if (measured)
                    measured(out.rows[i]);
            }
        } catch (...) {
            const std::lock_guard guard(failureLock);
            failure = std::current_exception();
            next = values.size();
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread &t : pool)
        t.join();
    if (failure)
        std::rethrow_exception(failure);

    for (size_t i = 1; i < out.rows.size(); ++i)
        if (out.rows[i].psnr > out.rows[out.best].psnr)
            out.best = i;
    return out;
}

std::string sweepTable(const Sweep &sweep)
{
    std::string table = std::string(valueName(sweep.method)) + ";PSNR;SSIM\n";
    for (const SweepRow &row : sweep.rows) {
        table += spanish("%.6g", row.value) + ";" + spanish("%.2f", row.psnr) + ";";
        if (row.ssim)
            table += spanish("%.4f", *row.ssim);
        table += "\n";
    }
    return table;
}

} // namespace restore
