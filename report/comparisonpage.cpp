// The comparison of every restoration on one page: the distorted image's chain checked as the
// report checks it, restore::compareMethods on its pictures, then a table and two Qt Charts
// plots drawn on an A4 page with Qt's PDF writer, in memory, and written whole.
#include "comparisonpage.h"

#include "beside.h"
#include "charts.h"
#include "comparison.h"
#include "contracts.h"
#include "imageload.h"
#include "lookup.h"
#include "psf.h"
#include "readouts.h"
#include "reportpdf.h"
#include "saving.h"
#include "views.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <exception>

namespace report {

namespace {

namespace fs = std::filesystem;
using picture::spanishNumber;

constexpr int kDpi = 300;
constexpr double kWidth = 180; // A4 less 15 mm margins
constexpr double kHeight = 267;
constexpr double kRow = 22; // a method's row
constexpr double kThumb = 20;

const QString kSans = QStringLiteral("DejaVu Sans");

double dots(double mm)
{
    return mm * kDpi / 25.4;
}

QRectF box(double x, double y, double w, double h)
{
    return QRectF(dots(x), dots(y), dots(w), dots(h));
}

// What the page says, decided before anything is drawn.
struct Page
{
    QString distortedName;
    QString distortion; // the menu's caption of what made distor.pgm
    restore::Comparison comparison;
    std::vector<size_t> ranked; // its rows, best first
};

// The menu's caption of an operation, by its control.
QString captionOf(const char *control)
{
    const ops::Operation *operation = ops::findOperation(control);
    return operation ? menuCaption(*operation) : QString::fromLatin1(control);
}

QString methodName(restore::Restoration method)
{
    using R = restore::Restoration;
    switch (method) {
    case R::Motion10:
        return captionOf("movimiento10");
    case R::Motion25:
        return captionOf("movimiento25");
    case R::Motion50:
        return captionOf("movimiento50");
    case R::Inverse:
        return captionOf("Inverso");
    case R::Wiener:
        return captionOf("Wiener");
    case R::NoiseRemoval:
        return captionOf("Retiro");
    case R::NoiseThenWiener:
        break;
    }
    return captionOf("Retiro") + QStringLiteral(" + ") + captionOf("Wiener");
}

// A value as the console takes it, with the Spanish comma: "0,000542".
QString valueText(double value)
{
    return QLocale(QLocale::Spanish, QLocale::Spain).toString(value, 'g', 3);
}

QString dbText(double db)
{
    return std::isfinite(db) ? spanishNumber(db, 2) + QStringLiteral(" dB")
                             : QStringLiteral("∞ dB");
}

QString gainText(double db)
{
    if (!std::isfinite(db))
        return QStringLiteral("∞ dB");
    const QString size = spanishNumber(std::abs(db), 2) + QStringLiteral(" dB");
    return (db < 0 ? QStringLiteral("−") : QStringLiteral("+")) + size;
}

QString ssimText(const std::optional<double> &ssim)
{
    return ssim ? spanishNumber(*ssim, 4) : QStringLiteral("—");
}

// One line of a row: the answer given and the figures it reached.
struct Answer
{
    QString given;
    restore::Measured measured;
    bool ranks = false; // the figure the row is ranked by
};

std::vector<Answer> answersOf(const restore::Compared &row)
{
    using R = restore::Restoration;
    const bool proposed = row.method == R::NoiseRemoval || row.method == R::NoiseThenWiener;
    QString advice = proposed ? QStringLiteral("regiones propuestas") : QString();
    if (row.advice) {
        const QString name = QString::fromLatin1(restore::valueName(row.curve->method));
        advice += (advice.isEmpty() ? QString() : QStringLiteral("; "))
            + QStringLiteral("aconsejada %1 = %2").arg(name, valueText(*row.advice));
    }
    if (advice.isEmpty())
        advice = QStringLiteral("no pide ningún valor");
    std::vector<Answer> answers {{advice, row.advised, true}};
    if (row.curve) {
        const restore::SweepRow &best = row.curve->rows[row.curve->best];
        const QString name = QString::fromLatin1(restore::valueName(row.curve->method));
        answers.push_back(
            {QStringLiteral("mejor del barrido: %1 = %2").arg(name, valueText(best.value)),
             {best.psnr, best.ssim},
             best.psnr > row.advised.psnr});
        answers.front().ranks = !answers.back().ranks;
    }
    return answers;
}

class Painter
{
public:
    explicit Painter(QPainter &painter)
        : m_painter(painter)
    {
    }

