// The reports of i_view32.exe --medidas and --informe.
#include "report.h"

#include "imageload.h"
#include "labreport.h"
#include "measures.h"
#include "readouts.h"
#include "reportpdf.h"

#include <QDir>

namespace report {

using namespace picture;

namespace {

Report failed(const QString &text, int status)
{
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return Report {{}, QStringLiteral("i_view32.exe: ") + line, status};
}

} // namespace

Report measuresFor(const QStringList &arguments, const dos::Drives &drives)
{
    if (arguments.size() != 1 || arguments.front().isEmpty())
        return failed(QStringLiteral("%1 espera una sola imagen. Uso: i_view32.exe %1 imagen")
                          .arg(QString::fromLatin1(kMeasuresOption)),
                      img::kMisuse);
    const OpenResult image = openFromArguments(arguments, drives);
    if (!image.image)
        return failed(image.error, image.exitStatus);
    const OpenResult reference = openFromArguments({QString::fromLatin1(kReferenceName)}, drives);
    if (!reference.image)
        return failed(reference.error, reference.exitStatus);
    const GreyLevels &a = image.image->grey, &b = reference.image->grey;
    const std::optional<Measures> measures = measure(a, b);
    if (!measures)
        return failed(
            QStringLiteral("«%1» mide %2 × %3 píxeles y %4 %5 × %6: no se pueden comparar.")
                .arg(arguments.front())
                .arg(a.width())
                .arg(a.height())
                .arg(QString::fromLatin1(kReferenceName))
                .arg(b.width())
                .arg(b.height()),
            img::kBadInput);
    return Report {measuresReport(*measures), {}, img::kOk};
}

Report handInFor(const QStringList &given, const dos::Drives &drives)
{
    // --conclusiones "TEXTO" may come anywhere after --informe.
    QStringList arguments = given;
    QString conclusions;
    const qsizetype at = arguments.indexOf(QString::fromLatin1(kConclusionsOption));
    if (at >= 0) {
        if (at + 1 >= arguments.size())
            return failed(QStringLiteral("%1 espera el texto de las conclusiones, entre comillas.")
                              .arg(QString::fromLatin1(kConclusionsOption)),
                          img::kMisuse);
        conclusions = arguments[at + 1];
        arguments.remove(at, 2);
    }
    // Refused before anything is read or written: the page would lose what does not fit.
    if (const QString refusal = conclusionsRefusal(conclusions); !refusal.isEmpty())
        return failed(refusal, img::kBadInput);
    if (arguments.size() != 2 || arguments.front().isEmpty() || arguments.back().isEmpty())
        return failed(
            QStringLiteral("%1 espera el PDF y una imagen. Uso: i_view32.exe %1 "
                           "informe.pdf imagen [%2 \"TEXTO\"]")
                .arg(QString::fromLatin1(kHandInOption), QString::fromLatin1(kConclusionsOption)),
            img::kMisuse);
    const QString output = arguments.front();
    if (!output.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        return failed(QStringLiteral("«%1» no acaba en .pdf: el informe es un PDF.").arg(output),
                      img::kMisuse);
    const OpenResult image = openFromArguments({arguments.back()}, drives);
    if (!image.image)
        return failed(image.error, image.exitStatus);
    const QString path = QDir(QFile::decodeName(drives.workingFolder.c_str())).filePath(output);
    LabReport report = composeReport(*image.image, QDateTime::currentDateTime(), currentUserName());
    report.conclusions = conclusions;
    const QString reason = writeReportPdf(report, path);
    if (!reason.isEmpty())
        return failed(
            QStringLiteral("No se puede escribir el informe «%1»: %2").arg(output, reason),
            img::kCannotWrite);
    return Report {{}, {}, img::kOk};
}

} // namespace report
