// The hand-in report drawn on A4 pages (one, or two when the steps do not fit) with Qt's own
// PDF writer, laid out from measured text: every box grows to what it holds.
#pragma once

#include "labreport.h"

#include <QByteArray>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QPainter;
class QPdfWriter;

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

// What the figures on a page are, in its footer.
inline constexpr const char *kMeasuresNote = "Medidas frente a align.pgm: PSNR sobre 16 bits, "
                                             "SSIM de Wang et al. (2004), las de i_view32.exe "
                                             "--medidas.";

// An A4 page or more at 300 dpi with 15 mm margins, drawn by `draw` (lengths in dots from the
// margin's corner), as PDF bytes; empty with `reason` set when it could not be drawn.
QByteArray a4Pdf(const QString &title, QString &reason,
                 const std::function<void(QPainter &, QPdfWriter &)> &draw);

// Writes `report` as a PDF to `path`, as writeWhole writes: a failure leaves the old
// file, or none. Empty on success, otherwise the reason, in Spanish.
QString writeReportPdf(const LabReport &report, const QString &path);

} // namespace report