    // `text` in the box, one line, elided at its right; the height of a line.
    double text(double x, double y, double w, const QString &text, double points, bool bold = false,
                QColor colour = Qt::black, Qt::Alignment align = Qt::AlignLeft)
    {
        QFont font(kSans);
        font.setPointSizeF(points);
        font.setBold(bold);
        m_painter.setFont(font);
        m_painter.setPen(colour);
        const QFontMetricsF metrics(font, m_painter.device());
        const double h = metrics.lineSpacing() * 25.4 / kDpi;
        m_painter.drawText(box(x, y, w, h), int(align | Qt::AlignVCenter),
                           metrics.elidedText(text, Qt::ElideRight, dots(w)));
        return h;
    }

    void picture(double x, double y, double side, const QImage &picture)
    {
        const QRectF square = box(x, y, side, side);
        QSizeF fitted = QSizeF(picture.size()).scaled(square.size(), Qt::KeepAspectRatio);
        QRectF target(QPointF(), fitted);
        target.moveCenter(square.center());
        m_painter.drawImage(target, picture);
        m_painter.setPen(QPen(Qt::gray, dots(0.2)));
        m_painter.drawRect(target);
    }

    void rule(double y)
    {
        m_painter.setPen(QPen(QColor(200, 200, 200), dots(0.2)));
        m_painter.drawLine(QPointF(0, dots(y)), QPointF(dots(kWidth), dots(y)));
    }

