// tavelio-importar as a teacher runs it: any picture Qt reads becomes a grey bitmap whose twin
// "A&brir..." finds; bad names and pictures are refused with nothing written.
#include "dospath.h"
#include "filecommands.h"
#include "photo.h"
#include "pnm.h"
#include "testenv.h"

#include <QProcess>
#include <QtTest>

namespace {

struct Run
{
    int status;
    QString out;
    QString err;
};

Run runImportar(const testenv::Drive &drive, const QStringList &arguments)
{
    QProcess process;
    process.setWorkingDirectory(drive.root.path());
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral(TAVELIO_BIN_DIR "/tavelio-importar"), arguments);
    process.waitForFinished(20000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// A colour picture with a different grey in every pixel row.
QString photo(const testenv::Drive &drive, const QString &name, int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(4 * y % 256, 255 - x % 256, 60));
    const QString path = drive.root.path() + QLatin1Char('/') + name;
    return picture.save(path) ? path : QString();
}

} // namespace

class ImportarTest : public QObject
{
    Q_OBJECT

private slots:
    void everyFormatBecomesAGreyBitmapAndItsTwin()
    {
        testenv::Drive drive;
        for (const char *format : {"png", "jpg", "tif", "bmp"}) {
            const QString source = photo(drive, QStringLiteral("foto.%1").arg(format), 64, 48);
            QVERIFY2(!source.isEmpty(), format);
            const QString name = QStringLiteral("foto_%1").arg(format);
            const Run run = runImportar(drive, {source, name});
            QVERIFY2(run.status == 0, qPrintable(run.err));

            const QImage bitmap(drive.path(name + ".BMP"));
            QVERIFY(bitmap.allGray());
            QCOMPARE(bitmap.size(), QSize(64, 48));
            // The open command's own cut leads from the bitmap to the twin, which holds the
            // bitmap's grey levels.
            const std::string dosName
                = dos::toDos(drive.path(name + ".BMP").toStdString(), drive.drives);
            const QString twin = *app::pgmTwinName(QString::fromStdString(dosName));
            const img::Image pgm = img::readPnm(drive.path(twin).toStdString());
            QCOMPARE(pgm.width, 64);
            for (int y = 0; y < 48; y += 7)
                QCOMPARE(qRound(pgm.at(9, y) * 255), qGray(bitmap.pixel(9, y)));
        }
    }

