// The report a teacher grades: the part it gives every tool of the suite, no figure against a
// stale align.pgm, a chain past the tools' cap numbered as it was taken, no text drawn past its
// box, over another or over the footer (conclusions at their limit included), and no number
// split from its unit nor a name inside a word by a wrap.
#include "digest.h"
#include "labreport.h"
#include "lookup.h"
#include "menus.h"
#include "reportpdf.h"
#include "testfiles.h"
#include "tool.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <ranges>

using namespace picture;
using namespace report;

class ReportTest : public QObject
{
    Q_OBJECT

private slots:
    void everyToolHasItsPart();
    void staleOriginalGivesNoFigure();
    void fileIsWhatThePageSays();
    void noTextLeavesItsBox();
    void wrapNeverSplitsANumber();
};

namespace {

// A PGM whose header holds `lines`, as the tools write them.
void writeImage(const QString &path, int value, const QStringList &lines)
{
    QByteArray pgm = testfiles::pgm8(16, 12, std::vector<int>(192, value));
    for (const QString &line : lines | std::views::reverse)
        pgm.insert(3, (line.isEmpty() ? QByteArray("#") : "# " + line.toUtf8()) + '\n');
    testfiles::write(path, pgm);
}

LabReport reportOn(const QString &path)
{
    const OpenResult opened = loadImage(QFile::encodeName(path).toStdString());
    if (!opened.image)
        qFatal("%s", qPrintable(opened.error));
    return composeReport(*opened.image, QDateTime(QDate(2026, 3, 2), QTime(9, 5)), "Ana");
}

bool anyFigure(const LabReport &report)
{
    for (const ReportPicture &picture : report.pictures)
        for (const QString &fact : picture.facts)
            if (fact.contains("dB") || fact.contains("SSIM"))
                return true;
    return false;
}

} // namespace

void ReportTest::everyToolHasItsPart()
{
    QTemporaryDir dir;
    const QString origin = "align.exe camera.pgm";
    writeImage(dir.filePath("align.pgm"), 100, {origin});
    for (size_t i = 0; i < ops::kOperationCount; ++i) {
        const ops::Operation &operation = ops::kOperations[i];
        for (const ops::Step *step : {&operation.first, &operation.second}) {
            if (!step->batchFile)
                continue;
            const QString line = ops::commandLine(*step);
            const LineMeaning meaning = lookupLine(line);
            QVERIFY2(meaning.operation == &operation, qPrintable(line));
            // The part follows from which file the operation reads and what it makes.
            const bool fromAlign = QString(operation.first.arguments[0]).toLower() == "align.pgm";
            const Role expected = step->tool == tools::ToolId::Transfor ? Role::Spectrum
                : operation.kind == ops::MethodKind::Distort            ? Role::Distortion
                : fromAlign                                             ? Role::Enhancement
                                                                        : Role::Restoration;
            QVERIFY2(meaning.role == expected, qPrintable(line));
            // The menu names it, and its text is the one the window shows.
            QVERIFY(!menuCaption(operation).isEmpty() && !menuCaption(operation).contains('&'));
            QCOMPARE(explanation(operation), QString::fromUtf8(operation.text));

            // The same tool on a student's own names, one with a blank, keeps its part.
            QStringList words;
            for (const std::string &word : img::lineWords(line.toStdString()))
                words << QString::fromStdString(word);
            for (QString &word : words)
                if (word.endsWith(".pgm", Qt::CaseInsensitive) && !word.startsWith("psf"))
                    word = "\"mi " + word + "\"";
            QCOMPARE(lookupLine(words.join(' ')).role, expected);

            // The report shows it in that part: figures only where a result is judged.
            const QString file = dir.filePath("made.pgm");
            writeImage(file, 90, {origin, line});
            const LabReport report = reportOn(file);
            const bool judged = expected == Role::Restoration || expected == Role::Distortion;
            QVERIFY2(anyFigure(report) == judged, qPrintable(line));
            QVERIFY2(report.title.startsWith("Restauración") == (expected == Role::Restoration),
                     qPrintable(line));
            QVERIFY2(report.spectrum.isNull() == !judged, qPrintable(line));
            // A picture on the way is not presented as the operation.
            const bool firstOfTwo = step == &operation.first && operation.pause > 0;
            QCOMPARE(report.method,
                     firstOfTwo ? "paso 1 de 2 de «" + menuCaption(operation) + "»"
                                : menuCaption(operation));
            QCOMPARE(report.pictures.back().name, "made.pgm");
        }
    }
    // The line the program writes to align a photograph, trailing blank and all, is the origin.
    QCOMPARE(lookupLine(QString::fromStdString(tools::alignCommandLine("camera.pgm"))).role,
             Role::Original);

    // A file no tool of the suite made, and a view saved from the viewer: no part invented.
    writeImage(dir.filePath("foto.pgm"), 90, {"CREATOR: GIMP PNM Filter Version 1.1"});
    LabReport report = reportOn(dir.filePath("foto.pgm"));
    QVERIFY(report.pictures.size() == 1 && !anyFigure(report) && report.method.isEmpty());
    writeImage(
        dir.filePath("vista.pgm"), 90,
        {origin, "motion.exe distor.pgm 25 mov25.pgm", "i_view32.exe espectro de mov25.pgm"});
    report = reportOn(dir.filePath("vista.pgm"));
    QVERIFY(report.pictures.size() == 1 && !anyFigure(report));
    QCOMPARE(report.pictures[0].role, "Espectro");
    QVERIFY(report.title.startsWith("Vista") && report.method.contains("mov25.pgm"));
}

