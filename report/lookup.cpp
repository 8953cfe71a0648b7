// Reading a tool's line back into the operation that runs it.
#include "lookup.h"

#include "menus.h"
#include "tool.h"

#include <QRegularExpression>

#include <algorithm>

namespace report {

namespace {

bool isNumber(const char *argument)
{
    if (!*argument)
        return false;
    for (const char *c = argument; *c; ++c)
        if (*c < '0' || *c > '9')
            return false;
    return true;
}

// How well `step` fits the line's arguments: -1 when a number differs, else how many file
// names agree.
int fit(const ops::Step &step, const QStringList &arguments)
{
    int score = 0;
    for (size_t i = 0; i < step.arguments.size(); ++i) {
        const char *expected = step.arguments[i];
        if (!expected)
            continue;
        const QString given = qsizetype(i) < arguments.size() ? arguments[qsizetype(i)] : QString();
        if (isNumber(expected)) {
            if (given != QLatin1String(expected))
                return -1;
        } else if (given.compare(QLatin1String(expected), Qt::CaseInsensitive) == 0) {
            ++score;
        }
    }
    return score;
}

Role roleOf(const ops::Operation &operation)
{
    if (operation.first.tool == tools::ToolId::Transfor)
        return Role::Spectrum;
    if (operation.kind == ops::MethodKind::Distort)
        return Role::Distortion;
    // The enhancements work on the aligned photograph, the restorations on the damage.
    const char *input = operation.first.arguments[0];
    return input
            && QString::fromLatin1(input).compare(QLatin1String(tools::files::align),
                                                  Qt::CaseInsensitive)
                == 0
        ? Role::Enhancement
        : Role::Restoration;
}

int menuIndex(const ops::Operation &operation)
{
    for (int i = 0; i < app::kMenuCount; ++i)
        if (qstrcmp(app::kMenu[i].control, operation.control) == 0)
            return i;
    return -1;
}

QString withoutMark(const char *caption)
{
    return QString::fromUtf8(caption).remove(QLatin1Char('&')).trimmed();
}

} // namespace

bool isProgram(const LineMeaning &made, const char *program)
{
    return made.program.compare(QLatin1String(program), Qt::CaseInsensitive) == 0;
}

LineMeaning lookupLine(const QString &line)
{
    LineMeaning meaning;
    const std::vector<std::string> words = img::lineWords(line.toStdString());
    if (words.empty())
        return meaning;
    const QString first = QString::fromStdString(words[0]);
    meaning.program
        = first.mid(first.lastIndexOf(QRegularExpression(QStringLiteral("[/\\\\]"))) + 1);
    for (size_t i = 1; i < words.size(); ++i) {
        const QString word = QString::fromStdString(words[i]);
        // Answers come last, as name=value; a file name holds no "=".
        (word.contains(QLatin1Char('=')) || !meaning.answers.isEmpty() ? meaning.answers
                                                                       : meaning.arguments)
            << word;
    }
    const auto isProgram = [&meaning](tools::ToolId tool) {
        return meaning.program.compare(QLatin1String(tools::contract(tool).program),
                                       Qt::CaseInsensitive)
            == 0;
    };
    if (isProgram(tools::ToolId::Align)) {
        meaning.role = Role::Original;
        return meaning;
    }
    // The line the viewer adds to a view it saves (picture::savedLines): "VIEW de IMAGE".
    if (meaning.program.compare(QStringLiteral("i_view32.exe"), Qt::CaseInsensitive) == 0) {
        if (meaning.arguments.size() >= 3 && meaning.arguments[1] == QStringLiteral("de"))
            meaning.role = Role::View;
        return meaning;
    }
    int best = -1;
    for (size_t i = 0; i < ops::kOperationCount; ++i) {
        const ops::Operation &operation = ops::kOperations[i];
        for (const ops::Step *step : {&operation.first, &operation.second}) {
            if (!step->batchFile || !isProgram(step->tool))
                continue;
            const int score = fit(*step, meaning.arguments);
            if (score > best) {
                best = score;
                meaning.operation = &operation;
                meaning.firstOfTwo = step == &operation.first && operation.pause > 0;
            } else if (score == best && meaning.operation == &operation) {
                // Both steps fit a student's own names as well: say no more than is known.
                meaning.firstOfTwo = false;
            }
        }
    }
    if (meaning.operation)
        meaning.role = roleOf(*meaning.operation);
    return meaning;
}

bool writtenBySuite(const LineMeaning &meaning)
{
    return std::any_of(
        tools::kTools, tools::kTools + tools::kToolCount,
        [&meaning](const tools::ToolContract &tool) {
            return meaning.program.compare(QLatin1String(tool.program), Qt::CaseInsensitive) == 0;
        });
}

QString menuCaption(const ops::Operation &operation)
{
    const int index = menuIndex(operation);
    return index < 0 ? QString::fromLatin1(operation.control)
                     : withoutMark(app::kMenu[index].caption);
}

QStringList menuPath(const ops::Operation &operation)
{
    QStringList path;
    const int index = menuIndex(operation);
    if (index < 0)
        return path;
    int level = app::kMenu[index].level;
    for (int i = index - 1; i >= 0 && level > 0; --i) {
        if (app::kMenu[i].level < level) {
            level = app::kMenu[i].level;
            path.prepend(withoutMark(app::kMenu[i].caption));
        }
    }
    return path;
}

QString explanation(const ops::Operation &operation)
{
    return QString::fromUtf8(operation.text);
}

} // namespace report
