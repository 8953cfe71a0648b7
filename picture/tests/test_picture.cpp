// A picture without a window: the status texts, PSNR against align.pgm, opening files by
// case-blind name, and the error texts instead of an empty window.
#include "imageload.h"
#include "readouts.h"
#include "testfiles.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

using namespace picture;

namespace {

fs::path native(const QString &path)
{
    return fs::path(QFile::encodeName(path).toStdString());
}

dos::Drives drivesAt(const QTemporaryDir &dir)
{
    return dos::Drives {native(dir.filePath(QStringLiteral("drive_c"))), native(dir.path())};
}

// What the window's status bar compares the image with: align.pgm beside it, if it qualifies.
QString comparisonFor(const LoadedImage &image)
{
    const std::optional<LoadedImage> reference = referenceFor(image);
    return reference ? comparisonText(image.grey, reference->grey, QStringLiteral("align.pgm"))
                     : QString();
}

GreyLevels constant(int w, int h, double value)
{
    return testfiles::greyLevels16(img::Image(w, h, value));
}

} // namespace

class PictureTest : public QObject
{
    Q_OBJECT

private slots:
    void pixelTextOnEightAndSixteenBits();
    void psnrTextUsesDecimalComma();
    void comparisonNeedsSameSize();
    void comparisonFileBesideTheImage();
    void comparisonFromFiles();
    void loadsEightBitPgm();
    void loadsSixteenBitPgm();
    void loadsWhatQtReads();
    void namesAreCaseBlind();
    void failuresGiveSpanishTexts();
};

void PictureTest::pixelTextOnEightAndSixteenBits()
{
    QCOMPARE(pixelText(QPoint(120, 45), 183 / 255.0, 255),
             QStringLiteral("x 120, y 45 · gris 183"));
    // 47031 / 65535 is 183.0 on 0..255: the 16-bit distorted image reads like its 8-bit twin.
    QCOMPARE(pixelText(QPoint(3, 2), 47031 / 65535.0, 65535),
             QStringLiteral("x 3, y 2 · gris 47031 de 65535 (183 en 0–255)"));
    QCOMPARE(pixelText(QPoint(0, 0), 1.0, 65535),
             QStringLiteral("x 0, y 0 · gris 65535 de 65535 (255 en 0–255)"));
    // Filters may leave values just outside 0..1; the status bar shows what the file holds.
    QCOMPARE(pixelText(QPoint(0, 0), -0.01, 255), QStringLiteral("x 0, y 0 · gris 0"));
    QCOMPARE(pixelText(QPoint(0, 0), 1.01, 255), QStringLiteral("x 0, y 0 · gris 255"));
    QCOMPARE(summaryText(QSize(512, 480), 65535), QStringLiteral("512 × 480 píxeles · 16 bits"));
    QCOMPARE(summaryText(QSize(8, 8), 1023), QStringLiteral("8 × 8 píxeles · grises de 0 a 1023"));
}

void PictureTest::psnrTextUsesDecimalComma()
{
    const QString align = QStringLiteral("align.pgm");
    QCOMPARE(psnrText(34.2, align), QStringLiteral("PSNR frente a align.pgm: 34,2 dB"));
    QCOMPARE(psnrText(34.26, align), QStringLiteral("PSNR frente a align.pgm: 34,3 dB"));
    QCOMPARE(psnrText(7, align), QStringLiteral("PSNR frente a align.pgm: 7,0 dB"));
    QCOMPARE(psnrText(1234.5, align), QStringLiteral("PSNR frente a align.pgm: 1234,5 dB"));
    const QString same = psnrText(std::numeric_limits<double>::infinity(), align);
    QVERIFY2(same.contains(QStringLiteral("∞ dB")), qPrintable(same));
    QVERIFY(same.contains(QStringLiteral("idénticas")));
    QCOMPARE(spanishNumber(0.05, 2), QStringLiteral("0,05"));
}

