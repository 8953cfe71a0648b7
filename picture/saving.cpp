// Saving the shown view to a file.
#include "saving.h"

#include "pnm.h"
#include "stagedfile.h"
#include "tool.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace picture {

namespace {

struct Format
{
    const char *filter;
    const char *writer; // Qt's name for it
    const char *suffixes[2];
};

constexpr Format kFormats[] = {
    {"Imagen PNG (*.png)", "png", {"png", nullptr}},
    {"Imagen JPEG (*.jpg *.jpeg)", "jpeg", {"jpg", "jpeg"}},
    {"Mapa de bits BMP (*.bmp)", "bmp", {"bmp", nullptr}},
    {"Imagen TIFF (*.tif *.tiff)", "tiff", {"tif", "tiff"}},
    {"Imagen PGM (*.pgm)", "pgm", {"pgm", nullptr}},
};

const QString kTitleKey = QStringLiteral("Title");

// Binary PGM through the imaging library, 16 bits when the picture has them, with the lines as
// header comments, as the tools write theirs. No title: a PGM's comments are the chain's lines.
QByteArray encodePgm(const QImage &picture, const QStringList &lines)
{
    const bool deep = picture.format() == QImage::Format_Grayscale16;
    const QImage grey = deep ? picture : picture.convertToFormat(QImage::Format_Grayscale8);
    const double top = deep ? 65535.0 : 255.0;
    std::vector<std::string> comments;
    for (const QString &line : lines)
        comments.push_back(line.toStdString());
    const std::string pgm = img::encodePgm(
        grey.width(), grey.height(), deep ? 16 : 8,
        [&grey, deep, top](int y, double *row) {
            const uchar *line = grey.constScanLine(y);
            const auto *line16 = reinterpret_cast<const quint16 *>(line);
            for (int x = 0; x < grey.width(); ++x)
                row[x] = (deep ? line16[x] : line[x]) / top;
            return static_cast<const double *>(row);
        },
        comments);
    return QByteArray(pgm.data(), qsizetype(pgm.size()));
}

} // namespace

QString writeWhole(const QString &path, const QByteArray &bytes)
{
    // A link under that name (a class photograph in drive C) is replaced, not written through.
    dos::StagedFile file(QFile::encodeName(path).toStdString());
    if (!file.write(std::string_view(bytes.constData(), size_t(bytes.size()))) || !file.commit())
        return QString::fromStdString(file.reason());
    return {};
}

QByteArray saveFormatFor(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (const Format &format : kFormats)
        for (const char *known : format.suffixes)
            if (known && suffix == QLatin1String(known))
                return format.writer;
    return {};
}

QStringList saveNameFilters()
{
    QStringList filters;
    for (const Format &format : kFormats)
        filters << QString::fromUtf8(format.filter);
    return filters;
}

QString suffixForFilter(const QString &filter)
{
    for (const Format &format : kFormats)
        if (filter == QString::fromUtf8(format.filter))
            return QString::fromLatin1(format.suffixes[0]);
    return QString::fromLatin1(kFormats[0].suffixes[0]);
}

QString suggestedSaveName(const QString &shownName, const QString &viewWord)
{
    const QString base = QFileInfo(shownName).completeBaseName();
    return (viewWord.isEmpty() ? base : base + QLatin1Char('-') + viewWord)
        + QStringLiteral(".png");
}

QImage samplesOf(const LoadedImage &image)
{
    if (image.maxval <= 255)
        return image.display;
    QImage samples(image.display.size(), QImage::Format_Grayscale16);
    for (int y = 0; y < samples.height(); ++y) {
        auto *line = reinterpret_cast<quint16 *>(samples.scanLine(y));
        for (int x = 0; x < samples.width(); ++x)
            line[x] = quint16(img::quantise(image.grey.at(x, y), 65535));
    }
    return samples;
}

QStringList savedLines(const QStringList &lines, const QString &viewWord, const QString &shownName)
{
    if (viewWord.isEmpty())
        return lines;
    return lines
        + QStringList {
            QStringLiteral("i_view32.exe %1 de %2")
                .arg(viewWord, QString::fromStdString(img::quotedWord(shownName.toStdString())))};
}

QString savePicture(const QImage &picture, const QString &path, const QString &title,
                    const QStringList &lines)
{
    const QByteArray format = saveFormatFor(path);
    if (format.isEmpty())
        return QStringLiteral("«.%1» no es una extensión que se sepa guardar: use .png, .jpg, "
                              ".bmp, .tif o .pgm.")
            .arg(QFileInfo(path).suffix());
    if (format == "pgm")
        return writeWhole(path, encodePgm(picture, lines));
    // Only PNG and TIFF hold 16-bit grey; the others get what the screen shows.
    QImage out = picture;
    if (out.format() == QImage::Format_Grayscale16 && format != "png" && format != "tiff")
        out.convertTo(QImage::Format_Grayscale8);
    out.setText(kTitleKey, title);
    if (!lines.isEmpty())
        out.setText(QString::fromLatin1(kLinesKey), lines.join(QLatin1Char('\n')));
    // Encoded in memory first: some of Qt's writers do not check that every byte was written.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(out))
        return QStringLiteral("no se puede codificar la imagen en %1").arg(QLatin1String(format));
    return writeWhole(path, buffer.data());
}

} // namespace picture
