// tavelio-importar: makes a teacher's photograph into a bitmap Tavelio opens.
//
//   tavelio-importar [--recortar | --sin-recortar] [--reemplazar] FOTO [NOMBRE]
//
// Reads any image Qt reads (PNG, JPEG, TIFF, BMP...), turns it grey and writes NOMBRE.BMP into
// the tool folder of this user's drive C and its PGM twin NOMBRE.pgm beside it, the working
// folder the launcher starts the program in, so that "A&brir..." opens it at once. Warns when
// a side loses spectrum columns to the motion blurs and offers to crop the pixel or two that
// avoid it. A name the open command would not take to its twin, or a picture it cannot read,
// is refused with nothing written.

#include "drivec.h"
#include "photo.h"
#include "plural.h"
#include "pnm.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>

#include <cstdio>
#include <unistd.h>

namespace {

const char kUsage[]
    = R"(uso: tavelio-importar [--recortar | --sin-recortar] [--reemplazar] FOTO [NOMBRE]

Convierte FOTO (PNG, JPEG, TIFF, BMP o cualquier imagen que Qt lea) en un bitmap gris
NOMBRE.BMP en la carpeta de herramientas de tu unidad C (%s) y
escribe a su lado su gemelo NOMBRE.pgm, en la carpeta de trabajo de Tavelio: en Tavelio,
Archivo > Abrir... lo abre enseguida. Sin NOMBRE, el de FOTO sin su extensión.

Si el ancho o el alto comparte un factor mayor que 2 con una longitud de movimiento (10, 25
o 50), quitar el movimiento circular pierde columnas enteras del espectro: avisa y ofrece
recortar las pocas columnas o filas que lo evitan.

  --recortar      recorta sin preguntar
  --sin-recortar  no recorta ni pregunta
  --reemplazar    sustituye un NOMBRE.BMP y un NOMBRE.pgm que ya estén
  --help          muestra esta ayuda

La unidad C es la de TAVELIO_DRIVE_C, o ~/.local/share/tavelio/drive_c.
)";

enum class Crop { Ask, Yes, No };

struct Options
{
    Crop crop = Crop::Ask;
    bool replace = false;
    QString photo;
    QString name;
};

[[noreturn]] void fail(const QString &message)
{
    std::fprintf(stderr, "tavelio-importar: %s\n", qUtf8Printable(message));
    std::exit(1);
}

Options parseOptions(const QStringList &arguments)
{
    Options options;
    QStringList files;
    bool optionsEnded = false;
    for (const QString &argument : arguments.mid(1)) {
        if (optionsEnded) {
            files << argument;
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help")) {
            std::printf(kUsage, dos::kToolFolder);
            std::exit(0);
        } else if (argument == QLatin1String("--recortar")) {
            options.crop = Crop::Yes;
        } else if (argument == QLatin1String("--sin-recortar")) {
            options.crop = Crop::No;
        } else if (argument == QLatin1String("--reemplazar")) {
            options.replace = true;
        } else if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            fail(QStringLiteral("opción desconocida: %1 (--help da el uso)").arg(argument));
        } else {
            files << argument;
        }
    }
    if (files.isEmpty() || files.size() > 2)
        fail(QStringLiteral("hace falta una FOTO y, si se quiere, un NOMBRE (--help da el uso)"));
    options.photo = files[0];
    options.name = files.size() == 2 ? files[1] : QFileInfo(files[0]).completeBaseName();
    return options;
}

// The drive C of this user, made from the installed templates when Tavelio never ran yet.
dos::fs::path preparedDriveC()
{
    const dos::fs::path driveC = dos::driveCFromEnvironment();
    std::error_code error;
    if (dos::fs::is_directory(dos::toolFolder(driveC), error))
        return driveC;
    std::string reason;
    const std::vector<dos::fs::path> templates = dos::findTemplates(dos::currentExecutable());
    if (templates.empty() || !dos::prepareDriveC(driveC, templates, &reason))
        fail(QStringLiteral("no se pudo preparar la unidad C %1: %2")
                 .arg(QString::fromStdString(driveC.string()), QString::fromStdString(reason)));
    return driveC;
}

QImage readPhoto(const QString &path)
{
    if (!QFileInfo(path).isFile())
        fail(QStringLiteral("no existe la imagen %1").arg(path));
    QImageReader reader(path);
    reader.setAutoTransform(true); // a camera's portrait stays upright
    const QImage picture = reader.read();
    if (picture.isNull())
        fail(QStringLiteral("no se puede leer la imagen %1 (%2)").arg(path, reader.errorString()));
    if (picture.width() > img::kMaxSide || picture.height() > img::kMaxSide)
        fail(QStringLiteral("%1 mide %2x%3; las herramientas admiten hasta %4 de lado")
                 .arg(path)
                 .arg(picture.width())
                 .arg(picture.height())
                 .arg(img::kMaxSide));
    return picture;
}

