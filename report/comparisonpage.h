// i_view32.exe --comparar OUT.pdf distor.pgm: every restoration of the menu tried on one
// distorted image and ranked against align.pgm, on one PDF page: the distortion as the menu
// names it, a row a method (its thumbnail, the answer it was given, PSNR, SSIM and the gain over
// the distorted image), best first, and the curves of k and of the threshold.
//
// The restorations run in this process through the very functions their tools run (restore/
// lib, as --curva does), on the images in memory: nothing is written beside distor.pgm, so the
// student's folder stays as it was, and the page takes a second or two where starting the
// tools for some hundred values would take minutes.
#pragma once

#include "dospath.h"
#include "report.h"

#include <QString>
#include <QStringList>

#include <filesystem>

namespace report {

inline constexpr const char *kCompareOption = "--comparar";

// Writes the page the arguments after the option ask for; the result has no lines.
Report comparisonFor(const QStringList &arguments, const dos::Drives &drives);

// Compares the methods on the distorted image at `distorted` (align.pgm, psf1A.pgm and
// psf2A.pgm beside it) and writes the page to `output` whole, or not at all. Empty on success,
// otherwise the reason in one Spanish sentence, and the status for it in `status`.
QString writeComparison(const std::filesystem::path &distorted, const QString &output, int &status);

} // namespace report
