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

QString terminalPath(AssistiveTechnology &assistive)
{
    const QString configured = qEnvironmentVariable("TAVELIO_TERMINAL");
    if (!configured.isEmpty())
        return configured;
    for (const QString &name : {QStringLiteral("x-terminal-emulator"), QStringLiteral("xterm")}) {
        const QString found = QStandardPaths::findExecutable(name);
        if (found.isEmpty())
            continue;
        // The bus is asked only when the answer could change the terminal.
        if (isXterm(QFileInfo(found).canonicalFilePath()) && assistive.isOn()) {
            const QString readable = accessibleTerminal();
            if (!readable.isEmpty())
                return readable;
        }
        return found;
    }
    return QString();
}

bool isXterm(const QString &resolved)
{
    // uxterm, lxterm and koi8rxterm are scripts that start xterm itself.
    const QString name = QFileInfo(resolved).fileName();
    return name.endsWith(QLatin1String("xterm"));
}

QString accessibleTerminal()
{
    for (const char *name : kAccessibleTerminals) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

Launch terminalLaunch(const QString &terminal, const QString &resolved, const QStringList &command)
{
    const QFileInfo file(resolved.isEmpty() ? terminal : resolved);
    const QString name = file.fileName();
    // GNOME's terminal reads "-e" as one string for a shell to split, and only "--" hands the
    // program and its arguments over as they are. Debian's x-terminal-emulator for it is a
    // wrapper script; going past it to the terminal itself keeps the arguments intact.
    if (name == QLatin1String("gnome-terminal.wrapper"))
        return Launch {file.dir().filePath(QStringLiteral("gnome-terminal")),
                       QStringList {QStringLiteral("--")} + command};
    if (name.startsWith(QLatin1String("gnome-terminal")))
        return Launch {terminal, QStringList {QStringLiteral("--")} + command};
    // These take "-e" as one string too, and "-x" for the rest of the line as it is.
    for (const char *dashX : {"xfce4-terminal", "mate-terminal", "terminator"}) {
        if (name == QLatin1String(dashX))
            return Launch {terminal, QStringList {QStringLiteral("-x")} + command};
    }
    // These run the rest of their command line, with no option before it.
    if (name == QLatin1String("kitty") || name == QLatin1String("foot"))
        return Launch {terminal, command};
    // "-e program args..." is xterm's, KDE's konsole's, and what Debian asks of every
    // x-terminal-emulator (the wrappers of the terminals above included).
    return Launch {terminal, QStringList {QStringLiteral("-e")} + command};
}

Launch batchLaunch(const QString &batchFile, WindowStyle style, const QString &shell,
                   const QString &terminal, const QString &resolvedTerminal)
{
    if (style == vbHide)
        return Launch {shell, QStringList {QStringLiteral("/c"), batchFile}};
    // The window closes when the shell ends, so the shell itself waits after a failure ("/p")
    // to leave the tool's message readable.
    return terminalLaunch(
        terminal, resolvedTerminal,
        QStringList {shell, QStringLiteral("/c"), QStringLiteral("/p"), batchFile});
}

Started startBatchFile(ProcessStarter &starter, const QString &workingFolder,
                       const QString &batchFile, WindowStyle style, QString *reason,
                       AssistiveTechnology &assistive)
{
    const QString shell = commandShellPath();
    if (!QFileInfo(shell).isExecutable()) {
        *reason
            = QCoreApplication::translate("platform", "no se encuentra el intérprete de órdenes %1")
                  .arg(shell);
        return nullptr;
    }
    const QString terminal = style == vbHide ? QString() : terminalPath(assistive);
    if (style != vbHide && terminal.isEmpty()) {
        *reason = QCoreApplication::translate(
            "platform", "no hay ningún terminal instalado (x-terminal-emulator o xterm)");
        return nullptr;
    }
    const Launch launch
        = batchLaunch(batchFile, style, shell, terminal,
                      QFileInfo(QStandardPaths::findExecutable(terminal)).canonicalFilePath());
    return starter.start(launch.program, launch.arguments, workingFolder, reason);
}

} // namespace platform
