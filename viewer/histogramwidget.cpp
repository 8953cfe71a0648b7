// The histogram of grey levels.
#include "histogramwidget.h"

#include "speech.h"

#include <QPainter>

#include <algorithm>

namespace viewer {

namespace {

constexpr int kRampHeight = 8;
constexpr int kMargin = 4;

} // namespace

HistogramWidget::HistogramWidget(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(260, 90);
    setAccessibleName(tr("Histograma"));
    setAccessibleDescription(histogramSummary(m_counts));
}

void HistogramWidget::setCounts(const std::array<long, 256> &counts)
{
    m_counts = counts;
    setAccessibleDescription(histogramSummary(m_counts));
    update();
}

void HistogramWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QRectF plot(kMargin, kMargin, width() - 2 * kMargin,
                      height() - 3 * kMargin - kRampHeight);
    // Scaled to the tallest bar, so that the shape of a narrow histogram is not lost.
    const long tallest = std::max(1L, *std::max_element(m_counts.begin(), m_counts.end()));
    const double barWidth = plot.width() / 256;
    for (int level = 0; level < 256; ++level) {
        const double x = plot.left() + level * barWidth;
        const double h = plot.height() * double(m_counts[size_t(level)]) / double(tallest);
        painter.fillRect(QRectF(x, plot.bottom() - h, std::max(1.0, barWidth), h),
                         palette().text());
        painter.fillRect(QRectF(x, plot.bottom() + kMargin, std::max(1.0, barWidth), kRampHeight),
                         QColor(level, level, level));
    }
}

} // namespace viewer
