#include "accessibility.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QLabel>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>

namespace app {

namespace {

// Says again that a widget has the focus when it gets it back from a menu or another window.
class FocusReturns : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const auto reason = event->type() == QEvent::FocusIn
            ? static_cast<QFocusEvent *>(event)->reason()
            : Qt::OtherFocusReason;
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) {
            // After the handler of the chosen entry, which gives the new description.
            QTimer::singleShot(0, this, [widget = QPointer<QObject>(watched)] {
                if (widget) {
                    QAccessibleEvent focus(widget.data(), QAccessible::Focus);
                    QAccessible::updateAccessibility(&focus);
                }
            });
        }
        return false;
    }
};

} // namespace

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
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent announcement(label, spoken);
    QAccessible::updateAccessibility(&announcement);
#endif
}

QString pictureName(const QString &dosName)
{
    if (dosName.isEmpty())
        return QStringLiteral("Ninguna imagen abierta");
    return QStringLiteral("Imagen abierta: %1").arg(dosName.section(QLatin1Char('\\'), -1));
}

void reportFocusReturns(const QList<QWidget *> &widgets)
{
    auto *filter = new FocusReturns(widgets.first());
    for (QWidget *widget : widgets)
        widget->installEventFilter(filter);
}

void nameControls(QWidget *arrow, QWidget *restoredButton)
{
    arrow->setAccessibleName(QStringLiteral("Flecha de la imagen distorsionada a la restaurada"));
    restoredButton->setAccessibleName(QStringLiteral("Mostrar imagen restaurada"));
}

} // namespace app