    QPainter &painter() { return m_painter; }

private:
    QPainter &m_painter;
};

// The columns of the table, in millimetres from the left margin.
struct Column
{
    double x, w;
    const char *heading;
};
constexpr Column kPlace {0, 6, "#"};
constexpr Column kPicture {7, kThumb, ""};
constexpr Column kMethod {29, 88, "Método y respuesta"};
constexpr Column kPsnr {118, 22, "PSNR"};
constexpr Column kSsim {141, 16, "SSIM"};
constexpr Column kGain {158, 22, "Ganancia"};

const restore::Compared *rowOf(const restore::Comparison &comparison, restore::Restoration method)
{
    for (const restore::Compared &row : comparison.rows)
        if (row.method == method)
            return &row;
    return nullptr;
}

// The curves of one kind of value, each with its advice (a white point) and best (a point of
// its colour) marked, and the distorted image's PSNR as a level. The legend names a curve
// shortly: the row says the method in full.
Plot curvesOf(const Page &page,
              std::initializer_list<std::pair<restore::Restoration, const char *>> methods,
              const QString &title)
{
    static const QColor kColours[] = {QColor(0, 90, 170), QColor(200, 90, 0)};
    Plot plot;
    plot.title = title;
    plot.level = page.comparison.distorted.psnr;
    plot.levelName = QStringLiteral("distorsionada");
    for (const auto &[method, legend] : methods) {
        const restore::Compared *row = rowOf(page.comparison, method);
        if (!row || !row->curve)
            continue;
        const size_t index = plot.curves.size();
        const QColor colour = kColours[index % 2];
        plot.curves.push_back({&*row->curve, QString::fromUtf8(legend), colour});
        plot.marks.push_back({index, *row->advice, QStringLiteral("aconsejada"), Qt::white});
        plot.marks.push_back(
            {index, row->curve->rows[row->curve->best].value, QStringLiteral("mejor"), Qt::black});
    }
    return plot;
}

void drawPage(QPainter &qp, const Page &page)
{
    Painter p(qp);
    double y = 0;
    y += p.text(0, y, kWidth,
                QStringLiteral("Comparación de métodos sobre %1").arg(page.distortedName), 14, true)
        + 1;
    y += p.text(0, y, kWidth, QStringLiteral("Distorsión: ") + page.distortion, 10, true);
    y += p.text(
        0, y, kWidth,
        QStringLiteral("La distorsionada frente a align.pgm: PSNR %1, SSIM %2. %3")
            .arg(dbText(page.comparison.distorted.psnr), ssimText(page.comparison.distorted.ssim),
                 QLocale(QLocale::Spanish, QLocale::Spain)
                     .toString(QDateTime::currentDateTime(), QStringLiteral("d/M/yyyy HH:mm"))),
        9);
    y += p.text(0, y, kWidth,
                QStringLiteral("Cada restauración del menú, hecha con el código de su herramienta; "
                               "de la mejor a la peor."),
                8.5, false, Qt::darkGray)
        + 3;

    for (const Column &column : {kPlace, kMethod, kPsnr, kSsim, kGain})
        p.text(column.x, y, column.w, QString::fromUtf8(column.heading), 8.5, true, Qt::black,
               column.x >= kPsnr.x ? Qt::AlignRight : Qt::AlignLeft);
    y += 5;
    p.rule(y);
    y += 1;
    const double distorted = page.comparison.distorted.psnr;
    int place = 0;
    for (const size_t index : page.ranked) {
        const restore::Compared &row = page.comparison.rows[index];
        const double top = y;
        p.text(kPlace.x, top + 1, kPlace.w, QString::number(++place), 10, true);
        p.picture(kPicture.x, top + 1, kThumb, picture::eightBit(row.thumbnail));
        double at = top + 1;
        at += p.text(kMethod.x, at, kMethod.w, methodName(row.method), 9.5, true) + 1;
        for (const Answer &answer : answersOf(row)) {
            const QColor colour = answer.ranks ? Qt::black : Qt::darkGray;
            p.text(kMethod.x, at, kMethod.w, answer.given, 8.5, false, colour);
            p.text(kPsnr.x, at, kPsnr.w, dbText(answer.measured.psnr), 8.5, answer.ranks, colour,
                   Qt::AlignRight);
            p.text(kSsim.x, at, kSsim.w, ssimText(answer.measured.ssim), 8.5, answer.ranks, colour,
                   Qt::AlignRight);
            at += p.text(kGain.x, at, kGain.w, gainText(answer.measured.psnr - distorted), 8.5,
                         answer.ranks, colour, Qt::AlignRight)
                + 0.5;
        }
        y = top + kRow;
        p.rule(y);
    }

    y += 4;
    const double chartWidth = (kWidth - 6) / 2;
    const double chartHeight = std::min(70.0, kHeight - 8 - y);
    using R = restore::Restoration;
    drawChart(qp, box(0, y, chartWidth, chartHeight),
              curvesOf(page, {{R::Wiener, "Wiener"}, {R::NoiseThenWiener, "Retiro + Wiener"}},
                       QStringLiteral("PSNR según k (Filtro Wiener)")),
              460);
    drawChart(qp, box(chartWidth + 6, y, chartWidth, chartHeight),
              curvesOf(page, {{R::Inverse, "Inverso"}},
                       QStringLiteral("PSNR según el umbral (Filtro Inverso)")),
              460);
    p.text(0, kHeight - 5, kWidth, QString::fromUtf8(kMeasuresNote), 7, false, Qt::darkGray);
}

// The page for the distorted image at `path`, or the reason there is none.
std::optional<Page> compare(const fs::path &path, QString &why)
{
    const fs::path folder = path.parent_path();
    Page page;
    page.distortedName = QFile::decodeName(path.filename().string().c_str());
    const ToolImage distorted = readBeside(folder, page.distortedName);
    const LineMeaning made
        = distorted.lines.isEmpty() ? LineMeaning {} : lookupLine(distorted.lines.constLast());
    if (made.role != Role::Distortion) {
        why = QStringLiteral("«%1» no es una distorsión: su cabecera no dice que la haya hecho "
                             "una distorsión del menú.")
                  .arg(page.distortedName);
        return std::nullopt;
    }
    page.distortion = made.operation ? menuCaption(*made.operation) : made.program;
    if (made.operation && made.firstOfTwo)
        page.distortion = QStringLiteral("paso 1 de 2 de «%1»").arg(page.distortion);
    const QString alignName = QString::fromLatin1(picture::kReferenceName);
    const ToolImage align = readBeside(folder, alignName);
    if (why = whyNotTruth(distorted.lines, align); !why.isEmpty())
        return std::nullopt;
    if (align.image.width != distorted.image.width
        || align.image.height != distorted.image.height) {
        why = QStringLiteral("%1 y %2 no miden lo mismo: no se pueden comparar.")
                  .arg(alignName, page.distortedName);
        return std::nullopt;
    }
    const auto psf = [&](const char *name) {
        return img::readPsf(dos::findInFolder(folder, name).string(), distorted.image);
    };
    // Blur and structured noise together: the lesson is the two steps.
    const bool twoSteps = made.operation && !made.firstOfTwo
        && std::string_view(made.operation->control) == std::string_view("DRuido");
    page.comparison = restore::compareMethods(
        distorted.image, align.image, psf(tools::files::psf2A), psf(tools::files::psf1A), twoSteps);
    const std::vector<restore::Compared> &rows = page.comparison.rows;
    for (size_t i = 0; i < rows.size(); ++i)
        page.ranked.push_back(i);
    std::stable_sort(page.ranked.begin(), page.ranked.end(), [&rows](size_t a, size_t b) {
        return restore::bestPsnr(rows[a]) > restore::bestPsnr(rows[b]);
    });
    return page;
}

} // namespace

QString writeComparison(const fs::path &distorted, const QString &output, int &status)
{
    QString why;
    try {
        const std::optional<Page> page = compare(distorted, why);
        if (!page) {
            status = img::kBadInput;
            return why;
        }
        const QByteArray bytes
            = a4Pdf(QStringLiteral("Comparación de métodos"), why,
                    [&page](QPainter &painter, QPdfWriter &) { drawPage(painter, *page); });
        if (why.isEmpty())
            why = picture::writeWhole(output, bytes);
        if (!why.isEmpty()) {
            status = img::kCannotWrite;
            return QStringLiteral("No se puede escribir «%1»: %2").arg(output, why);
        }
        status = img::kOk;
        return {};
    } catch (const std::exception &error) {
        status = img::kBadInput;
        return sentenceOf(error);
    }
}

Report comparisonFor(const QStringList &arguments, const dos::Drives &drives)
{
    const QString option = QString::fromLatin1(kCompareOption);
    if (arguments.size() != 2 || arguments.front().isEmpty() || arguments.back().isEmpty())
        return Report {{},
                       QStringLiteral("i_view32.exe: %1 espera el PDF y la imagen distorsionada. "
                                      "Uso: i_view32.exe %1 comparacion.pdf distor.pgm")
                           .arg(option),
                       img::kMisuse};
    const QString output = arguments.front();
    if (!output.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        return Report {{},
                       QStringLiteral("i_view32.exe: «%1» no acaba en .pdf: la comparación es "
                                      "un PDF.")
                           .arg(output),
                       img::kMisuse};
    const std::optional<fs::path> path
        = picture::resolveArgument(arguments.back().toStdString(), drives);
    if (!path)
        return Report {{},
                       QStringLiteral("i_view32.exe: No se encuentra «%1».").arg(arguments.back()),
                       img::kBadInput};
    int status = img::kOk;
    const QString why = writeComparison(
        *path, QDir(QFile::decodeName(drives.workingFolder.c_str())).filePath(output), status);
    if (!why.isEmpty())
        return Report {{}, QStringLiteral("i_view32.exe: ") + why, status};
    return Report {};
}

} // namespace report
