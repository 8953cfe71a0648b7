// Drawing the hand-in report: the title, the method as the menu names it with its explanatory
// text, the pictures side by side with their figures and the line that made each, the spectrum
// and difference, the 1:1 details, every step that led to it and the student's conclusions.
// Lengths are in millimetres on an A4 page with 15 mm margins; every text is wrapped from its
// measured width, and a block that does not fit what is left of page 1 goes to page 2.
#include "reportpdf.h"

#include "charts.h"
#include "readouts.h"
#include "saving.h"

#include <QBuffer>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <span>
#include <tuple>
#include <utility>

namespace report {

using namespace picture;

namespace {

constexpr int kDpi = 300;
constexpr double kWidth = 180; // 210 mm less the margins
constexpr double kHeight = 267;
constexpr double kFooter = 8;
constexpr double kBottom = kHeight - kFooter;
constexpr double kGap = 6;
constexpr double kColumn = (kWidth - 2 * kGap) / 3;
constexpr int kLastPage = 2;

const QString kSans = QStringLiteral("DejaVu Sans");
const QString kMono = QStringLiteral("DejaVu Sans Mono");

struct Style
{
    double points;
    bool bold = false;
    const QString *family = &kSans;
    QColor colour = Qt::black;
};

const Style kTitle {14, true};
const Style kHeading {10, true};
const Style kBody {9};
const Style kCaption {8.5};
const Style kNote {7, false, &kSans, Qt::darkGray};
const Style kLine {7.5, false, &kMono, QColor(60, 60, 60)};
const Style kStep {8, false, &kMono};
const Style kWarning {9.5, true, &kSans, QColor(150, 0, 0)};

double dots(double mm)
{
    return mm * kDpi / 25.4;
}

double millimetres(double dotCount)
{
    return dotCount * 25.4 / kDpi;
}

QRectF box(double x, double y, double w, double h)
{
    return QRectF(dots(x), dots(y), dots(w), dots(h));
}

// Any text but the explanation and the conclusions shows at most this many lines, the last
// ending in "…": a header line may hold thousands of characters, and only what the page shows
// is laid out.
constexpr qsizetype kMostLines = 8;

// A word wider than the line is parted after one of these, else elided in its middle: a name is
// never split inside a word ("movimient|o").
const QString kParts = QStringLiteral(";,/\\_- ");

// Words a blank does not part from the number before them ("8 bits", "25 dB"), and those that
// join two numbers ("0 a 4095", "640 × 480").
const char *const kUnits[]
    = {"bits", "dB", "píxeles", "píxel", "nivel", "niveles", "mm", "caracteres", "%"};
const char *const kBetween[] = {"a", "×", "x", "–"};

bool inTable(QString word, std::span<const char *const> table)
{
    while (!word.isEmpty() && QStringLiteral(".,;:)").contains(word.back()))
        word.chop(1);
    return std::any_of(table.begin(), table.end(),
                       [&word](const char *entry) { return word == QString::fromUtf8(entry); });
}

bool endsInDigit(const QString &word)
{
    return !word.isEmpty() && word.back().isDigit();
}

bool startsWithDigit(const QString &word)
{
    return !word.isEmpty() && word.front().isDigit();
}

// The words of a paragraph as the wrap takes them: a number with its unit, or two numbers with
// the word between them, held together by their blanks.
QStringList wrappedWords(const QString &paragraph)
{
    const QStringList words = paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList joined;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString &word = words[i];
        const bool held = i > 0 && endsInDigit(words[i - 1])
            && (inTable(word, kUnits)
                || (inTable(word, kBetween) && i + 1 < words.size()
                    && startsWithDigit(words[i + 1])));
        const bool joins = i > 1 && startsWithDigit(word) && inTable(words[i - 1], kBetween)
            && endsInDigit(words[i - 2]);
        if (held || joins)
            joined.last() += QLatin1Char(' ') + word;
        else
            joined << word;
    }
    return joined;
}

// A word wider than the line in pieces that fit: each grown to the line's width (so the cost
// is bounded by it, whatever the word's length) and parted after the last of kParts in its
// second half; where there is none, the rest is elided in its middle, or, in a text shown
// whole (`most` 0: the student's conclusions), cut where it must. No more than `most` pieces
// but the last are made.
QStringList cutWord(const QString &word, double width, const QFontMetricsF &metrics, qsizetype most)
{
    QStringList pieces;
    qsizetype from = 0;
    for (;;) {
        qsizetype fits = 0;
        while (from + fits < word.size()
               && metrics.horizontalAdvance(word.mid(from, fits + 1)) <= width)
            ++fits;
        if (from + fits >= word.size() || (most > 0 && pieces.size() >= most)) {
            pieces << word.mid(from, std::max<qsizetype>(fits, 1));
            return pieces;
        }
        qsizetype at = 0;
        for (qsizetype i = fits; i > fits / 2 && at == 0; --i)
            if (kParts.contains(word[from + i - 1]))
                at = i;
        if (at == 0 && most > 0) {
            pieces << metrics.elidedText(word.mid(from), Qt::ElideMiddle, width);
            return pieces;
        }
        if (at == 0)
            at = std::max<qsizetype>(fits, 1);
        pieces << word.mid(from, at);
        from += at;
    }
}

// `line` with "…" at its end, within `width`.
QString endedShort(QString line, double width, const QFontMetricsF &metrics)
{
    const QString more = QStringLiteral("…");
    while (!line.isEmpty() && metrics.horizontalAdvance(line + more) > width)
        line.chop(1);
    return line + more;
}

// One page at a time, and a cursor down it. In a dry run nothing is drawn: the first pass
// counts the pages for the footers.
class Page
{
public:
    Page(QPainter *painter, QPdfWriter *writer, std::vector<DrawnBox> *drawn, int pages,
         double side, qsizetype stepLines)
        : side(side)
        , stepLines(stepLines)
        , m_painter(painter)
        , m_writer(writer)
        , m_drawn(drawn)
        , m_pages(pages)
    {
    }

