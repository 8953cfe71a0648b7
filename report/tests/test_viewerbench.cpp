// The viewer as a lab bench, without a window: SSIM against scikit-image, the spectrum in
// snr.exe's coordinates, the difference's scale, the reduction that keeps single bins, why a
// file is missing, the --medidas report, and what the hand-in report shows.
#include "failurelog.h"
#include "labreport.h"
#include "measures.h"
#include "missingfile.h"
#include "report.h"
#include "testfiles.h"
#include "views.h"

#include "fft.h"
#include "frequency.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <ranges>

using namespace picture;
using namespace report;

namespace {

// The pair scikit-image 0.19.3 measured: a sawtooth and the same with a clamped ripple.
img::Image sawtooth(int w, int h, double ripple)
{
    img::Image image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.at(x, y)
                = std::clamp(((3 * x + 5 * y) % 11) / 10.0 + ripple * std::sin(x * y), 0.0, 1.0);
    return image;
}

} // namespace

class ViewerBenchTest : public QObject
{
    Q_OBJECT

private slots:
    void ssimAgreesWithScikitImage();
    void spectrumIsDrawnWhereSnrLooks();
    void spectrumFromHalfTheBinsIsTheWholeGrids();
    void reductionKeepsSingleBins();
    void differenceIsCentredAndScaled();
    void missingFileNamesItsMakerAndWhyItFailed();
    void measuresReport();
    void handInFindsWhereTheResultCameFrom();
};

void ViewerBenchTest::ssimAgreesWithScikitImage()
{
    const img::Image a = sawtooth(17, 13, 0);
    QCOMPARE(*img::ssim(a, a), 1.0);
    // structural_similarity(a, b, gaussian_weights=True, sigma=1.5,
    //                       use_sample_covariance=False, data_range=1); the window's sums are
    // single precision.
    QVERIFY(std::abs(*img::ssim(a, sawtooth(17, 13, 0.2)) - 0.9219284925173578) < 1e-6);
    img::Image negative = a;
    for (double &v : negative.px)
        v = 1 - v;
    QVERIFY(std::abs(*img::ssim(a, negative) - -0.9897980884484373) < 1e-6);
    // Smaller than the 11 × 11 window, or another size: no SSIM.
    QVERIFY(!img::ssim(sawtooth(10, 13, 0), sawtooth(10, 13, 0)));
    QVERIFY(!measure(testfiles::greyLevels16(a), testfiles::greyLevels16(sawtooth(13, 17, 0))));
}

void ViewerBenchTest::spectrumIsDrawnWhereSnrLooks()
{
    // A cosine of 5 cycles across and 3 down, of amplitude 0.25: its bins are (5, 3) and
    // (-5, -3), drawn at (w/2 + 5, h/2 + 3) and (w/2 - 5, h/2 - 3), each |F| = 255 · 0.25 · w · h
    // / 2 on the 0..255 scale.
    const int w = 32, h = 24;
    img::Image wave(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            wave.at(x, y) = 0.5 + 0.25 * std::cos(2 * M_PI * (5.0 * x / w + 3.0 * y / h));
    const SpectrumView view = spectrumView(testfiles::greyLevels16(wave));
    // Within what rounding the wave to 16 bits leaves.
    const double expected = 255 * 0.25 * w * h / 2;
    QVERIFY(std::abs(view.magnitudeAt(w / 2 + 5, h / 2 + 3) - expected) < 1e-5 * expected);
    QVERIFY(std::abs(view.magnitudeAt(w / 2 - 5, h / 2 - 3) - expected) < 1e-5 * expected);
    // The strongest bins but DC are white, DC beyond them, the floor black.
    QCOMPARE(view.display.pixelColor(w / 2 + 5, h / 2 + 3).red(), 255);
    QCOMPARE(view.display.pixelColor(w / 2 - 5, h / 2 - 3).red(), 255);
    QCOMPARE(view.display.pixelColor(w / 2, h / 2).red(), 255);
    QCOMPARE(view.display.pixelColor(3, 3).red(), 0);
}

void ViewerBenchTest::spectrumFromHalfTheBinsIsTheWholeGrids()
{
    // The spectrum keeps only the bins a real transform stores; its floor, the median, is
    // taken over the whole centred grid all the same. Against the grid drawn in full and its
    // median found by sorting, on even and odd sides.
    for (auto [w, h] : {std::pair {8, 6}, {9, 5}, {7, 8}, {33, 17}}) {
        const GreyLevels grey = testfiles::greyLevels16(sawtooth(w, h, 0.3));
        img::Image values(w, h);
        for (int y = 0; y < h; ++y)
            grey.row(y, &values.px[size_t(y) * size_t(w)]);
        img::Image logs = img::centredMagnitude(img::forward(values));
        for (double &v : logs.px)
            v = std::log1p(v * 255);
        std::vector<double> sorted = logs.px;
        std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(sorted.size() / 2),
                         sorted.end());
        const double low = sorted[sorted.size() / 2];
        double high = -INFINITY;
        for (int i = 0; i < w * h; ++i)
            if (i != (h / 2) * w + w / 2)
                high = std::max(high, logs.px[size_t(i)]);
        const SpectrumView view = spectrumView(grey);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const double level
                    = std::clamp((logs.at(x, y) - low) * 255 / (high - low), 0.0, 255.0);
                QVERIFY2(
                    std::abs(qGray(view.display.pixel(x, y)) - level) <= 0.5 + 1e-6,
                    qPrintable(QStringLiteral("%1 × %2 at (%3, %4)").arg(w).arg(h).arg(x).arg(y)));
                QVERIFY(std::abs(view.magnitudeAt(x, y) - std::expm1(logs.at(x, y)))
                        <= 1e-9 * (1 + std::expm1(logs.at(x, y))));
            }
    }
}

