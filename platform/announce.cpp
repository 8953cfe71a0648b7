#include "announce.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace platform {

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)

void announce(QWidget *window, const QString &text)
{
    QAccessibleAnnouncementEvent announcement(window, text);
    QAccessible::updateAccessibility(&announcement);
}

#else

namespace {

const char kAnnouncer[] = "tavelioAnnouncer";

QAccessibleInterface *announcerInterface(const QString &className, QObject *object)
{
    if (className != QLatin1String("QWidget") || object->objectName() != QLatin1String(kAnnouncer))
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Notification);
}

} // namespace

void announce(QWidget *window, const QString &text)
{
    auto *announcer = window->findChild<QWidget *>(kAnnouncer, Qt::FindDirectChildrenOnly);
    if (!announcer) {
        static const bool installed = (QAccessible::installFactory(announcerInterface), true);
        (void)installed;
        // A child of no size: it takes no room, no focus and no click.
        announcer = new QWidget(window);
        announcer->setObjectName(kAnnouncer);
        announcer->setGeometry(0, 0, 0, 0);
        announcer->setFocusPolicy(Qt::NoFocus);
    }
    // Hidden and shown again, so the same words said twice are heard twice.
    announcer->hide();
    announcer->setAccessibleName(text);
    announcer->show();
}

#endif

} // namespace platform
