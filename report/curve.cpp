// The sweep of i_view32.exe --curva: the result's line read, its inputs checked against the
// result's history, then restore::sweep over the values around the tool's advice.
#include "curve.h"

#include "digest.h"
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

QStringList toLines(const std::vector<std::string> &comments)
{
    QStringList lines;
    for (const std::string &comment : comments)
        lines << QString::fromStdString(comment);
    return lines;
}

// A picture of the result's folder as the tools read it, with its header's lines.
struct ToolImage
{
    img::Image image;
    QStringList lines;
};

ToolImage readBeside(const fs::path &folder, const QString &name)
{
    const fs::path path = dos::findInFolder(folder, QFile::encodeName(name).toStdString());
    std::vector<std::string> comments;
    img::Image image = img::readPnm(path.string(), nullptr, &comments);
    return {std::move(image), toLines(comments)};
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

// The align.exe line of the result's history that records the original's digest, if any.
std::optional<std::string> recordedDigest(const QStringList &lines)
{
    for (qsizetype i = lines.size(); i-- > 0;)
        if (lookupLine(lines[i]).role == Role::Original)
            return img::lineValue(lines[i].toStdString(), img::kDigestKey);
    return std::nullopt;
}

// Why align.pgm is not the truth the result is judged against (the report's rule); empty when
// it is.
QString whyNotTruth(const QStringList &result, const ToolImage &align)
{
    const QString was = photographOf(result), now = photographOf(align.lines);
    if (!was.isEmpty() && !now.isEmpty() && was.compare(now, Qt::CaseInsensitive) != 0)
        return QStringLiteral("%1 se hizo de %2 y el resultado viene de %3: no se da ninguna "
                              "medida.")
            .arg(kAlign, now, was);
    const std::optional<std::string> digest = recordedDigest(result);
    if (digest && *digest != img::digestText(img::pictureDigest(align.image)))
        return QStringLiteral("%1 ya no es el original de la cadena del resultado: no se da "
                              "ninguna medida.")
            .arg(kAlign);
    return {};
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
    const std::optional<fs::path> path = picture::resolveArgument(name.toStdString(), drives);
    if (!path)
        return refused(QStringLiteral("No se encuentra «%1».").arg(name));
    try {
        const QStringList lines = toLines(img::readPnmComments(path->string()));
        if (lines.isEmpty())
            return refused(QStringLiteral("La cabecera de «%1» no dice cómo se hizo.").arg(name));
        const LineMeaning made = lookupLine(lines.constLast());
        if (const QString why = whyNoSweep(made, name); !why.isEmpty())
            return refused(why);
        const restore::Method method
            = made.program.compare(QStringLiteral("wiener.exe"), Qt::CaseInsensitive) == 0
            ? restore::Method::Wiener
            : restore::Method::Inverse;
        const char *key = restore::valueName(method);
        const std::optional<double> own = img::lineNumber(lines.constLast().toStdString(), key);
        if (!own)
            return refused(QStringLiteral("La línea de «%1» no dice con qué %2 se hizo.")
                               .arg(name, QString::fromLatin1(key)));

        const fs::path folder = path->parent_path();
        const QString source = made.arguments[0];
        const ToolImage distorted = readBeside(folder, source);
        if (!stillMadeAsThen(distorted.lines, lines))
            return refused(QStringLiteral("%1 se ha vuelto a hacer después: ya no es la imagen "
                                          "de la que se hizo %2.")
                               .arg(source, name));
        const ToolImage align = readBeside(folder, kAlign);
        if (const QString why = whyNotTruth(lines, align); !why.isEmpty())
            return refused(why);
        if (align.image.width != distorted.image.width
            || align.image.height != distorted.image.height)
            return refused(QStringLiteral("%1 y %2 no miden lo mismo: no se pueden comparar.")
                               .arg(kAlign, source));

        const fs::path psfPath
            = dos::findInFolder(folder, QFile::encodeName(made.arguments[1]).toStdString());
        const restore::Blurred blurred
            = restore::prepare(distorted.image, img::readPsf(psfPath.string(), distorted.image));
        const double advised = restore::advisedValue(method, blurred.g);
        const restore::Sweep sweep
            = restore::sweep(method, blurred, align.image, restore::sweepValues(advised, *own));
        return Report {restore::sweepTable(sweep), {}, img::kOk};
    } catch (const std::exception &error) {
        // The imaging library's messages begin in lower case, for a tool's "tool: " prefix.
        QString text = QString::fromUtf8(error.what());
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (!text.isEmpty())
            text[0] = text[0].toUpper();
        return refused(text);
    }
}

} // namespace report
