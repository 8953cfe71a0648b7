// The hand-in report drawn on A4 pages (one, or two when the steps do not fit) with Qt's own
// PDF writer, laid out from measured text: every box grows to what it holds.
#pragma once

#include "labreport.h"

#include <QByteArray>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

namespace report {

// `text` broken into lines no wider than `width` (in the metrics' units): only at blanks
// (U+0020; a no-break space holds its neighbours together, and so does a blank between a number
// and its unit, "8 bits", or around the word joining two numbers, "0 a 4095"). A word alone
// wider than the line is parted after a ';', ',', '/', '\\', '_', '-', else elided in its
// middle (cut where it must when `most` is 0: all of the text is shown). Newlines in `text` begin
// new lines. At most `most` lines (0: no limit), the last then ending in "…"; the time taken grows
// with what is shown, not with the text's length.
QStringList wrapWords(const QString &text, double width, const QFontMetricsF &metrics,
                      qsizetype most = 0);

// What was drawn where, in millimetres inside the margins of page 1 or 2: for checks.
struct DrawnBox
{
    int page = 1;
    QRectF box; // the room the layout gave it
    double widest = 0; // the widest line of text drawn in it, measured; 0 for a picture
    QString text; // empty for a picture
};

// The report's pages as PDF bytes; empty with `reason` set when they could not be drawn, or
// when the conclusions are longer than the pages have room for (conclusionsRefusal).
QByteArray renderReportPdf(const LabReport &report, QString &reason,
                           std::vector<DrawnBox> *drawn = nullptr);

// Writes `report` as a PDF to `path`, as writeWhole writes: a failure leaves the old
// file, or none. Empty on success, otherwise the reason, in Spanish.
QString writeReportPdf(const LabReport &report, const QString &path);

} // namespace report
