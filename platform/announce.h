// Words for a screen reader that the screen shows as a picture or not at all.
//
// Qt 6.8 has an announcement event. Qt 6.4 has none, and gives AT-SPI a changed name or
// description without its words (the object's path instead), so Orca says nothing of them.
// There a notification that shows is spoken, whatever has the focus.
#pragma once

#include <QString>

class QWidget;

namespace platform {

// Has the screen reader say `text` now, on behalf of `window`. Nothing is drawn.
void announce(QWidget *window, const QString &text);

} // namespace platform
