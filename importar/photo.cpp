#include "photo.h"

#include "batchbytes.h"
#include "batchscript.h"
#include "contracts.h"
#include "decodecost.h"
#include "drivec.h"
#include "operations.h"
#include "oserror.h"
#include "pgmtwin.h"
#include "physicalmemory.h"
#include "pnm.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <limits>
#include <memory>
#include <numeric>
#include <vector>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <libheif/heif.h>
#include <unistd.h>

namespace importar {

namespace {

bool hasControlCharacter(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20; });
}

// True when a word of the tool table's descriptions of what the tools read and write names
// `file`: the tools would read or overwrite a twin of that name.
bool isWorkingFile(const std::string &file)
{
    for (size_t i = 0; i < tools::kToolCount; ++i) {
        for (const char *text : {tools::kTools[i].reads, tools::kTools[i].writes}) {
            for (std::string word : batch::splitWords(text)) {
                while (!word.empty() && (word.back() == ',' || word.back() == '.'))
                    word.pop_back();
                if (dos::equalsIgnoreCase(word, file))
                    return true;
            }
        }
    }
    return false;
}

// What a pixel costs while a photograph is kept whole: decoded in colour (4 bytes), in grey (1),
// as the tools hold it (8), and in the twin's and the bitmap's bytes (2), with a little room.
constexpr quint64 kWholeBytesPerPixel = 16;
// What a pixel costs while it is only decoded, then brought down: in colour (4), or for HEIC
// the decoder's own planes and its grey.
constexpr quint64 kDecodedBytesPerPixel = 6;

// The most pixels a photograph may have when every pixel costs `bytesPerPixel` at once.
quint64 largestPhoto(quint64 bytesPerPixel)
{
    return platform::physicalMemory() / 2 / bytesPerPixel;
}

QString megapixels(quint64 pixels)
{
    return QString::number(double(pixels) / 1e6, 'f', 1);
}

// The refusal of a photograph of `size` when at most `largest` pixels fit.
QString tooLarge(const QString &path, QSize size, quint64 largest, bool fullSize)
{
    return QStringLiteral("no se puede leer la imagen %1: mide %2x%3 (%4 megapíxeles) y %5 "
                          "admite hasta %6 megapíxeles en este equipo")
        .arg(path)
        .arg(size.width())
        .arg(size.height())
        .arg(megapixels(quint64(size.width()) * quint64(size.height())),
             fullSize ? QStringLiteral("--tamano-completo") : QStringLiteral("tavelio-importar"),
             megapixels(largest));
}

// The largest allocation a decode at the teaching size may make on this machine.
quint64 decodingBudget()
{
    return std::min<quint64>(kDecodingBudget, platform::physicalMemory() / 2);
}

// The refusal, before decoding, of a photograph of `size` that would take `bytes` to decode.
QString tooCostly(const QString &path, QSize size, quint64 bytes)
{
    return QStringLiteral("no se puede leer la imagen %1: mide %2x%3 y decodificarla ocuparía "
                          "%4 MB; tavelio-importar admite hasta %5 MB")
        .arg(path)
        .arg(size.width())
        .arg(size.height())
        .arg(bytes / 1000000)
        .arg(decodingBudget() / 1000000);
}

// What a picture Qt reads will hold while it is decoded and brought down to `target`: a JPEG
// as its headers say; every other format is decoded whole at its stored size, at four bytes
// a pixel or eight for 16-bit samples, even when the reader is asked for a smaller size.
quint64 qtDecodingBytes(const QString &path, QImageReader &reader, QSize stored, QSize target)
{
    if (reader.format() == "jpeg") {
        if (const JpegLayout layout = jpegLayout(path); layout.found)
            return jpegDecodingBytes(layout, stored, target);
    }
    const quint64 depth
        = std::max<quint64>(4, QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel() / 8);
    return (quint64(stored.width()) * quint64(stored.height())
            + quint64(target.width()) * quint64(target.height()))
        * depth;
}