    double y = 0;
    const double side; // of the pictures' squares
    const qsizetype stepLines; // the most lines a step shows
    int number() const { return m_page; }
    // Whether something went past the foot of the last page.
    bool overflowed() const { return m_overflow || y > kBottom; }

    // Moves to page 2 when `height` does not fit below the cursor; false on page 2 already.
    bool room(double height)
    {
        if (y + height <= kBottom || y == 0)
            return true;
        if (m_page == kLastPage) {
            m_overflow = true;
            return false;
        }
        footer();
        if (m_painter) {
            m_writer->newPage();
            keepAboveFooter();
        }
        ++m_page;
        y = 0;
        return true;
    }

    // Nothing drawn on the page runs over its footer, whatever the layout did.
    void keepAboveFooter()
    {
        if (m_painter)
            m_painter->setClipRect(box(0, 0, kWidth, kBottom));
    }

    QStringList lines(const QString &text, double w, const Style &style,
                      qsizetype most = kMostLines) const
    {
        return wrapWords(text, dots(w), metrics(style), most);
    }

    double advance(const QString &text, const Style &style) const
    {
        return millimetres(metrics(style).horizontalAdvance(text));
    }

    double lineHeight(const Style &style) const
    {
        return millimetres(metrics(style).lineSpacing());
    }

    double height(const QString &text, double w, const Style &style,
                  qsizetype most = kMostLines) const
    {
        return text.isEmpty() ? 0 : double(lines(text, w, style, most).size()) * lineHeight(style);
    }

    // `text` wrapped into the width `w` at (x, y), in no more than `most` lines (0: all); the
    // height it took.
    double paragraph(double x, double top, double w, const QString &text, const Style &style,
                     qsizetype most = kMostLines)
    {
        if (text.isEmpty())
            return 0;
        return drawLines(x, top, w, lines(text, w, style, most), style);
    }

