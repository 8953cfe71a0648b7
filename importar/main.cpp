// tavelio-importar: makes a teacher's photograph into a bitmap Tavelio opens.
//
//   tavelio-importar [--para-la-clase] [--recortar | --sin-recortar] [--reemplazar]
//                    [--tamano-completo] FOTO [NOMBRE]
//   tavelio-importar --quitar-de-la-clase NOMBRE
//   tavelio-importar --lista
//
// Reads any image Qt reads (PNG, JPEG, TIFF, BMP...) and HEIC, decodes it at a teaching size,
// turns it grey and writes NOMBRE.BMP into the tool folder of this user's drive C and its PGM
// twin NOMBRE.pgm beside it, the working folder the launcher starts the program in, so that
// "A&brir..." opens it at once. With --para-la-clase the pair goes to the class folder
// instead, which every student's start links into her drive C; only the group tavelio may
// write there. Warns when a side loses spectrum columns to the motion blurs and offers to
// crop the pixel or two that avoid it. A name the open command would not take to its twin, or
// a picture it cannot read, is refused with nothing written.

#include "classcommands.h"
#include "classphotos.h"
#include "drivec.h"
#include "folderlock.h"
#include "photo.h"
#include "plural.h"
#include "pnm.h"
#include "stagedfile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kUsage[] = R"(uso: tavelio-importar [--para-la-clase] [--recortar | --sin-recortar]
                        [--reemplazar] [--tamano-completo] FOTO [NOMBRE]
     tavelio-importar --quitar-de-la-clase NOMBRE
     tavelio-importar --lista

Convierte FOTO (PNG, JPEG, HEIC, TIFF, BMP o cualquier imagen que Qt lea) en un
bitmap gris NOMBRE.BMP en la carpeta de herramientas de tu unidad C (%s) y
escribe a su lado su gemelo NOMBRE.pgm, en la carpeta de trabajo de Tavelio: en Tavelio,
Archivo > Abrir... lo abre enseguida. Sin NOMBRE, el de FOTO sin su extensión.

Reduce la foto a %d píxeles en su lado mayor (la ventana la muestra a su tamaño y las
operaciones de dos pasos dan 2 segundos al primero); --tamano-completo la deja entera.
Rechaza, sin leerla, una foto que al decodificarla ocuparía más de 300 MB (un HEIC de 48
megapíxeles guardado como una sola imagen pasa, y libheif llega a unos 330 MB); con
--tamano-completo, el límite es la mitad de la memoria del equipo a 16 bytes por píxel, y
16384 píxeles de lado. Rechaza también la que se escribiría de menos de 64x64 píxeles.

Si el ancho o el alto que se escribe comparte un factor mayor que 2 con una longitud de
movimiento (10, 25 o 50), quitar el movimiento circular pierde columnas enteras del espectro:
avisa y ofrece recortar las pocas columnas o filas que lo evitan.

  --para-la-clase       la escribe en la carpeta de la clase, %s, en vez
                        de en tu unidad C: cada alumno la tiene en la suya al arrancar Tavelio
                        (si no tiene ya una suya con ese nombre). Solo para el grupo %s.
  --quitar-de-la-clase  quita NOMBRE de la clase
  --lista               muestra las fotos de la clase y las tuyas
  --recortar            recorta sin preguntar
  --sin-recortar        no recorta ni pregunta
  --reemplazar          sustituye un NOMBRE.BMP y un NOMBRE.pgm que ya estén
  --tamano-completo     no reduce la foto
  --help                muestra esta ayuda

Una FOTO cuyo nombre empieza por «-» va tras «--», o como ./-foto.jpg, con un NOMBRE que
no empiece por «-»: tavelio-importar -- -foto.jpg foto

La unidad C es la de TAVELIO_DRIVE_C, o ~/.local/share/tavelio/drive_c.
)";

enum class Crop { Ask, Yes, No };
enum class Mode { Own, Class, Withdraw, List };

struct Options
{
    Mode mode = Mode::Own;
    Crop crop = Crop::Ask;
    bool replace = false;
    bool fullSize = false;
    QString photo;
    QString name;
};

