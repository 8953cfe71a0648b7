// Two-dimensional real FFT on FFTW 3, any size.
//
// Plans are made with FFTW_ESTIMATE for each call: a tool transforms one or two images once,
// and estimating costs a few milliseconds where measuring would cost seconds. FFTW_ESTIMATE
// does not touch the arrays while planning, so the plan can be made on the real data.
#include "fft.h"

#include <fftw3.h>

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

} // namespace

Spectrum forward(const Image &image)
{
    Spectrum s;
    s.width = image.width;
    s.height = image.height;
    if (image.width <= 0 || image.height <= 0)
        return s;
    s.c.resize(size_t(image.height) * size_t(s.halfWidth()));
    // r2c leaves its input alone, so the image need not be copied.
    auto *in = const_cast<double *>(image.px.data());
    auto *out = reinterpret_cast<fftw_complex *>(s.c.data());
    fftw_plan raw;
    {
        std::lock_guard guard(plannerLock());
        raw = fftw_plan_dft_r2c_2d(image.height, image.width, in, out, FFTW_ESTIMATE);
    }
    Plan plan(raw);
    fftw_execute(plan.plan);
    return s;
}

Image inverse(const Spectrum &spectrum)
{
    Image image(spectrum.width, spectrum.height);
    if (spectrum.width <= 0 || spectrum.height <= 0)
        return image;
    if (spectrum.c.size() != size_t(spectrum.height) * size_t(spectrum.halfWidth()))
        throw std::invalid_argument("img::inverse: spectrum size does not match its dimensions");
    // c2r overwrites its input, and the caller's spectrum must survive.
    std::vector<std::complex<double>> work = spectrum.c;
    auto *in = reinterpret_cast<fftw_complex *>(work.data());
    fftw_plan raw;
    {
        std::lock_guard guard(plannerLock());
        raw = fftw_plan_dft_c2r_2d(spectrum.height, spectrum.width, in, image.px.data(),
                                   FFTW_ESTIMATE);
    }
    Plan plan(raw);
    fftw_execute(plan.plan);
    const double scale = 1.0 / (double(spectrum.width) * double(spectrum.height));
    for (double &v : image.px)
        v *= scale;
    return image;
}

} // namespace img
