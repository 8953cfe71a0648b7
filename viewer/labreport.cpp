// What the hand-in report says.
#include "labreport.h"

#include "dospath.h"
#include "measures.h"
#include "viewerlogic.h"
#include "views.h"

#include <QFile>
#include <QLocale>
#include <QtConcurrent/QtConcurrentRun>

#include <cmath>
#include <optional>
#include <system_error>

#include <pwd.h>
#include <unistd.h>

namespace viewer {

namespace {

// The pictures go into the PDF no larger than this: 56 mm at 300 dpi, and the file stays small
// even for a large photograph.
constexpr int kMaxSide = 660;

const QString kReference = QString::fromLatin1(kReferenceName);

QString nameOf(const fs::path &path)
{
    return QFile::decodeName(path.filename().c_str());
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QImage reduced(const QImage &picture)
{
    if (picture.width() <= kMaxSide && picture.height() <= kMaxSide)
        return picture;
    return picture.scaled(kMaxSide, kMaxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// The figures i_view32.exe --medidas prints, with the decimal comma.
QStringList measuresFacts(const LoadedImage &image, const LoadedImage *reference)
{
    if (!reference)
        return {QStringLiteral("Sin %1 con que comparar").arg(kReference)};
    if (reference == &image)
        return {QStringLiteral("La referencia de las medidas")};
    const std::optional<Measures> measures = measure(image.grey, reference->grey);
    if (!measures)
        return {QStringLiteral("Otro tamaño que %1: sin medidas").arg(kReference)};
    QStringList facts {std::isinf(measures->psnr)
                           ? QStringLiteral("PSNR ∞ dB")
                           : QStringLiteral("PSNR %1 dB").arg(spanishNumber(measures->psnr, 3))};
    if (measures->ssim)
        facts << QStringLiteral("SSIM %1").arg(spanishNumber(*measures->ssim, 5));
    return facts;
}

ReportPicture shown(const QString &role, const LoadedImage &image, const LoadedImage *reference)
{
    return ReportPicture {role,
                          nameOf(image.path),
                          reduced(image.display),
                          {},
                          QStringList {summaryText(image.display.size(), image.maxval)}
                              + measuresFacts(image, reference),
                          image.lines.isEmpty()
                              ? QStringLiteral("(su cabecera no dice cómo se hizo)")
                              : image.lines.constLast()};
}

ReportPicture absent(const QString &role, const QString &name, const QString &why)
{
    return ReportPicture {role, name, {}, why, {}, {}};
}

// A file of the result's folder, or why there is none to show.
std::optional<LoadedImage> besideResult(const fs::path &folder, const QString &name, QString &why)
{
    const fs::path path = dos::findInFolder(folder, QFile::encodeName(name).toStdString());
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        why = QStringLiteral("Falta %1: no está en la carpeta.").arg(name);
        return std::nullopt;
    }
    OpenResult opened = loadImage(path);
    if (!opened.image)
        why = QStringLiteral("Falta %1: %2").arg(name, opened.error.replace('\n', ' '));
    return std::move(opened.image);
}

} // namespace

QString chainStart(const QStringList &lines)
{
    if (lines.isEmpty())
        return {};
    const QStringList words = lines.constLast().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() < 2 || !words[0].endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive))
        return {};
    return words[1];
}

bool stillMadeAsThen(const QStringList &earlier, const QStringList &lines)
{
    const QStringList before = lines.mid(0, lines.size() - 1);
    return earlier.size() >= before.size() && earlier.mid(earlier.size() - before.size()) == before;
}

LabReport composeReport(const LoadedImage &result, const QDateTime &when, const QString &user)
{
    // The spectrum, a transform of the whole result, on a worker while the pictures are read
    // and measured.
    QFuture<SpectrumView> spectrumTaken
        = QtConcurrent::run([grey = result.grey] { return spectrumView(grey); });
    LabReport report;
    const QString name = nameOf(result.path);
    const fs::path folder = result.path.parent_path();
    report.title = QStringLiteral("Restauración de imágenes: %1").arg(name);
    QLocale spanish(QLocale::Spanish, QLocale::Spain);
    report.date = spanish.toString(when, QStringLiteral("d 'de' MMMM 'de' yyyy, HH:mm"));
    report.user = user;
    report.steps = result.lines;

    // The original: align.pgm beside the result, or the result itself.
    const bool isOriginal = sameName(name, kReference);
    QString why;
    std::optional<LoadedImage> align;
    if (!isOriginal)
        align = besideResult(folder, kReference, why);
    const LoadedImage *reference = isOriginal ? &result : align ? &*align : nullptr;
    const QString original = QStringLiteral("Original");
    report.pictures[0]
        = reference ? shown(original, *reference, reference) : absent(original, kReference, why);

    // The distorted image, if the result's lines name one that is still as it was then.
    const QString distorted = QStringLiteral("Distorsionada");
    const QString start = chainStart(result.lines);
    std::optional<LoadedImage> source;
    QString sourceName = QStringLiteral("—");
    if (isOriginal)
        why = QStringLiteral("%1 es el original.").arg(name);
    else if (start.isEmpty())
        why = QStringLiteral("La cabecera de %1 no dice de qué imagen se hizo.").arg(name);
    else if (sameName(start, kReference))
        why = QStringLiteral("%1 se hizo directamente de %2.").arg(name, kReference);
    else {
        sourceName = start;
        source = besideResult(folder, start, why);
    }
    if (source && !stillMadeAsThen(source->lines, result.lines)) {
        why = QStringLiteral("%1 se ha vuelto a hacer después: ya no es la imagen de la que "
                             "se hizo %2.")
                  .arg(start, name);
        source.reset();
    }
    report.pictures[1]
        = source ? shown(distorted, *source, reference) : absent(distorted, sourceName, why);

    report.pictures[2] = shown(QStringLiteral("Resultado"), result, reference);

    const SpectrumView spectrum = spectrumTaken.takeResult();
    report.spectrum = spectrum.display.width() <= kMaxSide && spectrum.display.height() <= kMaxSide
        ? spectrum.display
        : maxReduced(spectrum.display,
                     spectrum.display.size().scaled(kMaxSide, kMaxSide, Qt::KeepAspectRatio));
    report.spectrumCaption = QStringLiteral("Espectro de %1 (log |F|, centrado)").arg(name);
    if (reference && reference != &result && reference->display.size() == result.display.size()) {
        const DifferenceView difference = differenceView(result.grey, reference->grey);
        report.difference = reduced(difference.display);
        report.differenceCaption
            = QStringLiteral("Diferencia de %1 con %2: cero en gris medio, de negro a blanco "
                             "±%3 %4 de gris")
                  .arg(name, kReference)
                  .arg(difference.range)
                  .arg(difference.range == 1 ? QStringLiteral("nivel") : QStringLiteral("niveles"));
    } else {
        report.differenceCaption
            = QStringLiteral("Sin diferencia con %1: %2")
                  .arg(kReference,
                       reference == &result ? QStringLiteral("es la propia imagen")
                           : reference      ? QStringLiteral("es de otro tamaño")
                                            : QStringLiteral("no está o no se puede leer"));
    }
    return report;
}

QString currentUserName()
{
    if (const passwd *entry = getpwuid(getuid())) {
        const QString full
            = QString::fromLocal8Bit(entry->pw_gecos).section(QLatin1Char(','), 0, 0);
        return full.trimmed().isEmpty() ? QString::fromLocal8Bit(entry->pw_name) : full.trimmed();
    }
    return qEnvironmentVariable("USER", QStringLiteral("(desconocido)"));
}

} // namespace viewer
