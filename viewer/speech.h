// What a screen reader says of the viewer, where the screen shows a picture and not words.
//
// A window title's change is not spoken. Each view, zoom and save is announced, and its words
// stay as the description of the widget that has the focus, so the student who asks "where am
// I" hears them again.
#pragma once

#include <QString>

#include <array>

class QWidget;

namespace viewer {

// Announces `text` and gives it to the widget of `window` that has (or last had) the focus as
// its description. The same words said twice are spoken twice.
void speak(QWidget *window, const QString &text);

// The histogram as words: "Grises de 12 a 240, media 127,4" on the 0..255 scale, or that the
// picture has no pixels.
QString histogramSummary(const std::array<long, 256> &counts);

} // namespace viewer
