// Why a working image is missing.
#include "missingfile.h"

#include "contracts.h"
#include "dospath.h"

#include <QStringList>

#include <algorithm>
#include <optional>
#include <span>

namespace picture {

namespace {

// What to ask the student when a tool lacked a file that another step makes: by that step's
// tool.
struct StepHint
{
    tools::ToolId maker;
    const char *hint;
};

const StepHint kStepHints[] = {
    {tools::ToolId::Align, "¿Abrió antes una imagen con Archivo > Abrir?"},
    {tools::ToolId::Mblur, "¿Aplicó antes una distorsión?"},
    {tools::ToolId::Blur, "¿Aplicó antes una distorsión?"},
    {tools::ToolId::Snoise, "¿Aplicó antes una distorsión?"},
    {tools::ToolId::SnoiseCapital, "¿Aplicó antes una distorsión?"},
    {tools::ToolId::Shuffle, "Lo deja el primer paso del mismo filtro: vuelva a aplicarlo."},
    {tools::ToolId::Hiemph, "Lo deja el primer paso del mismo filtro: vuelva a aplicarlo."},
};

const char kDataHint[] = "Es un archivo de datos que debe estar en la carpeta de trabajo.";

std::string baseName(std::string_view dosPath)
{
    const size_t slash = dosPath.find_last_of("\\/");
    return std::string(slash == dosPath.npos ? dosPath : dosPath.substr(slash + 1));
}

// The file names a contract's free text lists ("distor.pgm or Dis_Ruido.pgm").
bool listsFile(const char *text, std::string_view fileName)
{
    const std::string_view all(text);
    size_t i = 0;
    while (i < all.size()) {
        const size_t end = all.find_first_of(" ,()", i);
        const std::string_view word = all.substr(i, end == all.npos ? all.npos : end - i);
        if (dos::equalsIgnoreCase(word, fileName))
            return true;
        if (end == all.npos)
            break;
        i = end + 1;
    }
    return false;
}

std::span<const tools::ToolContract> allTools()
{
    return std::span(tools::kTools, tools::kToolCount);
}

// The question for the student about the step that makes `file`; empty when no step of theirs
// makes it, or the step is not one to name.
QString stepHint(std::string_view file)
{
    for (const tools::ToolContract &tool : allTools()) {
        if (!listsFile(tool.writes, file))
            continue;
        for (const StepHint &step : kStepHints)
            if (step.maker == tool.id)
                return QString::fromUtf8(step.hint);
    }
    return {};
}

// The hint for an input a tool could not read: the step that makes it, or, when no step does,
// the data file it is.
QString hintFor(std::string_view missingInput)
{
    const QString hint = stepHint(missingInput);
    return hint.isEmpty() ? QString::fromUtf8(kDataHint) : hint;
}

// How many steps back a chain of failures is followed ("homo.exe could not read shuff.pgm,
// because shuffle.exe could not read align.pgm").
constexpr int kChainDepth = 4;

// The last failure in `folder`, before entry `end` of the log, of one of `makers`; the maker's
// name comes back as the contracts spell it.
struct Found
{
    size_t index;
    std::string maker;
};
std::optional<Found> lastFailure(const std::vector<failures::Failure> &log, std::string_view folder,
                                 const std::vector<std::string> &makers, size_t end)
{
    for (size_t i = end; i-- > 0;) {
        if (!dos::equalsIgnoreCase(log[i].folder, folder))
            continue;
        const std::string program = baseName(log[i].program);
        for (const std::string &maker : makers)
            if (dos::equalsIgnoreCase(program, maker))
                return Found {i, maker};
    }
    return std::nullopt;
}

// "Inverse.exe no pudo leer distor.pgm: no existe. ¿Aplicó antes una distorsión?" from the
// tool's own "inverse: no se puede leer el archivo «distor.pgm»: no existe". When the tool that
// makes that input failed before, its failure follows instead of the hint.
QString explain(const std::vector<failures::Failure> &log, std::string_view folder, Found failed,
                int depth)
{
    const std::string &message = log[failed.index].message;
    const QString tool = QString::fromStdString(failed.maker);
    const std::string_view cannotRead = "no se puede leer el archivo «";
    const size_t at = message.find(cannotRead);
    const size_t close = at == message.npos ? message.npos : message.find("»: ", at);
    if (close == message.npos) {
        // Anything else: its own words, without the "program: " it begins with.
        const size_t colon = message.find(": ");
        return QStringLiteral("%1 dijo: %2")
            .arg(tool,
                 QString::fromStdString(colon == message.npos ? message
                                                              : message.substr(colon + 2)));
    }
    const size_t start = at + cannotRead.size();
    const std::string input = message.substr(start, close - start);
    const std::optional<Found> before = depth < kChainDepth
        ? lastFailure(log, folder, makersOf(input), failed.index)
        : std::nullopt;
    return QStringLiteral("%1 no pudo leer %2: %3. %4")
        .arg(tool, QString::fromStdString(input), QString::fromStdString(message.substr(close + 4)),
             before ? explain(log, folder, *before, depth + 1) : hintFor(input));
}

} // namespace

std::vector<std::string> makersOf(std::string_view fileName)
{
    std::vector<std::string> makers;
    for (const tools::ToolContract &tool : allTools()) {
        const std::string name = tool.program;
        if (listsFile(tool.writes, fileName)
            && std::find_if(
                   makers.begin(), makers.end(),
                   [&](const std::string &known) { return dos::equalsIgnoreCase(known, name); })
                == makers.end())
            makers.push_back(name);
    }
    return makers;
}

QString missingFileText(std::string_view fileName, std::string_view folder,
                        const std::vector<failures::Failure> &log)
{
    const std::vector<std::string> makers = makersOf(fileName);
    if (makers.empty()) {
        const bool read = std::any_of(allTools().begin(), allTools().end(), [&](const auto &tool) {
            return listsFile(tool.reads, fileName);
        });
        return read ? QString::fromUtf8(kDataHint)
                    : QStringLiteral("Ningún paso de Tavelio escribe un archivo con ese nombre.");
    }
    // "mblur.exe, blur.exe o snoise.exe"
    QStringList names;
    for (const std::string &maker : makers)
        names << QString::fromStdString(maker);
    const QString last = names.takeLast();
    const QString who = QStringLiteral("Lo escribe ")
        + (names.isEmpty() ? last
                           : names.join(QStringLiteral(", ")) + QStringLiteral(" o ") + last);
    if (const std::optional<Found> failed = lastFailure(log, folder, makers, log.size()))
        return who + QStringLiteral(", que falló la última vez:\n")
            + explain(log, folder, *failed, 1);
    const QString hint = stepHint(fileName);
    return who
        + (hint.isEmpty() ? QStringLiteral(", que no ha fallado aquí: ¿aplicó ya ese paso? Si "
                                           "acaba de hacerlo, quizá aún no ha terminado.")
                          : QStringLiteral(". ") + hint);
}

} // namespace picture
