// A status bar label that, narrowed, cuts its text short with "…" instead of running into
// its neighbour. The whole text stays its accessible name and, while cut, its tooltip.
#pragma once

#include <QLabel>

namespace viewer {

class ElidedLabel : public QLabel
{
public:
    explicit ElidedLabel(const QString &text = QString(), QWidget *parent = nullptr);

    // The width the label asks for whatever its text, so that it does not jump as the readout
    // follows the cursor; it still gives way when the window is narrower.
    void setPreferredWidth(int width);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_preferredWidth = 0;
};

} // namespace viewer
