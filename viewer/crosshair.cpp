// The keyboard crosshair's moves.
#include "crosshair.h"

#include <algorithm>

namespace viewer {

std::optional<QPoint> crosshairStep(QPoint at, int key, Qt::KeyboardModifiers modifiers,
                                    QSize image)
{
    const int step = modifiers & Qt::ShiftModifier ? 10 : 1;
    QPoint to = at;
    switch (key) {
    case Qt::Key_Left:
        to.rx() -= step;
        break;
    case Qt::Key_Right:
        to.rx() += step;
        break;
    case Qt::Key_Up:
        to.ry() -= step;
        break;
    case Qt::Key_Down:
        to.ry() += step;
        break;
    default:
        return std::nullopt;
    }
    return QPoint(std::clamp(to.x(), 0, image.width() - 1),
                  std::clamp(to.y(), 0, image.height() - 1));
}

} // namespace viewer