void ReportTest::staleOriginalGivesNoFigure()
{
    QTemporaryDir dir;
    const QString m = "mblur.exe align.pgm 25 distor.pgm", o = "motion.exe distor.pgm 25 mov25.pgm";
    writeImage(dir.filePath("distor.pgm"), 90, {"align.exe camera.pgm", m});
    writeImage(dir.filePath("mov25.pgm"), 98, {"align.exe camera.pgm", m, o});
    writeImage(dir.filePath("align.pgm"), 100, {"align.exe c:\\fotos\\Camera.PGM"});
    QVERIFY(anyFigure(reportOn(dir.filePath("mov25.pgm")))); // the same photograph, other case

    // Another photograph of the same size opened since.
    writeImage(dir.filePath("align.pgm"), 100, {"align.exe otra.pgm"});
    for (const char *name : {"mov25.pgm", "distor.pgm"}) {
        const LabReport report = reportOn(dir.filePath(name));
        QVERIFY2(!anyFigure(report) && report.difference.isNull(), name);
        QVERIFY(report.warning.contains("align.pgm") && report.warning.contains("otra.pgm")
                && report.warning.contains("camera.pgm"));
        QVERIFY(report.pictures[0].picture.isNull());
        // Still a page.
        QString reason;
        QVERIFY(!renderReportPdf(report, reason).isEmpty() && reason.isEmpty());
    }
}