[[noreturn]] void fail(const QString &message)
{
    std::fprintf(stderr, "tavelio-importar: %s\n", qUtf8Printable(message));
    std::exit(1);
}

void setMode(Options *options, Mode mode)
{
    if (options->mode != Mode::Own && options->mode != mode)
        fail(QStringLiteral("--para-la-clase, --quitar-de-la-clase y --lista no van juntas"));
    options->mode = mode;
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
            std::printf(kUsage, dos::kToolFolder, importar::kTeachingSide, classroom::kClassFolder,
                        classroom::kGroup);
            std::exit(0);
        } else if (argument == QLatin1String("--para-la-clase")) {
            setMode(&options, Mode::Class);
        } else if (argument == QLatin1String("--quitar-de-la-clase")) {
            setMode(&options, Mode::Withdraw);
        } else if (argument == QLatin1String("--lista")) {
            setMode(&options, Mode::List);
        } else if (argument == QLatin1String("--recortar")) {
            options.crop = Crop::Yes;
        } else if (argument == QLatin1String("--sin-recortar")) {
            options.crop = Crop::No;
        } else if (argument == QLatin1String("--reemplazar")) {
            options.replace = true;
        } else if (argument == QLatin1String("--tamano-completo")) {
            options.fullSize = true;
        } else if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            fail(QStringLiteral("opción desconocida: %1 (--help da el uso)").arg(argument));
        } else {
            files << argument;
        }
    }
    if (options.mode == Mode::List) {
        if (!files.isEmpty())
            fail(QStringLiteral("--lista no lleva archivos (--help da el uso)"));
    } else if (options.mode == Mode::Withdraw) {
        if (files.size() != 1)
            fail(QStringLiteral("--quitar-de-la-clase lleva un NOMBRE (--help da el uso)"));
        options.name = files[0];
    } else {
        if (files.isEmpty() || files.size() > 2)
            fail(QStringLiteral(
                "hace falta una FOTO y, si se quiere, un NOMBRE (--help da el uso)"));
        options.photo = files[0];
        options.name = files.size() == 2 ? files[1] : QFileInfo(files[0]).completeBaseName();
    }
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
    if (!dos::prepareDriveC(driveC, &reason))
        fail(QStringLiteral("no se pudo preparar la unidad C %1: %2")
                 .arg(QString::fromStdString(driveC.string()), QString::fromStdString(reason)));
    return driveC;
}

