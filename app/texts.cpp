#include "texts.h"

namespace app {

namespace {

QString blanks(int count)
{
    return QString(count, QLatin1Char(' '));
}

QString stepsText(const QString &distortion, const QString &restored)
{
    return QStringLiteral("Observaciones :") + blanks(39)
        + QStringLiteral("1º) Cargaremos la imagen deseada") + blanks(9)
        + QStringLiteral("2º) Le aplicaremos una ") + distortion + blanks(10)
        + QStringLiteral("3º) Trataremos de resturarla con los") + blanks(4)
        + QStringLiteral("diferentes métodos") + blanks(35)
        + QStringLiteral("4º) Mostrar la imagen ") + restored;
}

} // namespace

QString initialText()
{
    return stepsText(QStringLiteral("distorción"), QStringLiteral("resturada"));
}

QString openText()
{
    return stepsText(QStringLiteral("distorsión"), QStringLiteral("restaurada"));
}

} // namespace app
