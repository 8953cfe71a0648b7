// i_view32.exe: shows one image, the grey level under the cursor and, when align.pgm lies
// beside it, its PSNR and SSIM against that reference; its spectrum, its difference with
// align.pgm and its histogram on request.
//
//   i_view32.exe image
//   i_view32.exe --medidas image
//   i_view32.exe --informe report.pdf image [--conclusiones "TEXTO"]
//   i_view32.exe --help
//   i_view32.exe --curva result
//   i_view32.exe --comparar comparison.pdf distor.pgm
//   i_view32.exe --explorar result
//
// The name is resolved in the working folder without regard to letter case. A missing or
// unreadable image gives a Spanish message box, the same message on standard error (where our
// command shell logs it), and exit status 1 (misuse) or 2 (bad input). With --medidas no window
// opens: one line per measure against align.pgm of the working folder, or the message. With
// --informe no window opens either: the PDF a student hands in (one page, two when its steps
// do not fit), with the student's conclusions when given, or the message and
// exit status 3 when it cannot be written, 2 when the conclusions are longer than the two pages
// have room for (no PDF is then left behind). With --curva no window
// opens: the PSNR and SSIM a Wiener or inverse result reaches at other values of its k or
// threshold, a row a value, or the message. With --comparar no window opens: the page
// comparing every restoration of the menu on a distorted image, or the message. With
// --explorar the explorer of a Wiener, inverse or structured-noise result opens alone, or the
// message.
#include "comparisonpage.h"
#include "curve.h"
#include "explorer.h"
#include "imageload.h"
#include "qtspanish.h"
#include "report.h"
#include "usage.h"
#include "viewerwindow.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstring>

namespace {

void printError(const QString &text)
{
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
}

// The lines --medidas and --curva print, made by `make` from the arguments after the option.
int printLines(int argc, char **argv,
               report::Report (*make)(const QStringList &, const dos::Drives &))
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(2);
    const report::Report outcome = make(arguments, dos::currentDrives());
    if (outcome.exitStatus != img::kOk) {
        std::fprintf(stderr, "%s\n", outcome.error.toUtf8().constData());
        return outcome.exitStatus;
    }
    std::fputs(outcome.lines.c_str(), stdout);
    return img::kOk;
}

// Qt's own warnings about the session (no XDG_RUNTIME_DIR under cron or ssh, say) would bury
// the one line a script reads.
void quietQtWarnings(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        printError(text);
}

// The PDFs of --informe and --comparar, made by `make` from the arguments after the option.
int writePdf(int argc, char **argv,
             report::Report (*make)(const QStringList &, const dos::Drives &))
{
    // The page is drawn with fonts and its curves are charts, graphics widgets, which need a
    // widget application, but never shown: the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietQtWarnings);
    QApplication app(argc, argv);
    platform::installSpanishQt(app);
    const QStringList arguments = QCoreApplication::arguments().mid(2);
    const report::Report outcome = make(arguments, dos::currentDrives());
    if (outcome.exitStatus != img::kOk)
        printError(outcome.error);
    return outcome.exitStatus;
}

// The explorer alone, for the result named after the option.
int explore(const QStringList &arguments)
{
    const auto refuse = [](const QString &text, int status) {
        printError(QStringLiteral("i_view32.exe: ") + text);
        QMessageBox::critical(nullptr, QString::fromLatin1(picture::kProgramTitle), text);
        return status;
    };
    if (arguments.size() != 1 || arguments.front().isEmpty())
        return refuse(QStringLiteral("%1 espera una sola imagen. Uso: i_view32.exe %1 "
                                     "resultado.pgm")
                          .arg(QString::fromLatin1(viewer::kExploreOption)),
                      img::kMisuse);
    const QString name = arguments.front();
    const std::optional<std::filesystem::path> path
        = picture::resolveArgument(name.toStdString(), dos::currentDrives());
    if (!path)
        return refuse(QStringLiteral("No se encuentra «%1».").arg(name), img::kBadInput);
    QString error;
    QWidget *explorer = viewer::explorerFor(*path, name, platform::systemProcessStarter(), &error);
    if (!explorer)
        return refuse(error, img::kBadInput);
    explorer->show();
    return QApplication::exec();
}

} // namespace

int main(int argc, char **argv)
{
    // Before any QApplication: without a display, Qt would abort before the usage is printed.
    if (const std::optional<viewer::EarlyAnswer> answer = viewer::answerWithoutWindow(argc, argv)) {
        std::fputs(answer->out.c_str(), stdout);
        if (!answer->error.empty())
            std::fprintf(stderr, "%s\n", answer->error.c_str());
        return answer->exitStatus;
    }
    if (argc >= 2 && std::strcmp(argv[1], report::kMeasuresOption) == 0)
        return printLines(argc, argv, report::measuresFor);
    if (argc >= 2 && std::strcmp(argv[1], report::kCurveOption) == 0)
        return printLines(argc, argv, report::curveFor);
    if (argc >= 2 && std::strcmp(argv[1], report::kHandInOption) == 0)
        return writePdf(argc, argv, report::handInFor);
    if (argc >= 2 && std::strcmp(argv[1], report::kCompareOption) == 0)
        return writePdf(argc, argv, report::comparisonFor);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(picture::kProgramTitle));

    platform::installSpanishQt(app);

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (!arguments.isEmpty() && arguments.front() == QLatin1String(viewer::kExploreOption))
        return explore(arguments.mid(1));
    picture::OpenResult opened = picture::openFromArguments(arguments, dos::currentDrives());
    if (!opened.image) {
        printError(QStringLiteral("i_view32.exe: ") + opened.error);
        QMessageBox::critical(nullptr, QString::fromLatin1(picture::kProgramTitle), opened.error);
        return opened.exitStatus;
    }

    std::optional<picture::LoadedImage> reference = picture::referenceFor(*opened.image);
    viewer::ViewerWindow window(std::move(*opened.image), std::move(reference));
    window.show();
    return QApplication::exec();
}
