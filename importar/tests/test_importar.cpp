// tavelio-importar as a teacher runs it: any picture Qt reads becomes a grey bitmap whose twin
// "A&brir..." finds; bad names and pictures are refused with nothing written.
#include "decodecost.h"
#include "dospath.h"
#include "pgmtwin.h"
#include "photo.h"
#include "pnm.h"
#include "testenv.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QProcess>
#include <QtEndian>
#include <QtTest>

#include <cstring>

#include <libheif/heif.h>

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

// A phone's JPEG: a smooth scene with edges, at quality 90; `orientation`, when not 1, is
// written as its EXIF tag, as a phone held upright writes 6.
QString phoneJpeg(const testenv::Drive &drive, const QString &name, QSize size, int orientation)
{
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y,
                             qRgb(255 * x / size.width(), (x / 97 + y / 89) % 2 ? 200 : 40,
                                  255 * y / size.height()));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPEG", 90);
    if (orientation != 1) {
        // APP1 "Exif": a little-endian TIFF header and one IFD entry, Orientation (SHORT).
        QByteArray tiff = QByteArray("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0", 18);
        tiff += char(orientation);
        tiff += QByteArray(7, '\0');
        const QByteArray app1 = QByteArray("Exif\0\0", 6) + tiff;
        const int length = int(app1.size()) + 2;
        bytes.insert(2, QByteArray("\xff\xe1", 2) + char(length >> 8) + char(length & 0xff) + app1);
    }
    const QString path = drive.root.path() + QLatin1Char('/') + name;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
}

// A picture whose left half is black on `background`: where the black lies shows how it was
// turned, or what it was laid on.
QImage leftHalfBlack(QSize size, Qt::GlobalColor background)
{
    QImage picture(size, QImage::Format_ARGB32);
    picture.fill(background);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width() / 2; ++x)
            picture.setPixel(x, y, qRgba(0, 0, 0, 255));
    return picture;
}

// An HEIC photograph of `picture` whose file says to turn it 90 degrees clockwise (an irot
// box), as an iPhone held upright writes it.
bool turnedHeic(const QImage &picture, const QString &path)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    heif_context *context = heif_context_alloc();
    heif_encoder *encoder = nullptr;
    heif_image *image = nullptr;
    heif_encoding_options *options = heif_encoding_options_alloc();
    options->image_orientation = heif_orientation_rotate_90_cw;
    bool written
        = heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code
            == heif_error_Ok
        && heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB,
                             heif_chroma_interleaved_RGB, &image)
                .code
            == heif_error_Ok
        && heif_image_add_plane(image, heif_channel_interleaved, rgb.width(), rgb.height(), 8).code
            == heif_error_Ok;
    if (written) {
        int stride = 0;
        uint8_t *plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
        for (int y = 0; y < rgb.height(); ++y)
            std::memcpy(plane + y * stride, rgb.constScanLine(y), size_t(rgb.width()) * 3);
        heif_encoder_set_lossy_quality(encoder, 90);
        written = heif_context_encode_image(context, image, encoder, options, nullptr).code
                == heif_error_Ok
            && heif_context_write_to_file(context, QFile::encodeName(path).constData()).code
                == heif_error_Ok;
    }
    heif_encoding_options_free(options);
    if (image)
        heif_image_release(image);
    if (encoder)
        heif_encoder_release(encoder);
    heif_context_free(context);
    return written;
}

QByteArray bigEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

