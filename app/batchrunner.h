// The batch runner: every operation starts its outside program through a batch file of three
// lines, written into the working folder and started without waiting.
#pragma once

#include "batchbytes.h"
#include "services.h"

#include <QString>

class QWidget;

namespace app {

class BatchRunner
{
public:
    BatchRunner(platform::ProcessStarter &starter, platform::MessageBoxes &messages,
                QString workingFolder);

    // Creates or replaces `fileName` in the working folder; false, with the reason, on failure.
    bool writeBatchFile(const QString &fileName, const QString &commandLine, QString *reason);

    // Starts the batch file by its bare name through the command shell; null, with the
    // reason, when nothing could be started. Never waits: what comes back tells when the
    // batch file has ended.
    platform::Started startBatchFile(const QString &fileName, platform::WindowStyle windowStyle,
                                     QString *reason);

    // Writes and starts a batch file. A failure is reported in a message box naming the file
    // and the system's reason, nothing is started and null comes back.
    platform::Started run(QWidget *parent, const QString &fileName, const QString &commandLine,
                          platform::WindowStyle windowStyle);

    const QString &workingFolder() const { return m_workingFolder; }

private:
    platform::ProcessStarter &m_starter;
    platform::MessageBoxes &m_messages;
    QString m_workingFolder;
};

} // namespace app