// libpng and libtiff write their own lines to the standard error, past Qt's message handler;
// while a picture is decoded they go nowhere, and the importer says what went wrong in one
// line of its own.
class QuietStandardError
{
public:
    QuietStandardError()
        : m_saved(::dup(STDERR_FILENO))
    {
        std::fflush(stderr);
        if (const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC); null >= 0) {
            ::dup2(null, STDERR_FILENO);
            ::close(null);
        }
    }
    ~QuietStandardError()
    {
        std::fflush(stderr);
        if (m_saved >= 0) {
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
        }
    }
    QuietStandardError(const QuietStandardError &) = delete;
    QuietStandardError &operator=(const QuietStandardError &) = delete;

private:
    int m_saved;
};

// A drawing on a transparent background laid on white, as a page or a browser shows it:
// turned straight to grey, its transparent pixels would keep their colour, often black.
QImage onWhite(const QImage &picture)
{
    if (!picture.hasAlphaChannel())
        return picture;
    const QImage premultiplied = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage flat(picture.size(), QImage::Format_RGB32);
    for (int y = 0; y < flat.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(premultiplied.constScanLine(y));
        auto *out = reinterpret_cast<QRgb *>(flat.scanLine(y));
        for (int x = 0; x < flat.width(); ++x) {
            const int clear = 255 - qAlpha(in[x]);
            out[x] = qRgb(qRed(in[x]) + clear, qGreen(in[x]) + clear, qBlue(in[x]) + clear);
        }
    }
    return flat;
}

// The motion lengths the operation table blurs by, read once.
const std::vector<int> &motionLengths()
{
    static const std::vector<int> lengths = ops::motionLengths();
    return lengths;
}

// The shortest side a picture is written with: the operations' spectra and windows need a
// few dozen samples a side to show anything.
constexpr int kSmallestSide = 64;

// The refusal of a picture written at `size` that the operations cannot take: the longest
// motion needs a wider row, and each side a few spectral samples to show.
QString tooSmall(const QString &path, QSize size)
{
    const std::vector<int> &lengths = motionLengths();
    const int longest = *std::max_element(lengths.begin(), lengths.end());
    const int width = std::max(kSmallestSide, longest + 1);
    if (size.width() >= width && size.height() >= kSmallestSide)
        return QString();
    return QStringLiteral("la imagen %1 se escribiría de %2x%3 píxeles y Tavelio admite desde "
                          "%4x%5 (el movimiento de %6 píxeles necesita un ancho mayor)")
        .arg(path)
        .arg(size.width())
        .arg(size.height())
        .arg(width)
        .arg(kSmallestSide)
        .arg(longest);
}

// The refusal of a photograph kept whole whose side is longer than the tools take, before it is
// decoded at all.
QString sideTooLong(const QString &path, QSize size)
{
    if (std::max(size.width(), size.height()) <= img::kMaxSide)
        return QString();
    return QStringLiteral("%1 mide %2x%3; las herramientas admiten hasta %4 de lado")
        .arg(path)
        .arg(size.width())
        .arg(size.height())
        .arg(img::kMaxSide);
}

// Qt's log lines while a photograph is decoded: libjpeg's warnings among them tell a file cut
// short, which Qt still hands over whole, its missing part grey.
QStringList *decodingMessages = nullptr;

void collectQtMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (decodingMessages)
        decodingMessages->append(message);
}

// True when one of Qt's lines says the data ran out or makes no sense.
bool saysDamaged(const QStringList &messages)
{
    for (const QString &message : messages) {
        for (const char *sign : {"premature end", "huffman", "truncat", "corrupt image",
                                 "read error", "invalid", "bogus"}) {
            if (message.contains(QLatin1String(sign), Qt::CaseInsensitive))
                return true;
        }
    }
    return false;
}

// The size the photograph of `size` is written at.
QSize sizeToWrite(QSize size, bool fullSize)
{
    if (fullSize || std::max(size.width(), size.height()) <= kTeachingSide)
        return size;
    return size.scaled(kTeachingSide, kTeachingSide, Qt::KeepAspectRatio);
}

