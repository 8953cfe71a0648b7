// The plain logic of tavelio-importar: reading a photograph at the size it is written, which
// names "A&brir..." can open, which sizes lose spectrum columns to the motion blurs, and the
// grey picture itself.
#pragma once

#include "dospath.h"
#include "image.h"

#include <QImage>
#include <QString>

namespace importar {

// The longest side a photograph keeps by default. The main window shows the bitmap at its own
// size, and the two-step operations give their first tool two seconds: a phone's 4000 x 3000
// would show only its corner and leave a slow machine's chain behind.
inline constexpr int kTeachingSide = 1024;

// The motion length (of the operation table's) with which `side` shares a factor greater than 2, or
// 0 when none does. A circular motion blur of length L over N pixels has gcd(N, L) - 1 zeros in its
// spectrum: whole columns (or rows) that no filter brings back. One zero, at the Nyquist column of
// an even side, is harmless.
int lossyMotionLength(int side);
// Every such length, as the warning names them: "los movimientos de 10, 25 y 50".
QString lossyMotionsText(int side);

// The fewest pixels to take off `side` so that no motion length loses columns any more.
int pixelsToCrop(int side);

// Why the bitmap `name`.BMP in the tool folder of `driveC` would not open with "A&brir...":
// the open command cuts the bitmap's DOS name to its PGM twin, writes that into a Latin-1
// batch file and the command shell splits it at blanks and finds it without regard to case.
// Empty when the twin the command finds is `name`.pgm beside it.
QString nameProblem(const QString &name, const dos::fs::path &driveC);

// Takes Qt's own log lines (in English) away from the user; the decoding below looks at the
// ones it raises itself. Installed once, at the start.
void keepQtQuiet();

// The photograph at `path`, upright as its camera held it, decoded at the size it is written:
// its long side at most kTeachingSide unless `fullSize`. A JPEG is decoded at 1/2, 1/4 or 1/8
// directly; HEIC and HEIF go through libheif. Transparent parts are laid on white. `original`
// receives its upright size. A null image, with `error` a Spanish line naming the file, when it
// cannot be read, is cut short or damaged, would be written too small for the operations, or
// is too large: refused from its header when decoding would allocate more than
// kDecodingBudget; kept whole, at most the pixels half this machine's memory holds at what a
// pixel costs from decoding to the two files written, and no side longer than the tools take.
QImage readPhoto(const QString &path, bool fullSize, QSize *original, QString *error);

// `picture` with its long side at most kTeachingSide, averaging the pixels each new one covers.
QImage teachingSize(const QImage &picture);

// The picture in grey levels, `cropWidth` columns and `cropHeight` rows taken off, half on
// each side (the extra one on the right or at the bottom).
QImage greyPicture(const QImage &picture, int cropWidth, int cropHeight);

// The grey picture as the image tools hold it (0..1), for its PGM twin.
img::Image toToolImage(const QImage &grey);

} // namespace importar