    // Lines already wrapped to `w`.
    double block(double x, double top, double w, const QStringList &shown, const Style &style)
    {
        return drawLines(x, top, w, shown, style);
    }

    // One line, elided in the middle when wider than `w`.
    double single(double x, double top, double w, const QString &text, const Style &style)
    {
        const QString shown = metrics(style).elidedText(text, Qt::ElideMiddle, dots(w));
        return drawLines(x, top, w, {shown}, style);
    }

    // The picture fitted into the box, centred, with a thin frame; without one, `absence` in
    // a grey square in its place.
    void picture(double x, double top, double w, double h, const QImage &picture,
                 const QString &absence)
    {
        log(box(x, top, w, h), 0, {});
        if (!m_painter)
            return;
        const QRectF square = box(x, top, w, h);
        if (picture.isNull()) {
            m_painter->fillRect(square, QColor(235, 235, 235));
            const Style style {8.5, false, &kSans, QColor(120, 0, 0)};
            const QStringList shown = lines(absence, w - 6, style);
            drawLines(x + 3, top + (h - double(shown.size()) * lineHeight(style)) / 2, w - 6, shown,
                      style, false);
            return;
        }
        QSizeF fitted = QSizeF(picture.size()).scaled(square.size(), Qt::KeepAspectRatio);
        QRectF target(QPointF(), fitted);
        target.moveCenter(square.center());
        m_painter->drawImage(target, picture);
        m_painter->setPen(QPen(Qt::gray, dots(0.2)));
        m_painter->drawRect(target);
    }

    // 256 bars, as high as each level's share of the most frequent one.
    void histogram(double x, double top, double w, double h, const std::array<long, 256> &counts)
    {
        log(box(x, top, w, h), 0, {});
        if (!m_painter)
            return;
        const long most = std::max(1L, *std::max_element(counts.begin(), counts.end()));
        const QRectF frame = box(x, top, w, h);
        m_painter->fillRect(frame, QColor(245, 245, 245));
        for (int level = 0; level < 256; ++level) {
            const double bar = frame.height() * double(counts[size_t(level)]) / double(most);
            m_painter->fillRect(QRectF(frame.left() + frame.width() * level / 256.0,
                                       frame.bottom() - bar, frame.width() / 256.0, bar),
                                QColor(60, 60, 60));
        }
        m_painter->setPen(QPen(Qt::gray, dots(0.2)));
        m_painter->drawRect(frame);
    }

    // A Qt Charts plot in the box.
    void chart(double x, double top, double w, double h, const Plot &plot)
    {
        log(box(x, top, w, h), 0, {});
        if (m_painter)
            drawChart(*m_painter, box(x, top, w, h), plot, 250);
    }

    // A frame with `text` in it, or ruled lines to write on when it is empty.
    void writingBox(double top, double h, const QString &text)
    {
        log(box(0, top, kWidth, h), 0, {});
        if (!m_painter)
            return;
        m_painter->setPen(QPen(Qt::gray, dots(0.3)));
        m_painter->drawRect(box(0, top, kWidth, h));
        if (!text.isEmpty()) {
            m_painter->setPen(QPen(Qt::black));
            return;
        }
        m_painter->setPen(QPen(QColor(200, 200, 200), dots(0.2)));
        for (double rule = top + 9; rule < top + h - 2; rule += 8)
            m_painter->drawLine(QPointF(dots(3), dots(rule)),
                                QPointF(dots(kWidth - 3), dots(rule)));
    }

    // What the footer says of the figures; a page without any says nothing of them.
    QString note;