// Warns about each side that loses spectrum columns and says whether to crop them.
bool shouldCrop(const QImage &picture, Crop crop)
{
    const struct
    {
        const char *side;
        int size;
        const char *line;
        const char *lines;
    } sides[] = {{"ancho", picture.width(), "columna", "columnas"},
                 {"alto", picture.height(), "fila", "filas"}};
    bool lossy = false;
    for (const auto &side : sides) {
        if (const int length = importar::lossyMotionLength(side.size)) {
            lossy = true;
            const int crop = importar::pixelsToCrop(side.size);
            std::fprintf(stderr,
                         "tavelio-importar: aviso: el %s, %d, comparte un factor mayor que 2 con "
                         "el movimiento de %d: quitarlo perderá %s enteras del espectro; "
                         "recortar %d %s lo evita\n",
                         side.side, side.size, length, side.lines, crop,
                         img::agree(size_t(crop), side.line, side.lines));
        }
    }
    if (!lossy || crop == Crop::No)
        return false;
    if (crop == Crop::Yes)
        return true;
    if (!isatty(STDIN_FILENO)) {
        std::fputs("tavelio-importar: sin recortar (--recortar recorta)\n", stderr);
        return false;
    }
    std::fputs("¿Recortar? [S/n] ", stdout);
    std::fflush(stdout);
    char answer[16] = {};
    return !std::fgets(answer, sizeof answer, stdin) || (answer[0] != 'n' && answer[0] != 'N');
}

QByteArray bitmapBytes(const QImage &grey)
{
    QList<QRgb> greys;
    for (int level = 0; level < 256; ++level)
        greys << qRgb(level, level, level);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    grey.convertToFormat(QImage::Format_Indexed8, greys).save(&buffer, "BMP");
    return bytes;
}

// Both files through temporary files renamed in place. Both are written out before either is
// renamed, so a full disk leaves the folder as it was; the twin goes first and, if it is new,
// is taken back when the bitmap cannot be renamed, so the folder never holds one without the
// other.
void writePair(const QString &bitmap, const QByteArray &bitmapData, const QString &twin,
               const QByteArray &twinData)
{
    const bool twinIsNew = !QFileInfo::exists(twin);
    QSaveFile twinFile(twin);
    QSaveFile bitmapFile(bitmap);
    // fail() exits without unwinding, so the temporaries are discarded here first.
    const auto abandon = [&](const QString &name, const QString &reason) {
        for (QSaveFile *file : {&twinFile, &bitmapFile}) {
            if (file->isOpen()) {
                file->cancelWriting();
                file->commit(); // removes the temporary
            }
        }
        fail(QStringLiteral("no se puede escribir %1: %2").arg(name, reason));
    };
    if (!twinFile.open(QIODevice::WriteOnly) || twinFile.write(twinData) != twinData.size())
        abandon(twin, twinFile.errorString());
    if (!bitmapFile.open(QIODevice::WriteOnly) || bitmapFile.write(bitmapData) != bitmapData.size())
        abandon(bitmap, bitmapFile.errorString());
    if (!twinFile.commit())
        abandon(twin, twinFile.errorString());
    if (!bitmapFile.commit()) {
        if (twinIsNew)
            QFile::remove(twin);
        fail(QStringLiteral("no se puede escribir %1: %2").arg(bitmap, bitmapFile.errorString()));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const Options options = parseOptions(QCoreApplication::arguments());
    const QImage picture = readPhoto(options.photo);
    const QString problem = importar::nameProblem(options.name, dos::driveCFromEnvironment());
    if (!problem.isEmpty())
        fail(QStringLiteral("nombre no válido «%1»: %2 (NOMBRE, el segundo argumento, da otro)")
                 .arg(options.name, problem));
    const dos::fs::path driveC = preparedDriveC();

    const QString folder = QString::fromStdString(dos::toolFolder(driveC).string());
    const QString bitmap = folder + QLatin1Char('/') + options.name + QStringLiteral(".BMP");
    const QString twin = folder + QLatin1Char('/') + options.name + QStringLiteral(".pgm");
    if (!options.replace && (QFileInfo::exists(bitmap) || QFileInfo::exists(twin)))
        fail(QStringLiteral("ya hay un %1 en %2 (--reemplazar lo sustituye)")
                 .arg(options.name, folder));

    const bool crop = shouldCrop(picture, options.crop);
    const QImage grey
        = importar::greyPicture(picture, crop ? importar::pixelsToCrop(picture.width()) : 0,
                                crop ? importar::pixelsToCrop(picture.height()) : 0);
    const std::string pgm = img::encodePgm(importar::toToolImage(grey), 8);
    writePair(bitmap, bitmapBytes(grey), twin, QByteArray::fromStdString(pgm));
    std::printf("%s.BMP y %s.pgm (%dx%d) en %s: Archivo > Abrir... en Tavelio\n",
                qUtf8Printable(options.name), qUtf8Printable(options.name), grey.width(),
                grey.height(), qUtf8Printable(folder));
    return 0;
}