void PictureTest::comparisonNeedsSameSize()
{
    const QString align = QStringLiteral("align.pgm");
    // A uniform error of 0.1 is an MSE of 0.01: 20 dB.
    QCOMPARE(comparisonText(constant(4, 3, 0.5), constant(4, 3, 0.6), align),
             QStringLiteral("PSNR frente a align.pgm: 20,0 dB"));
    QVERIFY(comparisonText(constant(4, 3, 0.5), constant(4, 3, 0.5), align).contains("∞"));
    // The 8-bit levels of a bitmap and the same levels on 16 bits are one picture.
    QImage eight(256, 1, QImage::Format_Grayscale8);
    img::Image sixteen(256, 1), offByOne(256, 1);
    for (int v = 0; v < 256; ++v) {
        eight.scanLine(0)[v] = uchar(v);
        sixteen.at(v, 0) = v / 255.0;
        offByOne.at(v, 0) = (257 * v + (v < 255 ? 1 : -1)) / 65535.0;
    }
    const GreyLevels bitmap(eight, 255);
    QVERIFY(comparisonText(testfiles::greyLevels16(sixteen), bitmap, align).contains("∞"));
    // A 16-bit image one level off everywhere is 96,3 dB, not identical.
    QCOMPARE(comparisonText(testfiles::greyLevels16(offByOne), bitmap, align),
             QStringLiteral("PSNR frente a align.pgm: 96,3 dB"));
    QVERIFY(comparisonText(constant(4, 3, 0.5), constant(3, 4, 0.5), align).isEmpty());
    QVERIFY(comparisonText(constant(4, 3, 0.5), constant(5, 3, 0.5), align).isEmpty());
}

void PictureTest::comparisonFileBesideTheImage()
{
    QTemporaryDir dir;
    const fs::path folder = native(dir.path());
    const fs::path distor = folder / "distor.pgm";
    testfiles::write(dir.filePath("distor.pgm"), testfiles::filledPgm8(2, 2, 0));
    QVERIFY(!comparisonFile(distor)); // nothing to compare with yet

    testfiles::write(dir.filePath("Align.PGM"), testfiles::filledPgm8(2, 2, 0));
    QCOMPARE(comparisonFile(distor), folder / "Align.PGM");
    // The reference itself is not compared with itself, whatever case it was asked by.
    QVERIFY(!comparisonFile(folder / "Align.PGM"));
    QVERIFY(!comparisonFile(folder / "ALIGN.pgm"));

    // A folder called align.pgm is no reference.
    QTemporaryDir other;
    QVERIFY(QDir(other.path()).mkdir(QStringLiteral("align.pgm")));
    QVERIFY(!comparisonFile(native(other.path()) / "x.pgm"));
}

void PictureTest::comparisonFromFiles()
{
    QTemporaryDir dir;
    testfiles::write(dir.filePath("align.pgm"), testfiles::pgm8(2, 1, {100, 200}));
    // The 16-bit distorted image: 100/255 and 210/255 exactly on its own scale.
    testfiles::write(dir.filePath("distor.pgm"), testfiles::pgm16(2, 1, {25700, 53970}));
    testfiles::write(dir.filePath("small.pgm"), testfiles::pgm8(1, 1, {100}));
    QImage twin(2, 1, QImage::Format_Grayscale8);
    twin.setPixel(0, 0, qRgb(100, 100, 100));
    twin.setPixel(1, 0, qRgb(200, 200, 200));
    QVERIFY(twin.save(dir.filePath("twin.bmp"), "BMP"));

    const OpenResult distor = loadImage(native(dir.filePath("distor.pgm")));
    QVERIFY2(distor.image, qPrintable(distor.error));
    // MSE = (10/255)^2 / 2, so PSNR = 20 log10(255/10) + 10 log10(2) = 31.1 dB.
    QCOMPARE(comparisonFor(*distor.image), QStringLiteral("PSNR frente a align.pgm: 31,1 dB"));

    const OpenResult small = loadImage(native(dir.filePath("small.pgm")));
    QVERIFY(small.image);
    QVERIFY(comparisonFor(*small.image).isEmpty());

    // The bitmap the student opened and its PGM twin are the same picture.
    const OpenResult bitmap = loadImage(native(dir.filePath("twin.bmp")));
    QVERIFY2(bitmap.image, qPrintable(bitmap.error));
    QVERIFY(comparisonFor(*bitmap.image).contains(QStringLiteral("∞ dB")));

    // An unreadable reference leaves the status bar without a PSNR, not the viewer without a
    // picture.
    testfiles::write(dir.filePath("align.pgm"), QByteArray("P5\n2 1\n255\n"));
    QVERIFY(comparisonFor(*distor.image).isEmpty());
}