    void footer()
    {
        if (m_painter)
            m_painter->setClipping(false);
        const QString page
            = m_pages > 1 ? QStringLiteral("Página %1 de %2").arg(m_page).arg(m_pages) : QString();
        const double w = page.isEmpty() ? kWidth : kWidth - 25;
        if (!note.isEmpty())
            single(0, kHeight - kFooter + 2, w, note, kNote);
        if (!page.isEmpty())
            single(kWidth - 22, kHeight - kFooter + 2, 22, page, kNote);
    }

private:
    QFontMetricsF metrics(const Style &style) const
    {
        return QFontMetricsF(font(style), m_probe.device());
    }

    static QFont font(const Style &style)
    {
        QFont font(*style.family);
        font.setPointSizeF(style.points);
        font.setBold(style.bold);
        // Unshaped, as Latin text needs no shaping: no "ﬁ" ligature stands in the PDF's text
        // for the letters f and i, and a search for "filtro" finds it.
        font.setStyleStrategy(QFont::PreferNoShaping);
        return font;
    }

    double drawLines(double x, double top, double w, const QStringList &shown, const Style &style,
                     bool logged = true)
    {
        const QFontMetricsF measure = metrics(style);
        const double line = millimetres(measure.lineSpacing());
        double widest = 0;
        for (const QString &text : shown)
            widest = std::max(widest, millimetres(measure.horizontalAdvance(text)));
        if (logged)
            log(box(x, top, w, line * double(shown.size())), widest, shown.join('\n'));
        if (m_painter) {
            m_painter->setFont(font(style));
            m_painter->setPen(style.colour);
            for (qsizetype i = 0; i < shown.size(); ++i)
                m_painter->drawText(
                    QPointF(dots(x), dots(top + line * double(i)) + measure.ascent()), shown[i]);
        }
        return line * double(shown.size());
    }

    void log(const QRectF &dotsBox, double widest, const QString &text)
    {
        if (m_drawn && m_painter)
            m_drawn->push_back({m_page,
                                QRectF(millimetres(dotsBox.x()), millimetres(dotsBox.y()),
                                       millimetres(dotsBox.width()), millimetres(dotsBox.height())),
                                widest, text});
    }

