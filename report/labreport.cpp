// What the hand-in report says.
#include "labreport.h"

#include "dospath.h"
#include "lookup.h"
#include "measures.h"
#include "readouts.h"
#include "tool.h"
#include "views.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>
#include <optional>
#include <system_error>

#include <pwd.h>
#include <unistd.h>

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

QString withoutFolder(const QString &path)
{
    return path.mid(path.lastIndexOf(QRegularExpression(QStringLiteral("[/\\\\]"))) + 1);
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

QString pieceOfHistory(const QString &word)
{
    static const QLocale spanish = [] {
        QLocale locale(QLocale::Spanish, QLocale::Spain);
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return locale;
    }();
    // "name = value", the value kept beside its name on a wrapped line.
    const int equals = word.indexOf(QLatin1Char('='));
    if (equals < 0)
        return word;
    const QString name = word.left(equals), value = word.mid(equals + 1);
    bool number = false;
    const double figure = value.toDouble(&number);
    if (number)
        return QStringLiteral("%1\u00A0=\u00A0%2").arg(name, spanish.toString(figure, 'g', 4));
    // A list of regions: "1,2,3,4;5,6,7,8", each region's numbers kept together.
    QStringList regions = value.split(QLatin1Char(';'));
    for (QString &region : regions)
        region.replace(QLatin1Char(','), QChar(0x00A0));
    return QStringLiteral("%1\u00A0=\u00A0%2").arg(name, regions.join(QStringLiteral("; ")));
}

QImage detailOf(const LoadedImage &image, const QRect &region)
{
    return image.display.copy(region);
}

QString kindTitle(ImageKind kind)
{
    switch (kind) {
    case ImageKind::Restoration:
        return QStringLiteral("Restauración de imágenes");
    case ImageKind::Distortion:
        return QStringLiteral("Distorsión de una imagen");
    case ImageKind::Spectrum:
        return QStringLiteral("Espectro (FFT) de una imagen");
    case ImageKind::Enhancement:
        return QStringLiteral("Mejora de una imagen");
    case ImageKind::Original:
        return QStringLiteral("Imagen alineada");
    case ImageKind::View:
        return QStringLiteral("Vista guardada desde el visor");
    case ImageKind::Unknown:
        break;
    }
    return QStringLiteral("Imagen");
}

} // namespace

QString chainStart(const QStringList &lines)
{
    if (lines.isEmpty())
        return {};
    const LineMeaning last = lookupLine(lines.constLast());
    if (last.arguments.isEmpty()
        || !last.program.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive))
        return {};
    return last.arguments.constFirst();
}

bool stillMadeAsThen(const QStringList &earlier, const QStringList &lines)
{
    const QStringList before = lines.mid(0, lines.size() - 1);
    return earlier.size() >= before.size() && earlier.mid(earlier.size() - before.size()) == before;
}

QString photographOf(const QStringList &lines)
{
    for (qsizetype i = lines.size(); i-- > 0;) {
        const LineMeaning meaning = lookupLine(lines[i]);
        if (meaning.role == Role::Origin)
            return meaning.arguments.isEmpty() ? QString()
                                               : withoutFolder(meaning.arguments.constFirst());
    }
    return {};
}

Identity identify(const QStringList &lines)
{
    Identity identity;
    if (lines.isEmpty())
        return identity;
    const LineMeaning last = lookupLine(lines.constLast());
    if (sameName(last.program, QStringLiteral("i_view32.exe"))) {
        // "i_view32.exe espectro de mov25.pgm"
        if (last.arguments.size() >= 3 && last.arguments[1] == QStringLiteral("de")) {
            identity.kind = ImageKind::View;
            identity.view = last.arguments[0];
            identity.viewOf = last.arguments.mid(2).join(QLatin1Char(' '));
        }
        return identity;
    }
    identity.operation = last.operation;
    switch (last.role) {
    case Role::Origin:
        identity.kind = ImageKind::Original;
        break;
    case Role::Distortion:
        identity.kind = ImageKind::Distortion;
        break;
    case Role::Restoration:
        identity.kind = ImageKind::Restoration;
        break;
    case Role::Spectrum:
        identity.kind = ImageKind::Spectrum;
        break;
    case Role::Enhancement:
        identity.kind = ImageKind::Enhancement;
        break;
    case Role::Unknown:
        identity.kind = ImageKind::Unknown;
        break;
    }
    return identity;
}

QString readableLine(const QString &line)
{
    const std::vector<std::string> words = img::lineWords(line.toStdString());
    if (words.empty() || img::omittedCount(line.toStdString()))
        return line;
    QStringList shown;
    for (const std::string &word : words) {
        const QString text = QString::fromStdString(word);
        // A name with blanks stays quoted, and whole on one line.
        shown << (text.contains(QLatin1Char(' '))
                      ? QStringLiteral("\"%1\"").arg(QString(text).replace(' ', QChar(0x00A0)))
                      : pieceOfHistory(text));
    }
    return shown.join(QLatin1Char(' '));
}

