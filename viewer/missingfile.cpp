// Why a working image is missing.
#include "missingfile.h"

#include "contracts.h"
#include "dospath.h"

#include <QStringList>

#include <algorithm>
#include <span>

namespace viewer {

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

QString hintFor(std::string_view missingInput)
{
    for (const tools::ToolContract &tool : std::span(tools::kTools, tools::kToolCount)) {
        if (!listsFile(tool.writes, missingInput))
            continue;
        for (const StepHint &step : kStepHints)
            if (step.maker == tool.id)
                return QString::fromUtf8(step.hint);
    }
    return QString::fromUtf8(kDataHint);
}

// "Inverse.exe no pudo leer distor.pgm: no existe. ¿Aplicó antes una distorsión?" from the
// tool's own "inverse: no se puede leer el archivo «distor.pgm»: no existe".
QString explain(const std::string &tool, const std::string &message)
{
    const std::string_view cannotRead = "no se puede leer el archivo «";
    const size_t at = message.find(cannotRead);
    const size_t close = at == message.npos ? message.npos : message.find("»: ", at);
    if (close != message.npos) {
        const size_t start = at + cannotRead.size();
        const std::string input = message.substr(start, close - start);
        return QStringLiteral("%1 no pudo leer %2: %3. %4")
            .arg(QString::fromStdString(tool), QString::fromStdString(input),
                 QString::fromStdString(message.substr(close + 4)), hintFor(input));
    }
    // Anything else: its own words, without the "program: " it begins with.
    const size_t colon = message.find(": ");
    return QStringLiteral("%1 dijo: %2")
        .arg(QString::fromStdString(tool),
             QString::fromStdString(colon == message.npos ? message : message.substr(colon + 2)));
}

} // namespace

std::vector<std::string> makersOf(std::string_view fileName)
{
    std::vector<std::string> makers;
    for (const tools::ToolContract &tool : std::span(tools::kTools, tools::kToolCount)) {
        const std::string name = baseName(tool.path);
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
    if (makers.empty())
        return QString::fromUtf8(kDataHint);
    QStringList names;
    for (const std::string &maker : makers)
        names << QString::fromStdString(maker);
    const QString who = QStringLiteral("Lo escribe %1").arg(names.join(QStringLiteral(" o ")));
    for (auto it = log.rbegin(); it != log.rend(); ++it) {
        if (!dos::equalsIgnoreCase(it->folder, folder))
            continue;
        const std::string program = baseName(it->program);
        for (const std::string &maker : makers)
            if (dos::equalsIgnoreCase(program, maker))
                return who + QStringLiteral(", que falló la última vez:\n")
                    + explain(maker, it->message);
    }
    return who
        + QStringLiteral(", que no ha fallado aquí: ¿aplicó ya ese paso? Si acaba de "
                         "hacerlo, quizá aún no ha terminado.");
}

} // namespace viewer
