// The sweep of i_view32.exe --curva: the result's line read, its inputs checked against the
// result's history, then restore::sweep over the values around the tool's advice.
#include "curve.h"

#include "beside.h"
#include "imageload.h"
#include "labreport.h"
#include "linekeys.h"
#include "lookup.h"
#include "pnm.h"
#include "psf.h"
#include "sweep.h"

#include <QFile>

#include <exception>
#include <optional>

namespace report {

namespace {

namespace fs = std::filesystem;

const QString kAlign = QStringLiteral("align.pgm");

Report refused(const QString &text, int status = img::kBadInput)
{
    return Report {{}, QStringLiteral("i_view32.exe: ") + text, status};
}

// Why the result's last line allows no sweep; empty when it is Wiener's or the inverse
// filter's.
QString whyNoSweep(const LineMeaning &made, const QString &name)
{
    if (made.role == Role::View)
        return QStringLiteral("«%1» es una vista guardada desde el visor: no es una "
                              "restauración.")
            .arg(name);
    if (made.role == Role::Distortion)
        return QStringLiteral("«%1» es una distorsión: no es una restauración.").arg(name);
    if (made.program.compare(QStringLiteral("snr.exe"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("«%1» es un retiro de ruido estructurado: sus regiones no son un "
                              "valor que se pueda barrer.")
            .arg(name);
    const bool wiener
        = made.program.compare(QStringLiteral("wiener.exe"), Qt::CaseInsensitive) == 0;
    const bool inverse
        = made.program.compare(QStringLiteral("inverse.exe"), Qt::CaseInsensitive) == 0;
    if ((!wiener && !inverse) || made.arguments.size() < 2)
        return QStringLiteral("«%1» no es un resultado del filtro de Wiener ni del filtro "
                              "inverso: su método no pide ningún valor.")
            .arg(name);
    return {};
}

// What the imaging library throws, as a sentence: its messages begin in lower case, for a
// tool's "tool: " prefix.
QString sentence(const std::exception &error)
{
    QString text = QString::fromUtf8(error.what());
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

} // namespace

std::optional<ResultCurve> curveOf(const fs::path &path, const QString &name, QString &why,
                                   restore::Measures measures)
{
    try {
        const QStringList lines = toLines(img::readPnmComments(path.string()));
        if (lines.isEmpty()) {
            why = QStringLiteral("La cabecera de «%1» no dice cómo se hizo.").arg(name);
            return std::nullopt;
        }
        const LineMeaning made = lookupLine(lines.constLast());
        if (why = whyNoSweep(made, name); !why.isEmpty())
            return std::nullopt;
        const restore::Method method
            = made.program.compare(QStringLiteral("wiener.exe"), Qt::CaseInsensitive) == 0
            ? restore::Method::Wiener
            : restore::Method::Inverse;
        const char *key = restore::valueName(method);
        const std::optional<double> own = img::lineNumber(lines.constLast().toStdString(), key);
        if (!own) {
            why = QStringLiteral("La línea de «%1» no dice con qué %2 se hizo.")
                      .arg(name, QString::fromLatin1(key));
            return std::nullopt;
        }

        const fs::path folder = path.parent_path();
        const QString source = made.arguments[0];
        const ToolImage distorted = readBeside(folder, source);
        if (!stillMadeAsThen(distorted.lines, lines)) {
            why = QStringLiteral("%1 se ha vuelto a hacer después: ya no es la imagen de la que "
                                 "se hizo %2.")
                      .arg(source, name);
            return std::nullopt;
        }
        const ToolImage align = readBeside(folder, kAlign);
        if (why = whyNotTruth(lines, align); !why.isEmpty())
            return std::nullopt;
        if (align.image.width != distorted.image.width
            || align.image.height != distorted.image.height) {
            why = QStringLiteral("%1 y %2 no miden lo mismo: no se pueden comparar.")
                      .arg(kAlign, source);
            return std::nullopt;
        }

        const fs::path psfPath
            = dos::findInFolder(folder, QFile::encodeName(made.arguments[1]).toStdString());
        const restore::Blurred blurred
            = restore::prepare(distorted.image, img::readPsf(psfPath.string(), distorted.image));
        const double advised = restore::advisedValue(method, blurred.g);
        return ResultCurve {restore::sweep(method, blurred, align.image,
                                           restore::sweepValues(advised, *own), 0, measures),
                            *own, advised};
    } catch (const std::exception &error) {
        why = sentence(error);
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