// A PNG chunk with its CRC, for a header written by hand.
QByteArray pngChunk(const char *type, const QByteArray &data)
{
    const QByteArray body = QByteArray(type, 4) + data;
    quint32 crc = 0xffffffff;
    for (const char byte : body) {
        crc ^= uchar(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0xedb88320u : crc >> 1;
    }
    return bigEndian32(quint32(data.size())) + body + bigEndian32(~crc);
}

// Files of a few hundred bytes whose headers promise gigapixels: a grey PNG of 40000 x 40000
// and a progressive JPEG of 60000 x 60000, their data ending at once.
QString pngBomb(const testenv::Drive &drive)
{
    const QByteArray header
        = bigEndian32(40000) + bigEndian32(40000) + QByteArray("\x08\0\0\0\0", 5);
    return testenv::writeFile(drive.onDriveC(QStringLiteral("bomba.png")),
                              QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header)
                                  + pngChunk("IDAT", QByteArray("\x78\x9c\x63\0\0", 5))
                                  + pngChunk("IEND", QByteArray()));
}

QString jpegBomb(const testenv::Drive &drive)
{
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    if (!writer.write(picture) || !bytes.contains("\xff\xc2"))
        return QString();
    const qsizetype frame = bytes.indexOf("\xff\xc2");
    bytes.replace(frame + 5, 4, QByteArray("\xea\x60\xea\x60", 4)); // height, width
    return testenv::writeFile(drive.onDriveC(QStringLiteral("bomba.jpg")), bytes);
}

// A grey TIFF of `side` x `side` 32-bit floating-point samples, as a camera's raw converter or
// a scientist's program writes it.
QByteArray floatTiff(quint16 side)
{
    const quint32 bytes = quint32(side) * side * 4;
    // Tag, type (3 SHORT, 4 LONG), value; one value each, the pixels after the directory.
    const quint32 entries[][3]
        = {{256, 3, side}, {257, 3, side}, {258, 3, 32},   {259, 3, 1},     {262, 3, 1},
           {273, 4, 0},    {277, 3, 1},    {278, 3, side}, {279, 4, bytes}, {339, 3, 3}};
    const quint32 count = sizeof entries / sizeof entries[0];
    QByteArray tiff("II*\0\x08\0\0\0", 8);
    tiff += char(count);
    tiff += '\0';
    for (const auto &entry : entries) {
        const quint32 value = entry[0] == 273 ? 8 + 2 + count * 12 + 4 : entry[2];
        for (const quint32 field : {entry[0], entry[1]})
            tiff += QByteArray(1, char(field & 0xff)) + char(field >> 8);
        tiff += QByteArray("\x01\0\0\0", 4);
        for (int shift = 0; shift < 32; shift += 8)
            tiff += char((value >> shift) & 0xff);
    }
    tiff += QByteArray(4, '\0');
    const float half = 0.5f;
    for (quint32 i = 0; i < bytes / 4; ++i)
        tiff += QByteArray(reinterpret_cast<const char *>(&half), 4);
    return tiff;
}

