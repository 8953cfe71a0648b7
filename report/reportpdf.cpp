// Drawing the hand-in report: a title, three pictures side by side with their figures and the
// line that made each, then the result's spectrum and its difference with align.pgm, and every
// step that led to it. Lengths are in millimetres on an A4 page with 15 mm margins.
#include "reportpdf.h"

#include "saving.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

namespace viewer {

namespace {

constexpr int kDpi = 300;
constexpr double kWidth = 180; // 210 mm less the margins
constexpr double kHeight = 267;
constexpr double kGap = 6;
constexpr double kColumn = (kWidth - 2 * kGap) / 3;
constexpr double kCaptionPoints = 8.5;
constexpr double kFooter = 7;
constexpr double kStepPoints = 8;

const QString kSans = QStringLiteral("DejaVu Sans");
const QString kMono = QStringLiteral("DejaVu Sans Mono");

class Page
{
public:
    explicit Page(QPainter &painter)
        : m_painter(painter)
    {
    }

    // Text in the box (x, y, w, h); returns the height it took.
    double text(double x, double y, double w, double h, const QString &text, double points,
                int flags = Qt::TextWordWrap, const QString &family = kSans, bool bold = false,
                QColor colour = Qt::black)
    {
        setFont(points, family, bold);
        m_painter.setPen(colour);
        QRectF used;
        m_painter.drawText(box(x, y, w, h), wrapping(flags, text, w), text, &used);
        return used.height() / dots(1);
    }

    // The height the text would take in a box `w` wide, without drawing it.
    double height(double w, const QString &text, double points, const QString &family)
    {
        setFont(points, family, false);
        return m_painter
                   .boundingRect(box(0, 0, w, kHeight), wrapping(Qt::TextWordWrap, text, w), text)
                   .height()
            / dots(1);
    }

    // The picture fitted into the square (x, y, side), centred, with a thin frame; without
    // one, `absence` in a grey square in its place.
    void picture(double x, double y, double side, const QImage &picture, const QString &absence)
    {
        const QRectF square = box(x, y, side, side);
        if (picture.isNull()) {
            m_painter.fillRect(square, QColor(235, 235, 235));
            text(x + 3, y + 3, side - 6, side - 6, absence, 9, Qt::AlignCenter | Qt::TextWordWrap,
                 kSans, false, QColor(120, 0, 0));
            return;
        }
        QSizeF fitted = QSizeF(picture.size()).scaled(square.size(), Qt::KeepAspectRatio);
        QRectF target(QPointF(), fitted);
        target.moveCenter(square.center());
        m_painter.drawImage(target, picture);
        m_painter.setPen(QPen(Qt::gray, dots(0.2)));
        m_painter.drawRect(target);
    }

private:
    void setFont(double points, const QString &family, bool bold)
    {
        QFont font(family);
        font.setPointSizeF(points);
        font.setBold(bold);
        m_painter.setFont(font);
    }

    // Word wrap, but anywhere when a word is wider than the box, as a step's list of regions
    // may be: it would be cut off otherwise.
    int wrapping(int flags, const QString &text, double w) const
    {
        if (!(flags & Qt::TextWordWrap))
            return flags;
        const QFontMetricsF metrics(m_painter.font(), m_painter.device());
        for (const QString &word : text.split(QRegularExpression(QStringLiteral("\\s+"))))
            if (metrics.horizontalAdvance(word) > dots(w))
                return flags | Qt::TextWrapAnywhere;
        return flags;
    }

    static double dots(double mm) { return mm * kDpi / 25.4; }
    static QRectF box(double x, double y, double w, double h)
    {
        return QRectF(dots(x), dots(y), dots(w), dots(h));
    }

    QPainter &m_painter;
};

void drawReport(Page &page, const LabReport &report)
{
    double y = page.text(0, 0, kWidth, 12, report.title, 15, Qt::AlignLeft, kSans, true);
    y += page.text(0, y + 1, kWidth, 8,
                   QStringLiteral("%1 · Alumno: %2").arg(report.date, report.user), 10);
    y += 7;

    // Original, distorted, result: the picture, its figures, the line that made it.
    double lowest = y;
    for (size_t i = 0; i < report.pictures.size(); ++i) {
        const ReportPicture &shown = report.pictures[i];
        const double x = double(i) * (kColumn + kGap);
        double at = y;
        at += page.text(x, at, kColumn, 6, QStringLiteral("%1: %2").arg(shown.role, shown.name), 10,
                        Qt::AlignLeft, kSans, true);
        page.picture(x, at + 1, kColumn, shown.picture, shown.absence);
        at += kColumn + 3;
        for (const QString &fact : shown.facts)
            at += page.text(x, at, kColumn, 6, fact, 9);
        if (!shown.madeBy.isEmpty())
            at += page.text(x, at + 1, kColumn, 14, shown.madeBy, 7.5, Qt::TextWordWrap, kMono,
                            false, QColor(60, 60, 60));
        lowest = std::max(lowest, at);
    }
    y = lowest + 9;

    // The result's spectrum and its difference with align.pgm, as large as the steps below them
    // leave room for.
    QStringList steps;
    for (qsizetype i = 0; i < report.steps.size(); ++i)
        steps << QStringLiteral("%1. %2").arg(i + 1).arg(report.steps[i]);
    const double stepsHeight = 8 + page.height(kWidth, steps.join('\n'), kStepPoints, kMono);
    auto rowHeight = [&page, &report](double side) {
        return side + 2
            + std::max(page.height(side, report.spectrumCaption, kCaptionPoints, kSans),
                       page.height(side, report.differenceCaption, kCaptionPoints, kSans))
            + kGap;
    };
    double side = (kWidth - kGap) / 2;
    while (side > kColumn / 2 && y + rowHeight(side) + stepsHeight > kHeight - kFooter)
        side -= 2;
    page.picture(0, y, side, report.spectrum, {});
    page.text(0, y + side + 2, side, kHeight, report.spectrumCaption, kCaptionPoints);
    page.picture(side + kGap, y, side, report.difference, report.differenceCaption);
    if (!report.difference.isNull())
        page.text(side + kGap, y + side + 2, side, kHeight, report.differenceCaption,
                  kCaptionPoints);
    y += rowHeight(side);
    y += page.text(0, y, kWidth, 6,
                   QStringLiteral("Cómo se hizo %1, paso a paso").arg(report.pictures[2].name), 10,
                   Qt::AlignLeft, kSans, true);
    page.text(0, y + 1, kWidth, kHeight - kFooter - y,
              steps.isEmpty() ? QStringLiteral("Su cabecera no lo dice.") : steps.join('\n'),
              kStepPoints, Qt::TextWordWrap, kMono);

    page.text(0, kHeight - kFooter + 2, kWidth, 5,
              QStringLiteral("Medidas frente a align.pgm: PSNR sobre 16 bits, SSIM de Wang et al. "
                             "(2004), las de i_view32.exe --medidas."),
              7, Qt::AlignLeft, kSans, false, Qt::darkGray);
}

} // namespace

QString writeReportPdf(const LabReport &report, const QString &path)
{
    // Drawn in memory, then written whole: the PDF writer does not check its writes.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setResolution(kDpi);
        writer.setTitle(report.title);
        writer.setCreator(QStringLiteral("i_view32.exe"));
        QPainter painter;
        if (!painter.begin(&writer))
            return QStringLiteral("No se pudo dibujar la página.");
        Page page(painter);
        drawReport(page, report);
        if (!painter.end())
            return QStringLiteral("No se pudo dibujar la página.");
    }
    return writeWhole(path, buffer.data());
}

} // namespace viewer
