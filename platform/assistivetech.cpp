// AT-SPI's status, read from the accessibility bus launcher on the session bus.
#include "assistivetech.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>

namespace platform {

namespace {

// The launcher answers at once or not at all; a desktop without one must not hold up the
// console for the bus's default 25 seconds.
constexpr int kReplyMilliseconds = 500;

class AtSpiStatus : public AssistiveTechnology
{
public:
    bool isOn() override
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return false;
        for (const char *name : {"IsEnabled", "ScreenReaderEnabled"}) {
            QDBusMessage get = QDBusMessage::createMethodCall(
                QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
            get << QStringLiteral("org.a11y.Status") << QString::fromLatin1(name);
            const QDBusReply<QDBusVariant> reply = bus.call(get, QDBus::Block, kReplyMilliseconds);
            if (!reply.isValid())
                return false; // no launcher: nothing reads the desktop
            if (reply.value().variant().toBool())
                return true;
        }
        return false;
    }
};

} // namespace

AssistiveTechnology &systemAssistiveTechnology()
{
    static AtSpiStatus status;
    return status;
}

} // namespace platform
