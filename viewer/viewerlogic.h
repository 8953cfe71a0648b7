// What the viewer decides without a window: zoom steps, which pixel lies under the cursor,
// the status-bar texts and the PSNR against align.pgm.
//
// Kept apart from the widgets so that every rule the student sees can be checked headless.
#pragma once

#include "greylevels.h"

#include <QPoint>
#include <QSize>
#include <QString>

#include <filesystem>
#include <optional>

namespace viewer {

namespace fs = std::filesystem;

// The reference every distortion and restoration is judged against.
inline constexpr const char *kReferenceName = "align.pgm";

// The zoom ladder: "Acercar" and "Alejar" move along it, so that after any fit the student is
// back on round factors whose pixels stay square on screen.
inline constexpr double kZoomSteps[]
    = {1.0 / 16, 1.0 / 8, 1.0 / 4, 1.0 / 3, 1.0 / 2, 2.0 / 3, 1, 1.5, 2, 3, 4, 6, 8, 12, 16};

// The largest factor the image may be shown at: the scaled picture is a pixmap in memory, so big
// images zoom less. Never below 1, the image's own size.
double maxScaleFor(QSize image);

// The next step of the ladder above (below) `scale`; `scale` itself at the end of the ladder.
double zoomInStep(double scale, double maxScale);
double zoomOutStep(double scale);

// The factor that shows the whole image in `viewport` without changing its proportions.
double fitScale(QSize image, QSize viewport);

// The size of the image on screen at `scale`, at least one pixel each way.
QSize scaledSize(QSize image, double scale);

// The image pixel under `position`, a point of the shown picture of size `shown`; nothing when
// the point lies outside it.
std::optional<QPoint> pixelAt(QPoint position, QSize image, QSize shown);

// The viewport a new window opens with: the image at its own size when it fits on the screen,
// otherwise the image fitted to the screen, its proportions kept; never so small that the menus
// are squeezed.
QSize initialViewport(QSize image, QSize available);

// "x 120, y 45 · gris 183"; on a scale other than 0..255 the value is given on the file's own
// scale and on 0..255, so a 16-bit image reads the same as its 8-bit twin. `grey` is 0..1.
QString pixelText(QPoint pixel, double grey, int maxval);

// The spectrum's readout: the point as snr.exe takes it and |F| there, F on the 0..255 grey
// scale as transfor.exe takes it: "x 260, y 240 · |F| 1234,5".
QString spectrumText(QPoint pixel, double magnitude);

// The difference's readout, in grey levels of 0..255: "x 12, y 40 · diferencia −7".
QString differenceText(QPoint pixel, double levels);

// The zoom the status bar shows: "25 %", "6,3 %" below 10, and "ajustada" while the picture
// follows the window's size.
QString zoomText(double scale, bool fitted);

// What the status bar says while the cursor is off the image: its size and depth.
QString summaryText(QSize image, int maxval);

// A number with the Spanish decimal comma.
QString spanishNumber(double value, int decimals);

// "PSNR frente a align.pgm: 34,2 dB".
QString psnrText(double db, const QString &referenceName);

// The status-bar text comparing `image` with `reference` (PSNR with peak 1 on the 0..1 scale,
// and SSIM): empty when their sizes differ, since then there is nothing to compare.
QString comparisonText(const GreyLevels &image, const GreyLevels &reference,
                       const QString &referenceName);

// The align.pgm the shown file is judged against: in the same folder, found without regard to
// letter case, and not the shown file itself.
std::optional<fs::path> comparisonFile(const fs::path &shown);

} // namespace viewer