// `grey` brought down by the largest whole factor that leaves it at least twice the teaching
// size, each pixel the mean of the block it covers. Qt's smooth scaling turns a grey picture
// into colour first, four bytes a pixel of a 48-megapixel photograph; after this it works on a
// small one, and does the rest.
QImage shrinkGrey(const QImage &grey)
{
    const int factor = std::max(grey.width(), grey.height()) / (2 * kTeachingSide);
    if (factor < 2)
        return grey;
    QImage small(grey.width() / factor, grey.height() / factor, QImage::Format_Grayscale8);
    std::vector<unsigned> sums(size_t(small.width()));
    for (int y = 0; y < small.height(); ++y) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (int dy = 0; dy < factor; ++dy) {
            const uchar *row = grey.constScanLine(y * factor + dy);
            for (int x = 0; x < small.width(); ++x)
                for (int dx = 0; dx < factor; ++dx)
                    sums[size_t(x)] += row[x * factor + dx];
        }
        uchar *out = small.scanLine(y);
        const unsigned block = unsigned(factor * factor);
        for (int x = 0; x < small.width(); ++x)
            out[x] = uchar((sums[size_t(x)] + block / 2) / block);
    }
    return small;
}

bool isHeif(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray start = file.read(64);
    const heif_filetype_result type = heif_check_filetype(
        reinterpret_cast<const uint8_t *>(start.constData()), int(start.size()));
    return type == heif_filetype_yes_supported || type == heif_filetype_yes_unsupported;
}

struct HeifDeleter
{
    void operator()(heif_context *context) const { heif_context_free(context); }
    void operator()(heif_image_handle *handle) const { heif_image_handle_release(handle); }
    void operator()(heif_image *image) const { heif_image_release(image); }
};

// Through libheif, which turns the picture as the file's own rotation and mirror say.
QImage readHeif(const QString &path, bool fullSize, QSize *original, QString *error)
{
    const QString damaged
        = QStringLiteral("no se puede leer la imagen %1: está dañada o incompleta").arg(path);
    heif_init(nullptr);
    const std::unique_ptr<void, void (*)(void *)> deinit(reinterpret_cast<void *>(1),
                                                         [](void *) { heif_deinit(); });
    if (!heif_have_decoder_for_format(heif_compression_HEVC)) {
        *error = QStringLiteral("no se puede leer la imagen %1: falta el decodificador HEIC de "
                                "libheif (el paquete libheif-plugin-libde265)")
                     .arg(path);
        return QImage();
    }
    const std::unique_ptr<heif_context, HeifDeleter> context(heif_context_alloc());
    if (heif_context_read_from_file(context.get(), QFile::encodeName(path).constData(), nullptr)
            .code
        != heif_error_Ok) {
        *error = damaged;
        return QImage();
    }
    heif_image_handle *rawHandle = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &rawHandle).code != heif_error_Ok) {
        *error = damaged;
        return QImage();
    }
    const std::unique_ptr<heif_image_handle, HeifDeleter> handle(rawHandle);
    const QSize size(heif_image_handle_get_width(handle.get()),
                     heif_image_handle_get_height(handle.get()));
    if (fullSize && !(*error = sideTooLong(path, size)).isEmpty())
        return QImage();
    const quint64 area = quint64(size.width()) * quint64(size.height());
    if (fullSize && area > largestPhoto(kWholeBytesPerPixel)) {
        *error = tooLarge(path, size, largestPhoto(kWholeBytesPerPixel), fullSize);
        return QImage();
    }
    if (!fullSize && area * kDecodedBytesPerPixel > decodingBudget()) {
        *error = tooCostly(path, size, area * kDecodedBytesPerPixel);
        return QImage();
    }
    // The picture is written grey: an 8-bit luma plane, as the file holds it, is that grey and
    // spares the conversion to colour its three bytes a pixel. Other files, and those with a
    // transparent part to lay on white, are turned to colour. A phone writes 4:2:0, which comes
    // out of the decoder as it is.
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get());
    heif_image *rawImage = nullptr;
    const heif_error lumaError = alpha
        ? heif_error {heif_error_Unsupported_feature, heif_suberror_Unspecified, ""}
        : heif_decode_image(handle.get(), &rawImage, heif_colorspace_YCbCr, heif_chroma_420,
                            nullptr);
    if (lumaError.code != heif_error_Ok && lumaError.code != heif_error_Unsupported_feature) {
        *error = damaged;
        return QImage();
    }
    std::unique_ptr<heif_image, HeifDeleter> image(lumaError.code == heif_error_Ok ? rawImage
                                                                                   : nullptr);
    heif_channel channel = heif_channel_Y;
    QImage::Format format = QImage::Format_Grayscale8;
    if (!image || !heif_image_has_channel(image.get(), heif_channel_Y)
        || heif_image_get_bits_per_pixel_range(image.get(), heif_channel_Y) != 8) {
        image.reset();
        if (heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB,
                              alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                              nullptr)
                .code
            != heif_error_Ok) {
            *error = damaged;
            return QImage();
        }
        image.reset(rawImage);
        channel = heif_channel_interleaved;
        format = !alpha ? QImage::Format_RGB888
            : heif_image_handle_is_premultiplied_alpha(handle.get())
            ? QImage::Format_RGBA8888_Premultiplied
            : QImage::Format_RGBA8888;
    }
    int stride = 0;
    const uint8_t *pixels = heif_image_get_plane_readonly(image.get(), channel, &stride);
    const QImage decoded(pixels, heif_image_get_width(image.get(), channel),
                         heif_image_get_height(image.get(), channel), stride, format);
    *original = decoded.size();
    // The pixels belong to libheif's image: the picture returned is a copy of its own.
    if (fullSize || decoded.size() == sizeToWrite(decoded.size(), false))
        return decoded.copy();
    return teachingSize(format == QImage::Format_Grayscale8 ? shrinkGrey(decoded) : decoded);
}

} // namespace