void ReportTest::fileIsWhatThePageSays()
{
    QTemporaryDir dir;
    const QString a = QString("align.exe camera.pgm huella=%1")
                          .arg(QString::fromStdString(img::digestText(
                              img::pictureDigest(img::Image(16, 12, 100 / 255.0)))));
    const QString m = "mblur.exe align.pgm 25 distor.pgm", o = "motion.exe distor.pgm 25 mov25.pgm";
    writeImage(dir.filePath("align.pgm"), 100, {a});
    writeImage(dir.filePath("distor.pgm"), 90, {a, m});

    // A lone "#" another program wrote is no step, last or in between.
    writeImage(dir.filePath("mov25.pgm"), 98, {a, "", m, o, ""});
    LabReport report = reportOn(dir.filePath("mov25.pgm"));
    QCOMPARE(report.steps.size(), 3);
    QVERIFY(report.title.startsWith("Restauración") && !report.method.isEmpty());
    QVERIFY(anyFigure(report) && report.pictures[1].picture.width() > 0);
    QVERIFY(report.warning.isEmpty() && !report.steps[0].text.contains("huella"));

    // Another photograph aligned since under the same name: its pixels tell, not its name.
    writeImage(dir.filePath("align.pgm"), 101, {"align.exe camera.pgm huella=0123456789abcdef"});
    report = reportOn(dir.filePath("mov25.pgm"));
    QVERIFY(!anyFigure(report) && report.difference.isNull()
            && report.pictures[0].picture.isNull());
    QVERIFY(report.warning.startsWith("align.pgm ya no es la imagen de la que viene mov25.pgm"));

    // A chain past the tools' cap: each header counts the steps it left out, one more in the
    // result. distor.pgm is still its source, and the steps keep the numbers they were taken at.
    writeImage(dir.filePath("align.pgm"), 100, {a});
    QStringList blurs;
    for (int i = 1; i <= 14; ++i)
        blurs << QString("mblur.exe d%1.pgm 3 d%2.pgm").arg(i - 1).arg(i);
    writeImage(dir.filePath("distor.pgm"), 90, QStringList {a, "(5 pasos omitidos)"} + blurs);
    const QStringList result
        = QStringList {a, "(6 pasos omitidos)"} + blurs.mid(1) + QStringList {o};
    writeImage(dir.filePath("mov25.pgm"), 98, result);
    report = reportOn(dir.filePath("mov25.pgm"));
    QVERIFY2(!report.pictures[1].picture.isNull(), qPrintable(report.pictures[1].absence));
    QVERIFY(report.pictures[2].facts.join(' ').contains("Ganancia"));
    QCOMPARE(report.steps.size(), size_t(16));
    QCOMPARE(report.steps[1].number + report.steps[1].text, "2–7.(6 pasos omitidos)");
    QCOMPARE(report.steps[2].number + report.steps[2].text, "8." + blurs[1]);
    QCOMPARE(report.steps.back().number, "21.");
    // One step both still show made otherwise: remade, whatever the counts say.
    writeImage(dir.filePath("distor.pgm"), 90,
               QStringList {a, "(5 pasos omitidos)"} + blurs.mid(0, 13)
                   + QStringList {"mblur.exe d13.pgm 5 d14.pgm"});
    QVERIFY(reportOn(dir.filePath("mov25.pgm")).pictures[1].absence.contains("vuelto a hacer"));

    // The photograph's own comment is no step of the chain.
    writeImage(dir.filePath("mov25.pgm"), 98, {"File written by Adobe Photoshop 4.0", a, m, o});
    report = reportOn(dir.filePath("mov25.pgm"));
    QCOMPARE(report.steps.size(), size_t(3));
    QCOMPARE(report.steps[0].number + ' ' + report.steps[0].text, "1. align.exe camera.pgm");
}

