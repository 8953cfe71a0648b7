// The real services: QProcess for starts, QMessageBox for messages.
#include "services.h"
#include "twips.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <utility>

namespace platform {

namespace {

class SystemProcessStarter : public ProcessStarter
{
public:
    Started start(const QString &program, const QStringList &arguments,
                  const QString &workingFolder, QString *reason) override
    {
        // A child of ours, so that its end and exit status reach us. The QProcess goes when
        // the child has ended, and never before: its destructor would kill it. One still
        // running when the program leaves is simply not destroyed, and the child lives on.
        auto *process = new QProcess;
        process->setProgram(program);
        process->setArguments(arguments);
        process->setWorkingDirectory(workingFolder);
        // A hidden console has nowhere to write and nobody to answer it; a terminal brings
        // its own. Either way nothing of ours stays attached to the child.
        process->setStandardInputFile(QProcess::nullDevice());
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        process->start();
        if (!process->waitForStarted(-1)) {
            *reason = process->errorString();
            delete process;
            return nullptr;
        }
        auto watch = std::make_shared<StartedProgram>();
        QObject::connect(process, &QProcess::finished, process,
                         [process, weak = std::weak_ptr<StartedProgram>(watch)](
                             int exitCode, QProcess::ExitStatus status) {
                             process->deleteLater();
                             if (const auto watching = weak.lock())
                                 watching->end(status != QProcess::NormalExit || exitCode != 0);
                         });
        return watch;
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
