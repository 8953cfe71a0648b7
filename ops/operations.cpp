// The operation table and its recipe.
#include "operations.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace ops {

namespace {

using tools::ToolId;
namespace f = tools::files;

constexpr Step kNoStep {nullptr, ToolId::Align, {nullptr, nullptr, nullptr}};

constexpr const char *kBlurText
    = "Observaciones:  A la imagen que hemos cargado (y tras ser previamente alineada)le "
      "aplicaremos una distorsión para que sea posteriormente restaurada";
constexpr const char *kReflectanceText
    = "Mejora las condiciones de una imagen que ha sido tomada con poca luz. Se basa en el "
      "fenómenos de reflectancia";

} // namespace

const Operation kOperations[] = {
    // Distortions: align.pgm into distor.pgm.
    {"Distorcion10",
     "Observaciones: Nuestra imagen es distorsionada  con un movimiento de 10 píxeles de "
     "desenfoque.",
     {"RuidoDeter.bat", ToolId::Mblur, {f::align, "10", f::distor}},
     0,
     kNoStep,
     MethodKind::Distort,
     " Ruido Determinado de 10"},
    {"Distorcion25",
     "Observaciones: Nuestra imagen es distorsionada  con un movimiento de 25 píxeles de "
     "desenfoque.",
     {"RuidoDeter.bat", ToolId::Mblur, {f::align, "25", f::distor}},
     0,
     kNoStep,
     MethodKind::Distort,
     " Ruido Determinado de 25"},
    {"Distorcion50",
     "Observaciones: Nuestra imagen es distorsionada  con un movimiento de 50 píxeles de "
     "desenfoque.",
     {"RuidoDeter.bat", ToolId::Mblur, {f::alignCapital, "50", f::distor}},
     0,
     kNoStep,
     MethodKind::Distort,
     " Ruido Determinado de 50"},
    {"Distorsimple",
     kBlurText,
     {"blur.bat", ToolId::Blur, {f::align, f::psf1A, f::distor}},
     0,
     kNoStep,
     MethodKind::Distort,
     "Blur"},
    {"DRuido",
     "Observaciones:  A la imagen que hemos cargado (y tras ser previamente alineada)le "
     "aplicaremos una distorsión para que sea posteriormente restaurada (El ruido es "
     "estructurado)",
     {"blur.bat", ToolId::Blur, {f::align, f::psf1A, f::disRuido}},
     2,
     {"blurruido.bat", ToolId::Snoise, {f::disRuido, f::distor, nullptr}},
     MethodKind::Distort,
     "Dis_Ruido"},
    {"RuidoE",
     "Observaciones: Nuestra imagen será distorsionada introduciéndole un ruido "
     "estructurado(Crea una imagen ruidosa).",
     {"RuidoE.bat", ToolId::SnoiseCapital, {f::align, f::distor, nullptr}},
     0,
     kNoStep,
     MethodKind::Distort,
     " Ruido Estructurado"},

    // Restorations of the distorted image.
    {"movimiento10",
     "Observaciones:  Eliminamos la distorsión provocado por el movimiento introducido igual "
     "a 10 píxeles.",
     {"Movimiento.bat", ToolId::Motion, {f::distor, "10", f::mov10}},
     0,
     kNoStep,
     MethodKind::Restore,
     "Mov10"},
    {"movimiento25",
     "Observaciones:  Eliminamos la distorsión provocado por el movimiento introducido igual "
     "a 25 píxeles.",
     {"Movimiento.bat", ToolId::Motion, {f::distor, "25", f::mov25}},
     0,
     kNoStep,
     MethodKind::Restore,
     "Mov25"},
    {"movimiento50",
     "Observaciones:  Eliminamos la distorsión provocado por el movimiento introducido igual "
     "a 50 píxeles.",
     {"Movimiento.bat", ToolId::Motion, {f::distor, "50", f::mov50}},
     0,
     kNoStep,
     MethodKind::Restore,
     "mov50"},
    {"Inverso",
     "Observaciones: Nos pide un valor umbral para descartar los píxeles de H que son "
     "demasiado pequeño. Se aconseja entorno 0.0001",
     {"Inverse.bat", ToolId::Inverse, {f::distor, f::psf2A, f::inverso}},
     0,
     kNoStep,
     MethodKind::Restore,
     "Inverso"},
    {"Wiener",
     "Observaciones: Una buena aproximación para el valor de k es el doble de la variación "
     "del ruido",
     {"wiener.bat", ToolId::Wiener, {f::distor, f::psf1A, f::wiener}},
     0,
     kNoStep,
     MethodKind::Restore,
     "wiener"},
    {"Retiro",
     "Observaciones:  Elimina las regiones donde la frecuencia es máxima ya que se considera "
     "ruido. Nos pide las coordenadas de las regiones para ponerlas a 0.",
     {"Retiro.bat", ToolId::Snr, {f::distor, f::retiro, nullptr}},
     0,
     kNoStep,
     MethodKind::Restore,
     "retiro"},

    // Enhancements of the aligned image.
    {"FFT",
     "Calcula la FFT en dos dimensiones de la imagen. La FFT es centrada con respecto al "
     "origen",
     {"FFT.bat", ToolId::Transfor, {f::align, f::fft, nullptr}},
     0,
     kNoStep,
     MethodKind::Restore,
     "FFT"},
    {"Homo",
     kReflectanceText,
     {"shuff.bat", ToolId::Shuffle, {f::align, nullptr, nullptr}},
     3,
     {"Homomorfico.bat", ToolId::Homo, {f::shuff, f::homo, nullptr}},
     MethodKind::Restore,
     "Homo"},
    {"enfasis",
     kReflectanceText,
     {"hiemph.bat", ToolId::Hiemph, {f::align, f::alto, nullptr}},
     2,
     {"Enfasis.bat", ToolId::Hiemph, {f::alto, f::enfasis, nullptr}},
     MethodKind::Restore,
     "Enfasis"},
};

