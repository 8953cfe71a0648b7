// Every restoration of the menu on one distorted image.
#include "comparison.h"

#include "deconv.h"
#include "fft.h"
#include "frequency.h"
#include "peaks.h"
#include "psf.h"
#include "quality.h"

#include <algorithm>
#include <utility>

namespace restore {

namespace {

// As the tool's 8-bit file holds it.
img::Image written(const img::Image &result)
{
    return img::quantised(result, 8);
}

Measured measured(const img::Image &result, const img::Image &truth)
{
    const img::Image file = written(result);
    return {img::psnr(file, truth), img::ssim(file, truth)};
}

// `image` averaged over blocks of whole pixels, the longer side at most kThumbnailSide.
img::Image thumbnailOf(const img::Image &image)
{
    const int step
        = std::max(1, (std::max(image.width, image.height) + kThumbnailSide - 1) / kThumbnailSide);
    img::Image small;
    small.width = std::max(1, image.width / step);
    small.height = std::max(1, image.height / step);
    small.px.assign(size_t(small.width) * size_t(small.height), 0.0);
    for (int y = 0; y < small.height * step && y < image.height; ++y)
        for (int x = 0; x < small.width * step && x < image.width; ++x)
            small.px[size_t(y / step) * size_t(small.width) + size_t(x / step)]
                += image.px[size_t(y) * size_t(image.width) + size_t(x)];
    for (double &value : small.px)
        value /= double(step) * double(step);
    return small;
}

Compared motion(Restoration method, int length, const img::Spectrum &g, const img::Image &truth)
{
    Compared row;
    row.method = method;
    const img::Spectrum h = img::transferFunction(img::motionPsf(length), g.width, g.height);
    const img::Image result = written(wienerFilter(g, h, kMotionK));
    row.advised = measured(result, truth);
    row.thumbnail = thumbnailOf(result);
    return row;
}

// The inverse filter or Wiener with its advice, and its curve around it.
Compared withValue(Restoration restoration, Method method, const Blurred &blurred,
                   const img::Image &truth, const Truth &levels, unsigned threads)
{
    Compared row;
    row.method = restoration;
    row.advice = advisedValue(method, blurred);
    const img::Image advised = written(restoreWith(method, blurred, *row.advice));
    row.advised = measured(advised, truth);
    // The plot wants PSNR alone; SSIM is taken where the rows are read, at the best.
    row.curve = sweep(method, blurred, levels, sweepValues(*row.advice, 0.0), threads,
                      Measures::PsnrOnly);
    SweepRow &best = row.curve->rows[row.curve->best];
    const img::Image atBest = written(restoreWith(method, blurred, best.value));
    best.ssim = measured(atBest, truth).ssim;
    row.thumbnail = thumbnailOf(best.psnr > row.advised.psnr ? atBest : advised);
    return row;
}

// snr.exe with Enter at its prompt: the proposed regions.
img::Image noiseRemoved(const img::Spectrum &g)
{
    return removeRegions(g, proposedRegions(findNoisePeaks(img::powerOf(g))));
}

} // namespace

Comparison compareMethods(const img::Image &distorted, const img::Image &truth,
                          const img::Image &psfInverse, const img::Image &psfWiener, bool twoSteps,
                          unsigned threads)
{
    Comparison out;
    out.distorted = measured(distorted, truth);
    const Truth levels = truthOf(truth);
    img::checkPsf(psfWiener, distorted, "PSF");
    img::checkPsf(psfInverse, distorted, "PSF");
    const img::Spectrum g = img::forward(distorted);

    const std::pair<Restoration, int> motions[]
        = {{Restoration::Motion10, 10}, {Restoration::Motion25, 25}, {Restoration::Motion50, 50}};
    for (const auto &[method, length] : motions)
        if (length <= distorted.width)
            out.rows.push_back(motion(method, length, g, truth));

    out.rows.push_back(withValue(Restoration::Inverse, Method::Inverse,
                                 blurredOf(g, img::transferFunction(psfInverse, g.width, g.height)),
                                 truth, levels, threads));
    out.rows.push_back(withValue(Restoration::Wiener, Method::Wiener,
                                 blurredOf(g, img::transferFunction(psfWiener, g.width, g.height)),
                                 truth, levels, threads));

    const img::Image removed = written(noiseRemoved(g));
    Compared removal;
    removal.method = Restoration::NoiseRemoval;
    removal.advised = measured(removed, truth);
    removal.thumbnail = thumbnailOf(removed);
    out.rows.push_back(removal);
    if (twoSteps)
        out.rows.push_back(withValue(Restoration::NoiseThenWiener, Method::Wiener,
                                     prepare(removed, psfWiener), truth, levels, threads));
    return out;
}

double bestPsnr(const Compared &row)
{
    return row.curve ? std::max(row.advised.psnr, row.curve->rows[row.curve->best].psnr)
                     : row.advised.psnr;
}

} // namespace restore
