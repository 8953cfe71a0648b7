// What the hand-in report says.
#include "labreport.h"

#include "linekeys.h"
#include "lookup.h"
#include "tool.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <map>
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

// A step, or a run of steps left out, at its place in the chain: steps first to
// first + count - 1.
struct Taken
{
    qsizetype first = 1;
    qsizetype count = 1;
    bool omitted = false;
    QString line;
};

std::vector<Taken> takenSteps(const QStringList &lines)
{
    std::vector<Taken> taken;
    qsizetype next = 1;
    for (const QString &line : lines) {
        const qsizetype left = qsizetype(img::omittedCount(line.toStdString()));
        if (left == 0 && !writtenBySuite(lookupLine(line)))
            continue;
        taken.push_back({next, std::max<qsizetype>(left, 1), left > 0, line});
        next += taken.back().count;
    }
    return taken;
}

bool isOrigin(const Taken &step)
{
    return !step.omitted && lookupLine(step.line).role == Role::Original;
}

// Past kShownSteps, the steps between the origin and the latest folded into one run, as
// img::history folds a header.
std::vector<Taken> folded(std::vector<Taken> taken)
{
    const qsizetype count = qsizetype(taken.size());
    if (count <= kShownSteps)
        return taken;
    std::optional<qsizetype> origin;
    for (qsizetype i = count; i-- > 0 && !origin;)
        if (isOrigin(taken[size_t(i)]))
            origin = i;
    if (origin && *origin >= count - kShownSteps)
        return {taken.end() - kShownSteps, taken.end()};
    const qsizetype tail = count - (kShownSteps - (origin ? 2 : 1));
    const qsizetype from = origin ? *origin + 1 : 0;
    Taken run {taken[size_t(from)].first, 0, true, {}};
    for (qsizetype i = from; i < tail; ++i)
        run.count += taken[size_t(i)].count;
    std::vector<Taken> shown;
    if (origin)
        shown.push_back(taken[size_t(*origin)]);
    shown.push_back(run);
    shown.insert(shown.end(), taken.begin() + tail, taken.end());
    return shown;
}

} // namespace

std::vector<Step> numberedSteps(const QStringList &lines)
{
    std::vector<Step> steps;
    for (const Taken &step : folded(takenSteps(lines))) {
        const qsizetype last = step.first + step.count - 1;
        steps.push_back({last == step.first ? QStringLiteral("%1.").arg(step.first)
                                            : QStringLiteral("%1–%2.").arg(step.first).arg(last),
                         step.omitted ? QString::fromStdString(img::omittedLine(size_t(step.count)))
                                      : readableLine(step.line)});
    }
    return steps;
}

qsizetype conclusionsLength(const QString &conclusions)
{
    const QStringList paragraphs = conclusions.split(QLatin1Char('\n'));
    qsizetype length = paragraphs.constLast().size();
    for (qsizetype i = 0; i + 1 < paragraphs.size(); ++i) {
        const qsizetype lines = std::max<qsizetype>(
            1, (paragraphs[i].size() + kConclusionsLineChars - 1) / kConclusionsLineChars);
        length += lines * kConclusionsLineChars;
    }
    return length;
}

QString conclusionsRefusal(const QString &conclusions)
{
    const qsizetype length = conclusionsLength(conclusions);
    if (length <= kConclusionsLimit)
        return {};
    return QStringLiteral("Las conclusiones ocupan %1 caracteres y en el informe caben %2 (un "
                          "salto de línea cuenta como el resto de su renglón de %3): acórtelas.")
        .arg(length)
        .arg(kConclusionsLimit)
        .arg(kConclusionsLineChars);
}

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
    const std::vector<Taken> then = takenSteps(before);
    if (std::none_of(then.begin(), then.end(), [](const Taken &step) { return step.omitted; }))
        return earlier.size() >= before.size()
            && earlier.mid(earlier.size() - before.size()) == before;
    // Each header folded the chain at its own length: compare the steps by their number.
    const std::vector<Taken> now = takenSteps(earlier);
    if (now.empty() || now.back().first + now.back().count != then.back().first + then.back().count)
        return false;
    std::map<qsizetype, QString> shown;
    for (const Taken &step : now)
        if (!step.omitted)
            shown[step.first] = step.line;
    return std::all_of(then.begin(), then.end(),
                       [&shown](const Taken &step) {
                           const auto same = shown.find(step.first);
                           return step.omitted || same == shown.end() || same->second == step.line;
                       })
        && shown.count(then.back().first);
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
