// The messages and viewer lines of the show buttons.
#include "resultviewer.h"

#include "contracts.h"

namespace app {

namespace {

QString viewerLine(const QString &image)
{
    return QString::fromStdString(tools::viewerCommandLine(image.toStdString()));
}

} // namespace

ShowAction showRestored(const MethodState &state)
{
    if (state.restoreMethod.isEmpty())
        return {QStringLiteral(" Aún no has usado ningún método para restaurar la imagen"), {}};
    return {QStringLiteral("Has usado el método basado en el ") + state.restoreMethod
                + QStringLiteral(" para restaurar la imagen"),
            viewerLine(state.restoreMethod + QLatin1String(tools::files::pgmExtension))};
}

ShowAction showDistorted(const MethodState &state)
{
    if (state.distortMethod.isEmpty())
        return {QStringLiteral("Aún no has usado ningún método para distorsionar la imagen"), {}};
    return {QStringLiteral("Has usado el método basado en el ") + state.distortMethod
                + QStringLiteral(" para distorsionar la imagen"),
            viewerLine(QLatin1String(tools::files::distor))};
}

} // namespace app
