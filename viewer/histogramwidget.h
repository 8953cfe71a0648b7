// The histogram of grey levels, drawn as 256 bars over a grey ramp.
#pragma once

#include <QWidget>

#include <array>

namespace viewer {

class HistogramWidget : public QWidget
{
    Q_OBJECT

public:
    explicit HistogramWidget(QWidget *parent = nullptr);

    void setCounts(const std::array<long, 256> &counts);
    const std::array<long, 256> &counts() const { return m_counts; }
    QSize sizeHint() const override { return QSize(300, 120); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::array<long, 256> m_counts {};
};

} // namespace viewer
