// Grey levels from the samples a picture keeps.
#include "greylevels.h"

#include <utility>

namespace viewer {

namespace {

double luminance(QRgb colour)
{
    return (0.299 * qRed(colour) + 0.587 * qGreen(colour) + 0.114 * qBlue(colour)) / 255.0;
}

// Division rather than a reciprocal's product: 150 / 255 is then the very double a reader
// that divides gives, and a level half-way between two on 0..255 stays exactly half-way.
template<class T> void readRow(const QImage &samples, double levels, int y, T *out)
{
    const int w = samples.width();
    switch (samples.format()) {
    case QImage::Format_Grayscale8: {
        const uchar *line = samples.constScanLine(y);
        for (int x = 0; x < w; ++x)
            out[x] = T(line[x] / levels);
        break;
    }
    case QImage::Format_Grayscale16: {
        const auto *line = reinterpret_cast<const quint16 *>(samples.constScanLine(y));
        for (int x = 0; x < w; ++x)
            out[x] = T(line[x] / levels);
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
    , m_levels(levels)
{
    const QImage::Format format = m_samples.format();
    if (format != QImage::Format_Grayscale8 && format != QImage::Format_Grayscale16)
        m_samples.convertTo(QImage::Format_RGB32);
}

double GreyLevels::at(int x, int y) const
{
    switch (m_samples.format()) {
    case QImage::Format_Grayscale8:
        return m_samples.constScanLine(y)[x] / m_levels;
    case QImage::Format_Grayscale16:
        return reinterpret_cast<const quint16 *>(m_samples.constScanLine(y))[x] / m_levels;
    default:
        return luminance(reinterpret_cast<const QRgb *>(m_samples.constScanLine(y))[x]);
    }
}

void GreyLevels::row(int y, double *out) const
{
    readRow(m_samples, m_levels, y, out);
}

void GreyLevels::row(int y, float *out) const
{
    readRow(m_samples, m_levels, y, out);
}

img::FloatRows GreyLevels::rows() const
{
    // A shallow copy of the samples: the rows stay readable on another thread even if this
    // object goes first.
    return [levels = *this](int y, float *out) { levels.row(y, out); };
}

} // namespace viewer
