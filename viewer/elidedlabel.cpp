// The status bar's labels: cut short, never overlapped.
#include "elidedlabel.h"

#include <QPainter>

#include <algorithm>

namespace viewer {

ElidedLabel::ElidedLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void ElidedLabel::setPreferredWidth(int width)
{
    m_preferredWidth = width;
    updateGeometry();
}

QSize ElidedLabel::sizeHint() const
{
    const QSize hint = QLabel::sizeHint();
    return QSize(std::max(hint.width(), m_preferredWidth), hint.height());
}

QSize ElidedLabel::minimumSizeHint() const
{
    // Room for a few letters and the ellipsis: enough to see that something is written there.
    return QSize(fontMetrics().horizontalAdvance(QStringLiteral("xxxx…")),
                 QLabel::minimumSizeHint().height());
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect room = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, room.width());
    const QString tip = shown == text() ? QString() : text();
    if (toolTip() != tip)
        setToolTip(tip);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(room, int(alignment()) | Qt::TextSingleLine, shown);
}

} // namespace viewer
