#include "photo.h"

#include "batchrunner.h"
#include "batchscript.h"
#include "contracts.h"
#include "drivec.h"
#include "filecommands.h"

#include <algorithm>
#include <numeric>

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

} // namespace

int lossyMotionLength(int side)
{
    for (int length : kMotionLengths) {
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
