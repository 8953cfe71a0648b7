// A chain's files beside a result, and the report's rule for align.pgm.
#include "beside.h"

#include "digest.h"
#include "dospath.h"
#include "labreport.h"
#include "linekeys.h"
#include "lookup.h"
#include "pnm.h"

#include <QFile>

#include <optional>

namespace report {

namespace {

namespace fs = std::filesystem;

const QString kAlign = QStringLiteral("align.pgm");

// The align.exe line of the history that records the original's digest, if any.
std::optional<std::string> recordedDigest(const QStringList &lines)
{
    for (qsizetype i = lines.size(); i-- > 0;)
        if (lookupLine(lines[i]).role == Role::Original)
            return img::lineValue(lines[i].toStdString(), img::kDigestKey);
    return std::nullopt;
}

} // namespace

QString sentenceOf(const std::exception &error)
{
    QString text = QString::fromUtf8(error.what());
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

QStringList toLines(const std::vector<std::string> &comments)
{
    QStringList lines;
    for (const std::string &comment : comments)
        lines << QString::fromStdString(comment);
    return lines;
}

ToolImage readBeside(const fs::path &folder, const QString &name)
{
    const fs::path path = dos::findInFolder(folder, QFile::encodeName(name).toStdString());
    std::vector<std::string> comments;
    img::Image image = img::readPnm(path.string(), nullptr, &comments);
    return {std::move(image), toLines(comments)};
}

QString whyNotTruth(const QStringList &lines, const ToolImage &align)
{
    const QString was = photographOf(lines), now = photographOf(align.lines);
    if (!was.isEmpty() && !now.isEmpty() && was.compare(now, Qt::CaseInsensitive) != 0)
        return QStringLiteral("%1 se hizo de %2 y el resultado viene de %3: no se da ninguna "
                              "medida.")
            .arg(kAlign, now, was);
    const std::optional<std::string> digest = recordedDigest(lines);
    if (digest && *digest != img::digestText(img::pictureDigest(align.image)))
        return QStringLiteral("%1 ya no es el original de la cadena del resultado: no se da "
                              "ninguna medida.")
            .arg(kAlign);
    return {};
}

} // namespace report
