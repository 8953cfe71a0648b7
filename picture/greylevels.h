// The grey levels of a picture, read from the one copy of its pixels the viewer keeps.
//
// A file's own samples stay as they were, 8 or 16 bits each, and a colour picture stays the
// colours on screen: a 4000 × 3000 photograph costs 12 or 24 MB, where its grey levels as
// doubles would take 96 MB, and every measure and view reads them through here.
#pragma once

#include "quality.h"

#include <QImage>
#include <QSize>

namespace picture {

class GreyLevels
{
public:
    GreyLevels() = default;
    // `samples` in Format_Grayscale8 or Format_Grayscale16, each sample standing for
    // sample / levels; or in Format_RGB32, each pixel standing for its luminance (ITU-R
    // BT.601, as the imaging library turns PPM to grey), `levels` then unused.
    GreyLevels(QImage samples, int levels);

    int width() const { return m_samples.width(); }
    int height() const { return m_samples.height(); }
    QSize size() const { return m_samples.size(); }
    const QImage &samples() const { return m_samples; }

    // The level at (x, y) on 0..1.
    double at(int x, int y) const;
    // The `width()` levels of row y.
    void row(int y, double *out) const;
    void row(int y, float *out) const;
    // The rows as the imaging library's measures take them.
    img::FloatRows rows() const;

private:
    QImage m_samples;
    double m_scale = 1; // 1 / levels
};

} // namespace picture
