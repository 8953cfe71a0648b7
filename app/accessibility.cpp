#include "accessibility.h"

#include "announce.h"

#include <QLabel>
#include <QRegularExpression>

namespace app {

QString spokenText(const QString &text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return QString(text).replace(blanks, QStringLiteral(" ")).trimmed();
}

void explain(QLabel *label, const QList<QWidget *> &hearers, const QString &text)
{
    label->setText(text);
    const QString spoken = spokenText(text);
    for (QWidget *hearer : hearers) {
        // The same step chosen twice is said twice: only a change of description is spoken.
        if (hearer->accessibleDescription() == spoken)
            hearer->setAccessibleDescription(QString());
        hearer->setAccessibleDescription(spoken);
    }
    platform::announce(label->window(), spoken);
}

QString pictureName(const QString &dosName)
{
    if (dosName.isEmpty())
        return QStringLiteral("Ninguna imagen abierta");
    return QStringLiteral("Imagen abierta: %1").arg(dosName.section(QLatin1Char('\\'), -1));
}

void nameControls(QWidget *arrow, QWidget *restoredButton)
{
    arrow->setAccessibleName(QStringLiteral("Flecha de la imagen distorsionada a la restaurada"));
    restoredButton->setAccessibleName(QStringLiteral("Mostrar imagen restaurada"));
}

} // namespace app