// The photograph, brought down to the teaching size unless `fullSize`; `original` gets the
// size it had.
QImage readPhoto(const QString &path, bool fullSize, QSize *original)
{
    QString error;
    const QImage picture = importar::readPhoto(path, fullSize, original, &error);
    if (picture.isNull())
        fail(error);
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
        if (const QString motions = importar::lossyMotionsText(side.size); !motions.isEmpty()) {
            lossy = true;
            const int crop = importar::pixelsToCrop(side.size);
            std::fprintf(stderr,
                         "tavelio-importar: aviso: el %s, %d, comparte un factor mayor que 2 con "
                         "%s: quitarlo perderá %s enteras del espectro; "
                         "recortar %d %s lo evita\n",
                         side.side, side.size, qUtf8Printable(motions), side.lines, crop,
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

// Both files through temporary files renamed over their names, so that a teacher replaces a
// photograph another teacher wrote (a rename needs only the folder's permission) and a link
// or anything else planted under either name is replaced, never written through. Both are
// written out before either is renamed, so a full disk leaves the folder as it was; the twin
// goes first and, if it is new, is taken back when the bitmap cannot be renamed, so the folder
// never holds one without the other. `mode` whatever the umask.
void writePair(const QString &bitmap, const QByteArray &bitmapData, const QString &twin,
               const QByteArray &twinData, mode_t mode)
{
    std::error_code error;
    const bool twinIsNew = !dos::fs::exists(dos::fs::symlink_status(twin.toStdString(), error));
    dos::StagedFile twinFile(twin.toStdString());
    dos::StagedFile bitmapFile(bitmap.toStdString());
    // fail() exits without unwinding, so the temporaries are discarded here first.
    const auto abandon = [&](const dos::StagedFile &file) {
        const QString reason = QString::fromStdString(file.reason());
        twinFile.discard();
        bitmapFile.discard();
        fail(QStringLiteral("no se puede escribir %1: %2")
                 .arg(QString::fromStdString(file.target().string()), reason));
    };
    if (!twinFile.write(twinData.toStdString(), mode))
        abandon(twinFile);
    if (!bitmapFile.write(bitmapData.toStdString(), mode))
        abandon(bitmapFile);
    if (!twinFile.commit())
        abandon(twinFile);
    if (!bitmapFile.commit()) {
        if (twinIsNew)
            QFile::remove(twin);
        abandon(bitmapFile);
    }
}

void checkName(const QString &name)
{
    const QString problem = importar::nameProblem(name, dos::driveCFromEnvironment());
    if (!problem.isEmpty())
        fail(QStringLiteral("nombre no válido «%1»: %2 (NOMBRE, el segundo argumento, da otro)")
                 .arg(name, problem));
}

// The grey picture as it is written, cropped when asked or answered so.
QImage greyToWrite(const QImage &picture, Crop crop)
{
    const bool cropped = shouldCrop(picture, crop);
    return importar::greyPicture(picture, cropped ? importar::pixelsToCrop(picture.width()) : 0,
                                 cropped ? importar::pixelsToCrop(picture.height()) : 0);
}

// Readable by everyone: the class's students read the class's photographs through their
// links. Group-writable in the class folder, whose group is the teachers'.
void writeGrey(const QImage &grey, const QString &folder, const QString &name, mode_t mode)
{
    const std::string pgm = img::encodePgm(importar::toToolImage(grey), 8);
    writePair(folder + QLatin1Char('/') + name + QLatin1String(classroom::kBitmapSuffix),
              bitmapBytes(grey),
              folder + QLatin1Char('/') + name + QLatin1String(classroom::kTwinSuffix),
              QByteArray::fromStdString(pgm), mode);
}

QString sizeNote(const QImage &grey, QSize original)
{
    QString note = QStringLiteral("%1x%2").arg(grey.width()).arg(grey.height());
    if (original.width() > grey.width() + 2 || original.height() > grey.height() + 2)
        note += QStringLiteral(", reducida de %1x%2; --tamano-completo la deja entera")
                    .arg(original.width())
                    .arg(original.height());
    return note;
}

// The file of a shipped sample that NAME.BMP or NAME.pgm would be, in any letter case: every
// student has it, and her own wins over the class's.
QString sampleNamed(const QString &name)
{
    for (const dos::fs::path &drive : dos::findTemplates(dos::currentExecutable())) {
        for (const char *suffix : {classroom::kBitmapSuffix, classroom::kTwinSuffix}) {
            const dos::fs::path file
                = dos::findInFolder(dos::toolFolder(drive), (name + suffix).toStdString());
            std::error_code error;
            if (dos::fs::exists(dos::fs::symlink_status(file, error)))
                return QString::fromStdString(file.filename().string());
        }
    }
    return QString();
}

void importOwn(const Options &options)
{
    QSize original;
    const QImage picture = readPhoto(options.photo, options.fullSize, &original);
    checkName(options.name);
    const dos::fs::path tools = dos::toolFolder(preparedDriveC());
    const QString folder = QString::fromStdString(tools.string());
    // A link to the class's photograph of that name is not hers: her own takes its place.
    std::error_code error;
    std::vector<dos::fs::path> classLinks;
    bool present = false;
    for (const char *suffix : {classroom::kBitmapSuffix, classroom::kTwinSuffix}) {
        const dos::fs::path file = tools / (options.name + suffix).toStdString();
        if (classroom::isClassLink(file, classroom::kClassFolder))
            classLinks.push_back(file);
        else
            present = present || dos::fs::exists(dos::fs::symlink_status(file, error));
    }
    if (present && !options.replace)
        fail(QStringLiteral("ya hay un %1 en %2 (--reemplazar lo sustituye)")
                 .arg(options.name, folder));

    const QImage grey = greyToWrite(picture, options.crop);
    for (const dos::fs::path &link : classLinks)
        dos::fs::remove(link, error);
    writeGrey(grey, folder, options.name, 0644);
    std::printf("%s.BMP y %s.pgm (%s) en %s: Archivo > Abrir... en Tavelio\n",
                qUtf8Printable(options.name), qUtf8Printable(options.name),
                qUtf8Printable(sizeNote(grey, original)), qUtf8Printable(folder));
}

void publish(const Options &options)
{
    const QString refusal = importar::publishRefusal();
    if (!refusal.isEmpty())
        fail(refusal);
    QSize original;
    const QImage picture = readPhoto(options.photo, options.fullSize, &original);
    checkName(options.name);
    if (const QString sample = sampleNamed(options.name); !sample.isEmpty())
        fail(QStringLiteral("nombre no válido «%1»: cada alumno tiene ya el %2 de muestra, que "
                            "se quedaría en lugar del de la clase (NOMBRE da otro)")
                 .arg(options.name, sample));
    const dos::fs::path folder = classroom::kClassFolder;
    std::error_code error;
    if (!dos::fs::is_directory(folder, error))
        fail(QStringLiteral("no existe la carpeta de la clase %1 (la crea el paquete tavelio)")
                 .arg(QLatin1String(classroom::kClassFolder)));

    // Two teachers publishing one name at once: the second sees the first's.
    const dos::FolderLock lock(folder);
    for (const char *suffix : {classroom::kBitmapSuffix, classroom::kTwinSuffix}) {
        const std::string file = (options.name + suffix).toStdString();
        const dos::fs::path found = dos::findInFolder(folder, file);
        if (!dos::fs::exists(dos::fs::symlink_status(found, error)))
            continue;
        if (found.filename() != file)
            fail(QStringLiteral("en la clase ya está %1, con otras mayúsculas "
                                "(--quitar-de-la-clase lo quita antes)")
                     .arg(QString::fromStdString(found.filename().string())));
        if (!options.replace)
            fail(QStringLiteral("ya hay un %1 en la clase (--reemplazar lo sustituye)")
                     .arg(options.name));
    }
    const QImage grey = greyToWrite(picture, options.crop);
    writeGrey(grey, QLatin1String(classroom::kClassFolder), options.name, 0664);
    std::printf("%s.BMP y %s.pgm (%s) en la clase, %s: cada alumno los tiene al arrancar "
                "Tavelio\n",
                qUtf8Printable(options.name), qUtf8Printable(options.name),
                qUtf8Printable(sizeNote(grey, original)), classroom::kClassFolder);
}

void withdraw(const Options &options)
{
    const QString refusal = importar::publishRefusal();
    if (!refusal.isEmpty())
        fail(refusal);
    const dos::FolderLock lock(classroom::kClassFolder);
    const QString problem = importar::withdraw(classroom::kClassFolder, options.name);
    if (!problem.isEmpty())
        fail(problem);
    std::printf("%s quitada de la clase: deja la unidad C de cada alumno en su próximo "
                "arranque\n",
                qUtf8Printable(options.name));
}

void list()
{
    QStringList warnings;
    const QStringList lines = importar::photoListing(
        classroom::kClassFolder, dos::toolFolder(dos::driveCFromEnvironment()), &warnings);
    for (const QString &warning : warnings)
        std::fprintf(stderr, "tavelio-importar: aviso: %s\n", qUtf8Printable(warning));
    for (const QString &line : lines)
        std::printf("%s\n", qUtf8Printable(line));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    importar::keepQtQuiet();
    const Options options = parseOptions(QCoreApplication::arguments());
    switch (options.mode) {
    case Mode::Own:
        importOwn(options);
        break;
    case Mode::Class:
        publish(options);
        break;
    case Mode::Withdraw:
        withdraw(options);
        break;
    case Mode::List:
        list();
        break;
    }
    return 0;
}
