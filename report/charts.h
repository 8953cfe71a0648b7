// The curves of PSNR against a restoration's k or threshold, as Qt Charts plots drawn through a
// QPainter: into the report's and the comparison's PDF pages, or onto any other device. A chart
// is a graphics widget, so the caller needs a QApplication (the offscreen platform will do).
#pragma once

#include "sweep.h"

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

namespace report {

// One curve of a plot: a sweep and what its line is called in the legend (nothing when empty:
// a plot of one curve says what it is in its title).
struct ChartCurve
{
    const restore::Sweep *sweep = nullptr;
    QString name;
    QColor colour;
};

// A value marked on a curve, a point on it with its name in the legend: "aconsejada", "mejor",
// "la del resultado". Marks of the same name are named once in the legend, so give them one
// look.
struct ChartMark
{
    size_t curve = 0; // which curve of the plot it lies on
    double value = 0.0;
    QString name;
    QColor colour;
};

struct Plot
{
    QString title; // "Filtro Wiener: PSNR según k"
    std::vector<ChartCurve> curves;
    std::vector<ChartMark> marks;
    std::optional<double> level; // a horizontal line: the distorted image's PSNR
    QString levelName;
};

// Draws the plot into `target` (in the painter's coordinates), PSNR in dB against the value on
// a logarithmic axis; the value 0 of a sweep, which a logarithmic axis cannot hold, is left out.
// `pixelsWide` is the chart's own width in layout pixels: its fonts and lines are sized against
// it, so a small target wants a small width.
void drawChart(QPainter &painter, const QRectF &target, const Plot &plot, double pixelsWide = 520);

} // namespace report
