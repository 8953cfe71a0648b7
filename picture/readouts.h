// What the status bar and the report say about a picture, as text: the pixel under the cursor,
// its size and depth, the PSNR and SSIM against align.pgm, and which align.pgm that is.
#pragma once

#include "greylevels.h"

#include <QPoint>
#include <QSize>
#include <QString>

#include <filesystem>
#include <optional>

namespace picture {

namespace fs = std::filesystem;

// The reference every distortion and restoration is judged against.
inline constexpr const char *kReferenceName = "align.pgm";

// "x 120, y 45 · gris 183"; on a scale other than 0..255 the value is given on the file's own
// scale and on 0..255, so a 16-bit image reads the same as its 8-bit twin. `grey` is 0..1.
QString pixelText(QPoint pixel, double grey, int maxval);

// The spectrum's readout: the point as snr.exe takes it and |F| there, F on the 0..255 grey
// scale as transfor.exe takes it: "x 260, y 240 · |F| 1234,5".
QString spectrumText(QPoint pixel, double magnitude);

// The difference's readout, in grey levels of 0..255: "x 12, y 40 · diferencia −7".
QString differenceText(QPoint pixel, double levels);

// What the status bar says while the cursor is off the image: its size and depth.
QString summaryText(QSize image, int maxval);

// A number with the Spanish decimal comma.
QString spanishNumber(double value, int decimals);

// "PSNR frente a align.pgm: 34,2 dB".
QString psnrText(double db, const QString &referenceName);

// The text comparing `image` with `reference` (PSNR with peak 1 on the 0..1 scale, and SSIM)
// in one call, measure() then measuresText(): empty when their sizes differ, since then there
// is nothing to compare. The window does not call it: it measures on a worker and writes the
// text when the figures come back; this is the same text taken in place, for checks.
QString comparisonText(const GreyLevels &image, const GreyLevels &reference,
                       const QString &referenceName);

// The align.pgm the shown file is judged against: in the same folder, found without regard to
// letter case, and not the shown file itself.
std::optional<fs::path> comparisonFile(const fs::path &shown);

} // namespace picture
