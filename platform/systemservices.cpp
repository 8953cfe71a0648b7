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

// Starts `process`, a child of ours, so that its end and exit status reach us. The QProcess
// goes when the child has ended, and never before: its destructor would kill it. One still
// running when the program leaves is simply not destroyed, and the child lives on. Null, with
// the system's reason, when it could not start.
Started launch(QProcess *process, const QString &program, const QStringList &arguments,
               const QString &workingFolder, QString *reason)
{
    process->setProgram(program);
    process->setArguments(arguments);
    process->setWorkingDirectory(workingFolder);
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
                         // Nothing when its error output went to the null device.
                         const QStringList said = QString::fromUtf8(process->readAllStandardError())
                                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
                         if (const auto watching = weak.lock())
                             watching->end(status != QProcess::NormalExit || exitCode != 0,
                                           said.isEmpty() ? QString() : said.last());
                     });
    return watch;
}

class SystemProcessStarter : public ProcessStarter
{
public:
    Started start(const QString &program, const QStringList &arguments,
                  const QString &workingFolder, QString *reason) override
    {
        auto *process = new QProcess;
        // A hidden console has nowhere to write and nobody to answer it; a terminal brings
        // its own. Either way nothing of ours stays attached to the child.
        process->setStandardInputFile(QProcess::nullDevice());
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        return launch(process, program, arguments, workingFolder, reason);
    }

    Started startAnswered(const QString &program, const QStringList &arguments,
                          const QString &workingFolder, const QByteArray &answers,
                          QString *reason) override
    {
        auto *process = new QProcess;
        process->setStandardOutputFile(QProcess::nullDevice());
        Started started = launch(process, program, arguments, workingFolder, reason);
        // The answers are a few short lines: the pipe takes them whole, and its end is the
        // student's last Enter.
        if (started) {
            process->write(answers);
            process->closeWriteChannel();
        }
        return started;
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
