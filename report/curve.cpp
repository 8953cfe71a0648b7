// The sweep of i_view32.exe --curva: the result's line read, its inputs checked against the
// result's history, then restore::sweep over the values around the tool's advice.
#include "curve.h"

#include "explorable.h"
#include "imageload.h"
#include "sweep.h"

#include <exception>
#include <optional>

namespace report {

namespace {

Report refused(const QString &text, int status = img::kBadInput)
{
    return Report {{}, QStringLiteral("i_view32.exe: ") + text, status};
}

} // namespace

Report curveFor(const QStringList &arguments, const dos::Drives &drives)
{
    if (arguments.size() != 1 || arguments.front().isEmpty())
        return refused(QStringLiteral("%1 espera una sola imagen. Uso: i_view32.exe %1 "
                                      "resultado.pgm")
                           .arg(QString::fromLatin1(kCurveOption)),
                       img::kMisuse);
    const QString name = arguments.front();
    const std::optional<std::filesystem::path> path
        = picture::resolveArgument(name.toStdString(), drives);
    if (!path)
        return refused(QStringLiteral("No se encuentra «%1».").arg(name));
    const Explorable result = explorableFrom(*path, name);
    if (!result.error.isEmpty())
        return refused(result.error);
    if (result.noiseRemoval)
        return refused(QStringLiteral("«%1» es un retiro de ruido estructurado: sus regiones no "
                                      "son un valor que se pueda barrer.")
                           .arg(name));
    if (!result.truth)
        return refused(result.noTruth);
    try {
        const Deconvolution &made = *result.deconvolution;
        const restore::Blurred blurred = restore::prepare(made.distorted, made.psf);
        const double advised = restore::advisedValue(made.method, blurred.g);
        const restore::Sweep sweep = restore::sweep(made.method, blurred, *result.truth,
                                                    restore::sweepValues(advised, made.own));
        return Report {restore::sweepTable(sweep), {}, img::kOk};
    } catch (const std::exception &error) {
        return refused(QString::fromUtf8(error.what()));
    }
}

} // namespace report