void ReportTest::noTextLeavesItsBox()
{
    // The worst a student brings: long names, a 12-bit image, sixteen long steps, a long
    // explanation and conclusions.
    const QString name = "resultado_de_la_prueba_numerocuarenta.pgm"; // 41 characters
    QCOMPARE(name.size(), 41);
    LabReport report;
    report.title = "Restauración de imágenes: " + name;
    report.name = name;
    report.date = "2 de marzo de 2026, 09:05";
    report.user = "María de los Ángeles Fernández-Villaverde";
    report.method = "Retiro Ruido Estructurado";
    report.menu = "Tavelio";
    report.explanation = QString::fromUtf8(ops::findOperation("Retiro")->text);
    report.warning = "align.pgm se hizo de otra_fotografia_mas.pgm y " + name
        + " viene de camera.pgm: no se da ninguna medida frente a align.pgm.";
    QImage picture(400, 300, QImage::Format_Grayscale8);
    picture.fill(128);
    const QString regions = "snr.exe distor.pgm " + name
        + " regiones=3,2,7,6;6,4,10,8;9,6,13,10;12,8,16,12;15,10,19,14;18,12,22,16;21,14,25,18;"
          "24,16,28,20;27,18,31,22;30,20,34,24;33,22,37,26;236,224,240,228;239,226,243,256;"
          "242,228,246,256";
    for (const char *role : {"Original", "Distorsionada", "Resultado"}) {
        ReportPicture shown;
        shown.role = role;
        shown.name = name;
        shown.picture = picture;
        shown.facts = {"4000 × 3000 píxeles · grises de 0 a 4095", "PSNR 73,115 dB", "SSIM 0,99997",
                       "Ganancia sobre la distorsionada: +51,46 dB"};
        shown.madeBy = readableLine(regions);
        shown.histogram = std::array<long, 256> {};
        shown.detail = picture;
        report.pictures.push_back(shown);
    }
    report.spectrum = picture;
    report.spectrumCaption = "Espectro del resultado (log |F|, centrado)";
    report.differenceCaption = "Sin diferencia con align.pgm: es de otro tamaño";
    report.detailCaption = "Detalle a 1:1: 256 × 256 píxeles desde x 1200, y 800";
    for (int i = 0; i < 16; ++i)
        report.steps.push_back({QString("%1.").arg(i + 1), readableLine(regions)});
    // Conclusions at the limit, in the widest letters: a long paragraph, then a line break every
    // few words.
    QString conclusions = QString("MW WM ").repeated(200) + '\n';
    while (conclusionsLength(conclusions + "MW WM\n") + 6 <= kConclusionsLimit)
        conclusions += "MW WM WWM\n";
    conclusions += QString("W").repeated(kConclusionsLimit - conclusionsLength(conclusions));
    QCOMPARE(conclusionsLength(conclusions), kConclusionsLimit);
    report.conclusions = conclusions;

    QString reason;
    std::vector<DrawnBox> drawn;
    QVERIFY(!renderReportPdf(report, reason, &drawn).isEmpty());
    int steps = 0, pages = 1;
    qsizetype written = 0;
    for (size_t i = 0; i < drawn.size(); ++i) {
        const DrawnBox &a = drawn[i];
        pages = std::max(pages, a.page);
        const QString what = QString("página %1: «%2»").arg(a.page).arg(a.text.left(60));
        QVERIFY2(a.widest <= a.box.width() + 0.01, qPrintable(what));
        // Nothing runs over the footer, which alone is drawn below 259 mm.
        const bool footer = a.box.top() >= 259;
        QVERIFY2(a.box.left() >= 0 && a.box.right() <= 180.01 && a.box.top() >= 0
                     && a.box.bottom() <= (footer ? 267.01 : 259.01),
                 qPrintable(what));
        if (a.text.startsWith("MW") || a.text.startsWith("WWW"))
            written += a.text.count('W');
        steps += a.text.startsWith("snr.exe") && a.box.left() > 0 ? 1 : 0;
        // No text over other text, nor over a picture that does not frame it.
        for (size_t j = 0; j < i; ++j) {
            const DrawnBox &b = drawn[j];
            if (a.page != b.page || (a.text.isEmpty() && b.text.isEmpty()))
                continue;
            const QRectF overlap = a.box.intersected(b.box);
            const bool framed = (b.text.isEmpty() && b.box.contains(a.box))
                || (a.text.isEmpty() && a.box.contains(b.box));
            QVERIFY2(overlap.width() < 0.01 || overlap.height() < 0.01 || framed,
                     qPrintable(what + " / «" + b.text.left(60) + "»"));
        }
    }
    QCOMPARE(pages, 2);
    QVERIFY(steps >= 16); // every step, and the madeBy lines besides
    QCOMPARE(written, conclusions.count('W')); // all of the conclusions

    // One character more is refused, with the limit, and nothing is drawn.
    report.conclusions += 'W';
    QVERIFY(renderReportPdf(report, reason).isEmpty());
    QVERIFY(reason.contains(QString::number(kConclusionsLimit)) && !reason.contains('\n'));
}

