// Grey levels from the samples a picture keeps.
#include "greylevels.h"

#include <utility>

namespace picture {

namespace {

double luminance(QRgb colour)
{
    return (0.299 * qRed(colour) + 0.587 * qGreen(colour) + 0.114 * qBlue(colour)) / 255.0;
}

// Every level is sample · (1 / levels), here and in at() alike: a product costs a fraction of
// a division, and the two never disagree on a pixel.
template<class T> void readRow(const QImage &samples, double scale, int y, T *out)
{
    const int w = samples.width();
    switch (samples.format()) {
    case QImage::Format_Grayscale8: {
        const uchar *line = samples.constScanLine(y);
        for (int x = 0; x < w; ++x)
            out[x] = T(line[x] * scale);
        break;
    }
    case QImage::Format_Grayscale16: {
        const auto *line = reinterpret_cast<const quint16 *>(samples.constScanLine(y));
        for (int x = 0; x < w; ++x)
            out[x] = T(line[x] * scale);
        break;
    }
    default: {
        const auto *line = reinterpret_cast<const QRgb *>(samples.constScanLine(y));
        for (int x = 0; x < w; ++x)
            out[x] = T(luminance(line[x]));
        break;
    }
    }
}

} // namespace

GreyLevels::GreyLevels(QImage samples, int levels)
    : m_samples(std::move(samples))
    , m_scale(1.0 / levels)
{
    const QImage::Format format = m_samples.format();
    if (format != QImage::Format_Grayscale8 && format != QImage::Format_Grayscale16)
        m_samples.convertTo(QImage::Format_RGB32);
}

double GreyLevels::at(int x, int y) const
{
    switch (m_samples.format()) {
    case QImage::Format_Grayscale8:
        return m_samples.constScanLine(y)[x] * m_scale;
    case QImage::Format_Grayscale16:
        return reinterpret_cast<const quint16 *>(m_samples.constScanLine(y))[x] * m_scale;
    default:
        return luminance(reinterpret_cast<const QRgb *>(m_samples.constScanLine(y))[x]);
    }
}

void GreyLevels::row(int y, double *out) const
{
    readRow(m_samples, m_scale, y, out);
}

void GreyLevels::row(int y, float *out) const
{
    readRow(m_samples, m_scale, y, out);
}

img::FloatRows GreyLevels::rows() const
{
    // A shallow copy of the samples: the rows stay readable on another thread even if this
    // object goes first.
    return [levels = *this](int y, float *out) { levels.row(y, out); };
}

} // namespace picture
