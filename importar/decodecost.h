// What decoding a picture will hold in memory at once, read from its header before any pixel
// is decoded. A few kilobytes of file can announce 60000 x 60000 pixels: the importer weighs
// what the decoder will really allocate, not what it is asked to produce.
#pragma once

#include <QSize>
#include <QString>

namespace importar {

// The largest allocation a decode at the teaching size may make: a 48-megapixel JPEG or PNG
// fits, a picture whose header promises gigapixels does not.
inline constexpr quint64 kDecodingBudget = 300'000'000;

// How a JPEG is laid out, as its frame and first scan headers say.
struct JpegLayout
{
    bool found = false;
    // libjpeg keeps the whole picture's coefficients when the file has more than one scan
    // (progressive, or a baseline scan that holds only some components): then it cannot
    // decode at a smaller size row by row.
    bool wholeCoefficients = false;
    // The coefficient samples per pixel: 3 for three full components, 1.5 for 4:2:0.
    double samplesPerPixel = 0;
};

JpegLayout jpegLayout(const QString &path);

// The bytes a JPEG of `stored` pixels takes to decode to `target` (its longest side scaled by
// 1/2, 1/4 or 1/8 when it is at least that much larger).
quint64 jpegDecodingBytes(const JpegLayout &layout, QSize stored, QSize target);

// True when the TIFF at `path` holds floating-point samples, which Qt's reader does not take.
bool isFloatTiff(const QString &path);

} // namespace importar