const size_t kOperationCount = std::size(kOperations);

const Operation *findOperation(std::string_view control)
{
    for (const Operation &operation : kOperations) {
        if (control == operation.control)
            return &operation;
    }
    return nullptr;
}

bool isChained(const Operation &operation)
{
    return operation.pause > 0;
}

std::vector<Step> steps(const Operation &operation)
{
    if (isChained(operation))
        return {operation.first, operation.second};
    return {operation.first};
}

std::vector<int> motionLengths()
{
    std::vector<int> lengths;
    for (const Operation &operation : kOperations) {
        for (const Step &step : steps(operation)) {
            // Both tools take the length as their second argument.
            if (step.tool == tools::ToolId::Mblur || step.tool == tools::ToolId::Motion)
                lengths.push_back(std::atoi(step.arguments[1]));
        }
    }
    std::sort(lengths.begin(), lengths.end());
    lengths.erase(std::unique(lengths.begin(), lengths.end()), lengths.end());
    return lengths;
}

QString commandLine(const Step &step)
{
    return QString::fromStdString(tools::commandLine(step.tool, step.arguments));
}

platform::WindowStyle windowStyle(const Step &step)
{
    return tools::contract(step.tool).asksUser ? platform::vbNormalFocus : platform::vbHide;
}

void runOperation(const Operation &operation, OperationHost &host)
{
    const auto run = [&host](const Step &step) {
        return host.runBatch(QString::fromLatin1(step.batchFile), commandLine(step),
                             windowStyle(step));
    };
    host.setExplanation(QString::fromUtf8(operation.text));
    const platform::Started first = run(operation.first);
    if (!first)
        return;
    if (isChained(operation)) {
        // A second step started before the first has ended reads what an earlier run left
        // in the intermediate file: a result made from another photograph, unnoticed.
        const QString tool = QString::fromLatin1(tools::contract(operation.first.tool).program);
        switch (host.waitForFirstStep(operation.pause, *first, tool)) {
        case FirstStep::Ended:
            break;
        case FirstStep::StillRunning:
            host.logNotRun(
                commandLine(operation.second),
                QStringLiteral("%1: no se ejecutó porque %2 seguía en marcha a los %3 "
                               "minutos")
                    .arg(QString::fromLatin1(tools::contract(operation.second.tool).program), tool)
                    .arg(kFirstStepLimitMinutes));
            return;
        case FirstStep::Failed:
        case FirstStep::Closing:
            return;
        }
        if (!run(operation.second))
            return;
    }
    host.setMethod(operation.kind, QString::fromUtf8(operation.value));
}

} // namespace ops
