// The fixed texts of the main window's label.
#pragma once

#include <QString>

namespace app {

// The label before anything is opened (262 characters: the runs of blanks lay the four steps
// out on lines of the label's width).
QString initialText();

// The label once an image is opened (263 characters): the same shape, with "distorsión" and
// "restaurada" spelled right.
QString openText();

} // namespace app