void PictureTest::loadsEightBitPgm()
{
    QTemporaryDir dir;
    testfiles::write(dir.filePath("a.pgm"), testfiles::pgm8(3, 2, {0, 50, 100, 150, 200, 255}));
    const OpenResult binary = loadImage(native(dir.filePath("a.pgm")));
    QVERIFY2(binary.image, qPrintable(binary.error));
    const LoadedImage &image = *binary.image;
    QCOMPARE(image.display.size(), QSize(3, 2));
    QCOMPARE(image.maxval, 255);
    QCOMPARE(image.display.format(), QImage::Format_Grayscale8);
    QCOMPARE(qGray(image.display.pixel(1, 0)), 50);
    QCOMPARE(qGray(image.display.pixel(2, 1)), 255);
    QCOMPARE(image.grey.at(0, 1), 150 / 255.0);

    // Plain (ASCII) PGM with a comment and a maxval of its own.
    testfiles::write(dir.filePath("b.pgm"), QByteArray("P2\n# hecho a mano\n2 1\n15\n0 15\n"));
    const OpenResult plain = loadImage(native(dir.filePath("b.pgm")));
    QVERIFY2(plain.image, qPrintable(plain.error));
    QCOMPARE(plain.image->maxval, 15);
    QCOMPARE(qGray(plain.image->display.pixel(1, 0)), 255);
    QCOMPARE(pixelText(QPoint(1, 0), plain.image->grey.at(1, 0), plain.image->maxval),
             QStringLiteral("x 1, y 0 · gris 15 de 15 (255 en 0–255)"));
}

void PictureTest::loadsSixteenBitPgm()
{
    QTemporaryDir dir;
    // 51500 is 200.4 on 0..255 but 201 by its high byte: the display must scale, not shift.
    testfiles::write(dir.filePath("distor.pgm"),
                     testfiles::pgm16(5, 1, {0, 47031, 257 * 100 + 128, 65535, 51500}));
    const OpenResult opened = loadImage(native(dir.filePath("distor.pgm")));
    QVERIFY2(opened.image, qPrintable(opened.error));
    const LoadedImage &image = *opened.image;
    QCOMPARE(image.maxval, 65535);
    QCOMPARE(qGray(image.display.pixel(0, 0)), 0);
    QCOMPARE(qGray(image.display.pixel(1, 0)), 183);
    QCOMPARE(qGray(image.display.pixel(2, 0)), 100); // 25828 / 257 = 100.498
    QCOMPARE(qGray(image.display.pixel(3, 0)), 255);
    QCOMPARE(qGray(image.display.pixel(4, 0)), 200);
    QCOMPARE(pixelText(QPoint(1, 0), image.grey.at(1, 0), image.maxval),
             QStringLiteral("x 1, y 0 · gris 47031 de 65535 (183 en 0–255)"));
}

void PictureTest::loadsWhatQtReads()
{
    QTemporaryDir dir;
    QImage grey(5, 4, QImage::Format_Grayscale8);
    grey.fill(0);
    grey.setPixel(4, 3, qRgb(183, 183, 183));
    QVERIFY(grey.save(dir.filePath("camera.BMP"), "BMP"));
    const OpenResult bitmap = loadImage(native(dir.filePath("camera.BMP")));
    QVERIFY2(bitmap.image, qPrintable(bitmap.error));
    QCOMPARE(bitmap.image->display.size(), QSize(5, 4));
    QCOMPARE(bitmap.image->maxval, 255);
    QCOMPARE(pixelText(QPoint(4, 3), bitmap.image->grey.at(4, 3), 255),
             QStringLiteral("x 4, y 3 · gris 183"));

    // 16-bit grey PNG keeps its own scale.
    QImage deep(2, 1, QImage::Format_Grayscale16);
    reinterpret_cast<quint16 *>(deep.scanLine(0))[0] = 1000;
    reinterpret_cast<quint16 *>(deep.scanLine(0))[1] = 47031;
    QVERIFY(deep.save(dir.filePath("deep.png"), "PNG"));
    const OpenResult png = loadImage(native(dir.filePath("deep.png")));
    QVERIFY2(png.image, qPrintable(png.error));
    QCOMPARE(png.image->maxval, 65535);
    QCOMPARE(std::lround(png.image->grey.at(1, 0) * 65535), 47031L);
    QCOMPARE(qGray(png.image->display.pixel(1, 0)), 183);

    // Colour keeps its colours on screen; the status bar reads luminance.
    QImage colour(1, 1, QImage::Format_RGB32);
    colour.setPixel(0, 0, qRgb(255, 0, 0));
    QVERIFY(colour.save(dir.filePath("red.png"), "PNG"));
    const OpenResult red = loadImage(native(dir.filePath("red.png")));
    QVERIFY2(red.image, qPrintable(red.error));
    QCOMPARE(red.image->display.pixel(0, 0), qRgb(255, 0, 0));
    QVERIFY(std::abs(red.image->grey.at(0, 0) - 0.299) < 1e-9);
}

