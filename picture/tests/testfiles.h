// Small image files written byte by byte, so the picture's tests do not lean on the writer of
// the library they read with; and pictures in memory as the viewer holds them.
#pragma once

#include "greylevels.h"
#include "image.h"
#include "pnm.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <vector>

namespace testfiles {

inline void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// Binary PGM, 8 bits, from row-major values.
inline QByteArray pgm8(int w, int h, const std::vector<int> &values)
{
    QByteArray bytes
        = QByteArray("P5\n") + QByteArray::number(w) + ' ' + QByteArray::number(h) + "\n255\n";
    for (int v : values)
        bytes.append(char(v));
    return bytes;
}

// Binary PGM, 16 bits big-endian, from row-major values.
inline QByteArray pgm16(int w, int h, const std::vector<int> &values)
{
    QByteArray bytes
        = QByteArray("P5\n") + QByteArray::number(w) + ' ' + QByteArray::number(h) + "\n65535\n";
    for (int v : values) {
        bytes.append(char(v >> 8));
        bytes.append(char(v & 0xff));
    }
    return bytes;
}

inline QByteArray filledPgm8(int w, int h, int value)
{
    return pgm8(w, h, std::vector<int>(size_t(w) * size_t(h), value));
}

// Grey levels on 0..1 as the viewer holds a 16-bit file's: rounded to 16 bits.
inline picture::GreyLevels greyLevels16(const img::Image &values)
{
    QImage samples(values.width, values.height, QImage::Format_Grayscale16);
    for (int y = 0; y < values.height; ++y) {
        auto *line = reinterpret_cast<quint16 *>(samples.scanLine(y));
        for (int x = 0; x < values.width; ++x)
            line[x] = quint16(img::quantise(values.at(x, y), 65535));
    }
    return picture::GreyLevels(samples, 65535);
}

} // namespace testfiles