    // Metrics at the writer's resolution even in a dry run.
    struct Probe
    {
        QBuffer sink;
        QPdfWriter writer {static_cast<QIODevice *>(&sink)};
        QPaintDevice *device()
        {
            writer.setResolution(kDpi);
            return &writer;
        }
    };
    QPainter *m_painter;
    QPdfWriter *m_writer;
    std::vector<DrawnBox> *m_drawn;
    int m_pages;
    int m_page = 1;
    bool m_overflow = false;
    mutable Probe m_probe;
};

// The curve of a result's value: the result's own and the tool's advice marked on it.
Plot valueChart(const ResultCurve &curve)
{
    const QString name = QString::fromLatin1(restore::valueName(curve.sweep.method));
    Plot plot;
    plot.title = QStringLiteral("PSNR según ")
        + (name == QLatin1String("k") ? name : QStringLiteral("el ") + name);
    plot.curves.push_back({&curve.sweep, {}, QColor(0, 90, 170)});
    plot.marks.push_back({0, curve.advised, QStringLiteral("aconsejada"), Qt::white});
    plot.marks.push_back({0, curve.own, QStringLiteral("usada"), QColor(220, 30, 0)});
    return plot;
}

// What the curve's caption says: the result's value against the best of the curve.
QString curveNote(const ResultCurve &curve)
{
    const restore::SweepRow &best = curve.sweep.rows[curve.sweep.best];
    const QLocale spanish(QLocale::Spanish, QLocale::Spain);
    return QStringLiteral("Con otros valores (frente a align.pgm): el mejor, %1 = %2, da %3 dB")
        .arg(QString::fromLatin1(restore::valueName(curve.sweep.method)),
             spanish.toString(best.value, 'g', 3), spanishNumber(best.psnr, 2));
}

// The pictures side by side: heading, picture, figures, the line that made it, then its
// histogram and its 1:1 detail where it has them.
void drawPictures(Page &page, const LabReport &report)
{
    const size_t count = report.pictures.size();
    const double column = page.side;
    // The histograms line up under the tallest text.
    double text = 0;
    for (const ReportPicture &shown : report.pictures)
        text = std::max(text,
                        page.height(shown.facts.join('\n'), column, kBody) + 1
                            + page.height(shown.madeBy, column, kLine));
    const double headings = page.lineHeight(kHeading) * 2 + 1;
    const bool histograms = std::any_of(report.pictures.begin(), report.pictures.end(),
                                        [](const ReportPicture &shown) { return shown.histogram; });
    const double tallest = headings + column + 2 + text + (histograms ? 2 + column / 3 : 0);
    page.room(tallest);
    const double top = page.y;
    for (size_t i = 0; i < count; ++i) {
        const ReportPicture &shown = report.pictures[i];
        const double x = double(i) * (column + kGap);
        double at = top;
        at += page.single(x, at, column, shown.role + QLatin1Char(':'), kHeading);
        at += page.single(x, at, column, shown.name, kHeading) + 1;
        page.picture(x, at, column, column, shown.picture, shown.absence);
        at += column + 2;
        at += page.paragraph(x, at, column, shown.facts.join('\n'), kBody) + 1;
        page.paragraph(x, at, column, shown.madeBy, kLine);
        if (shown.histogram)
            page.histogram(x, top + headings + column + 2 + text + 2, column, column / 3,
                           *shown.histogram);
    }
    page.y = top + tallest + 5;
}

// The result's spectrum and its difference with align.pgm, in a row of up to three squares:
// before them the spectrum of the image a structured-noise removal started from, after them
// the curve of the value Wiener or the inverse filter was given.
void drawSpectrumRow(Page &page, const LabReport &report)
{
    if (report.spectrum.isNull() && report.differenceCaption.isEmpty())
        return;
    const double side = page.side;
    struct Square
    {
        const QImage *picture;
        QString caption, absence;
    };
    std::vector<Square> squares;
    if (!report.spectrumBefore.isNull())
        squares.push_back({&report.spectrumBefore, report.spectrumBeforeCaption, {}});
    squares.push_back({&report.spectrum, report.spectrumCaption, {}});
    squares.push_back({&report.difference,
                       report.difference.isNull() ? QString() : report.differenceCaption,
                       report.differenceCaption});
    const QString curveCaption = report.curve ? curveNote(*report.curve) : QString();
    double captions = page.height(curveCaption, side, kCaption);
    for (const Square &square : squares)
        captions = std::max(captions, page.height(square.caption, side, kCaption));
    page.room(side + 2 + captions);
    const double top = page.y;
    double x = 0;
    for (const Square &square : squares) {
        page.picture(x, top, side, side, *square.picture, square.absence);
        page.paragraph(x, top + side + 2, side, square.caption, kCaption);
        x += side + kGap;
    }
    if (report.curve && x < kWidth) {
        page.chart(x, top, side, side, valueChart(*report.curve));
        page.paragraph(x, top + side + 2, side, curveCaption, kCaption);
    }
    page.y = top + side + 2 + captions + 5;
}

// The same 1:1 square of each picture, side by side.
void drawDetails(Page &page, const LabReport &report)
{
    if (report.detailCaption.isEmpty())
        return;
    const double side = page.side;
    page.room(page.height(report.detailCaption, kWidth, kHeading) + side + 2
              + page.lineHeight(kCaption));
    page.y += page.paragraph(0, page.y, kWidth, report.detailCaption, kHeading) + 1;
    for (size_t i = 0; i < report.pictures.size(); ++i) {
        const double x = double(i) * (side + kGap);
        page.picture(x, page.y, side, side, report.pictures[i].detail,
                     QStringLiteral("Sin detalle de %1").arg(report.pictures[i].name));
        page.single(x, page.y + side + 1, side, report.pictures[i].role, kCaption);
    }
    page.y += side + 1 + page.lineHeight(kCaption) + 5;
}

// Every step, numbered as it was taken, each wrapped under its own number; to page 2 when page 1
// is full.
void drawSteps(Page &page, const LabReport &report)
{
    double number = 9;
    for (const Step &step : report.steps)
        number = std::max(number, page.advance(step.number, kStep) + 1.5);
    page.room(page.lineHeight(kHeading) + 2 * page.lineHeight(kStep));
    page.y
        += page.paragraph(0, page.y, kWidth,
                          QStringLiteral("Cómo se hizo %1, paso a paso").arg(report.name), kHeading)
        + 1;
    if (report.steps.empty()) {
        page.y
            += page.paragraph(0, page.y, kWidth, QStringLiteral("Su cabecera no lo dice."), kStep);
        return;
    }
    for (const Step &step : report.steps) {
        page.room(page.height(step.text, kWidth - number, kStep, page.stepLines));
        page.single(0, page.y, number, step.number, kStep);
        page.y += page.paragraph(number, page.y, kWidth - number, step.text, kStep, page.stepLines)
            + 0.6;
    }
    page.y += 4;
}

// The student's conclusions in a frame, going on to page 2 when page 1 is full; without them,
// lines to write on: as many as the page leaves room for, from three to six.
void drawConclusions(Page &page, const LabReport &report)
{
    const QString heading = QStringLiteral("Conclusiones");
    const double headingHeight = page.lineHeight(kHeading) + 1;
    if (report.conclusions.isEmpty()) {
        const double least = 27;
        page.room(headingHeight + least);
        page.y += page.paragraph(0, page.y, kWidth, heading, kHeading) + 1;
        const double h = std::clamp(kBottom - page.y, least, 51.0);
        page.writingBox(page.y, h, {});
        page.y += h;
        return;
    }
    QStringList lines = page.lines(report.conclusions, kWidth - 6, kBody, 0);
    const double line = page.lineHeight(kBody);
    // The heading is not left alone at the foot of page 1.
    page.room(headingHeight + 6 + line * double(std::min<qsizetype>(lines.size(), 3)));
    page.y += page.paragraph(0, page.y, kWidth, heading, kHeading) + 1;
    while (!lines.isEmpty()) {
        const qsizetype fit
            = std::clamp<qsizetype>(qsizetype((kBottom - page.y - 6) / line), 1, lines.size());
        page.writingBox(page.y, double(fit) * line + 6, report.conclusions);
        page.block(3, page.y + 3, kWidth - 6, lines.mid(0, fit), kBody);
        page.y += double(fit) * line + 6;
        lines.remove(0, fit);
        if (!lines.isEmpty() && !page.room(kHeight))
            return;
    }
}

void drawReport(Page &page, const LabReport &report)
{
    const bool measured = std::any_of(
        report.pictures.begin(), report.pictures.end(), [](const ReportPicture &picture) {
            return !picture.facts.filter(QStringLiteral("PSNR")).isEmpty();
        });
    if (measured)
        page.note = QString::fromUtf8(kMeasuresNote);
    page.y += page.paragraph(0, 0, kWidth, report.title, kTitle) + 1;
    page.y += page.paragraph(0, page.y, kWidth,
                             QStringLiteral("%1 · Alumno: %2").arg(report.date, report.user), kBody)
        + 4;

    // The method in the program's words.
    if (!report.method.isEmpty()) {
        QString method = QStringLiteral("Método: ") + report.method;
        if (!report.menu.isEmpty())
            method += QStringLiteral(" (menú %1)").arg(report.menu);
        page.y += page.paragraph(0, page.y, kWidth, method, kHeading);
    }
    if (!report.distortion.isEmpty())
        page.y += page.paragraph(
            0, page.y, kWidth, QStringLiteral("Sobre la distorsión: ") + report.distortion, kBody);
    page.y += page.paragraph(0, page.y + 1, kWidth, report.explanation, kBody, 0) + 1;
    if (!report.warning.isEmpty())
        page.y += page.paragraph(0, page.y + 1, kWidth, report.warning, kWarning) + 1;
    page.y += 4;

    drawPictures(page, report);
    drawSpectrumRow(page, report);
    drawDetails(page, report);
    drawSteps(page, report);
    drawConclusions(page, report);
    page.footer();
}

} // namespace

