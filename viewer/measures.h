// How close an image is to align.pgm: PSNR and the structural similarity (SSIM).
//
// SSIM follows Wang, Bovik, Sheikh and Simoncelli (2004): local means, variances and the
// covariance under a Gaussian window of σ = 1.5 (11 × 11), K1 = 0.01, K2 = 0.03, population
// variances (divided by the weights' sum, not n - 1), averaged over the pixels whose window lies
// wholly inside the image. On images scaled to 0..1 this is scikit-image's
// structural_similarity(a, b, gaussian_weights=True, sigma=1.5,
// use_sample_covariance=False, data_range=1).
#pragma once

#include "image.h"

#include <QString>

#include <optional>
#include <string>

namespace viewer {

// SSIM of two images of the same size on 0..1; nothing when either side is smaller than the
// 11-pixel window.
std::optional<double> ssim(const img::Image &a, const img::Image &b);

struct Measures
{
    double psnr = 0; // dB, infinite for equal images
    std::optional<double> ssim;
};

// Both measures of `image` against `reference`; nothing when their sizes differ.
std::optional<Measures> measure(const img::Image &image, const img::Image &reference);

// The status-bar text: "PSNR frente a align.pgm: 34,2 dB · SSIM 0,912".
QString measuresText(const Measures &measures, const QString &referenceName);

// The lines `i_view32.exe --medidas` prints, one per measure, with a decimal point so that
// scripts read them: "PSNR 34.213 dB", "SSIM 0.91234".
std::string measuresReport(const Measures &measures);

} // namespace viewer
