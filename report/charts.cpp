// The report's curves as Qt Charts plots: a QChart in a scene of its own, rendered into the
// painter's rectangle, so that a PDF gets vector lines and text.
#include "charts.h"

#include <QChart>
#include <QCoreApplication>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

namespace report {

namespace {

// Sized in layout pixels, which the scene's rendering scales with everything else: a point
// size would be taken at the PDF's 300 dpi and outgrow the room the layout gave it.
QFont pixelFont(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// An infinite PSNR (a result equal to the photograph) is drawn at the top of the plot.
double plotted(double psnr)
{
    return std::isfinite(psnr) ? psnr : 100.0;
}

// The row of `sweep` nearest `value` on a logarithmic scale, 0 left out.
const restore::SweepRow *nearestRow(const restore::Sweep &sweep, double value)
{
    const restore::SweepRow *nearest = nullptr;
    double distance = std::numeric_limits<double>::infinity();
    for (const restore::SweepRow &row : sweep.rows) {
        if (row.value <= 0)
            continue;
        const double d = std::abs(std::log(row.value) - std::log(std::max(value, 1e-300)));
        if (d < distance)
            distance = d, nearest = &row;
    }
    return nearest;
}

} // namespace

void drawChart(QPainter &painter, const QRectF &target, const Plot &plot, double pixelsWide)
{
    QGraphicsScene scene;
    auto *chart = new QChart; // the scene owns it
    scene.addItem(chart);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->setLocale(QLocale(QLocale::Spanish, QLocale::Spain));
    chart->setLocalizeNumbers(true);
    chart->setTitleFont(pixelFont(13, true));
    chart->setTitle(plot.title);
    chart->legend()->setFont(pixelFont(10));
    chart->legend()->setAlignment(Qt::AlignBottom);

    double low = std::numeric_limits<double>::infinity(), high = -low;
    double first = low, last = -low;
    for (const ChartCurve &curve : plot.curves)
        for (const restore::SweepRow &row : curve.sweep->rows)
            if (row.value > 0) {
                first = std::min(first, row.value), last = std::max(last, row.value);
                low = std::min(low, plotted(row.psnr)), high = std::max(high, plotted(row.psnr));
            }
    if (!(first < last))
        return;
    if (plot.level)
        low = std::min(low, *plot.level), high = std::max(high, *plot.level);

    auto *x = new QLogValueAxis;
    x->setBase(10);
    // With localized numbers Qt Charts reads only formats that give a precision.
    x->setLabelFormat(QStringLiteral("%.3g"));
    x->setRange(first, last);
    auto *y = new QValueAxis;
    y->setTitleText(QStringLiteral("PSNR (dB)"));
    y->setRange(std::floor(low - 0.5), std::ceil(high + 0.5));
    y->applyNiceNumbers();
    y->setLabelFormat(QStringLiteral("%.0f"));
    for (QAbstractAxis *axis : {static_cast<QAbstractAxis *>(x), static_cast<QAbstractAxis *>(y)}) {
        axis->setLabelsFont(pixelFont(10));
        axis->setTitleFont(pixelFont(10));
    }
    if (!plot.curves.empty())
        x->setTitleText(QString::fromLatin1(restore::valueName(plot.curves.front().sweep->method)));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    const auto attach = [&](QXYSeries *series) {
        chart->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    };

    if (plot.level) {
        auto *line = new QLineSeries;
        line->setName(plot.levelName);
        line->setPen(QPen(Qt::gray, 1.5, Qt::DashLine));
        line->append(first, *plot.level);
        line->append(last, *plot.level);
        attach(line);
    }
    for (const ChartCurve &curve : plot.curves) {
        auto *line = new QLineSeries;
        line->setName(curve.name);
        line->setPen(QPen(curve.colour, 2));
        for (const restore::SweepRow &row : curve.sweep->rows)
            if (row.value > 0)
                line->append(row.value, plotted(row.psnr));
        attach(line);
        if (curve.name.isEmpty())
            chart->legend()->markers(line).front()->setVisible(false);
    }
    QStringList named;
    for (const ChartMark &mark : plot.marks) {
        const restore::SweepRow *row = nearestRow(*plot.curves.at(mark.curve).sweep, mark.value);
        if (!row)
            continue;
        auto *point = new QScatterSeries;
        point->setName(mark.name);
        point->setColor(mark.colour);
        point->setBorderColor(Qt::black);
        point->setMarkerSize(9);
        point->append(std::max(mark.value, first), plotted(row->psnr));
        attach(point);
        // Marks of one kind share a name and a look: the legend says it once.
        if (named.contains(mark.name))
            chart->legend()->markers(point).front()->setVisible(false);
        named << mark.name;
    }

    chart->resize(pixelsWide, pixelsWide * target.height() / target.width());
    // The chart lays itself out on posted events; they must have run before it is drawn.
    QCoreApplication::sendPostedEvents();
    chart->layout()->activate();
    scene.setSceneRect(chart->geometry());
    scene.render(&painter, target, scene.sceneRect());
}

} // namespace report
