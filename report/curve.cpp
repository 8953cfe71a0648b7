// The sweep of i_view32.exe --curva: the result's line and its inputs read back (explorable.h),
// then restore::sweep over the values around the tool's advice.
#include "curve.h"

#include "explorable.h"
#include "imageload.h"
#include "sweep.h"

#include <exception>
#include <optional>
#include <utility>

namespace report {

namespace {

namespace fs = std::filesystem;

Report refused(const QString &text, int status = img::kBadInput)
{
    return Report {{}, QStringLiteral("i_view32.exe: ") + text, status};
}

} // namespace

std::optional<ResultCurve> curveOf(const fs::path &path, const QString &name, QString &why,
                                   restore::Measures measures)
{
    Explorable result = explorableFrom(path, name);
    if (!result.error.isEmpty()) {
        why = result.error;
        return std::nullopt;
    }
    if (result.noiseRemoval) {
        why = QStringLiteral("«%1» es un retiro de ruido estructurado: sus regiones no son un "
                             "valor que se pueda barrer.")
                  .arg(name);
        return std::nullopt;
    }
    if (!result.truth) {
        why = result.noTruth;
        return std::nullopt;
    }
    try {
        Deconvolution &made = *result.deconvolution;
        const restore::Blurred blurred = restore::prepare(std::move(made.distorted), made.psf);
        const double advised = restore::advisedValue(made.method, blurred);
        return ResultCurve {restore::sweep(made.method, blurred, *result.truth,
                                           restore::sweepValues(advised, made.own), 0, measures),
                            made.own, advised};
    } catch (const std::exception &error) {
        why = QString::fromUtf8(error.what());
        return std::nullopt;
    }
}

Report curveFor(const QStringList &arguments, const dos::Drives &drives)
{
    if (arguments.size() != 1 || arguments.front().isEmpty())
        return refused(QStringLiteral("%1 espera una sola imagen. Uso: i_view32.exe %1 "
                                      "resultado.pgm")
                           .arg(QString::fromLatin1(kCurveOption)),
                       img::kMisuse);
    const QString name = arguments.front();
    const std::optional<fs::path> path = picture::resolveArgument(name.toStdString(), drives);
    if (!path)
        return refused(QStringLiteral("No se encuentra «%1».").arg(name));
    QString why;
    const std::optional<ResultCurve> curve = curveOf(*path, name, why);
    if (!curve)
        return refused(why);
    return Report {restore::sweepTable(curve->sweep), {}, img::kOk};
}

} // namespace report
