// i_view32.exe: shows one image, the grey level under the cursor and, when align.pgm lies
// beside it, its PSNR against that reference.
//
//   i_view32.exe image
//
// The name is resolved in the working folder without regard to letter case. A missing or
// unreadable image gives a Spanish message box and exit status 1 (misuse) or 2 (bad input).
#include "imageload.h"
#include "qtspanish.h"
#include "viewerwindow.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(viewer::kProgramTitle));

    platform::installSpanishQt(app);

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    viewer::OpenResult opened = viewer::openFromArguments(arguments, dos::currentDrives());
    if (!opened.image) {
        QMessageBox::critical(nullptr, QString::fromLatin1(viewer::kProgramTitle), opened.error);
        return opened.exitStatus;
    }

    const QString comparison = viewer::comparisonFor(*opened.image);
    viewer::ViewerWindow window(std::move(*opened.image), comparison);
    window.show();
    return QApplication::exec();
}
