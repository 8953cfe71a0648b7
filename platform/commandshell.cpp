// Batch files run by tavcmd, hidden or inside a terminal window.
#include "commandshell.h"

#include "drivec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

QString commandShellPath()
{
    const QString configured = qEnvironmentVariable("TAVELIO_CMD");
    if (!configured.isEmpty())
        return configured;
    // Beside the program in the build tree; in <prefix>/lib/tavelio once installed.
    const QString beside
        = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tavcmd"));
    if (QFileInfo::exists(beside))
        return beside;
    const dos::fs::path library = dos::installedLibraryFolder(dos::currentExecutable());
    return QString::fromStdString((library / "tavcmd").string());
}

QString terminalPath()
{
    const QString configured = qEnvironmentVariable("TAVELIO_TERMINAL");
    if (!configured.isEmpty())
        return configured;
    for (const QString &name : {QStringLiteral("x-terminal-emulator"), QStringLiteral("xterm")}) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

Launch batchLaunch(const QString &batchFile, WindowStyle style, const QString &shell,
                   const QString &terminal)
{
    const QStringList shellArguments {QStringLiteral("/c"), batchFile};
    if (style == vbHide)
        return Launch {shell, shellArguments};
    // "-e program args..." is understood by xterm and by every x-terminal-emulator. The window
    // closes when the shell ends, so the shell itself waits after a failure ("/p") to leave
    // the tool's message readable.
    return Launch {terminal,
                   QStringList {QStringLiteral("-e"), shell, QStringLiteral("/c"),
                                QStringLiteral("/p"), batchFile}};
}

bool startBatchFile(ProcessStarter &starter, const QString &workingFolder, const QString &batchFile,
                    WindowStyle style, QString *reason)
{
    const QString shell = commandShellPath();
    if (!QFileInfo(shell).isExecutable()) {
        *reason
            = QCoreApplication::translate("platform", "no se encuentra el intérprete de órdenes %1")
                  .arg(shell);
        return false;
    }
    const QString terminal = style == vbHide ? QString() : terminalPath();
    if (style != vbHide && terminal.isEmpty()) {
        *reason = QCoreApplication::translate(
            "platform", "no hay ningún terminal instalado (x-terminal-emulator o xterm)");
        return false;
    }
    const Launch launch = batchLaunch(batchFile, style, shell, terminal);
    return starter.startDetached(launch.program, launch.arguments, workingFolder, reason);
}

} // namespace platform
