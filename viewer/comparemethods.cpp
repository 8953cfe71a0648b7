// The viewer's way to the comparison page: a save dialog, then report::writeComparison.
#include "comparemethods.h"

#include "comparisonpage.h"
#include "contracts.h"
#include "dospath.h"
#include "imageload.h"
#include "speech.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>

namespace viewer {

namespace fs = std::filesystem;

fs::path distortedBeside(const fs::path &shown)
{
    const std::string distor = tools::files::distor;
    if (QString::fromStdString(shown.filename().string())
            .compare(QString::fromStdString(distor), Qt::CaseInsensitive)
        == 0)
        return shown;
    return dos::findInFolder(shown.parent_path(), distor);
}

void compareMethods(QWidget *window, const fs::path &shown)
{
    const fs::path distorted = distortedBeside(shown);
    QFileDialog dialog(window, QObject::tr("Comparar métodos"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QObject::tr("Comparación PDF (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setDirectory(QFile::decodeName(shown.parent_path().c_str()));
    dialog.selectFile(QStringLiteral("comparacion.pdf"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString path = dialog.selectedFiles().constFirst();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    int status = 0;
    const QString reason = report::writeComparison(distorted, path, status);
    QGuiApplication::restoreOverrideCursor();
    if (!reason.isEmpty()) {
        QMessageBox::warning(
            window, QString::fromLatin1(picture::kProgramTitle),
            QObject::tr("No se pueden comparar los métodos sobre «%1».\n%2")
                .arg(QDir::toNativeSeparators(QFile::decodeName(distorted.c_str())), reason));
        return;
    }
    const QString saved
        = QObject::tr("Comparación guardada en %1").arg(QDir::toNativeSeparators(path));
    if (auto *main = qobject_cast<QMainWindow *>(window))
        main->statusBar()->showMessage(saved, 3000);
    speak(window, saved);
}

} // namespace viewer