void ViewerBenchTest::reductionKeepsSingleBins()
{
    QImage spectrum(512, 512, QImage::Format_Grayscale8);
    spectrum.fill(QColor(20, 20, 20));
    const QPoint peaks[] = {{301, 17}, {0, 0}, {511, 511}, {256, 255}};
    for (QPoint p : peaks)
        spectrum.setPixelColor(p, QColor(230, 230, 230));
    for (const QSize shown : {QSize(128, 128), QSize(341, 341), QSize(37, 61)}) {
        const QImage reduced = maxReduced(spectrum, shown);
        QCOMPARE(reduced.size(), shown);
        for (QPoint p : peaks) {
            // Screen pixel c shows image pixels [c·512/s, (c+1)·512/s).
            auto cell = [](int i, int s) { return ((i + 1) * s + 511) / 512 - 1; };
            const QPoint at(cell(p.x(), shown.width()), cell(p.y(), shown.height()));
            QCOMPARE(qGray(reduced.pixel(at)), 230);
        }
        // Nothing else lights up: each image pixel lies under one screen pixel.
        int bright = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                bright += qGray(reduced.pixel(x, y)) == 230;
        QCOMPARE(bright, 4);
    }
}

void ViewerBenchTest::differenceIsCentredAndScaled()
{
    // 200 pixels equal, one 40 levels darker than align.pgm, one 3 levels lighter, the rest
    // spread 10 levels up: the range ignores the lone extreme and names 10.
    img::Image reference(20, 11, 0.5), image = reference;
    for (int x = 0; x < 20; ++x)
        image.at(x, 10) += 10 / 255.0;
    image.at(0, 0) -= 40 / 255.0;
    image.at(1, 0) += 3 / 255.0;
    const GreyLevels shown = testfiles::greyLevels16(image),
                     align = testfiles::greyLevels16(reference);
    const DifferenceView view = differenceView(shown, align);
    QCOMPARE(view.range, 10);
    QCOMPARE(qGray(view.display.pixel(5, 5)), 127); // zero, mid grey
    QCOMPARE(qGray(view.display.pixel(5, 10)), 255); // +range, white
    QCOMPARE(qGray(view.display.pixel(0, 0)), 0); // beyond -range, black
    QCOMPARE(qGray(view.display.pixel(1, 0)), 166); // +3 of 10
    QVERIFY(std::abs(differenceAt(shown, align, 0, 0) - -40) < 1e-9);
    QCOMPARE(differenceView(align, align).range, 1);
}

