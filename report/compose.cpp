// What the hand-in report shows, one function for each kind of file: a restoration beside the
// original and the distorted image it undoes, a distortion beside the original, the spectrum,
// an enhancement with the two histograms, a view or a file of unknown making alone. The
// pieces they share (the frame, align.pgm, the figures, the spectrum and the 1:1 details)
// come first.
#include "labreport.h"

#include "choice.h"
#include "digest.h"
#include "dospath.h"
#include "measures.h"
#include "readouts.h"
#include "views.h"

#include <QFile>
#include <QLocale>
#include <QtConcurrent/QtConcurrentRun>

#include <cmath>
#include <optional>
#include <system_error>

namespace report {

using namespace picture;

namespace {

// The pictures go into the PDF no larger than this: 56 mm at 300 dpi, and the file stays small
// even for a large photograph.
constexpr int kMaxSide = 660;
// The side of a 1:1 detail, in the image's own pixels.
constexpr int kDetailSide = 256;

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

QString psnrFigure(double psnr)
{
    return std::isinf(psnr) ? QStringLiteral("∞ dB")
                            : QStringLiteral("%1 dB").arg(spanishNumber(psnr, 3));
}

// The figures i_view32.exe --medidas prints, with the decimal comma.
QStringList measuresFacts(const std::optional<Measures> &measures, const QString &lead)
{
    if (!measures)
        return {QStringLiteral("Otro tamaño que %1: sin medidas").arg(kReference)};
    QStringList facts {lead + QStringLiteral("PSNR %1").arg(psnrFigure(measures->psnr))};
    if (measures->ssim)
        facts << QStringLiteral("SSIM %1").arg(spanishNumber(*measures->ssim, 5));
    return facts;
}

ReportPicture shown(const QString &role, const LoadedImage &image)
{
    ReportPicture picture;
    picture.role = role;
    picture.name = nameOf(image.path);
    picture.picture = reduced(image.display);
    picture.facts << summaryText(image.display.size(), image.maxval);
    picture.madeBy = image.lines.isEmpty() ? QStringLiteral("(su cabecera no dice cómo se hizo)")
                                           : readableLine(image.lines.constLast());
    return picture;
}

ReportPicture absent(const QString &role, const QString &name, const QString &why)
{
    ReportPicture picture;
    picture.role = role;
    picture.name = name;
    picture.absence = why;
    return picture;
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

QString roleTitle(Role role)
{
    switch (role) {
    case Role::Restoration:
        return QStringLiteral("Restauración de imágenes");
    case Role::Distortion:
        return QStringLiteral("Distorsión de una imagen");
    case Role::Spectrum:
        return QStringLiteral("Espectro (FFT) de una imagen");
    case Role::Enhancement:
        return QStringLiteral("Mejora de una imagen");
    case Role::Original:
        return QStringLiteral("Imagen alineada");
    case Role::View:
        return QStringLiteral("Vista guardada desde el visor");
    case Role::Unknown:
        break;
    }
    return QStringLiteral("Imagen");
}

// What every report says whatever the file is: its title, date and author, the method as the
// menu names it, and every step.
LabReport frame(const LoadedImage &result, const Identity &identity, const QDateTime &when,
                const QString &user)
{
    LabReport report;
    report.name = nameOf(result.path);
    report.title = QStringLiteral("%1: %2").arg(roleTitle(identity.role), report.name);
    QLocale spanish(QLocale::Spanish, QLocale::Spain);
    report.date = spanish.toString(when, QStringLiteral("d 'de' MMMM 'de' yyyy, HH:mm"));
    report.user = user;
    report.steps = numberedSteps(result.lines);
    if (identity.operation) {
        // A picture on the way says so, rather than pose as what the operation makes.
        report.method = identity.firstOfTwo
            ? QStringLiteral("paso 1 de 2 de «%1»").arg(menuCaption(*identity.operation))
            : menuCaption(*identity.operation);
        report.menu = menuPath(*identity.operation).join(QStringLiteral(" › "));
        report.explanation = explanation(*identity.operation);
    } else if (identity.role == Role::View) {
        report.method = QStringLiteral("Vista «%1» de %2, guardada con «Guardar como...» del visor")
                            .arg(identity.view, identity.viewOf);
    } else if (identity.role == Role::Original) {
        report.method = QStringLiteral("La fotografía abierta, alineada por align.exe");
    }
    return report;
}

// The one picture of a file shown alone, with its histogram.
LabReport alone(LabReport report, const QString &role, const LoadedImage &result)
{
    ReportPicture self = shown(role, result);
    self.histogram = histogram(result.grey);
    report.pictures.push_back(std::move(self));
    return report;
}

// What a result is read and measured against: align.pgm beside it, never one made from
// another photograph than the result's chain.
struct Bench
{
    const LoadedImage &result;
    std::optional<LoadedImage> align;
    QString why; // why there is no align.pgm to show

    std::optional<Measures> against(const LoadedImage &image) const
    {
        return align ? measure(image.grey, align->grey) : std::nullopt;
    }
    bool sameSize(const LoadedImage &image) const
    {
        return image.display.size() == result.display.size();
    }
};

// What align.exe would record of `picture` (digest.h).
QString digestOf(const GreyLevels &picture)
{
    return QString::fromStdString(img::digestText(
        img::pictureDigest(picture.width(), picture.height(), [&picture](int y, double *row) {
            picture.row(y, row);
            return row;
        })));
}

// The bench of `result`, its original first among the report's pictures; a stale align.pgm,
// aligned from another photograph or from another picture under the same name, is said in
// the report's warning.
Bench benchFor(const LoadedImage &result, LabReport &report)
{
    Bench bench {result, std::nullopt, {}};
    bench.align = besideResult(result.path.parent_path(), kReference, bench.why);
    if (bench.align) {
        const QString was = photographOf(result.lines), now = photographOf(bench.align->lines);
        const QString recorded = alignDigestOf(result.lines);
        if (!was.isEmpty() && !now.isEmpty() && !sameName(was, now)) {
            report.warning = QStringLiteral("%1 se hizo de %2 y %3 viene de %4: no se da ninguna "
                                            "medida frente a %1.")
                                 .arg(kReference, now, report.name, was);
            bench.why = QStringLiteral("%1 es ahora de otra fotografía (%2).").arg(kReference, now);
            bench.align.reset();
        } else if (!recorded.isEmpty() && recorded != digestOf(bench.align->grey)) {
            report.warning = QStringLiteral("%1 ya no es la imagen de la que viene %2 (se ha "
                                            "alineado otra después): no se da ninguna medida "
                                            "frente a %1.")
                                 .arg(kReference, report.name);
            bench.why = QStringLiteral("%1 es ahora de otra fotografía.").arg(kReference);
            bench.align.reset();
        }
    }
    const QString original = QStringLiteral("Original");
    report.pictures.push_back(bench.align ? shown(original, *bench.align)
                                          : absent(original, kReference, bench.why));
    return bench;
}

// The spectrum of what is judged against align.pgm, a transform of the whole result: taken on
// a worker while the other pictures are read and measured.
QFuture<SpectrumView> spectrumOf(const LoadedImage &result)
{
    return QtConcurrent::run([grey = result.grey] { return spectrumView(grey); });
}

// The distorted image a restoration undoes, if the result's lines name one that is still as
// it was then, after the original among the pictures.
std::optional<LoadedImage> distortedSource(const Bench &bench, LabReport &report)
{
    const QString distorted = QStringLiteral("Distorsionada");
    const QString start = chainStart(bench.result.lines);
    QString sourceName = QStringLiteral("—"), why;
    std::optional<LoadedImage> source;
    if (start.isEmpty())
        why = QStringLiteral("La cabecera de %1 no dice de qué imagen se hizo.").arg(report.name);
    else if (sameName(start, kReference))
        why = QStringLiteral("%1 se hizo directamente de %2.").arg(report.name, kReference);
    else {
        sourceName = start;
        source = besideResult(bench.result.path.parent_path(), start, why);
    }
    if (source && !stillMadeAsThen(source->lines, bench.result.lines)) {
        why = QStringLiteral("%1 se ha vuelto a hacer después: ya no es la imagen de la que "
                             "se hizo %2.")
                  .arg(start, report.name);
        source.reset();
    }
    if (!source) {
        report.pictures.push_back(absent(distorted, sourceName, why));
        return source;
    }
    ReportPicture picture = shown(distorted, *source);
    if (bench.align)
        picture.facts << measuresFacts(bench.against(*source), {});
    const LineMeaning made = lookupLine(source->lines.value(source->lines.size() - 1));
    if (made.operation && made.role == Role::Distortion)
        report.distortion = menuCaption(*made.operation);
    report.pictures.push_back(std::move(picture));
    return source;
}

// The judged file itself with its figures against align.pgm (`lead` before its PSNR), and its
// gain over `source` when there is one.
ReportPicture judgedResult(const QString &role, const QString &lead, const Bench &bench,
                           const LabReport &report, const std::optional<LoadedImage> &source)
{
    ReportPicture self = shown(role, bench.result);
    if (!bench.align) {
        self.facts
            << (report.warning.isEmpty()
                    ? QStringLiteral("Sin %1 con que comparar").arg(kReference)
                    : QStringLiteral("Sin medidas: %1 es de otra fotografía").arg(kReference));
        return self;
    }
    const std::optional<Measures> measures = bench.against(bench.result);
    self.facts << measuresFacts(measures, lead);
    if (source && measures) {
        const std::optional<Measures> before = bench.against(*source);
        if (before && !std::isinf(measures->psnr) && !std::isinf(before->psnr)) {
            const double gain = measures->psnr - before->psnr;
            self.facts << QStringLiteral("Ganancia sobre la distorsionada: %1%2 dB")
                              .arg(gain < 0 ? QStringLiteral("−") : QStringLiteral("+"),
                                   spanishNumber(std::abs(gain), 2));
        }
    }
    return self;
}

// The result's spectrum and its difference with align.pgm; `part` names the result in the
// captions, since a long file name would not fit the column.
void addSpectrumAndDifference(LabReport &report, QFuture<SpectrumView> &taken, const Bench &bench,
                              const QString &part)
{
    const SpectrumView spectrum = taken.takeResult();
    report.spectrum = spectrum.display.width() <= kMaxSide && spectrum.display.height() <= kMaxSide
        ? spectrum.display
        : maxReduced(spectrum.display,
                     spectrum.display.size().scaled(kMaxSide, kMaxSide, Qt::KeepAspectRatio));
    report.spectrumCaption = QStringLiteral("Espectro %1 (log |F|, centrado)").arg(part);
    if (bench.align && bench.sameSize(*bench.align)) {
        const DifferenceView difference = differenceView(bench.result.grey, bench.align->grey);
        report.difference = reduced(difference.display);
        report.differenceCaption
            = QStringLiteral("Diferencia %1 con %2: cero en gris medio, de negro a blanco "
                             "±%3 %4 de gris")
                  .arg(part, kReference)
                  .arg(difference.range)
                  .arg(difference.range == 1 ? QStringLiteral("nivel") : QStringLiteral("niveles"));
    } else {
        report.differenceCaption = QStringLiteral("Sin diferencia con %1: %2")
                                       .arg(kReference,
                                            bench.align ? QStringLiteral("es de otro tamaño")
                                                        : QStringLiteral("no está o no vale"));
    }
}

// On a large photograph, the same 1:1 square of each picture, where the damage is greatest:
// what a restoration had to undo shows best there.
void addDetails(LabReport &report, const Bench &bench, const std::optional<LoadedImage> &source)
{
    const LoadedImage &result = bench.result;
    const long pixels = long(result.grey.width()) * long(result.grey.height());
    if (!bench.align || pixels < kDetailFromPixels || !bench.sameSize(*bench.align))
        return;
    const bool withSource = source && bench.sameSize(*source);
    const LoadedImage &damaged = withSource ? *source : result;
    const QRect region = largestDifference(damaged.grey, bench.align->grey, kDetailSide);
    report.pictures.front().detail = bench.align->display.copy(region);
    if (withSource)
        report.pictures[1].detail = source->display.copy(region);
    report.pictures.back().detail = result.display.copy(region);
    report.detailCaption = QStringLiteral("Detalle a 1:1: %1 × %1 píxeles desde x %2, y %3, "
                                          "donde más difiere %4 de %5")
                               .arg(region.width())
                               .arg(region.left())
                               .arg(region.top())
                               .arg(nameOf(damaged.path), kReference);
}

LabReport restorationReport(LabReport report, const LoadedImage &result)
{
    QFuture<SpectrumView> spectrum = spectrumOf(result);
    const Bench bench = benchFor(result, report);
    const std::optional<LoadedImage> source = distortedSource(bench, report);
    report.pictures.push_back(
        judgedResult(QStringLiteral("Resultado"), QString(), bench, report, source));
    addSpectrumAndDifference(report, spectrum, bench, QStringLiteral("del resultado"));
    addChoice(report, result, source);
    addDetails(report, bench, source);
    return report;
}

LabReport distortionReport(LabReport report, const LoadedImage &result)
{
    QFuture<SpectrumView> spectrum = spectrumOf(result);
    const Bench bench = benchFor(result, report);
    report.pictures.push_back(judgedResult(QStringLiteral("Distorsionada"),
                                           QStringLiteral("Daño: "), bench, report, std::nullopt));
    addSpectrumAndDifference(report, spectrum, bench, QStringLiteral("de la distorsionada"));
    addDetails(report, bench, std::nullopt);
    return report;
}

// The FFT is a picture of frequencies: beside the original, with no figure against it.
LabReport spectrumReport(LabReport report, const LoadedImage &result)
{
    benchFor(result, report);
    report.pictures.push_back(shown(QStringLiteral("Espectro"), result));
    return report;
}

// No figure poses as quality: the two histograms show what the filter did.
LabReport enhancementReport(LabReport report, const LoadedImage &result)
{
    const Bench bench = benchFor(result, report);
    report.pictures.front().histogram
        = bench.align ? std::optional(histogram(bench.align->grey)) : std::nullopt;
    ReportPicture self = shown(QStringLiteral("Resultado"), result);
    self.histogram = histogram(result.grey);
    report.pictures.push_back(std::move(self));
    addDetails(report, bench, std::nullopt);
    return report;
}

// A view saved from the viewer: what is known of it, and no more.
LabReport viewReport(LabReport report, const LoadedImage &result, const QString &view)
{
    return alone(std::move(report), view.left(1).toUpper() + view.mid(1), result);
}

LabReport unknownReport(LabReport report, const LoadedImage &result)
{
    return alone(std::move(report), QStringLiteral("Imagen"), result);
}

} // namespace

LabReport composeReport(const LoadedImage &result, const QDateTime &when, const QString &user)
{
    const Identity identity = identify(result.lines);
    LabReport report = frame(result, identity, when, user);
    // align.pgm, whatever step last wrote it, is the original: shown alone.
    Role role = identity.role;
    if (sameName(report.name, kReference) && role != Role::View && role != Role::Unknown)
        role = Role::Original;
    switch (role) {
    case Role::Restoration:
        return restorationReport(std::move(report), result);
    case Role::Distortion:
        return distortionReport(std::move(report), result);
    case Role::Spectrum:
        return spectrumReport(std::move(report), result);
    case Role::Enhancement:
        return enhancementReport(std::move(report), result);
    case Role::Original:
        return alone(std::move(report), QStringLiteral("Original"), result);
    case Role::View:
        return viewReport(std::move(report), result, identity.view);
    case Role::Unknown:
        break;
    }
    return unknownReport(std::move(report), result);
}

} // namespace report
