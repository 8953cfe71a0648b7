#include "startup.h"

#include "aboutfactory.h"
#include "drivec.h"
#include "fonts.h"
#include "frmmain.h"
#include "opendialog.h"
#include "qtspanish.h"

#include <QApplication>

namespace app {

namespace {

// Calls back once, on the first paint of the watched window.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(std::function<void()> callback)
        : m_callback(std::move(callback))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_callback) {
            watched->removeEventFilter(this);
            std::exchange(m_callback, nullptr)();
        }
        return false;
    }

private:
    std::function<void()> m_callback;
};

void prepareDriveC(const dos::Drives &drives)
{
    std::string reason;
    if (!dos::prepareDriveC(drives.driveC, &reason)) {
        platform::systemMessageBoxes().show(
            nullptr,
            QStringLiteral("No se pudo preparar la unidad C (%1): %2")
                .arg(QString::fromStdString(drives.driveC.string()),
                     QString::fromStdString(reason)));
    }
}

} // namespace

int runTavelio(int &argc, char **argv, std::function<void()> onFirstPaint)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavelio"));
    // Wayland shells find the window's menu entry, and so its icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("tavelio"));

    platform::installSpanishQt(application);
    platform::registerTahoma();
    QApplication::setStyle(new platform::BoldTextStyle);
    QApplication::setFont(platform::systemFont()); // for dialogs and buttons without a font

    const dos::Drives drives = dos::currentDrives();
    prepareDriveC(drives);

    FileOpenDialog openDialog(drives);
    frmMain window(MainServices {
        platform::systemProcessStarter(),
        platform::systemMessageBoxes(),
        openDialog,
        drives,
        aboutBoxFactory(),
    });
    FirstPaint firstPaint(std::move(onFirstPaint));
    window.installEventFilter(&firstPaint);
    window.show();
    return application.exec();
}

} // namespace app