void ViewerBenchTest::missingFileNamesItsMakerAndWhyItFailed()
{
    QCOMPARE(makersOf("DISTOR.PGM"),
             (std::vector<std::string> {"mblur.exe", "blur.exe", "snoise.exe"}));
    QCOMPARE(makersOf("Mov25.pgm"), std::vector<std::string> {"motion.exe"});
    const std::string here = "c:\\qor\\ejecutable\\auxiliares";
    const std::vector<failures::Failure> log {
        {"t1", here, 2, "c:\\qor\\ejecutable\\auxiliares\\motion.exe", "distor.pgm 25 mov25.pgm",
         "motion: no se puede leer el archivo «distor.pgm»: no existe"},
        {"t2", "c:\\otra", 2, "c:\\qor\\ejecutable\\auxiliares\\Inverse.exe", "",
         "inverse: no se puede leer el archivo «psf2A.pgm»: no existe"},
        {"t3", here, 2, "c:\\qor\\ejecutable\\auxiliares\\shuffle.exe", "align.pgm",
         "shuffle: no se puede leer el archivo «align.pgm»: no existe"},
        {"t3", here, 2, "c:\\qor\\ejecutable\\auxiliares\\homo.exe", "shuff.pgm homo.pgm",
         "homo: no se puede leer el archivo «shuff.pgm»: no existe"},
        {"t4", here, 1, "c:\\qor\\ejecutable\\auxiliares\\wiener.exe", "",
         "wiener: k «x» no es un número"},
    };
    QVERIFY(missingFileText("mov25.pgm", here, log)
                .endsWith("motion.exe no pudo leer distor.pgm: no existe. "
                          "¿Aplicó antes una distorsión?"));
    // A chain: homo.exe lacked what shuffle.exe, failing before it, did not make.
    QVERIFY(missingFileText("homo.pgm", here, log)
                .endsWith("homo.exe no pudo leer shuff.pgm: no existe. shuffle.exe no pudo leer "
                          "align.pgm: no existe. ¿Abrió antes una imagen con Archivo > Abrir?"));
    QVERIFY(missingFileText("wiener.pgm", here, log)
                .endsWith("wiener.exe dijo: k «x» no es un número"));
    // A failure in another folder says nothing about this one.
    QVERIFY(missingFileText("Inverso.pgm", here, log).contains("Inverse.exe, que no ha fallado"));
    QVERIFY(missingFileText("psf1A.pgm", here, log).contains("archivo de datos"));
    QVERIFY(missingFileText("nada.pgm", here, log).startsWith("Ningún paso"));
    QCOMPARE(missingFileText("distor.pgm", here, log),
             "Lo escribe mblur.exe, blur.exe o snoise.exe. ¿Aplicó antes una distorsión?");
}

void ViewerBenchTest::measuresReport()
{
    QTemporaryDir dir;
    const dos::Drives drives {QFile::encodeName(dir.filePath("c")).toStdString(),
                              QFile::encodeName(dir.path()).toStdString()};
    qputenv("XDG_STATE_HOME", QFile::encodeName(dir.filePath("state")));
    testfiles::write(dir.filePath("x.pgm"), testfiles::filledPgm8(12, 12, 100));
    const Report missing = measuresFor({"x.pgm"}, drives);
    QCOMPARE(missing.exitStatus, 2);
    QVERIFY2(missing.error.startsWith("i_view32.exe: No se puede abrir la imagen «align.pgm».")
                 && missing.error.contains("Lo escribe align.exe") && !missing.error.contains('\n'),
             qPrintable(missing.error));

    testfiles::write(dir.filePath("Align.pgm"), testfiles::filledPgm8(12, 11, 100));
    const Report sizes = measuresFor({"x.pgm"}, drives);
    QCOMPARE(sizes.exitStatus, 2);
    QVERIFY(sizes.error.contains("12 × 12") && sizes.error.contains("12 × 11"));

    std::vector<int> values(144, 100);
    values[0] = 110;
    testfiles::write(dir.filePath("Align.pgm"), testfiles::pgm8(12, 12, values));
    const Report report = measuresFor({"X.PGM"}, drives);
    QCOMPARE(report.exitStatus, 0);
    // MSE = (10/255)² / 144: PSNR = 20 log10(25.5) + 10 log10(144) = 49.714 dB.
    QVERIFY2(report.lines.starts_with("PSNR 49.714 dB\nSSIM "), report.lines.c_str());
    QCOMPARE(measuresFor({}, drives).exitStatus, 1);
}

