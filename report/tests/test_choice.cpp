// The regions a structured-noise removal zeroed reach the report's spectra where snr.exe took
// them: its "regiones=" word read corner for corner, and the boxes drawn on those bins.
#include "choice.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <ranges>

using namespace report;

class ChoiceTest : public QObject
{
    Q_OBJECT

private slots:
    void regionsAreTheToolsCoordinates();
    void boxesFallOnTheZeroedBins();
};

void ChoiceTest::regionsAreTheToolsCoordinates()
{
    const QString line = QStringLiteral("snr.exe distor.pgm retiro.pgm regiones=10,20,30,40;"
                                        "52,61,50,60 propuestas=1,1,2,2");
    const std::vector<QRect> regions = zeroedRegions(line);
    QCOMPARE(regions.size(), size_t(2));
    QCOMPARE(regions[0], QRect(QPoint(10, 20), QPoint(30, 40))); // corners included
    QCOMPARE(regions[1], QRect(QPoint(50, 60), QPoint(52, 61))); // corners in either order
    QVERIFY(zeroedRegions(QStringLiteral("snr.exe a.pgm b.pgm regiones=ninguna")).empty());
    QVERIFY(zeroedRegions(QStringLiteral("snr.exe a.pgm b.pgm regiones=1,2,3")).empty());
}

void ChoiceTest::boxesFallOnTheZeroedBins()
{
    QTemporaryDir dir;
    const auto write = [&dir](const QString &name, const QStringList &lines) {
        QByteArray pgm = testfiles::pgm8(40, 30, std::vector<int>(1200, 90));
        for (const QString &line : lines | std::views::reverse)
            pgm.insert(3, "# " + line.toUtf8() + '\n');
        testfiles::write(dir.filePath(name), pgm);
    };
    const QStringList chain {QStringLiteral("align.exe foto.pgm"),
                             QStringLiteral("snoise.exe align.pgm distor.pgm")};
    write(QStringLiteral("distor.pgm"), chain);
    write(QStringLiteral("retiro.pgm"),
          chain + QStringList {QStringLiteral("snr.exe distor.pgm retiro.pgm regiones=5,4,34,25")});
    const auto load = [&dir](const char *name) {
        return picture::loadImage(QFile::encodeName(dir.filePath(name)).toStdString()).image;
    };
    const std::optional<picture::LoadedImage> result = load("retiro.pgm");
    QVERIFY(result);
    LabReport report;
    report.spectrum = QImage(40, 30, QImage::Format_Grayscale8);
    report.spectrum.fill(0);
    addChoice(report, *result, load("distor.pgm"));
    for (const QImage &spectrum : {report.spectrum, report.spectrumBefore}) {
        QCOMPARE(spectrum.size(), QSize(40, 30));
        // The box runs just outside the region (5, 4)-(34, 25); its bins are left as they were.
        for (const QPoint outside :
             {QPoint(20, 3), QPoint(35, 15), QPoint(20, 26), QPoint(4, 15)}) {
            const QColor box = spectrum.pixelColor(outside);
            QVERIFY2(box.red() > 200 && box.green() < 120, "no box around the region");
        }
        for (const QPoint inside : {QPoint(20, 4), QPoint(34, 15), QPoint(20, 25), QPoint(5, 15)}) {
            const QColor bin = spectrum.pixelColor(inside);
            QVERIFY2(bin.red() == bin.green(), "the box covers a zeroed bin");
        }
    }
}

QTEST_MAIN(ChoiceTest)
#include "test_choice.moc"