    void sidesThatLoseSpectrumColumnsAreCroppedOnRequest()
    {
        for (int side = 3; side <= 2100; ++side) {
            const int crop = importar::pixelsToCrop(side);
            QVERIFY(crop <= 2);
            QCOMPARE(crop == 0, importar::lossyMotionLength(side) == 0);
            QCOMPARE(importar::lossyMotionLength(side - crop), 0);
        }
        testenv::Drive drive;
        const QString source = photo(drive, QStringLiteral("ancha.png"), 600, 250);
        Run run = runImportar(drive, {source});
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.contains(QStringLiteral("aviso: el ancho, 600")));
        QVERIFY(run.err.contains(QStringLiteral("recortar 1 columna lo evita")));
        QVERIFY(run.err.contains(QStringLiteral("recortar 1 fila lo evita")));
        QCOMPARE(QImage(drive.path("ancha.BMP")).size(), QSize(600, 250));
        run = runImportar(drive,
                          {QStringLiteral("--recortar"), QStringLiteral("--reemplazar"), source});
        QCOMPARE(run.status, 0);
        QCOMPARE(QImage(drive.path("ancha.BMP")).size(), QSize(599, 249));
        QCOMPARE(img::readPnm(drive.path("ancha.pgm").toStdString()).width, 599);
    }

    void photographsComeDownToTheTeachingSizeUnlessKeptWhole()
    {
        for (const QSize size : {QSize(4000, 3000), QSize(900, 2000), QSize(1024, 700)}) {
            const QSize scaled = importar::teachingSize(QImage(size, QImage::Format_RGB32)).size();
            QCOMPARE(std::max(scaled.width(), scaled.height()),
                     std::min(std::max(size.width(), size.height()), importar::kTeachingSide));
            QVERIFY(std::abs(scaled.width() * size.height() - scaled.height() * size.width())
                    <= std::max(size.width(), size.height()));
        }
        // The warning and the crop follow the size written: 2000 x 1250 is written 1024 x 640,
        // whose height shares 10 with a motion length; kept whole, its width does.
        testenv::Drive drive;
        const QString source = photo(drive, QStringLiteral("grande.png"), 2000, 1250);
        Run run = runImportar(drive, {QStringLiteral("--recortar"), source});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QVERIFY(run.err.contains(QStringLiteral("el alto, 640")));
        QVERIFY(run.out.contains(QStringLiteral("reducida de 2000x1250")));
        QCOMPARE(QImage(drive.path("grande.BMP")).size(), QSize(1024, 639));
        QCOMPARE(img::readPnm(drive.path("grande.pgm").toStdString()).height, 639);
        run = runImportar(drive,
                          {QStringLiteral("--tamano-completo"), QStringLiteral("--reemplazar"),
                           QStringLiteral("--sin-recortar"), source});
        QVERIFY(run.err.contains(QStringLiteral("el ancho, 2000")));
        QCOMPARE(QImage(drive.path("grande.BMP")).size(), QSize(2000, 1250));
    }

    void badNamesAndPicturesAreRefusedWithNothingWritten()
    {
        testenv::Drive drive;
        const QString source = photo(drive, QStringLiteral("foto.png"), 32, 32);
        const QString text
            = testenv::writeFile(drive.onDriveC(QStringLiteral("nota.png")), "no es una imagen\n");
        const QStringList before = QDir(drive.working()).entryList(QDir::Files);

        const QStringList names {QStringLiteral("mi foto"), QStringLiteral("фото"),
                                 QStringLiteral("distor"),  QStringLiteral("Psf1A"),
                                 QStringLiteral("a\\b"),    QStringLiteral("-x"),
                                 QStringLiteral("a:b")};
        for (const QString &name : names) {
            const Run run = runImportar(drive, {source, QStringLiteral("--"), name});
            QVERIFY2(run.status != 0, qPrintable(name));
            QVERIFY2(run.err.startsWith(QStringLiteral("tavelio-importar: ")), qPrintable(run.err));
        }
        QVERIFY(runImportar(drive, {source, QStringLiteral("a:b")})
                    .err.contains(QStringLiteral("no puede llevar «:»")));
        const Run unreadable = runImportar(drive, {text});
        QVERIFY(unreadable.err.contains(QStringLiteral("no se puede leer la imagen")));
        QVERIFY(unreadable.status != 0);
        QCOMPARE(QDir(drive.working()).entryList(QDir::Files), before);
    }

    void linksUnderTheNameAreReplacedNotWrittenThrough()
    {
        testenv::Drive drive;
        const QString source = photo(drive, QStringLiteral("foto.png"), 32, 32);
        const QString elsewhere
            = testenv::writeFile(drive.onDriveC(QStringLiteral("ajeno")), "suyo");
        QVERIFY(QFile::link(elsewhere, drive.path(QStringLiteral("foto.BMP"))));
        QVERIFY(QFile::link(elsewhere, drive.path(QStringLiteral("foto.pgm"))));
        QVERIFY(runImportar(drive, {source}).status != 0); // there already: --reemplazar
        const Run run = runImportar(drive, {QStringLiteral("--reemplazar"), source});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QFile theirs(elsewhere);
        QVERIFY(theirs.open(QIODevice::ReadOnly));
        QCOMPARE(theirs.readAll(), QByteArray("suyo"));
        for (const char *file : {"foto.BMP", "foto.pgm"}) {
            const QFileInfo written(drive.path(QLatin1String(file)));
            QVERIFY(!written.isSymLink() && written.isFile());
            QVERIFY(written.permissions() & QFile::ReadOther);
        }
        QCOMPARE(QImage(drive.path(QStringLiteral("foto.BMP"))).size(), QSize(32, 32));
    }
};

QTEST_GUILESS_MAIN(ImportarTest)
#include "test_importar.moc"