void ViewerBenchTest::handInFindsWhereTheResultCameFrom()
{
    QTemporaryDir dir;
    // A PGM whose header holds `lines`, as the tools write them.
    auto write = [&dir](const char *name, int value, const QStringList &lines) {
        QByteArray pgm = testfiles::pgm8(16, 12, std::vector<int>(192, value));
        for (const QString &line : lines | std::views::reverse)
            pgm.insert(3, "# " + line.toUtf8() + '\n');
        testfiles::write(dir.filePath(name), pgm);
    };
    auto reportOn = [&dir](const char *name) {
        const OpenResult opened = loadImage(QFile::encodeName(dir.filePath(name)).toStdString());
        if (!opened.image)
            qFatal("%s", qPrintable(opened.error));
        return composeReport(*opened.image, QDateTime(QDate(2026, 3, 2), QTime(9, 5)), "Ana");
    };
    const QString a = "align.exe camera.pgm", m = "mblur.exe align.pgm 25 distor.pgm",
                  o = "motion.exe distor.pgm 25 mov25.pgm";
    write("align.pgm", 100, {a});
    write("distor.pgm", 90, {a, m});
    write("mov25.pgm", 98, {a, m, o});

    LabReport report = reportOn("mov25.pgm");
    QCOMPARE(report.date, "2 de marzo de 2026, 09:05");
    QCOMPARE(report.pictures[1].name, "distor.pgm");
    QVERIFY(!report.pictures[1].picture.isNull());
    QCOMPARE(report.pictures[1].madeBy, m);
    QStringList steps;
    for (const Step &step : report.steps)
        steps << step.number + ' ' + step.text;
    QCOMPARE(steps, QStringList({"1. " + a, "2. " + m, "3. " + o}));
    QVERIFY(!report.difference.isNull());
    // The figures --medidas prints, with the decimal comma.
    const Measures measures = *measure(testfiles::greyLevels16(img::Image(16, 12, 98 / 255.0)),
                                       testfiles::greyLevels16(img::Image(16, 12, 100 / 255.0)));
    QString printed = QString::fromStdString(picture::measuresReport(measures)).replace('.', ',');
    QCOMPARE(report.pictures[2].facts.mid(1, 2).join('\n') + '\n', printed);

    // The tools keep only the last lines: the result may hold fewer of them than its source.
    write("mov25.pgm", 98, {m, o});
    QVERIFY(!reportOn("mov25.pgm").pictures[1].picture.isNull());
    // distor.pgm made again since: it is not the image the result came from.
    write("distor.pgm", 90, {a, "mblur.exe align.pgm 10 distor.pgm"});
    report = reportOn("mov25.pgm");
    QVERIFY(report.pictures[1].picture.isNull());
    QVERIFY(report.pictures[1].absence.contains("se ha vuelto a hacer"));
    QFile::remove(dir.filePath("distor.pgm"));
    QCOMPARE(reportOn("mov25.pgm").pictures[1].absence, "Falta distor.pgm: no está en la carpeta.");
    // A distortion is shown beside the original, with the damage it did; a photograph whose
    // header says nothing of tools is shown alone.
    write("distor.pgm", 90, {a, m});
    report = reportOn("distor.pgm");
    QCOMPARE(report.pictures.size(), size_t(2));
    QVERIFY(report.pictures[1].facts.join(' ').contains("Daño: PSNR"));
    write("foto.pgm", 90, {"CREATOR: GIMP PNM Filter Version 1.1"});
    QCOMPARE(reportOn("foto.pgm").pictures.size(), size_t(1));

    // Without align.pgm the report is still made, and says what is missing.
    QFile::remove(dir.filePath("align.pgm"));
    report = reportOn("mov25.pgm");
    QVERIFY(report.pictures[0].picture.isNull() && report.difference.isNull());
    QCOMPARE(report.pictures[0].absence, "Falta align.pgm: no está en la carpeta.");
    QCOMPARE(report.pictures[2].facts.last(), "Sin align.pgm con que comparar");
}

QTEST_GUILESS_MAIN(ViewerBenchTest)
#include "test_viewerbench.moc"
