// i_view32.exe's answers from the command line alone (usage.h).
#include "usage.h"

#include "comparisonpage.h"
#include "curve.h"
#include "explorer.h"
#include "labreport.h"
#include "report.h"
#include "tool.h"

#include <cstring>
#include <string_view>

namespace viewer {

namespace {

constexpr const char *kHelpOption = "--help";

// Every way to call the viewer, one a line: what to type and what it does. A new option is a
// new row here and a branch in main.cpp.
struct Usage
{
    const char *option; // nullptr: the plain window
    const char *arguments;
    const char *purpose;
};

constexpr Usage kUsages[] = {
    {nullptr, "IMAGEN", "muestra la imagen; con align.pgm al lado, su PSNR y su SSIM"},
    {report::kMeasuresOption, "IMAGEN",
     "escribe las medidas de IMAGEN frente a align.pgm, sin ventana"},
    {report::kHandInOption, "SALIDA.pdf IMAGEN [--conclusiones \"TEXTO\"]",
     "escribe el informe de IMAGEN en SALIDA.pdf, sin ventana; TEXTO, hasta 3000 caracteres"},
    {report::kCurveOption, "RESULTADO.pgm",
     "escribe la curva de PSNR y SSIM de un filtro Wiener o inverso según su valor, sin ventana"},
    {report::kCompareOption, "SALIDA.pdf DISTORSIONADA",
     "compara en SALIDA.pdf todas las restauraciones del menú sobre DISTORSIONADA, sin ventana"},
    {kExploreOption, "RESULTADO.pgm",
     "abre el explorador de un filtro Wiener o inverso o de un retiro de ruido estructurado"},
    {kHelpOption, "", "muestra esta ayuda"},
};

static_assert(report::kConclusionsLimit == 3000, "--help states the conclusions' limit");

bool isKnownOption(std::string_view word)
{
    for (const Usage &usage : kUsages)
        if (usage.option && word == usage.option)
            return true;
    return false;
}

} // namespace

std::string usageText()
{
    std::string text = "Uso:\n";
    for (const Usage &usage : kUsages) {
        std::string call = "  i_view32.exe";
        for (const char *word : {usage.option, usage.arguments})
            if (word && *word)
                (call += ' ') += word;
        text += call + "\n      " + usage.purpose + "\n";
    }
    text += "Una imagen cuyo nombre empieza por «-» se escribe como ./-nombre.pgm.\n";
    return text;
}

std::optional<EarlyAnswer> answerWithoutWindow(int argc, const char *const *argv)
{
    if (argc < 2 || argv[1][0] != '-' || argv[1][1] == '\0')
        return std::nullopt;
    const std::string_view option = argv[1];
    if (option == kHelpOption)
        return EarlyAnswer {img::kOk, usageText(), {}};
    if (isKnownOption(option))
        return std::nullopt;
    return EarlyAnswer {img::kMisuse,
                        {},
                        "i_view32.exe: la opción «" + std::string(option)
                            + "» no existe. Uso: i_view32.exe --help"};
}

} // namespace viewer