void keepQtQuiet()
{
    qInstallMessageHandler(collectQtMessage);
}

namespace {

QImage decodePhoto(const QString &path, bool fullSize, QSize *original, QString *error)
{
    const QFileInfo file(path);
    if (!file.isFile()) {
        // A FIFO or a device would be read for ever, or once.
        *error = file.exists()
            ? QStringLiteral("no se puede leer la imagen %1: no es un archivo").arg(path)
            : QStringLiteral("no existe la imagen %1").arg(path);
        return QImage();
    }
    // A file that cannot be opened says why, in Spanish, rather than passing for a format
    // nobody reads.
    if (const int fd
        = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        fd < 0) {
        *error = QStringLiteral("no se puede leer la imagen %1: %2")
                     .arg(path, QString::fromStdString(dos::spanishReason(errno)));
        return QImage();
    } else {
        ::close(fd);
    }
    if (isHeif(path))
        return readHeif(path, fullSize, original, error);

    QImageReader reader(path);
    reader.setAutoTransform(true); // a camera's portrait stays upright
    const QSize stored = reader.size();
    if (!stored.isValid()) {
        *error = QStringLiteral("no se puede leer la imagen %1: no es una imagen que se sepa "
                                "leer (PNG, JPEG, TIFF, BMP, HEIC...)")
                     .arg(path);
        return QImage();
    }
    // A baseline JPEG decodes straight at the size written; other formats are decoded whole,
    // then brought down. Either is weighed before a pixel is decoded.
    const QSize target = sizeToWrite(stored, fullSize);
    if (fullSize && !(*error = sideTooLong(path, stored)).isEmpty())
        return QImage();
    const bool scaledByDecoder
        = target != stored && reader.supportsOption(QImageIOHandler::ScaledSize);
    quint64 allowed = decodingBudget();
    if (fullSize) {
        const quint64 largest = largestPhoto(kWholeBytesPerPixel);
        if (quint64(stored.width()) * quint64(stored.height()) > largest) {
            *error = tooLarge(path, stored, largest, fullSize);
            return QImage();
        }
        allowed = largest * 4;
    } else if (const quint64 bytes = qtDecodingBytes(path, reader, stored, target);
               bytes > allowed) {
        *error = tooCostly(path, stored, bytes);
        return QImage();
    }
    if (scaledByDecoder)
        reader.setScaledSize(target);
    // Qt's own limit (128 MB) would refuse a 48-megapixel photograph decoded whole; the bound
    // above, which fits this machine, has taken its place.
    QImageReader::setAllocationLimit(
        int(std::min<quint64>(allowed / (1 << 20) + 1, std::numeric_limits<int>::max())));

    QStringList messages;
    decodingMessages = &messages;
    QImage read = reader.read();
    decodingMessages = nullptr;
    if (read.isNull() && isFloatTiff(path)) {
        *error = QStringLiteral("no se puede leer la imagen %1: es un TIFF de coma flotante, que "
                                "no se admite (conviértalo a 8 o 16 bits)")
                     .arg(path);
        return QImage();
    }
    if (read.isNull() || saysDamaged(messages)) {
        *error
            = QStringLiteral("no se puede leer la imagen %1: está dañada o incompleta").arg(path);
        return QImage();
    }
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    *original = turned ? stored.transposed() : stored;
    return scaledByDecoder || fullSize ? read : teachingSize(read);
}

} // namespace

