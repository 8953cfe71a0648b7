// A JPEG's frame and scan headers, and a TIFF's first directory, read by hand: the decoders
// tell neither how much they will allocate nor why they refuse.
#include "decodecost.h"

#include <QFile>

#include <algorithm>

namespace importar {

namespace {

int bigEndian16(const QByteArray &bytes, int at)
{
    return uchar(bytes[at]) << 8 | uchar(bytes[at + 1]);
}

// The segments of a JPEG up to its first scan, each after its marker and length.
struct JpegSegments
{
    QFile file;

    // The next marker's code, 0 at the end or on bytes that are not a marker.
    int nextMarker()
    {
        char byte = 0;
        if (!file.getChar(&byte) || uchar(byte) != 0xff)
            return 0;
        while (uchar(byte) == 0xff) // fill bytes
            if (!file.getChar(&byte))
                return 0;
        return uchar(byte);
    }

    bool read(QByteArray *segment)
    {
        const QByteArray length = file.read(2);
        if (length.size() != 2 || bigEndian16(length, 0) < 2)
            return false;
        *segment = file.read(bigEndian16(length, 0) - 2);
        return segment->size() == bigEndian16(length, 0) - 2;
    }
};

bool isFrame(int marker)
{
    return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
}

bool isProgressive(int marker)
{
    return marker == 0xc2 || marker == 0xc6 || marker == 0xca || marker == 0xce;
}

} // namespace

JpegLayout jpegLayout(const QString &path)
{
    JpegSegments jpeg;
    jpeg.file.setFileName(path);
    if (!jpeg.file.open(QIODevice::ReadOnly) || jpeg.file.read(2) != QByteArray("\xff\xd8", 2))
        return {};
    JpegLayout layout;
    int components = 0;
    bool progressive = false;
    for (int marker = jpeg.nextMarker(); marker != 0 && marker != 0xd9;
         marker = jpeg.nextMarker()) {
        if ((marker >= 0xd0 && marker <= 0xd7) || marker == 0x01)
            continue; // no length, no segment
        QByteArray segment;
        if (!jpeg.read(&segment))
            return {};
        if (isFrame(marker)) {
            components = segment.size() >= 6 ? uchar(segment[5]) : 0;
            if (components == 0 || segment.size() < 6 + 3 * components)
                return {};
            progressive = isProgressive(marker);
            int widest = 1;
            int tallest = 1;
            int samples = 0;
            for (int i = 0; i < components; ++i) {
                const int horizontal = std::max(1, uchar(segment[7 + 3 * i]) >> 4);
                const int vertical = std::max(1, uchar(segment[7 + 3 * i]) & 0xf);
                widest = std::max(widest, horizontal);
                tallest = std::max(tallest, vertical);
                samples += horizontal * vertical;
            }
            layout.samplesPerPixel = double(samples) / (widest * tallest);
        } else if (marker == 0xda) {
            if (components == 0 || segment.isEmpty())
                return {};
            layout.found = true;
            layout.wholeCoefficients = progressive || uchar(segment[0]) < components;
            return layout;
        }
    }
    return {};
}

quint64 jpegDecodingBytes(const JpegLayout &layout, QSize stored, QSize target)
{
    const double pixels = double(stored.width()) * double(stored.height());
    // A coefficient is a 16-bit number, one for each sample.
    const double coefficients = layout.wholeCoefficients ? pixels * layout.samplesPerPixel * 2 : 0;
    // Qt asks libjpeg for 1/2, 1/4 or 1/8 of the size when that still covers the target,
    // decodes to four bytes a pixel and scales the rest of the way.
    int denominator = 1;
    while (denominator < 8 && stored.width() / (2 * denominator) >= target.width()
           && stored.height() / (2 * denominator) >= target.height())
        denominator *= 2;
    const double decoded = pixels / (denominator * denominator) * 4;
    const double written = double(target.width()) * double(target.height()) * 4;
    return quint64(coefficients + decoded + written);
}

bool isFloatTiff(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(8);
    if (header.size() != 8 || (!header.startsWith("II*") && !header.startsWith("MM\0*")))
        return false;
    const bool little = header[0] == 'I';
    const auto number = [little](const QByteArray &bytes, int at, int size) {
        quint32 value = 0;
        for (int i = 0; i < size; ++i)
            value |= quint32(uchar(bytes[at + (little ? i : size - 1 - i)])) << (8 * i);
        return value;
    };
    if (!file.seek(number(header, 4, 4)))
        return false;
    const QByteArray count = file.read(2);
    if (count.size() != 2)
        return false;
    const QByteArray entries = file.read(qint64(number(count, 0, 2)) * 12);
    for (int at = 0; at + 12 <= entries.size(); at += 12) {
        // SampleFormat, its first value (one SHORT a sample: the first lies in the entry
        // itself, or at its offset when there are more than two).
        if (number(entries, at, 2) != 339)
            continue;
        QByteArray value = entries.mid(at + 8, 2);
        if (number(entries, at + 4, 4) > 2 && file.seek(number(entries, at + 8, 4)))
            value = file.read(2);
        return value.size() == 2 && number(value, 0, 2) == 3; // IEEE floating point
    }
    return false;
}

} // namespace importar
