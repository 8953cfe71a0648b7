// What "Guardar como..." writes: the format an extension names, the samples of the image view,
// the file the dialog offers, and the writing itself, whole or not at all.
#pragma once

#include "imageload.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

namespace picture {

// Qt's writer for the file's extension, without regard to letter case: "png", "jpeg", "bmp",
// "tiff" or "pgm"; empty for any other.
QByteArray saveFormatFor(const QString &fileName);

// The save dialog's filters, PNG first, and the extension each adds to a bare name.
QStringList saveNameFilters();
QString suffixForFilter(const QString &filter);

// The name offered: "mov25.png" for the image, "mov25-espectro.png" for the view `viewWord`.
QString suggestedSaveName(const QString &shownName, const QString &viewWord);

// The image view's own samples: 16-bit grey for a file deeper than 8 bits (a 65535 file level
// for level), 8-bit grey for the rest, the picture's colours for a colour picture.
QImage samplesOf(const LoadedImage &image);

// Writes `bytes` to `path` through a temporary file in its folder renamed at the end, so a
// failure (a full disk included) leaves the old file, or none, and a link of that name is
// replaced by the file, never written through. Empty on success, otherwise the system's reason,
// in Spanish.
QString writeWhole(const QString &path, const QByteArray &bytes);

// The lines a saved picture keeps: the image's own, and for a view (`viewWord` not empty) one
// more that says so, "i_view32.exe espectro de mov25.pgm", so that no one takes the spectrum
// for the image's last step.
QStringList savedLines(const QStringList &lines, const QString &viewWord, const QString &shownName);

// Writes `picture` to `path` in the format its extension names, with `title` and the lines
// that say how it was made as its text: PNG text chunks, JPEG comments; a PGM keeps the lines
// alone, as header comments; Qt writes no text into BMP and TIFF. Through a temporary file renamed
// at the end, so a failure leaves the old file, or none. Empty on success, otherwise the reason, in
// Spanish.
QString savePicture(const QImage &picture, const QString &path, const QString &title,
                    const QStringList &lines);

} // namespace picture
