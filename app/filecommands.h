// The plain logic of the file commands and of the window placement.
#pragma once

#include "pgmtwin.h"

#include <QRectF>
#include <QString>
#include <optional>

namespace app {

// The open dialog's title and its one filter.
inline const QString kOpenTitle = QStringLiteral("Abrir");
inline const QString kBitmapFilter = QStringLiteral("Bitmaps (*.BMP)");

// The settings of the window placement, under the application title.
inline const QString kSettingsSection = QStringLiteral("Settings");

// Left, top, width and height of the main window's outer frame, in twips, as stored; a key
// that is missing or holds no number gives its default (1000, 1000, 6500, 6500).
QRectF readPlacement();
void savePlacement(const QRectF &twips);

// Whether the window system (Qt's platform plugin `platformName`) tells a window where it is.
// Wayland never does: Qt then reports a position the window never had.
bool windowPositionKnown(const QString &platformName);

// The placement to store on closing: the window's own (`shown`) when its position is known;
// otherwise the position `stored` last time, with the size shown.
QRectF placementToSave(const QRectF &shown, const QRectF &stored, bool positionKnown);

// Stored numbers are plain decimal digits with "." for a fraction, so that a change of locale
// can never misread them; a "," is read as well.
std::optional<double> parseTwips(const QString &text);
QString formatTwips(double twips);

} // namespace app
