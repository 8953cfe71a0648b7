// Writing batch files through a staged file and starting them through the command shell.
#include "batchrunner.h"

#include "commandshell.h"
#include "stagedfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace app {

BatchRunner::BatchRunner(platform::ProcessStarter &starter, platform::MessageBoxes &messages,
                         QString workingFolder)
    : m_starter(starter)
    , m_messages(messages)
    , m_workingFolder(std::move(workingFolder))
{
}

bool BatchRunner::writeBatchFile(const QString &fileName, const QString &commandLine,
                                 QString *reason)
{
    QByteArray bytes;
    if (!batchFileBytes(commandLine, &bytes)) {
        *reason = QCoreApplication::translate(
            "app", "la orden contiene caracteres que un archivo por lotes no puede guardar");
        return false;
    }
    // Written again on every click and run at once: a power cut loses nothing worth a flush.
    dos::StagedFile file(QFile::encodeName(QDir(m_workingFolder).filePath(fileName)).toStdString(),
                         dos::StagedFile::Flush::Later);
    if (!file.write(std::string_view(bytes.constData(), size_t(bytes.size()))) || !file.commit()) {
        *reason = QString::fromStdString(file.reason());
        return false;
    }
    return true;
}

platform::Started BatchRunner::startBatchFile(const QString &fileName,
                                              platform::WindowStyle windowStyle, QString *reason)
{
    return platform::startBatchFile(m_starter, m_workingFolder, fileName, windowStyle, reason);
}

platform::Started BatchRunner::run(QWidget *parent, const QString &fileName,
                                   const QString &commandLine, platform::WindowStyle windowStyle)
{
    QString reason;
    if (!writeBatchFile(fileName, commandLine, &reason)) {
        m_messages.show(
            parent,
            QCoreApplication::translate("app", "No se pudo escribir el archivo por lotes %1: %2")
                .arg(fileName, reason));
        return nullptr;
    }
    platform::Started started = startBatchFile(fileName, windowStyle, &reason);
    if (!started) {
        m_messages.show(
            parent,
            QCoreApplication::translate("app", "No se pudo iniciar el archivo por lotes %1: %2")
                .arg(fileName, reason));
    }
    return started;
}

} // namespace app