void PictureTest::namesAreCaseBlind()
{
    QTemporaryDir dir;
    testfiles::write(dir.filePath("mov25.pgm"), testfiles::filledPgm8(2, 2, 9));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Sub")));
    testfiles::write(dir.filePath("Sub/Inverso.pgm"), testfiles::filledPgm8(2, 2, 9));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("drive_c/irfanview")));
    testfiles::write(dir.filePath("drive_c/irfanview/Psf1A.pgm"), testfiles::filledPgm8(2, 2, 9));
    const dos::Drives drives = drivesAt(dir);

    const OpenResult opened = openFromArguments({QStringLiteral("Mov25.pgm")}, drives);
    QVERIFY2(opened.image, qPrintable(opened.error));
    QCOMPARE(opened.image->path.filename().string(), std::string("mov25.pgm"));

    const OpenResult nested = openFromArguments({QStringLiteral("sub\\INVERSO.PGM")}, drives);
    QVERIFY2(nested.image, qPrintable(nested.error));
    QCOMPARE(nested.image->path, native(dir.filePath("Sub/Inverso.pgm")));

    const OpenResult onDriveC
        = openFromArguments({QStringLiteral("C:\\IrfanView\\psf1a.pgm")}, drives);
    QVERIFY2(onDriveC.image, qPrintable(onDriveC.error));
    QCOMPARE(onDriveC.image->path.filename().string(), std::string("Psf1A.pgm"));

    const OpenResult absolute
        = openFromArguments({dir.filePath("MOV25.PGM")}, dos::Drives {"/nowhere", "/"});
    QVERIFY2(absolute.image, qPrintable(absolute.error));

    const OpenResult upward = openFromArguments(
        {QStringLiteral("../MOV25.pgm")}, dos::Drives {"/nowhere", native(dir.filePath("Sub"))});
    QVERIFY2(upward.image, qPrintable(upward.error));
    QCOMPARE(upward.image->path, native(dir.filePath("mov25.pgm")));
}

void PictureTest::failuresGiveSpanishTexts()
{
    QTemporaryDir dir;
    const dos::Drives drives = drivesAt(dir);
    testfiles::write(dir.filePath("corto.pgm"), QByteArray("P5\n4 4\n255\nab"));
    testfiles::write(dir.filePath("vacio.pgm"), QByteArray());
    testfiles::write(dir.filePath("roto.bmp"), QByteArray("BM esto no es un mapa de bits"));
    testfiles::write(dir.filePath("notas.txt"), QByteArray("hola"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("carpeta")));

    struct Case
    {
        QStringList arguments;
        int status;
        QString mustContain;
    };
    const Case cases[] = {
        {{}, img::kMisuse, QStringLiteral("Uso: i_view32.exe imagen")},
        {{QString()}, img::kMisuse, QStringLiteral("No se indicó")},
        {{QStringLiteral("a.pgm"), QStringLiteral("b.pgm")},
         img::kMisuse,
         QStringLiteral("2 argumentos")},
        {{QStringLiteral("Mov50.pgm")}, img::kBadInput, QStringLiteral("«Mov50.pgm».\nNo existe")},
        {{QStringLiteral("corto.pgm")}, img::kBadInput, QStringLiteral("«corto.pgm»")},
        {{QStringLiteral("VACIO.pgm")}, img::kBadInput, QStringLiteral("está vacío")},
        {{QStringLiteral("roto.bmp")}, img::kBadInput, QStringLiteral("«roto.bmp»")},
        {{QStringLiteral("notas.txt")}, img::kBadInput, QStringLiteral("formato conocido")},
        {{QStringLiteral("carpeta")}, img::kBadInput, QStringLiteral("Es una carpeta")},
        {{QStringLiteral("q:\\x.pgm")}, img::kBadInput, QStringLiteral("La unidad no existe")},
    };
    for (const Case &c : cases) {
        const OpenResult result = openFromArguments(c.arguments, drives);
        const QString label = c.arguments.join(QLatin1Char(' '));
        QVERIFY2(!result.image, qPrintable(label));
        QVERIFY2(result.exitStatus == c.status, qPrintable(label));
        QVERIFY2(result.error.contains(c.mustContain), qPrintable(label + ": " + result.error));
    }
    // The missing file's message says where it was looked for, as the program names folders,
    // and which tool makes it.
    qputenv("XDG_STATE_HOME", QFile::encodeName(dir.filePath("state")));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("drive_c/qor")));
    const OpenResult missing = openFromArguments(
        {QStringLiteral("Mov50.pgm")}, dos::Drives {drives.driveC, drives.driveC / "qor"});
    QVERIFY2(missing.error.contains(QStringLiteral("No existe en la carpeta c:\\qor.\nLo escribe "
                                                   "motion.exe, que no ha fallado")),
             qPrintable(missing.error));
}

QTEST_GUILESS_MAIN(PictureTest)
#include "test_picture.moc"
