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
#include <exception>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <utility>

namespace restore {

namespace {

// The filter of `method` on G's bins into `out`: the tools' own step.
void filterBins(Method method, const Blurred &blurred, double value, img::Spectrum &out)
{
    if (method == Method::Wiener)
        wienerBins(blurred.g, blurred.h, value, out);
    else
        inverseBins(blurred.g, blurred.h, value, out);
}

// One value, measured with `work` as its spectrum's storage.
SweepRow measure(Method method, const Blurred &blurred, const img::Image &truth,
                 const img::SsimReference *reference, double value, img::Spectrum &work)
{
    filterBins(method, blurred, value, work);
    img::Image result = img::inverse(std::move(work));
    // Rounded as the tool's 8-bit file holds it, and as the viewer reads that file back, in
    // the pass that hands SSIM its rows.
    SweepRow row;
    row.value = value;
    if (reference)
        row.ssim = reference->of([&result](int y, float *out) {
            double *px = &result.px[size_t(y) * size_t(result.width)];
            for (int x = 0; x < result.width; ++x)
                out[x] = float(px[x] = img::quantise(px[x], 255) / 255.0);
        });
    if (!row.ssim) // no SSIM pass, or too small for SSIM: nothing rounded yet
        for (double &v : result.px)
            v = img::quantise(v, 255) / 255.0;
    row.psnr = img::psnr(result, truth);
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

Blurred prepare(const img::Image &blurred, const img::Image &psf)
{
    img::checkPsf(psf, blurred, "PSF");
    Blurred out;
    out.h = img::transferFunction(psf, blurred.width, blurred.height);
    out.g = img::forward(blurred);
    return out;
}

double advisedValue(Method method, const img::Spectrum &g)
{
    return method == Method::Wiener ? adviseWiener(g).k : kAdvisedThreshold;
}

img::Image restoreWith(Method method, const Blurred &blurred, double value)
{
    img::Spectrum work;
    filterBins(method, blurred, value, work);
    return img::inverse(std::move(work));
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

Sweep sweep(Method method, const Blurred &blurred, const img::Image &truth,
            const std::vector<double> &values, unsigned threads, Measures measures,
            const std::function<void(const SweepRow &)> &measured)
{
    if (truth.width != blurred.g.width || truth.height != blurred.g.height)
        throw std::invalid_argument("restore::sweep: truth and image of different sizes");
    Sweep out;
    out.method = method;
    out.rows.resize(values.size());
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    threads = unsigned(std::min<size_t>(threads, std::max<size_t>(values.size(), 1)));

    std::optional<img::SsimReference> reference;
    if (measures == Measures::PsnrAndSsim)
        reference.emplace(truth);
    std::atomic<size_t> next {0};
    std::exception_ptr failure;
    std::mutex failureLock;
    const auto work = [&] {
        img::Spectrum spectrum; // this worker's, filled again for each value
        try {
            for (size_t i; (i = next++) < values.size();) {
                out.rows[i] = measure(method, blurred, truth, reference ? &*reference : nullptr,
                                      values[i], spectrum);
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
