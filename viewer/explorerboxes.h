// The spectrum of the image a structured-noise removal was made from, drawn in the coordinates
// snr.exe asks for, with the regions to zero as boxes and the tool's suggested peaks as rings.
//
// The mouse draws a box by dragging over empty spectrum, moves one by dragging it, and the
// keyboard does all of it: Insert adds a box (on the first suggested peak left without one),
// the arrows move the chosen box (Ctrl: ten at a time), Shift with the arrows widens or narrows
// it, Space chooses the next box, Supr deletes it. Each change is spoken.
#pragma once

#include "peaks.h"

#include <QImage>
#include <QWidget>

#include <optional>
#include <vector>

namespace viewer {

class SpectrumBoxes : public QWidget
{
    Q_OBJECT

public:
    // `spectrum`: the centred display, one pixel a bin.
    SpectrumBoxes(QImage spectrum, std::vector<restore::DisplayRect> boxes,
                  std::vector<restore::DisplayRect> suggested, QWidget *parent = nullptr);

    const std::vector<restore::DisplayRect> &boxes() const { return m_boxes; }
    int chosen() const { return m_chosen; }
    QSize sizeHint() const override;
    // The spectrum pixel under widget point `point`, clamped to the spectrum.
    QPoint toSpectrum(QPointF point) const;
    // The widget rectangle covering spectrum box `box`.
    QRectF toWidget(const restore::DisplayRect &box) const;

public slots:
    void addBox();
    void deleteBox();

signals:
    void boxesChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    double scale() const;
    QPointF origin() const;
    int boxAt(QPoint pixel) const;
    void choose(int box);
    void changed(const QString &what);
    void moveChosen(int dx, int dy);
    void growChosen(int dx, int dy);
    QString boxText(int box) const;

    QImage m_spectrum;
    std::vector<restore::DisplayRect> m_boxes;
    std::vector<restore::DisplayRect> m_suggested;
    int m_chosen = -1;
    // A drag: the pixel it started on, and the box it moves (or draws, when it started on none).
    std::optional<QPoint> m_dragFrom;
    restore::DisplayRect m_dragStart;
    bool m_drawing = false;
};

} // namespace viewer
