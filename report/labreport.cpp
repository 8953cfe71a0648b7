// What the hand-in report says.
#include "labreport.h"

#include "linekeys.h"
#include "lookup.h"
#include "tool.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <optional>
#include <system_error>

#include <pwd.h>
#include <unistd.h>

namespace report {

using picture::GreyLevels;

namespace {

QString withoutFolder(const QString &path)
{
    return path.mid(path.lastIndexOf(QRegularExpression(QStringLiteral("[/\\\\]"))) + 1);
}

// A recorded value as the page shows it: a number short and Spanish, "0,0005424".
QString shownValue(const QString &value)
{
    static const QLocale spanish = [] {
        QLocale locale(QLocale::Spanish, QLocale::Spain);
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return locale;
    }();
    bool number = false;
    const double figure = value.toDouble(&number);
    return number ? spanish.toString(figure, 'g', 4) : value;
}

QString pieceOfHistory(const QString &word)
{
    // "name = value", the value kept beside its name on a wrapped line.
    const int equals = word.indexOf(QLatin1Char('='));
    if (equals < 0)
        return word;
    const QString name = word.left(equals), value = word.mid(equals + 1);
    bool number = false;
    value.toDouble(&number);
    if (number)
        return QStringLiteral("%1\u00A0=\u00A0%2").arg(name, shownValue(value));
    // A list of regions: "1,2,3,4;5,6,7,8", each region's numbers kept together.
    QStringList regions = value.split(QLatin1Char(';'));
    for (QString &region : regions)
        region.replace(QLatin1Char(','), QChar(0x00A0));
    return QStringLiteral("%1\u00A0=\u00A0%2").arg(name, regions.join(QStringLiteral("; ")));
}

} // namespace

QString chainStart(const QStringList &lines)
{
    if (lines.isEmpty())
        return {};
    const LineMeaning last = lookupLine(lines.constLast());
    if (last.arguments.isEmpty()
        || !last.program.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive))
        return {};
    return last.arguments.constFirst();
}

bool stillMadeAsThen(const QStringList &earlier, const QStringList &lines)
{
    const QStringList before = lines.mid(0, lines.size() - 1);
    return earlier.size() >= before.size() && earlier.mid(earlier.size() - before.size()) == before;
}

QString photographOf(const QStringList &lines)
{
    for (qsizetype i = lines.size(); i-- > 0;) {
        const LineMeaning meaning = lookupLine(lines[i]);
        if (meaning.role == Role::Original)
            return meaning.arguments.isEmpty() ? QString()
                                               : withoutFolder(meaning.arguments.constFirst());
    }
    return {};
}

QString alignDigestOf(const QStringList &lines)
{
    for (qsizetype i = lines.size(); i-- > 0;)
        if (lookupLine(lines[i]).role == Role::Original)
            return QString::fromStdString(
                img::lineValue(lines[i].toStdString(), img::kDigestKey).value_or(std::string()));
    return {};
}

Identity identify(const QStringList &lines)
{
    Identity identity;
    if (lines.isEmpty())
        return identity;
    const LineMeaning last = lookupLine(lines.constLast());
    identity.role = last.role;
    identity.operation = last.operation;
    identity.firstOfTwo = last.firstOfTwo;
    if (last.role == Role::View) {
        // "i_view32.exe espectro de mov25.pgm"
        identity.view = last.arguments[0];
        identity.viewOf = last.arguments.mid(2).join(QLatin1Char(' '));
    }
    return identity;
}

QString readableLine(const QString &line)
{
    const std::vector<std::string> words = img::lineWords(line.toStdString());
    if (words.empty() || img::omittedCount(line.toStdString()))
        return line;
    QStringList shown;
    bool afterAnswer = false; // the last word shown was an answer, "k = 0,001"
    for (const std::string &word : words) {
        const QString text = QString::fromStdString(word);
        const QString key
            = text.contains(QLatin1Char('=')) ? text.section(QLatin1Char('='), 0, 0) : QString();
        if (key == QLatin1String(img::kDigestKey))
            continue;
        if (key == QLatin1String(img::kAdvisedKey) && afterAnswer) {
            shown.last() += QStringLiteral(" (%1\u00A0%2)")
                                .arg(key, shownValue(text.section(QLatin1Char('='), 1)));
            afterAnswer = false;
            continue;
        }
        afterAnswer = text.contains(QLatin1Char('=')) && !text.contains(QLatin1Char(' '));
        // A name with blanks stays quoted, and whole on one line.
        shown << (text.contains(QLatin1Char(' '))
                      ? QStringLiteral("\"%1\"").arg(QString(text).replace(' ', QChar(0x00A0)))
                      : pieceOfHistory(text));
    }
    return shown.join(QLatin1Char(' '));
}

QRect largestDifference(const GreyLevels &a, const GreyLevels &b, int side)
{
    const int width = a.width(), height = a.height();
    side = std::min({side, width, height});
    // Sums over a grid of half-side blocks, then the best square of 2 × 2 blocks.
    const int block = std::max(1, side / 2);
    const int columns = width / block, rows = height / block;
    std::vector<double> sums(size_t(columns) * size_t(rows), 0.0);
    std::vector<float> rowA(static_cast<size_t>(width)), rowB(static_cast<size_t>(width));
    for (int y = 0; y < rows * block; ++y) {
        a.row(y, rowA.data());
        b.row(y, rowB.data());
        double *sum = &sums[size_t(y / block) * size_t(columns)];
        for (int x = 0; x < columns * block; ++x)
            sum[x / block] += std::abs(double(rowA[size_t(x)]) - double(rowB[size_t(x)]));
    }
    QPoint best(0, 0);
    double most = -1;
    for (int row = 0; row + 1 < rows || (row == 0 && rows == 1); ++row)
        for (int column = 0; column + 1 < columns || (column == 0 && columns == 1); ++column) {
            double sum = 0;
            for (int dy = 0; dy < 2 && row + dy < rows; ++dy)
                for (int dx = 0; dx < 2 && column + dx < columns; ++dx)
                    sum += sums[size_t(row + dy) * size_t(columns) + size_t(column + dx)];
            if (sum > most) {
                most = sum;
                best = QPoint(column * block, row * block);
            }
        }
    QRect square(best, QSize(side, side));
    square.moveLeft(std::min(square.left(), width - side));
    square.moveTop(std::min(square.top(), height - side));
    return square;
}

QString currentUserName()
{
    if (const passwd *entry = getpwuid(getuid())) {
        const QString full
            = QString::fromLocal8Bit(entry->pw_gecos).section(QLatin1Char(','), 0, 0);
        return full.trimmed().isEmpty() ? QString::fromLocal8Bit(entry->pw_name) : full.trimmed();
    }
    return qEnvironmentVariable("USER", QStringLiteral("(desconocido)"));
}

} // namespace report
