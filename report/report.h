// i_view32.exe --medidas IMAGE: the measures of IMAGE against align.pgm of the working folder,
// printed without a window, for scripts and checks; i_view32.exe --informe OUT.pdf IMAGE
// [--conclusiones "TEXTO"]: the report a student hands in, with the student's conclusions,
// written without a window either.
#pragma once

#include "dospath.h"

#include <QString>
#include <QStringList>

#include <string>

namespace report {

// The option that asks for the report instead of a window.
inline constexpr const char *kMeasuresOption = "--medidas";
inline constexpr const char *kHandInOption = "--informe";
inline constexpr const char *kConclusionsOption = "--conclusiones";

struct Report
{
    std::string lines; // one per measure, when it succeeds
    QString error; // a one-line Spanish message, when it does not
    int exitStatus = 0;
};

// The report for the arguments that follow the option.
Report measuresFor(const QStringList &arguments, const dos::Drives &drives);

// Writes the hand-in report the arguments after --informe ask for; the result has no lines.
// Conclusions longer than the pages have room for are bad input, refused before anything is
// read or written (conclusionsRefusal).
Report handInFor(const QStringList &arguments, const dos::Drives &drives);

} // namespace report