QRect largestDifference(const GreyLevels &a, const GreyLevels &b, int side)
{
    const int width = a.width(), height = a.height();
    side = std::min({side, width, height});
    // Sums over a grid of half-side blocks, then the best square of 2 × 2 blocks.
    const int block = std::max(1, side / 2);
    const int columns = width / block, rows = height / block;
    std::vector<double> sums(size_t(columns) * size_t(rows), 0.0);
    std::vector<float> rowA(static_cast<size_t>(width)), rowB(static_cast<size_t>(width));
    for (int y = 0; y < rows * block; ++y) {
        a.row(y, rowA.data());
        b.row(y, rowB.data());
        double *sum = &sums[size_t(y / block) * size_t(columns)];
        for (int x = 0; x < columns * block; ++x)
            sum[x / block] += std::abs(double(rowA[size_t(x)]) - double(rowB[size_t(x)]));
    }
    QPoint best(0, 0);
    double most = -1;
    for (int row = 0; row + 1 < rows || (row == 0 && rows == 1); ++row)
        for (int column = 0; column + 1 < columns || (column == 0 && columns == 1); ++column) {
            double sum = 0;
            for (int dy = 0; dy < 2 && row + dy < rows; ++dy)
                for (int dx = 0; dx < 2 && column + dx < columns; ++dx)
                    sum += sums[size_t(row + dy) * size_t(columns) + size_t(column + dx)];
            if (sum > most) {
                most = sum;
                best = QPoint(column * block, row * block);
            }
        }
    QRect square(best, QSize(side, side));
    square.moveLeft(std::min(square.left(), width - side));
    square.moveTop(std::min(square.top(), height - side));
    return square;
}

