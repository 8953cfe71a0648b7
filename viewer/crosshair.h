// The keyboard crosshair: the readout's point moved by the arrow keys, for the student who
// reads |F| or a grey level without a mouse.
#pragma once

#include <QPoint>
#include <QSize>
#include <Qt>

#include <optional>

namespace viewer {

// Where an arrow key takes the crosshair at `at` on an image of size `image`: one pixel, ten
// with Shift, never off the image. Nothing for a key that is not an arrow.
std::optional<QPoint> crosshairStep(QPoint at, int key, Qt::KeyboardModifiers modifiers,
                                    QSize image);

} // namespace viewer
