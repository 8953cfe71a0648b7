// What a screen reader says of the main window, where the screen shows no words: the
// explanation of each step, the opened photograph, the arrow and the restored-image button.
//
// A label's new text reaches AT-SPI only as a change of the label's name, which Orca ignores.
// The explanation is announced, and it stays as the show buttons' description, so a student
// who comes back to one by Tab hears it again.
#pragma once

#include <QList>
#include <QString>

class QLabel;
class QWidget;

namespace app {

// The explanation as spoken: each run of blanks one blank.
QString spokenText(const QString &text);

// Shows `text` in `label`, announces it, and gives it, spoken, to `hearers` (the controls that
// take the focus) as their description.
void explain(QLabel *label, const QList<QWidget *> &hearers, const QString &text);

// The accessible name of Image1: the photograph's file name, from its DOS path, or that none
// is open (an empty path).
QString pictureName(const QString &dosName);

// Names the controls whose picture or misspelt caption says nothing to a screen reader.
void nameControls(QWidget *arrow, QWidget *restoredButton);

} // namespace app
