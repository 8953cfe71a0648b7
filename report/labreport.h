// The report a student hands in: align.pgm, the distorted image a result was made from and the
// result itself, each with its measures and the line that made it, and the result's spectrum
// and difference with align.pgm. What it says is decided here, without drawing anything.
#pragma once

#include "imageload.h"

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QStringList>

#include <array>

namespace viewer {

// The image the last step of `lines` read, the one it started from: the first argument of its
// line, since the tools write their command line there ("motion.exe distor.pgm 25 mov25.pgm").
// Empty when the last line is not a tool's ("CREATOR: GIMP..." of a photograph), or there is
// none.
QString chainStart(const QStringList &lines);

// Whether the file whose header holds `earlier` is still the one the step after it read: its
// lines end with all the lines before that step (the tools keep only the last few, so the
// file may hold more of the chain than the result does).
bool stillMadeAsThen(const QStringList &earlier, const QStringList &lines);

// One of the three pictures side by side.
struct ReportPicture
{
    QString role; // "Original", "Distorsionada", "Resultado"
    QString name; // the file's name
    QImage picture; // null when there is none, and then
    QString absence; // what stands in its place
    QStringList facts; // size and depth, PSNR and SSIM against align.pgm
    QString madeBy; // the line that made it
};

struct LabReport
{
    QString title;
    QString date;
    QString user;
    std::array<ReportPicture, 3> pictures;
    QImage spectrum;
    QString spectrumCaption;
    QImage difference; // null without an align.pgm of the result's size, and then
    QString differenceCaption; // says why
    QStringList steps; // every line of the result, oldest first
};

// The report on `result`, with align.pgm and the distorted image found beside it.
LabReport composeReport(const LoadedImage &result, const QDateTime &when, const QString &user);

// The user's full name from the password database, else the login name.
QString currentUserName();

} // namespace viewer
