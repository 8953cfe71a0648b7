// The report a student hands in: what the image is (a restoration, a distortion, the FFT, an
// enhancement, a view saved from the viewer), the method as the menu names it with its
// explanatory text, the pictures that matter for that kind with their figures, and every step
// that led to it. What it says is decided here, without drawing anything.
#pragma once

#include "curve.h"
#include "imageload.h"
#include "lookup.h"

#include <QDateTime>
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace report {

// The image the last step of `lines` read, the one it started from: the first argument of its
// line, since the tools write their command line there ("motion.exe distor.pgm 25 mov25.pgm").
// Empty when the last line is not a tool's ("CREATOR: GIMP..." of a photograph), or there is
// none.
QString chainStart(const QStringList &lines);

// Whether the file whose header holds `earlier` is still the one the step after it read: its
// lines end with all the lines before that step (the tools keep only the last few, so the
// file may hold more of the chain than the result does). Past the tools' cap, where each file
// says how many steps it left out ("(5 pasos omitidos)" and, one step on, "(6 ...)"), the two
// chains must count as many steps, and agree on every step both still show.
bool stillMadeAsThen(const QStringList &earlier, const QStringList &lines);

// The photograph the chain of `lines` was aligned from: the argument of its last align.exe
// line, without its folder; empty when no such line is left.
QString photographOf(const QStringList &lines);

// The digest align.exe recorded of the picture it wrote (its last line's huella=) in the chain
// of `lines`, to be compared with align.pgm's own; empty for files written before it did so.
QString alignDigestOf(const QStringList &lines);

// One step as the page numbers it: as it was taken in the chain, "8." for the eighth even when
// the header left earlier ones out, and "2–7." for the steps a line "(6 pasos omitidos)"
// stands for.
struct Step
{
    QString number;
    QString text; // as readableLine gives it
};

// The page shows no more steps than the tools keep in a header.
inline constexpr qsizetype kShownSteps = qsizetype(img::kHistoryLines);

// The steps of the chain in `lines`, oldest first. Comments no program of the suite wrote (a
// photograph's "File written by ...") are no step. Past kShownSteps, the earliest are folded
// into one line of steps left out, as the tools fold them, keeping the origin: only the lines
// shown are read.
std::vector<Step> numberedSteps(const QStringList &lines);

// What a file is, from the last line of its header.
struct Identity
{
    Role role = Role::Unknown;
    const ops::Operation *operation = nullptr; // the menu's operation that made it, if known
    bool firstOfTwo = false; // made by the first of its two steps (lookup.h)
    QString view; // for a view saved from the viewer (savedLines): "espectro", "histograma"...
    QString viewOf; // ... and the image it was the view of
};
Identity identify(const QStringList &lines);

// A step's line as the page shows it: answers with at most 4 significant figures in the
// Spanish style ("k = 0,0005424", unbreakable), the value the tool advised beside the answer
// ("k = 0,001 (aconsejada 0,000542)"), the digest of a picture left out (no one reads it), a list
// of regions as "regiones = 10 20 30 40; 50 60 70 80" with the blanks inside a region unbreakable,
// so that wrapping parts only whole regions; a quoted name keeps its quotes, and its blanks are
// unbreakable too.
QString readableLine(const QString &line);

// One of the pictures side by side.
struct ReportPicture
{
    QString role; // "Original", "Distorsionada", "Resultado", "Espectro", "Imagen"
    QString name; // the file's name
    QImage picture; // null when there is none, and then
    QString absence; // what stands in its place
    QStringList facts; // size and depth, PSNR and SSIM against align.pgm
    QString madeBy; // the line that made it, as readableLine gives it
    std::optional<std::array<long, 256>> histogram; // for the enhancements
    QImage detail; // a 1:1 crop of the region where the difference is largest, on large images
};

struct LabReport
{
    QString title;
    QString name; // the file reported on
    QString date;
    QString user;
    QString method; // the menu's caption, "Con movimiento igual a 25"; empty when unknown
    QString menu; // where it is: "Tavelio › Quitar una distorsión"
    QString explanation; // its explanatory text
    QString distortion; // for a restoration: the caption of the distortion it undoes
    QString warning; // one sentence, when a figure cannot be given (a stale align.pgm)
    std::vector<ReportPicture> pictures; // one to three
    QImage spectrum; // null when the kind has none
    QString spectrumCaption;
    QImage difference; // null without an align.pgm of the result's size, and then
    QString differenceCaption; // says why (empty: no such box for this kind)
    QString detailCaption; // where the 1:1 crops come from; empty without them
    // What the student chose: for Wiener and the inverse filter the curve of PSNR against the
    // value, the result's own and the advice marked (choice.h); for a structured-noise removal
    // the spectrum of the image before it, the zeroed regions drawn on it and on `spectrum`.
    std::optional<ResultCurve> curve;
    QImage spectrumBefore;
    QString spectrumBeforeCaption;
    std::vector<Step> steps; // the result's chain, oldest first, as numberedSteps gives it
    QString conclusions; // the student's, empty for lines to write on; at most
                         // kConclusionsLimit as conclusionsLength counts
};

// The conclusions fit the two pages up to this many characters, each line break counted as
// the rest of its line of kConclusionsLineChars.
inline constexpr qsizetype kConclusionsLimit = 3000;
inline constexpr qsizetype kConclusionsLineChars = 100;
qsizetype conclusionsLength(const QString &conclusions);

// Why `conclusions` cannot be handed in, in one Spanish line with the limit; empty when they fit.
QString conclusionsRefusal(const QString &conclusions);

// The report on `result`, with align.pgm and the distorted image found beside it.
LabReport composeReport(const picture::LoadedImage &result, const QDateTime &when,
                        const QString &user);

// From this many pixels on, the pictures get a 1:1 detail: at 56 mm a 4000 × 3000 photograph
// hides a 25-pixel blur.
inline constexpr long kDetailFromPixels = 4000L * 3000L;

// The square of `side` pixels (inside `size`) where |a - b| summed is largest.
QRect largestDifference(const picture::GreyLevels &a, const picture::GreyLevels &b, int side);

// The user's full name from the password database, else the login name.
QString currentUserName();

} // namespace report
