// Opening images: the argument, the file, its pixels.
#include "imageload.h"

#include "missingfile.h"
#include "pnm.h"
#include "readouts.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <new>
#include <system_error>
#include <vector>

namespace picture {

namespace {

const QString kUsage = QStringLiteral("Uso: i_view32.exe imagen");

// A header line worth reading: other programs write a lone "#" between their comments, which
// says nothing and must not count as a step.
void addLine(QStringList &lines, const QString &line)
{
    if (!line.trimmed().isEmpty())
        lines << line;
}

QString nameOf(const fs::path &path)
{
    return QFile::decodeName(path.filename().c_str());
}

// The folder as the program names it: "c:\qor\ejecutable\auxiliares".
QString dosFolderOf(const fs::path &path, const dos::Drives &drives)
{
    return QString::fromStdString(dos::toDos(path.parent_path(), drives));
}

OpenResult failure(const QString &text, int status)
{
    return OpenResult {std::nullopt, text, status};
}

OpenResult unreadable(const fs::path &path, const QString &reason)
{
    return failure(
        QStringLiteral("No se puede abrir la imagen «%1».\n%2").arg(nameOf(path), reason),
        img::kBadInput);
}

bool looksLikePnm(const char magic[2])
{
    return magic[0] == 'P' && magic[1] >= '1' && magic[1] <= '6';
}

// The maxval of a PNM header the imaging library has already accepted; bitmaps (P1, P4) have
// none and count as 0..1.
int pnmMaxval(std::istream &in)
{
    char magic[2] = {};
    in.read(magic, 2);
    if (magic[1] == '1' || magic[1] == '4')
        return 1;
    long fields[3] = {};
    for (long &field : fields) {
        for (int c = in.get(); in; c = in.get()) {
            if (c == '#') {
                while (in && c != '\n' && c != '\r')
                    c = in.get();
            } else if (!std::isspace(c)) {
                in.unget();
                break;
            }
        }
        in >> field;
    }
    return fields[2] > 0 ? int(fields[2]) : 255;
}

// What the screen shows of grey levels: 8 bits, rounded.
QImage toDisplay(const GreyLevels &grey)
{
    QImage shown(grey.size(), QImage::Format_Grayscale8);
    if (shown.isNull())
        throw std::bad_alloc();
    std::vector<double> row(size_t(grey.width()));
    for (int y = 0; y < grey.height(); ++y) {
        grey.row(y, row.data());
        uchar *line = shown.scanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            line[x] = uchar(img::quantise(row[x], 255));
    }
    return shown;
}

QImage greyImage(int w, int h, QImage::Format format)
{
    QImage image(w, h, format);
    if (image.isNull())
        throw std::bad_alloc();
    return image;
}

// A PNM file a row at a time into its own samples: 8 bits up to maxval 255, 16 above; a
// colour PPM's luminance, which falls between levels, on 16 bits. The file's bytes and one row
// of doubles are all that is held besides.
OpenResult loadPnm(const fs::path &path, std::istream &header)
{
    LoadedImage image;
    image.path = path;
    try {
        img::PnmRows rows(path.string());
        const int w = rows.width(), h = rows.height();
        const unsigned levels = rows.levels() ? rows.levels() : 65535;
        QImage samples = greyImage(
            w, h, levels <= 255 ? QImage::Format_Grayscale8 : QImage::Format_Grayscale16);
        std::vector<double> row(static_cast<size_t>(w));
        for (int y = 0; y < h; ++y) {
            rows.next(row.data());
            if (levels <= 255) {
                uchar *line = samples.scanLine(y);
                for (int x = 0; x < w; ++x)
                    line[x] = uchar(img::quantise(row[x], levels));
            } else {
                auto *line = reinterpret_cast<quint16 *>(samples.scanLine(y));
                for (int x = 0; x < w; ++x)
                    line[x] = quint16(img::quantise(row[x], levels));
            }
        }
        for (const std::string &line : rows.comments())
            addLine(image.lines, QString::fromStdString(line));
        // Samples on 0..255 are shown as they are: one copy, not two.
        image.display = levels == 255 ? samples : QImage();
        image.grey = GreyLevels(std::move(samples), int(levels));
    } catch (const img::ImageError &error) {
        return unreadable(path, QString::fromStdString(error.what()));
    }
    header.clear();
    header.seekg(0);
    image.maxval = pnmMaxval(header);
    if (image.display.isNull())
        image.display = toDisplay(image.grey);
    return OpenResult {std::move(image), {}, img::kOk};
}

QString readerFailure(QImageReader::ImageReaderError error)
{
    switch (error) {
    case QImageReader::FileNotFoundError:
        return QStringLiteral("El archivo ha desaparecido mientras se abría.");
    case QImageReader::DeviceError:
        return QStringLiteral("No se puede leer el archivo.");
    case QImageReader::UnsupportedFormatError:
        return QStringLiteral("No es una imagen de un formato conocido (PGM, BMP, PNG, JPEG…).");
    case QImageReader::InvalidDataError:
        return QStringLiteral("Los datos de la imagen están dañados o incompletos.");
    case QImageReader::UnknownError:
        break;
    }
    return QStringLiteral("La imagen no se puede leer.");
}

// Grey levels of a picture Qt has read: 16-bit grey keeps its own scale, colour becomes
// luminance (ITU-R BT.601, as the imaging library does for PPM) and keeps its colours on screen.
void fromQImage(const QImage &picture, LoadedImage &image)
{
    if (picture.format() == QImage::Format_Grayscale16) {
        image.maxval = 65535;
        image.grey = GreyLevels(picture, 65535);
        image.display = toDisplay(image.grey);
        return;
    }
    image.maxval = 255;
    if (picture.isGrayscale()) {
        image.display = picture.convertToFormat(QImage::Format_Grayscale8);
        image.grey = GreyLevels(image.display, 255);
        return;
    }
    image.display = picture.convertToFormat(QImage::Format_RGB32);
    image.grey = GreyLevels(image.display, 255);
}

OpenResult loadWithQt(const fs::path &path)
{
    QImageReader reader(QFile::decodeName(path.c_str()));
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (picture.isNull())
        return unreadable(path, readerFailure(reader.error()));
    LoadedImage image;
    image.path = path;
    fromQImage(picture, image);
    // A picture this viewer saved keeps the lines in its text.
    const QString lines = picture.text(QString::fromLatin1(kLinesKey));
    for (const QString &line : lines.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        addLine(image.lines, line);
    return OpenResult {std::move(image), {}, img::kOk};
}

} // namespace

std::optional<fs::path> resolveArgument(std::string_view argument, const dos::Drives &drives)
{
    const bool dosName = (argument.size() >= 2 && argument[1] == ':')
        || (!argument.empty() && argument[0] == '\\');
    if (dosName)
        return dos::toNative(argument, drives);
    // A Linux path, relative to the working folder; ".." is settled before the case-blind walk.
    const fs::path absolute = (drives.workingFolder / fs::path(argument)).lexically_normal();
    return dos::resolveBelow("/", absolute.relative_path().string());
}

OpenResult loadImage(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return unreadable(path, QStringLiteral("No se puede leer el archivo (¿permisos?)."));
    char magic[2] = {};
    in.read(magic, 2);
    if (in.gcount() == 0)
        return unreadable(path, QStringLiteral("El archivo está vacío."));
    try {
        if (in.gcount() == 2 && looksLikePnm(magic))
            return loadPnm(path, in);
        in.close();
        return loadWithQt(path);
    } catch (const std::bad_alloc &) {
        return unreadable(path, QStringLiteral("No hay memoria suficiente para esta imagen."));
    }
}

OpenResult openFromArguments(const QStringList &arguments, const dos::Drives &drives)
{
    if (arguments.isEmpty() || arguments.front().isEmpty())
        return failure(QStringLiteral("No se indicó qué imagen mostrar.\n") + kUsage, img::kMisuse);
    if (arguments.size() > 1)
        return failure(
            QStringLiteral("Se esperaba una sola imagen y se recibieron %1 argumentos.\n")
                    .arg(arguments.size())
                + kUsage,
            img::kMisuse);
    const QByteArray argument = QFile::encodeName(arguments.front());
    const std::optional<fs::path> path
        = resolveArgument(std::string_view(argument.constData(), size_t(argument.size())), drives);
    if (!path)
        return failure(QStringLiteral("No se puede abrir la imagen «%1».\nLa unidad no existe.")
                           .arg(arguments.front()),
                       img::kBadInput);
    std::error_code error;
    const fs::file_status status = fs::status(*path, error);
    if (!fs::exists(status)) {
        const QString folder = dosFolderOf(*path, drives);
        return failure(
            QStringLiteral("No se puede abrir la imagen «%1».\nNo existe en la carpeta %2.\n%3")
                .arg(nameOf(*path), folder,
                     missingFileText(path->filename().string(), folder.toStdString(),
                                     failures::readAll())),
            img::kBadInput);
    }
    if (fs::is_directory(status))
        return unreadable(*path, QStringLiteral("Es una carpeta, no un archivo."));
    return loadImage(*path);
}

std::optional<LoadedImage> referenceFor(const LoadedImage &image)
{
    const std::optional<fs::path> file = comparisonFile(image.path);
    if (!file)
        return std::nullopt;
    // A reference that cannot be read is no reason to refuse the picture itself.
    OpenResult reference = loadImage(*file);
    if (!reference.image || reference.image->display.size() != image.display.size())
        return std::nullopt;
    return std::move(reference.image);
}

} // namespace picture