// The mean and the largest difference of two grey pictures of one size.
std::pair<double, int> greyDifference(const QImage &a, const QImage &b)
{
    const QImage ga = a.convertToFormat(QImage::Format_Grayscale8);
    const QImage gb = b.convertToFormat(QImage::Format_Grayscale8);
    double sum = 0;
    int largest = 0;
    for (int y = 0; y < ga.height(); ++y) {
        for (int x = 0; x < ga.width(); ++x) {
            const int d = std::abs(int(ga.constScanLine(y)[x]) - int(gb.constScanLine(y)[x]));
            sum += d;
            largest = std::max(largest, d);
        }
    }
    return {sum / (double(ga.width()) * ga.height()), largest};
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
            const QString source = photo(drive, QStringLiteral("foto.%1").arg(format), 80, 64);
            QVERIFY2(!source.isEmpty(), format);
            const QString name = QStringLiteral("foto_%1").arg(format);
            const Run run = runImportar(drive, {source, name});
            QVERIFY2(run.status == 0, qPrintable(run.err));

            const QImage bitmap(drive.path(name + ".BMP"));
            QVERIFY(bitmap.allGray());
            QCOMPARE(bitmap.size(), QSize(80, 64));
            // The open command's own cut leads from the bitmap to the twin, which holds the
            // bitmap's grey levels.
            const std::string dosName
                = dos::toDos(drive.path(name + ".BMP").toStdString(), drive.drives);
            const QString twin = *app::pgmTwinName(QString::fromStdString(dosName));
            const img::Image pgm = img::readPnm(drive.path(twin).toStdString());
            QCOMPARE(pgm.width, 80);
            for (int y = 0; y < 64; y += 7)
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
        QVERIFY(run.err.contains(
            QStringLiteral("aviso: el ancho, 600, comparte un factor mayor que 2 con los "
                           "movimientos de 10, 25 y 50")));
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

    // Decoded at the size written, a JPEG matches a whole decode brought down to it within a
    // grey level or two on average, and stays upright as its EXIF tag says.
    void photographsAreDecodedAtTheSizeWritten()
    {
        testenv::Drive drive;
        const QString upright = phoneJpeg(drive, QStringLiteral("foto.jpg"), {4000, 3000}, 1);
        QSize original;
        QString error;
        const QImage scaled = importar::readPhoto(upright, false, &original, &error);
        QVERIFY2(!scaled.isNull(), qPrintable(error));
        QCOMPARE(scaled.size(), QSize(1024, 768));
        QCOMPARE(original, QSize(4000, 3000));
        const QImage whole = importar::teachingSize(QImageReader(upright).read());
        const auto [mean, largest] = greyDifference(scaled, whole);
        QVERIFY2(mean < 1.5 && largest < 40,
                 qPrintable(QStringLiteral("media %1, máxima %2").arg(mean).arg(largest)));

        const QString turned = phoneJpeg(drive, QStringLiteral("retrato.jpg"), {4000, 3000}, 6);
        const QImage portrait = importar::readPhoto(turned, false, &original, &error);
        QCOMPARE(portrait.size(), QSize(768, 1024));
        QCOMPARE(original, QSize(3000, 4000));
        // Turned clockwise, the picture's left edge (no red) lies along the top.
        QVERIFY(qRed(portrait.pixel(700, 2)) < 30 && qRed(portrait.pixel(700, 1020)) > 220);
    }

    // An iPhone's HEIC, its rotation in the file: imported upright, at the teaching size.
    void heicPhotographsTurnAsTheirFileSays()
    {
        testenv::Drive drive;
        const QImage picture = leftHalfBlack({1600, 800}, Qt::white);
        const QString path = drive.root.path() + QStringLiteral("/IMG_0001.HEIC");
        QVERIFY(turnedHeic(picture, path));
        const Run run = runImportar(drive, {path, QStringLiteral("iphone")});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QVERIFY(run.out.contains(QStringLiteral("reducida de 800x1600")));
        const QImage bitmap(drive.path("iphone.BMP"));
        QCOMPARE(bitmap.size(), QSize(512, 1024));
        // Turned clockwise, the black left half is the top half.
        QVERIFY(qGray(bitmap.pixel(256, 100)) < 20 && qGray(bitmap.pixel(256, 900)) > 235);
    }

    void badNamesAndPicturesAreRefusedWithNothingWritten()
    {
        testenv::Drive drive;
        const QString source = photo(drive, QStringLiteral("foto.png"), 64, 64);
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

        // A copy cut short, JPEG or HEIC: one Spanish line naming it, none of Qt's.
        const QString jpeg = phoneJpeg(drive, QStringLiteral("cortada.jpg"), {1200, 900}, 1);
        QImage small(64, 64, QImage::Format_RGB32);
        small.fill(Qt::gray);
        const QString heic = drive.root.path() + QStringLiteral("/cortada.heic");
        QVERIFY(turnedHeic(small, heic));
        for (const QString &whole : {jpeg, heic}) {
            QFile file(whole);
            QVERIFY(file.resize(file.size() * 2 / 3));
            const Run cut = runImportar(drive, {whole});
            QVERIFY(cut.status != 0);
            QCOMPARE(cut.err,
                     QStringLiteral("tavelio-importar: no se puede leer la imagen %1: está dañada "
                                    "o incompleta\n")
                         .arg(whole));
        }
        QCOMPARE(QDir(drive.working()).entryList(QDir::Files), before);
    }

    // A drawing from the web, black on transparent, comes out black on white.
    void transparentPicturesAreLaidOnWhite()
    {
        testenv::Drive drive;
        const QImage drawing = leftHalfBlack({200, 100}, Qt::transparent);
        for (const char *format : {"png", "webp"}) {
            const QString source = drive.root.filePath(QStringLiteral("dibujo.%1").arg(format));
            QVERIFY2(drawing.save(source, format, 100), format);
            const QString name = QStringLiteral("dibujo_%1").arg(format);
            const Run run = runImportar(drive, {source, name});
            QVERIFY2(run.status == 0, qPrintable(run.err));
            const QImage bitmap(drive.path(name + ".BMP"));
            QVERIFY2(qGray(bitmap.pixel(50, 50)) < 5 && qGray(bitmap.pixel(150, 50)) > 250, format);
        }
    }

    // Headers promising gigapixels, pictures too small for the motions, a PNG cut short and a
    // float TIFF: each refused in one line of its own, before decoding the bombs, and nothing
    // written.
    void picturesNoOneWantsAreRefusedInOneLine()
    {
        testenv::Drive drive;
        const QString progressive = jpegBomb(drive);
        QVERIFY(!progressive.isEmpty());
        QVERIFY(importar::jpegLayout(progressive).wholeCoefficients);
        const QString baseline = phoneJpeg(drive, QStringLiteral("base.jpg"), {640, 480}, 1);
        QVERIFY(!importar::jpegLayout(baseline).wholeCoefficients);

        QString cut = photo(drive, QStringLiteral("cortada.png"), 300, 300);
        QFile(cut).resize(QFileInfo(cut).size() * 2 / 3);
        const QString floating
            = testenv::writeFile(drive.onDriveC(QStringLiteral("real.tif")), floatTiff(64));
        const struct
        {
            QString file;
            const char *says;
        } refused[] = {
            {pngBomb(drive), "mide 40000x40000 y decodificarla ocuparía"},
            {progressive, "mide 60000x60000 y decodificarla ocuparía"},
            {photo(drive, QStringLiteral("punto.png"), 1, 1), "Tavelio admite desde 64x64"},
            {photo(drive, QStringLiteral("tira.png"), 150, 20000), "de 7x1024 píxeles"},
            {cut, "está dañada o incompleta"},
            {floating, "TIFF de coma flotante"},
        };
        const QStringList before = QDir(drive.working()).entryList(QDir::Files);
        for (const auto &picture : refused) {
            // Qt 6.8's TIFF reader decodes floating-point samples (Debian 13): there the
            // picture is simply imported, and only older readers are refused in Spanish.
            if (picture.file == floating && !QImageReader(floating).read().isNull())
                continue;
            const Run run = runImportar(drive, {picture.file});
            QVERIFY2(run.status != 0, qPrintable(picture.file));
            QVERIFY2(run.err.startsWith(QStringLiteral("tavelio-importar: "))
                         && run.err.count(QLatin1Char('\n')) == 1
                         && run.err.contains(QString::fromUtf8(picture.says)),
                     qPrintable(run.err));
        }
        QCOMPARE(QDir(drive.working()).entryList(QDir::Files), before);
    }

    void linksUnderTheNameAreReplacedNotWrittenThrough()
    {
        testenv::Drive drive;
        const QString source = photo(drive, QStringLiteral("foto.png"), 64, 64);
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
        QCOMPARE(QImage(drive.path(QStringLiteral("foto.BMP"))).size(), QSize(64, 64));
    }
};

QTEST_GUILESS_MAIN(ImportarTest)
#include "test_importar.moc"