LabReport composeReport(const LoadedImage &result, const QDateTime &when, const QString &user)
{
    LabReport report;
    const QString name = nameOf(result.path);
    const fs::path folder = result.path.parent_path();
    const Identity identity = identify(result.lines);
    // What is judged against align.pgm shows its spectrum, a transform of the whole result:
    // taken on a worker while the other pictures are read and measured.
    const bool judged
        = identity.kind == ImageKind::Restoration || identity.kind == ImageKind::Distortion;
    QFuture<SpectrumView> spectrumTaken;
    if (judged)
        spectrumTaken = QtConcurrent::run([grey = result.grey] { return spectrumView(grey); });
    report.name = name;
    report.title = QStringLiteral("%1: %2").arg(kindTitle(identity.kind), name);
    QLocale spanish(QLocale::Spanish, QLocale::Spain);
    report.date = spanish.toString(when, QStringLiteral("d 'de' MMMM 'de' yyyy, HH:mm"));
    report.user = user;
    for (const QString &line : result.lines)
        report.steps << readableLine(line);
    if (identity.operation) {
        report.method = menuCaption(*identity.operation);
        report.menu = menuPath(*identity.operation).join(QStringLiteral(" › "));
        report.explanation = explanation(*identity.operation);
    } else if (identity.kind == ImageKind::View) {
        report.method = QStringLiteral("Vista «%1» de %2, guardada con «Guardar como...» del visor")
                            .arg(identity.view, identity.viewOf);
    } else if (identity.kind == ImageKind::Original) {
        report.method = QStringLiteral("La fotografía abierta, alineada por align.exe");
    }

    // A view or a file of unknown making: what is known of it, and no more.
    if (identity.kind == ImageKind::View || identity.kind == ImageKind::Unknown) {
        ReportPicture self = shown(identity.kind == ImageKind::View
                                       ? identity.view.left(1).toUpper() + identity.view.mid(1)
                                       : QStringLiteral("Imagen"),
                                   result);
        self.histogram = histogram(result.grey);
        report.pictures.push_back(std::move(self));
        return report;
    }

    // The original: align.pgm beside the result, or the result itself; never one made from
    // another photograph than the chain's.
    const bool isOriginal = sameName(name, kReference) || identity.kind == ImageKind::Original;
    QString why;
    std::optional<LoadedImage> align;
    if (!isOriginal)
        align = besideResult(folder, kReference, why);
    if (align) {
        const QString was = photographOf(result.lines), now = photographOf(align->lines);
        if (!was.isEmpty() && !now.isEmpty() && !sameName(was, now)) {
            report.warning = QStringLiteral("%1 se hizo de %2 y %3 viene de %4: no se da ninguna "
                                            "medida frente a %1.")
                                 .arg(kReference, now, name, was);
            why = QStringLiteral("%1 es ahora de otra fotografía (%2).").arg(kReference, now);
            align.reset();
        }
    }
    const LoadedImage *reference = isOriginal ? &result : align ? &*align : nullptr;
    const QString original = QStringLiteral("Original");
    if (isOriginal) {
        ReportPicture self = shown(original, result);
        self.histogram = histogram(result.grey);
        report.pictures.push_back(std::move(self));
        return report;
    }
    report.pictures.push_back(reference ? shown(original, *reference)
                                        : absent(original, kReference, why));
    const auto against = [reference](const LoadedImage &image) {
        return reference ? measure(image.grey, reference->grey) : std::nullopt;
    };

    // The distorted image of a restoration, if the result's lines name one that is still as
    // it was then.
    std::optional<LoadedImage> source;
    if (identity.kind == ImageKind::Restoration) {
        const QString distorted = QStringLiteral("Distorsionada");
        const QString start = chainStart(result.lines);
        QString sourceName = QStringLiteral("—");
        if (start.isEmpty())
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
        if (source) {
            ReportPicture picture = shown(distorted, *source);
            if (reference)
                picture.facts << measuresFacts(against(*source), {});
            const LineMeaning made = lookupLine(source->lines.value(source->lines.size() - 1));
            if (made.operation && made.role == Role::Distortion)
                report.distortion = menuCaption(*made.operation);
            report.pictures.push_back(std::move(picture));
        } else {
            report.pictures.push_back(absent(distorted, sourceName, why));
        }
    }

    // The file itself, in the part its kind gives it.
    const QString role = identity.kind == ImageKind::Distortion ? QStringLiteral("Distorsionada")
        : identity.kind == ImageKind::Spectrum                  ? QStringLiteral("Espectro")
                                                                : QStringLiteral("Resultado");
    ReportPicture self = shown(role, result);
    const std::optional<Measures> measures = against(result);
    if (judged && !reference)
        self.facts
            << (report.warning.isEmpty()
                    ? QStringLiteral("Sin %1 con que comparar").arg(kReference)
                    : QStringLiteral("Sin medidas: %1 es de otra fotografía").arg(kReference));
    if (judged && reference) {
        self.facts << measuresFacts(
            measures,
            identity.kind == ImageKind::Distortion ? QStringLiteral("Daño: ") : QString());
        if (source && measures) {
            const std::optional<Measures> before = against(*source);
            if (before && !std::isinf(measures->psnr) && !std::isinf(before->psnr)) {
                const double gain = measures->psnr - before->psnr;
                self.facts << QStringLiteral("Ganancia sobre la distorsionada: %1%2 dB")
                                  .arg(gain < 0 ? QStringLiteral("−") : QStringLiteral("+"),
                                       spanishNumber(std::abs(gain), 2));
            }
        }
    }
    report.pictures.push_back(std::move(self));

    if (identity.kind == ImageKind::Enhancement) {
        // No figure poses as quality: the two histograms show what the filter did.
        report.pictures.front().histogram
            = reference ? std::optional(histogram(reference->grey)) : std::nullopt;
        report.pictures.back().histogram = histogram(result.grey);
    }

    // The result's spectrum and its difference with align.pgm, for what is judged against it.
    if (judged) {
        const SpectrumView spectrum = spectrumTaken.takeResult();
        report.spectrum
            = spectrum.display.width() <= kMaxSide && spectrum.display.height() <= kMaxSide
            ? spectrum.display
            : maxReduced(spectrum.display,
                         spectrum.display.size().scaled(kMaxSide, kMaxSide, Qt::KeepAspectRatio));
        // Captions name the picture by its part: a long file name would not fit the column.
        const QString part = identity.kind == ImageKind::Distortion
            ? QStringLiteral("de la distorsionada")
            : QStringLiteral("del resultado");
        report.spectrumCaption = QStringLiteral("Espectro %1 (log |F|, centrado)").arg(part);
        if (reference && reference->display.size() == result.display.size()) {
            const DifferenceView difference = differenceView(result.grey, reference->grey);
            report.difference = reduced(difference.display);
            report.differenceCaption
                = QStringLiteral("Diferencia %1 con %2: cero en gris medio, de negro a blanco "
                                 "±%3 %4 de gris")
                      .arg(part, kReference)
                      .arg(difference.range)
                      .arg(difference.range == 1 ? QStringLiteral("nivel")
                                                 : QStringLiteral("niveles"));
        } else {
            report.differenceCaption = QStringLiteral("Sin diferencia con %1: %2")
                                           .arg(kReference,
                                                reference ? QStringLiteral("es de otro tamaño")
                                                          : QStringLiteral("no está o no vale"));
        }
    }

    // On a large photograph, the same 1:1 square of each picture, where they differ most.
    const long pixels = long(result.grey.width()) * long(result.grey.height());
    if (reference && pixels >= kDetailFromPixels
        && reference->display.size() == result.display.size()
        && identity.kind != ImageKind::Spectrum) {
        // Where the damage is greatest: what the restoration had to undo shows best there.
        const bool withSource = source && source->display.size() == result.display.size();
        const LoadedImage &damaged = withSource ? *source : result;
        const QRect region = largestDifference(damaged.grey, reference->grey, kDetailSide);
        report.pictures.front().detail = detailOf(*reference, region);
        if (withSource)
            report.pictures[1].detail = detailOf(*source, region);
        report.pictures.back().detail = detailOf(result, region);
        report.detailCaption = QStringLiteral("Detalle a 1:1: %1 × %1 píxeles desde x %2, y %3, "
                                              "donde más difiere %4 de %5")
                                   .arg(region.width())
                                   .arg(region.left())
                                   .arg(region.top())
                                   .arg(nameOf(damaged.path), kReference);
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

} // namespace report
