#include "opendialog.h"

#include "drivec.h"

#include <QFileDialog>
#include <QUrl>

namespace app {

FileOpenDialog::FileOpenDialog(dos::Drives drives)
    : m_drives(std::move(drives))
{
}

QString FileOpenDialog::exec(QWidget *parent, const QString &title, const QString &filter,
                             const QString &previous)
{
    QFileDialog dialog(parent, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(filter);
    // The file model matches name filters without regard to case unless told otherwise.
    dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot);

    const QString toolFolder = QString::fromStdString(dos::toolFolder(m_drives.driveC).string());
    dialog.setSidebarUrls({QUrl::fromLocalFile(QString::fromStdString(m_drives.driveC.string())),
                           QUrl::fromLocalFile(toolFolder), QUrl::fromLocalFile(QDir::homePath())});
    if (previous.isEmpty())
        dialog.setDirectory(QString::fromStdString(m_drives.workingFolder.string()));
    else
        dialog.selectFile(previous);

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace app
