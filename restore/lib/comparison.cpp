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

Compared motion(Restoration method, int length, const img::Spectrum &g, const img::Image &truth)
{
    Compared row;
    row.method = method;
    const img::Spectrum h = img::transferFunction(img::motionPsf(length), g.width, g.height);
    row.advised = measured(wienerFilter(g, h, kMotionK), truth);
    return row;
}

// The inverse filter or Wiener with its advice, and its curve around it.
Compared withValue(Restoration restoration, Method method, const Blurred &blurred,
                   const img::Image &truth, unsigned threads)
{
    Compared row;
    row.method = restoration;
    row.advice = advisedValue(method, blurred.g);
    row.advised = measured(restoreWith(method, blurred, *row.advice), truth);
    row.curve = sweep(method, blurred, truth, sweepValues(*row.advice, 0.0), threads);
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
    const Blurred forWiener = prepare(distorted, psfWiener);
    const img::Spectrum &g = forWiener.g;

    const std::pair<Restoration, int> motions[]
        = {{Restoration::Motion10, 10}, {Restoration::Motion25, 25}, {Restoration::Motion50, 50}};
    for (const auto &[method, length] : motions)
        if (length <= distorted.width)
            out.rows.push_back(motion(method, length, g, truth));

    {
        img::checkPsf(psfInverse, distorted, "PSF");
        Blurred forInverse {g, img::transferFunction(psfInverse, g.width, g.height)};
        out.rows.push_back(
            withValue(Restoration::Inverse, Method::Inverse, forInverse, truth, threads));
    }
    out.rows.push_back(withValue(Restoration::Wiener, Method::Wiener, forWiener, truth, threads));

    const img::Image removed = written(noiseRemoved(g));
    Compared removal;
    removal.method = Restoration::NoiseRemoval;
    removal.advised = measured(removed, truth);
    out.rows.push_back(removal);
    if (twoSteps)
        out.rows.push_back(withValue(Restoration::NoiseThenWiener, Method::Wiener,
                                     prepare(removed, psfWiener), truth, threads));
    return out;
}

double bestPsnr(const Compared &row)
{
    return row.curve ? std::max(row.advised.psnr, row.curve->rows[row.curve->best].psnr)
                     : row.advised.psnr;
}

} // namespace restore
