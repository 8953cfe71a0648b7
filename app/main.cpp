// Tavelio: a small program for teaching image restoration.
//
// Starts in its working folder (the tool folder of drive C, where the launchers put it) and
// shows the main window; everything else is driven from its menus.

#include "aboutfactory.h"
#include "drivec.h"
#include "fonts.h"
#include "frmmain.h"
#include "opendialog.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavelio"));

    // Standard buttons read "Aceptar", "Cancelar", "Abrir".
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QStringLiteral("es")), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);
    platform::registerTahoma();
    // Windows draws dialogs and buttons without a font of their own in Tahoma 8.
    QApplication::setFont(platform::tahoma(8, false));

    const dos::Drives drives = dos::currentDrives();
    std::string reason;
    const dos::fs::path templateDir = dos::findTemplate(dos::currentExecutable());
    if (!templateDir.empty() && !dos::prepareDriveC(drives.driveC, templateDir, &reason)) {
        platform::systemMessageBoxes().show(nullptr,
            QStringLiteral("No se pudo preparar la unidad C (%1): %2")
                .arg(QString::fromStdString(drives.driveC.string()), QString::fromStdString(reason)));
    }

    app::FileOpenDialog openDialog(drives);
    app::frmMain window(app::MainServices {
        platform::systemProcessStarter(),
        platform::systemMessageBoxes(),
        openDialog,
        drives,
        app::aboutBoxFactory(),
    });
    window.show();
    return application.exec();
}
