// A restoration's inputs, read back and checked against its history.
#include "explorable.h"

#include "beside.h"
#include "dospath.h"
#include "labreport.h"
#include "linekeys.h"
#include "pnm.h"
#include "psf.h"

#include <QFile>

#include <exception>
#include <sstream>

namespace report {

namespace {

namespace fs = std::filesystem;

const QString kAlign = QStringLiteral("align.pgm");

// Why the result's last line is no restoration with something to choose; empty when it is
// Wiener's, the inverse filter's or snr.exe's.
QString whyNotExplorable(const LineMeaning &made, const QString &name)
{
    if (made.role == Role::View)
        return QStringLiteral("«%1» es una vista guardada desde el visor: no es una "
                              "restauración.")
            .arg(name);
    if (made.role == Role::Distortion)
        return QStringLiteral("«%1» es una distorsión: no es una restauración.").arg(name);
    if (isProgram(made, "snr.exe") && !made.arguments.isEmpty())
        return {};
    if ((!isProgram(made, "wiener.exe") && !isProgram(made, "inverse.exe"))
        || made.arguments.size() < 2)
        return QStringLiteral("«%1» no es un resultado del filtro de Wiener ni del filtro "
                              "inverso: su método no pide ningún valor.")
            .arg(name);
    return {};
}

// align.pgm as the truth of the result whose lines are `result`, at its 8 bits, or why it is
// not one (the report's rule), in `why`.
std::optional<restore::Truth> truthFor(const fs::path &folder, const QStringList &result,
                                       QString &why)
{
    try {
        const ToolImage align = readBeside(folder, kAlign);
        if (why = whyNotTruth(result, align); why.isEmpty())
            return restore::truthOf(align.image);
    } catch (const std::exception &error) {
        why = sentenceOf(error);
    }
    return std::nullopt;
}

// Reads what `made` was made from into `out`; the last line is `line`.
void readInputs(Explorable &out, const fs::path &folder, img::Image distorted,
                const std::string &line, const QString &name)
{
    if (isProgram(out.made, "snr.exe")) {
        NoiseRemoval noise;
        noise.zeroed = regionsOfWord(img::lineValue(line, img::kRegionsKey).value_or(""));
        noise.proposed = regionsOfWord(img::lineValue(line, img::kProposedKey).value_or(""));
        noise.distorted = std::move(distorted);
        out.noiseRemoval = std::move(noise);
        return;
    }
    Deconvolution deconvolution;
    deconvolution.method
        = isProgram(out.made, "wiener.exe") ? restore::Method::Wiener : restore::Method::Inverse;
    const char *key = restore::valueName(deconvolution.method);
    const std::optional<double> own = img::lineNumber(line, key);
    if (!own) {
        out.error = QStringLiteral("La línea de «%1» no dice con qué %2 se hizo.")
                        .arg(name, QString::fromLatin1(key));
        return;
    }
    deconvolution.own = *own;
    deconvolution.advised = img::lineNumber(line, img::kAdvisedKey);
    const fs::path psfPath
        = dos::findInFolder(folder, QFile::encodeName(out.made.arguments[1]).toStdString());
    deconvolution.psf = img::readPsf(psfPath.string(), distorted);
    deconvolution.distorted = std::move(distorted);
    out.deconvolution = std::move(deconvolution);
}

} // namespace

std::vector<restore::DisplayRect> regionsOfWord(const std::string &word)
{
    std::vector<restore::DisplayRect> regions;
    std::istringstream list(word);
    for (std::string one; std::getline(list, one, ';');)
        if (const std::optional<restore::DisplayRect> region = restore::parseRegion(one))
            regions.push_back(*region);
    return regions;
}

Explorable explorableFrom(const fs::path &result, const QString &name)
{
    Explorable out;
    out.result = result;
    try {
        const QStringList lines = toLines(img::readPnmComments(result.string()));
        if (lines.isEmpty()) {
            out.error = QStringLiteral("La cabecera de «%1» no dice cómo se hizo.").arg(name);
            return out;
        }
        out.made = lookupLine(lines.constLast());
        if (out.error = whyNotExplorable(out.made, name); !out.error.isEmpty())
            return out;

        const fs::path folder = result.parent_path();
        const QString source = out.made.arguments[0];
        // The truth first, down to its 8 bits before the input is read: two 12-megapixel
        // pictures in double precision at once would be 192 MB.
        out.truth = truthFor(folder, lines, out.noTruth);
        ToolImage distorted = readBeside(folder, source);
        if (!stillMadeAsThen(distorted.lines, lines)) {
            out.error = QStringLiteral("%1 se ha vuelto a hacer después: ya no es la imagen de "
                                       "la que se hizo %2.")
                            .arg(source, name);
            return out;
        }
        if (out.truth
            && (out.truth->width != distorted.image.width
                || out.truth->height != distorted.image.height)) {
            out.truth.reset();
            out.noTruth = QStringLiteral("%1 y %2 no miden lo mismo: no se pueden comparar.")
                              .arg(kAlign, source);
        }
        readInputs(out, folder, std::move(distorted.image), lines.constLast().toStdString(), name);
    } catch (const std::exception &error) {
        out.error = sentenceOf(error);
    }
    if (!out.error.isEmpty()) {
        out.deconvolution.reset();
        out.noiseRemoval.reset();
        out.truth.reset();
    }
    return out;
}

} // namespace report
