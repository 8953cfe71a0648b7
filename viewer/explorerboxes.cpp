// The spectrum with its boxes.
#include "explorerboxes.h"

#include "speech.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace viewer {

namespace {

// A box the keyboard adds where no suggestion is left: this many bins each way.
constexpr int kNewBoxRadius = 2;

restore::DisplayRect ordered(QPoint a, QPoint b)
{
    return {std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()),
            std::max(a.y(), b.y())};
}

} // namespace

SpectrumBoxes::SpectrumBoxes(QImage spectrum, std::vector<restore::DisplayRect> boxes,
                             std::vector<restore::DisplayRect> suggested, QWidget *parent)
    : QWidget(parent)
    , m_spectrum(std::move(spectrum))
    , m_boxes(std::move(boxes))
    , m_suggested(std::move(suggested))
{
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(256, 256);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAccessibleName(tr("Espectro con las regiones que se anulan"));
    setAccessibleDescription(
        tr("Insertar añade una región, las flechas la mueven, Mayúsculas con las flechas la "
           "ensanchan, Espacio elige la siguiente, Suprimir la borra."));
    if (!m_boxes.empty())
        m_chosen = 0;
}

QSize SpectrumBoxes::sizeHint() const
{
    return m_spectrum.size().scaled(520, 520, Qt::KeepAspectRatio);
}

double SpectrumBoxes::scale() const
{
    return std::min(double(width()) / m_spectrum.width(), double(height()) / m_spectrum.height());
}

QPointF SpectrumBoxes::origin() const
{
    return {(width() - scale() * m_spectrum.width()) / 2,
            (height() - scale() * m_spectrum.height()) / 2};
}

QPoint SpectrumBoxes::toSpectrum(QPointF point) const
{
    const QPointF at = (point - origin()) / scale();
    return {std::clamp(int(std::floor(at.x())), 0, m_spectrum.width() - 1),
            std::clamp(int(std::floor(at.y())), 0, m_spectrum.height() - 1)};
}

QRectF SpectrumBoxes::toWidget(const restore::DisplayRect &box) const
{
    const double s = scale();
    return {origin() + QPointF(box.x0 * s, box.y0 * s),
            QSizeF((box.x1 - box.x0 + 1) * s, (box.y1 - box.y0 + 1) * s)};
}

int SpectrumBoxes::boxAt(QPoint pixel) const
{
    for (int i = int(m_boxes.size()); i-- > 0;) {
        const restore::DisplayRect &b = m_boxes[size_t(i)];
        if (pixel.x() >= b.x0 && pixel.x() <= b.x1 && pixel.y() >= b.y0 && pixel.y() <= b.y1)
            return i;
    }
    return -1;
}

QString SpectrumBoxes::boxText(int box) const
{
    const restore::DisplayRect &b = m_boxes[size_t(box)];
    return tr("Región %1 de %2: %3 %4 %5 %6")
        .arg(box + 1)
        .arg(m_boxes.size())
        .arg(b.x0)
        .arg(b.y0)
        .arg(b.x1)
        .arg(b.y1);
}

void SpectrumBoxes::choose(int box)
{
    m_chosen = box;
    update();
}

void SpectrumBoxes::changed(const QString &what)
{
    update();
    speak(window(), what);
    emit boxesChanged();
}

void SpectrumBoxes::addBox()
{
    // The first suggestion no box covers yet, or a small box a third of the way out, clear of
    // the low frequencies that hold the picture itself.
    restore::DisplayRect box {m_spectrum.width() * 2 / 3, m_spectrum.height() / 2, 0, 0};
    box.x0 -= kNewBoxRadius;
    box.x1 = box.x0 + 2 * kNewBoxRadius;
    box.y0 -= kNewBoxRadius;
    box.y1 = box.y0 + 2 * kNewBoxRadius;
    for (const restore::DisplayRect &s : m_suggested)
        if (std::find(m_boxes.begin(), m_boxes.end(), s) == m_boxes.end()) {
            box = s;
            break;
        }
    m_boxes.push_back(box);
    choose(int(m_boxes.size()) - 1);
    changed(tr("Añadida. %1").arg(boxText(m_chosen)));
}

void SpectrumBoxes::deleteBox()
{
    if (m_chosen < 0)
        return;
    m_boxes.erase(m_boxes.begin() + m_chosen);
    m_chosen = m_boxes.empty() ? -1 : std::min(m_chosen, int(m_boxes.size()) - 1);
    changed(m_chosen < 0 ? tr("Borrada: no queda ninguna región.")
                         : tr("Borrada. %1").arg(boxText(m_chosen)));
}

