// i_view32.exe --curva RESULT: the PSNR and SSIM a Wiener or inverse-filter result would have
// reached with many other values of its k or threshold, as a table a Spanish spreadsheet opens.
// The result's own line says what made it (the method, distor.pgm, the PSF, the value); the
// restoration library does the sweep with the tools' own code, so the figures are theirs.
#pragma once

#include "dospath.h"
#include "report.h"
#include "sweep.h"

#include <QStringList>

#include <filesystem>
#include <optional>

namespace report {

inline constexpr const char *kCurveOption = "--curva";

// The table for the arguments that follow the option, or one Spanish line and the tools'
// status for bad input when the result is no Wiener or inverse result, or when distor.pgm or
// align.pgm are no longer the images it was made from and against.
Report curveFor(const QStringList &arguments, const dos::Drives &drives);

// The sweep of the result at `path` (called `name` in messages), with the value it was made
// with and the tool's advice; nothing, and `why` in one Spanish sentence, for the cases
// curveFor refuses.
struct ResultCurve
{
    restore::Sweep sweep;
    double own = 0.0;
    double advised = 0.0;
};
std::optional<ResultCurve> curveOf(const std::filesystem::path &path, const QString &name,
                                   QString &why,
                                   restore::Measures measures = restore::Measures::PsnrAndSsim);

} // namespace report