void ReportTest::wrapNeverSplitsANumber()
{
    // Answers are shown short and Spanish; the header keeps its exact value.
    QCOMPARE(readableLine("wiener.exe distor.pgm psf1A.pgm wiener.pgm k=0.0005424400426132894"),
             QString("wiener.exe distor.pgm psf1A.pgm wiener.pgm k\u00A0=\u00A00,0005424"));
    QCOMPARE(readableLine("wiener.exe distor.pgm psf1A.pgm w.pgm k=0.001 aconsejada=0.000542"),
             QString("wiener.exe distor.pgm psf1A.pgm w.pgm k\u00A0=\u00A00,001 "
                     "(aconsejada\u00A00,000542)"));
    QCOMPARE(readableLine("motion.exe \"mi dis.pgm\" 25 r.pgm"),
             QString("motion.exe \"mi%1dis.pgm\" 25 r.pgm").arg(QChar(0x00A0)));

    const QString line = readableLine(
        "snr.exe distor.pgm retiro.pgm regiones=10,20,30,40;250,256,260,266;1000,2000,3000,4000");
    QFont font("DejaVu Sans Mono");
    font.setPointSizeF(8);
    const QFontMetricsF metrics(font);
    const QStringList regions
        = line.section(QChar(0x00A0) + QString("=") + QChar(0x00A0), 1).split("; ");
    double widest = 0;
    for (const QString &word : line.split(' '))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    for (double width = widest; width < 600; width += 7) {
        const QStringList lines = wrapWords(line, width, metrics);
        for (const QString &piece : lines) {
            QVERIFY(metrics.horizontalAdvance(piece) <= width);
            // Every break falls between words: no line begins or ends inside a number.
            QVERIFY(!piece.startsWith(' ') && !piece.endsWith(' '));
        }
        // Each region is whole on one line.
        for (const QString &region : regions) {
            const QString bare = QString(region).remove(';');
            QVERIFY2(std::ranges::any_of(lines, [&](const QString &l) { return l.contains(bare); }),
                     qPrintable(QString("%1 a %2").arg(bare).arg(width)));
        }
        QCOMPARE(lines.join(' '), line);
    }

    // A number keeps its unit, and two numbers the word between them, at any width.
    const QString facts = "512 × 512 píxeles · grises de 0 a 4095 · PSNR 21,65 dB · 8 bits";
    for (double width = metrics.horizontalAdvance("512 × 512 píxeles"); width < 500; width += 3)
        for (const char *whole : {"512 × 512 píxeles", "0 a 4095", "21,65 dB", "8 bits"})
            QVERIFY2(std::ranges::any_of(wrapWords(facts, width, metrics),
                                         [&](const QString &l) { return l.contains(whole); }),
                     qPrintable(QString("%1 a %2").arg(whole).arg(width)));

    // A name wider than a column is parted after a '_', or elided, never inside a word; and no
    // more lines than asked for are made of a word of any length.
    const double column = metrics.horizontalAdvance(QString(16, 'x')) + 0.5;
    const QStringList parted = wrapWords(
        "motion.exe movimiento_del_objetivo.pgm 25 movimientomovimiento.pgm", column, metrics, 8);
    QCOMPARE(parted.mid(0, 3), QStringList({"motion.exe", "movimiento_del_", "objetivo.pgm 25"}));
    QVERIFY(parted[3].startsWith("movim") && parted[3].contains("…") && parted[3].endsWith(".pgm"));
    const QStringList most = wrapWords(QString("a_").repeated(5000), column, metrics, 3);
    QVERIFY(most.size() == 3 && most.last().endsWith("…"));
}

QTEST_MAIN(ReportTest)
#include "test_report.moc"