void SpectrumBoxes::moveChosen(int dx, int dy)
{
    restore::DisplayRect &b = m_boxes[size_t(m_chosen)];
    // The whole box stays on the spectrum.
    dx = std::clamp(dx, -b.x0, m_spectrum.width() - 1 - b.x1);
    dy = std::clamp(dy, -b.y0, m_spectrum.height() - 1 - b.y1);
    b = {b.x0 + dx, b.y0 + dy, b.x1 + dx, b.y1 + dy};
    changed(boxText(m_chosen));
}

void SpectrumBoxes::growChosen(int dx, int dy)
{
    restore::DisplayRect &b = m_boxes[size_t(m_chosen)];
    b.x1 = std::clamp(b.x1 + dx, b.x0, m_spectrum.width() - 1);
    b.y1 = std::clamp(b.y1 + dy, b.y0, m_spectrum.height() - 1);
    changed(boxText(m_chosen));
}

void SpectrumBoxes::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Insert || key == Qt::Key_Plus) {
        addBox();
        return;
    }
    if (m_chosen < 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    int dx = 0, dy = 0;
    switch (key) {
    case Qt::Key_Left:
        dx = -1;
        break;
    case Qt::Key_Right:
        dx = 1;
        break;
    case Qt::Key_Up:
        dy = -1;
        break;
    case Qt::Key_Down:
        dy = 1;
        break;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
    case Qt::Key_Minus:
        deleteBox();
        return;
    case Qt::Key_Space:
        choose((m_chosen + 1) % int(m_boxes.size()));
        speak(window(), boxText(m_chosen));
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (event->modifiers() & Qt::ShiftModifier)
        growChosen(dx, dy);
    else if (event->modifiers() & Qt::ControlModifier)
        moveChosen(10 * dx, 10 * dy);
    else
        moveChosen(dx, dy);
}

void SpectrumBoxes::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pixel = toSpectrum(event->position());
    m_dragFrom = pixel;
    const int box = boxAt(pixel);
    m_drawing = box < 0;
    if (m_drawing) {
        m_boxes.push_back(ordered(pixel, pixel));
        choose(int(m_boxes.size()) - 1);
    } else {
        choose(box);
    }
    m_dragStart = m_boxes[size_t(m_chosen)];
}

void SpectrumBoxes::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragFrom)
        return;
    const QPoint pixel = toSpectrum(event->position());
    restore::DisplayRect &b = m_boxes[size_t(m_chosen)];
    if (m_drawing) {
        b = ordered(*m_dragFrom, pixel);
    } else {
        b = m_dragStart;
        const QPoint by = pixel - *m_dragFrom;
        const int dx = std::clamp(by.x(), -b.x0, m_spectrum.width() - 1 - b.x1);
        const int dy = std::clamp(by.y(), -b.y0, m_spectrum.height() - 1 - b.y1);
        b = {b.x0 + dx, b.y0 + dy, b.x1 + dx, b.y1 + dy};
    }
    update();
}

void SpectrumBoxes::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_dragFrom || event->button() != Qt::LeftButton)
        return;
    mouseMoveEvent(event);
    m_dragFrom.reset();
    if (m_drawing || !(m_boxes[size_t(m_chosen)] == m_dragStart))
        changed((m_drawing ? tr("Añadida. %1") : QStringLiteral("%1")).arg(boxText(m_chosen)));
    else
        speak(window(), boxText(m_chosen));
}

void SpectrumBoxes::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QRectF whole = toWidget({0, 0, m_spectrum.width() - 1, m_spectrum.height() - 1});
    painter.drawImage(whole, m_spectrum);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 200, 0), 1.5));
    for (const restore::DisplayRect &s : m_suggested)
        painter.drawEllipse(toWidget(s).adjusted(-4, -4, 4, 4));
    const int w = m_spectrum.width(), h = m_spectrum.height();
    for (int i = 0; i < int(m_boxes.size()); ++i) {
        const restore::DisplayRect &b = m_boxes[size_t(i)];
        QPen pen(i == m_chosen ? QColor(255, 60, 60) : QColor(0, 200, 255),
                 i == m_chosen ? 2.5 : 1.5);
        painter.setPen(pen);
        painter.drawRect(toWidget(b));
        // Its mirror through the centre, which the tool zeroes with it, dashed: display pixel
        // x shows frequency x - w/2 (w/2 rounded down), whose twin is drawn at 2·(w/2) - x.
        const int cx = 2 * (w / 2), cy = 2 * (h / 2);
        const restore::DisplayRect twin {cx - b.x1, cy - b.y1, cx - b.x0, cy - b.y0};
        if (twin.x0 >= 0 && twin.y0 >= 0 && twin.x1 < w && twin.y1 < h && !(twin == b)) {
            pen.setStyle(Qt::DashLine);
            painter.setPen(pen);
            painter.drawRect(toWidget(twin));
        }
    }
    if (hasFocus()) {
        painter.setPen(QPen(palette().highlight().color(), 2, Qt::DotLine));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

} // namespace viewer
