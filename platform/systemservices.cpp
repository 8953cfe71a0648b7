// The real services: QProcess for starts, QMessageBox for messages.
#include "services.h"
#include "twips.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>

namespace platform {

namespace {

class SystemProcessStarter : public ProcessStarter
{
public:
    bool startDetached(const QString &program, const QStringList &arguments,
                       const QString &workingFolder, QString *reason) override
    {
        QProcess process;
        process.setProgram(program);
        process.setArguments(arguments);
        process.setWorkingDirectory(workingFolder);
        // A hidden console has nowhere to write and nobody to answer it; a terminal brings
        // its own. Either way nothing of ours stays attached to the child.
        process.setStandardInputFile(QProcess::nullDevice());
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        if (process.startDetached())
            return true;
        *reason = process.errorString();
        return false;
    }
};

class SystemMessageBoxes : public MessageBoxes
{
public:
    void show(QWidget *parent, const QString &text) override
    {
        QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Ok, parent);
        box.exec();
    }
};

} // namespace

ProcessStarter &systemProcessStarter()
{
    static SystemProcessStarter starter;
    return starter;
}

MessageBoxes &systemMessageBoxes()
{
    static SystemMessageBoxes boxes;
    return boxes;
}

double screenDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

} // namespace platform
