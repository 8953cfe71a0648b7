// How close an image is to align.pgm: PSNR and the structural similarity (SSIM).
//
// SSIM is the imaging library's (img::ssim): Wang, Bovik, Sheikh and Simoncelli (2004), as
// scikit-image's structural_similarity(a, b, gaussian_weights=True, sigma=1.5,
// use_sample_covariance=False, data_range=1) takes it on images scaled to 0..1.
#pragma once

#include "greylevels.h"

#include <QString>

#include <optional>
#include <string>

namespace picture {

struct Measures
{
    double psnr = 0; // dB, infinite for equal images
    std::optional<double> ssim; // nothing when the image is smaller than the 11-pixel window
};

// Both measures of `image` against `reference`, each in one pass over the rows; nothing when
// their sizes differ. Safe on another thread while the window reads the same pictures.
std::optional<Measures> measure(const GreyLevels &image, const GreyLevels &reference);

// The status-bar text: "PSNR frente a align.pgm: 34,2 dB · SSIM 0,912".
QString measuresText(const Measures &measures, const QString &referenceName);

// The lines `i_view32.exe --medidas` prints, one per measure, with a decimal point so that
// scripts read them: "PSNR 34.213 dB", "SSIM 0.91234".
std::string measuresReport(const Measures &measures);

} // namespace picture