QImage readPhoto(const QString &path, bool fullSize, QSize *original, QString *error)
{
    QImage picture;
    {
        const QuietStandardError quiet;
        picture = decodePhoto(path, fullSize, original, error);
    }
    if (picture.isNull() || !(*error = tooSmall(path, picture.size())).isEmpty())
        return QImage();
    return onWhite(picture);
}

QString lossyMotionsText(int side)
{
    QStringList lengths;
    for (int length : motionLengths()) {
        if (std::gcd(side, length) > 2)
            lengths << QString::number(length);
    }
    if (lengths.size() < 2)
        return lengths.isEmpty() ? QString() : QStringLiteral("el movimiento de ") + lengths[0];
    const QString last = lengths.takeLast();
    return QStringLiteral("los movimientos de %1 y %2")
        .arg(lengths.join(QStringLiteral(", ")), last);
}

int lossyMotionLength(int side)
{
    for (int length : motionLengths()) {
        if (std::gcd(side, length) > 2)
            return length;
    }
    return 0;
}

int pixelsToCrop(int side)
{
    int crop = 0;
    while (crop < side - 1 && lossyMotionLength(side - crop) != 0)
        ++crop;
    return crop;
}

QString nameProblem(const QString &name, const dos::fs::path &driveC)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')) || name.startsWith(QLatin1Char('-'))
        || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
        || hasControlCharacter(name))
        return QStringLiteral("no puede estar vacío, empezar por «.» o «-» ni llevar barras");
    // "x:" names a drive to the open command, not a file.
    if (name.contains(QLatin1Char(':')))
        return QStringLiteral("no puede llevar «:», que separa la letra de la unidad");
    const QString twin = name + QStringLiteral(".pgm");
    const dos::fs::path folder = dos::toolFolder(driveC);
    const dos::Drives drives {driveC, folder};
    const std::optional<QString> cut = app::pgmTwinName(QString::fromStdString(
        dos::toDos(folder / (name + QStringLiteral(".BMP")).toStdString(), drives)));
    if (cut != twin)
        return QStringLiteral("Abrir... buscaría su gemelo como «%1»").arg(cut.value_or(QString()));

    const std::string line = tools::alignCommandLine(twin.toStdString());
    QByteArray bytes;
    if (!app::batchFileBytes(QString::fromStdString(line), &bytes))
        return QStringLiteral("lleva letras que un archivo de órdenes no puede escribir");
    if (batch::splitWords(line).size() != 2)
        return QStringLiteral("no puede llevar blancos");
    if (isWorkingFile(twin.toStdString()))
        return QStringLiteral("las operaciones escriben o leen %1").arg(twin);
    const std::optional<dos::fs::path> found = dos::toNative(twin.toStdString(), drives);
    if (found != folder / twin.toStdString()) {
        return QStringLiteral("ya hay %1, que Abrir... tomaría en su lugar")
            .arg(QString::fromStdString(found.value_or(dos::fs::path()).filename().string()));
    }
    return QString();
}

QImage teachingSize(const QImage &picture)
{
    if (std::max(picture.width(), picture.height()) <= kTeachingSide)
        return picture;
    return picture.scaled(kTeachingSide, kTeachingSide, Qt::KeepAspectRatio,
                          Qt::SmoothTransformation);
}

QImage greyPicture(const QImage &picture, int cropWidth, int cropHeight)
{
    const QImage cropped = picture.copy(cropWidth / 2, cropHeight / 2, picture.width() - cropWidth,
                                        picture.height() - cropHeight);
    return cropped.convertToFormat(QImage::Format_Grayscale8);
}

img::Image toToolImage(const QImage &grey)
{
    img::Image image(grey.width(), grey.height());
    for (int y = 0; y < grey.height(); ++y) {
        const uchar *row = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            image.at(x, y) = row[x] / 255.0;
    }
    return image;
}

} // namespace importar