QStringList wrapWords(const QString &text, double width, const QFontMetricsF &metrics,
                      qsizetype most)
{
    QStringList lines;
    const auto full = [&lines, most] { return most > 0 && lines.size() > most; };
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString &word : wrappedWords(paragraph)) {
            if (full())
                break;
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (metrics.horizontalAdvance(longer) <= width) {
                line = longer;
                continue;
            }
            if (!line.isEmpty())
                lines << line;
            QStringList pieces
                = cutWord(word, width, metrics,
                          most > 0 ? std::max<qsizetype>(most - lines.size(), 0) + 1 : 0);
            line = pieces.takeLast();
            lines << pieces;
        }
        lines << line;
        if (full())
            break;
    }
    if (full()) {
        lines.resize(most);
        lines.last() = endedShort(lines.last(), width, metrics);
    }
    return lines;
}

QByteArray renderReportPdf(const LabReport &report, QString &reason, std::vector<DrawnBox> *drawn)
{
    reason = conclusionsRefusal(report.conclusions);
    if (!reason.isEmpty())
        return {};
    // Dry runs count the pages, for "Página 1 de 2", and size the pictures: somewhat smaller
    // when that keeps the report on one page, as small as it takes to keep it on two, so that
    // the steps and the conclusions are never cut. Should that not do, the steps show fewer
    // lines each: the header holds them whole, the conclusions are said nowhere else.
    const auto trial = [&report](double side, qsizetype stepLines) {
        Page dry(nullptr, nullptr, nullptr, 1, side, stepLines);
        drawReport(dry, report);
        return std::pair(dry.number(), dry.overflowed());
    };
    double side = kColumn;
    qsizetype stepLines = kMostLines;
    auto [pages, overflowed] = trial(side, stepLines);
    for (double smaller = kColumn - 3; pages > 1 && smaller >= kColumn * 0.8; smaller -= 3) {
        if (const auto [fewer, over] = trial(smaller, stepLines); fewer == 1 && !over) {
            side = smaller;
            pages = 1;
            overflowed = false;
        }
    }
    while (overflowed) {
        if (side > kColumn / 2) {
            side -= 3;
        } else if (stepLines > 1) {
            stepLines = stepLines > 3 ? 3 : 1;
            side = kColumn;
        } else {
            break;
        }
        std::tie(pages, overflowed) = trial(side, stepLines);
    }

    return a4Pdf(report.title, reason, [&](QPainter &painter, QPdfWriter &writer) {
        Page page(&painter, &writer, drawn, pages, side, stepLines);
        page.keepAboveFooter();
        drawReport(page, report);
    });
}

QByteArray a4Pdf(const QString &title, QString &reason,
                 const std::function<void(QPainter &, QPdfWriter &)> &draw)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setResolution(kDpi);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("i_view32.exe"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            reason = QStringLiteral("No se pudo dibujar la página.");
            return {};
        }
        draw(painter, writer);
        if (!painter.end()) {
            reason = QStringLiteral("No se pudo dibujar la página.");
            return {};
        }
    }
    return buffer.data();
}

QString writeReportPdf(const LabReport &report, const QString &path)
{
    // Drawn in memory, then written whole: the PDF writer does not check its writes.
    QString reason;
    const QByteArray bytes = renderReportPdf(report, reason);
    return reason.isEmpty() ? writeWhole(path, bytes) : reason;
}

} // namespace report
