// Two-dimensional real FFT on FFTW 3, any size.
//
// Plans are made with FFTW_ESTIMATE for each call: a tool transforms one or two images once.
// FFTW_MEASURE makes transforms of 2048² and 4096² about twice as fast, but spends 4 and 7 s
// planning each size and layout; saved as wisdom, it pays only from the second run at that
// very size, and photographs come in every size, so the tools go without. FFTW_ESTIMATE does
// not touch the arrays while planning, so the plan can be made on the real data.
// One thread: on the 2-core machines measured, FFTW's threads did not make a 2048 × 2048
// transform any faster (60 ms either way), so the tools do without its thread library.
#include "fft.h"

#include <fftw3.h>

#include <algorithm>
#include <mutex>
#include <new>
#include <stdexcept>

namespace img {

namespace {

// FFTW's planner is not thread-safe; executing a plan is.
std::mutex &plannerLock()
{
    static std::mutex lock;
    return lock;
}

struct Plan
{
    fftw_plan plan = nullptr;
    explicit Plan(fftw_plan p)
        : plan(p)
    {
        if (!plan)
            throw std::bad_alloc();
    }
    ~Plan()
    {
        std::lock_guard guard(plannerLock());
        fftw_destroy_plan(plan);
    }
    Plan(const Plan &) = delete;
    Plan &operator=(const Plan &) = delete;
};

// Plans (under the lock) and runs one 2-D transform of a width × height image, from `real` to
// `spectrum` or back.
void transform(int width, int height, double *real, fftw_complex *spectrum, bool toSpectrum)
{
    fftw_plan raw;
    {
        std::lock_guard guard(plannerLock());
        raw = toSpectrum ? fftw_plan_dft_r2c_2d(height, width, real, spectrum, FFTW_ESTIMATE)
                         : fftw_plan_dft_c2r_2d(height, width, spectrum, real, FFTW_ESTIMATE);
    }
    Plan plan(raw);
    fftw_execute(plan.plan);
}

} // namespace

float *inverseInPlace(SpectrumF &spectrum)
{
    auto *real = reinterpret_cast<float *>(spectrum.c.data());
    if (spectrum.width <= 0 || spectrum.height <= 0)
        return real;
    if (spectrum.c.size() != size_t(spectrum.height) * size_t(spectrum.halfWidth()))
        throw std::invalid_argument("img::inverseInPlace: spectrum size does not match its "
                                    "dimensions");
    auto *complex = reinterpret_cast<fftwf_complex *>(spectrum.c.data());
    fftwf_plan raw;
    {
        std::lock_guard guard(plannerLock());
        raw = fftwf_plan_dft_c2r_2d(spectrum.height, spectrum.width, complex, real, FFTW_ESTIMATE);
    }
    if (!raw)
        throw std::bad_alloc();
    fftwf_execute(raw);
    std::lock_guard guard(plannerLock());
    fftwf_destroy_plan(raw);
    return real;
}

Spectrum forward(const Image &image)
{
    Spectrum s;
    s.width = image.width;
    s.height = image.height;
    if (image.width <= 0 || image.height <= 0)
        return s;
    s.c.resize(size_t(image.height) * size_t(s.halfWidth()));
    // r2c leaves its input alone, so the image need not be copied.
    transform(image.width, image.height, const_cast<double *>(image.px.data()),
              reinterpret_cast<fftw_complex *>(s.c.data()), true);
    return s;
}

Spectrum forwardOfRows(const Image &rows, const std::vector<int> &rowAt, int height)
{
    if (rowAt.size() != size_t(rows.height))
        throw std::invalid_argument("img::forwardOfRows: one row index per row needed");
    for (int at : rowAt)
        if (at < 0 || at >= height)
            throw std::invalid_argument("img::forwardOfRows: row index outside the image");
    Spectrum s;
    s.width = rows.width;
    s.height = height;
    if (rows.width <= 0 || height <= 0)
        return s;
    const int hw = s.halfWidth();
    s.c.assign(size_t(height) * size_t(hw), 0.0);
    if (rows.height == 0)
        return s;

    // One row at the top, as a motion blur's PSF is: each column holds one value, at row 0,
    // and its transform is that value at every frequency, so the columns are not transformed
    // at all: every row of the spectrum is the row's own transform.
    if (rows.height == 1 && rowAt[0] == 0) {
        fftw_plan raw;
        {
            std::lock_guard guard(plannerLock());
            raw = fftw_plan_dft_r2c_1d(rows.width, const_cast<double *>(rows.px.data()),
                                       reinterpret_cast<fftw_complex *>(s.c.data()), FFTW_ESTIMATE);
        }
        Plan plan(raw);
        fftw_execute(plan.plan);
        for (int v = 1; v < height; ++v)
            std::copy(s.c.begin(), s.c.begin() + hw, s.c.begin() + ptrdiff_t(v) * hw);
        return s;
    }
    std::vector<std::complex<double>> rowSpectra(size_t(rows.height) * size_t(hw));
    auto *in = const_cast<double *>(rows.px.data());
    auto *rowOut = reinterpret_cast<fftw_complex *>(rowSpectra.data());
    auto *columns = reinterpret_cast<fftw_complex *>(s.c.data());
    const int n[1] = {rows.width};
    const int m[1] = {height};
    fftw_plan rawRows;
    fftw_plan rawColumns;
    {
        std::lock_guard guard(plannerLock());
        rawRows = fftw_plan_many_dft_r2c(1, n, rows.height, in, nullptr, 1, rows.width, rowOut,
                                         nullptr, 1, hw, FFTW_ESTIMATE);
        rawColumns = fftw_plan_many_dft(1, m, hw, columns, nullptr, hw, 1, columns, nullptr, hw, 1,
                                        FFTW_FORWARD, FFTW_ESTIMATE);
    }
    Plan rowPlan(rawRows);
    Plan columnPlan(rawColumns);
    fftw_execute(rowPlan.plan);
    for (size_t j = 0; j < rowAt.size(); ++j)
        for (int u = 0; u < hw; ++u)
            s.at(u, rowAt[j]) += rowSpectra[j * size_t(hw) + size_t(u)];
    fftw_execute(columnPlan.plan);
    return s;
}

// The in-place layout FFTW asks for: row y of the real image starts at double 2·halfWidth·y.
Spectrum forwardFilled(int width, int height, const std::function<void(int, double *)> &fill)
{
    Spectrum s;
    s.width = width;
    s.height = height;
    if (width <= 0 || height <= 0)
        return s;
    s.c.resize(size_t(height) * size_t(s.halfWidth()));
    auto *real = reinterpret_cast<double *>(s.c.data());
    const size_t stride = 2 * size_t(s.halfWidth());
    for (int y = 0; y < height; ++y)
        fill(y, real + size_t(y) * stride);
    transform(width, height, real, reinterpret_cast<fftw_complex *>(s.c.data()), true);
    return s;
}

void inverseRows(Spectrum &&spectrum, const std::function<void(int, const double *)> &take)
{
    if (spectrum.width <= 0 || spectrum.height <= 0)
        return;
    auto *real = reinterpret_cast<double *>(spectrum.c.data());
    transform(spectrum.width, spectrum.height, real,
              reinterpret_cast<fftw_complex *>(spectrum.c.data()), false);
    const size_t stride = 2 * size_t(spectrum.halfWidth());
    for (int y = 0; y < spectrum.height; ++y)
        take(y, real + size_t(y) * stride);
}

Image inverse(const Spectrum &spectrum)
{
    // c2r overwrites its input, and the caller's spectrum must survive.
    Spectrum work = spectrum;
    return inverse(std::move(work));
}

Image inverse(Spectrum &&spectrum)
{
    Image image(spectrum.width, spectrum.height);
    if (spectrum.width <= 0 || spectrum.height <= 0)
        return image;
    if (spectrum.c.size() != size_t(spectrum.height) * size_t(spectrum.halfWidth()))
        throw std::invalid_argument("img::inverse: spectrum size does not match its dimensions");
    transform(spectrum.width, spectrum.height, image.px.data(),
              reinterpret_cast<fftw_complex *>(spectrum.c.data()), false);
    const double scale = 1.0 / (double(spectrum.width) * double(spectrum.height));
    for (double &v : image.px)
        v *= scale;
    return image;
}

} // namespace img
