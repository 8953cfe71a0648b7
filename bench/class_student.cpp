// bench_class_student: one student of a class who chooses a menu entry at the teacher's word.
//
//   bench_class_student PHOTO.BMP CONTROL   (in the student's working folder, TAVELIO_DRIVE_C set)
//
// Builds the program's main window on the working folder with the system's own process
// starter, as the program does, shows it and opens PHOTO.BMP through its open command (the
// dialog answering with that file), which shows the photograph and aligns its PGM twin into
// align.pgm. Once align.exe has ended it prints "listo" and waits for a line on standard
// input: the teacher's word. Then triggers the menu entry CONTROL ("DRuido" for "Con ruido"),
// as a click does, which runs the operation's chain through the operation table, the batch
// runner, the command shell and the real tools, and waits until every batch file it started
// has ended. Prints one line:
//
//   CLICK_TO_RESULT_S SECOND_START_S WINDOW_PEAK_KIB STARTED_PEAK_KIB OVERLAPPED
//
// the seconds from the click to the end of the last batch file and to the start of the second
// one (-1 without one), this process's peak resident memory, that of the largest program it
// started (the command shell or a tool it ran), and 1 when a batch file was started while an
// earlier one still ran, else 0. A message box the window would show is printed on standard
// error instead, and the exit status is then 1.
#include "drivec.h"
#include "frmmain.h"
#include "opendialog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <sys/resource.h>

namespace {

// The system's starter, noting when each start came and whether an earlier one still ran.
class NotingStarter : public platform::ProcessStarter
{
public:
    explicit NotingStarter(const QElapsedTimer &clock)
        : m_clock(clock)
    {
    }
    platform::Started start(const QString &program, const QStringList &arguments,
                            const QString &workingFolder, QString *reason) override
    {
        for (const platform::Started &earlier : programs)
            overlapped = overlapped || earlier->running();
        platform::Started started
            = platform::systemProcessStarter().start(program, arguments, workingFolder, reason);
        if (started) {
            programs.push_back(started);
            startedAt.push_back(m_clock.isValid() ? m_clock.elapsed() : -1);
        }
        return started;
    }
    // The class's menu never answers a console itself.
    platform::Started startAnswered(const QString &, const QStringList &, const QString &,
                                    const QByteArray &, QString *reason) override
    {
        *reason = QStringLiteral("no se usa en esta medida");
        return nullptr;
    }
    std::vector<platform::Started> programs;
    std::vector<qint64> startedAt; // milliseconds from the click; -1 before it
    bool overlapped = false; // a step started while an earlier one ran

private:
    const QElapsedTimer &m_clock;
};

class PrintedMessages : public platform::MessageBoxes
{
public:
    void show(QWidget *, const QString &text) override
    {
        std::cerr << "mensaje: " << text.toStdString() << "\n";
        shown = true;
    }
    bool shown = false;
};

// The open dialog, answering with one file.
class ChosenFile : public app::OpenDialog
{
public:
    explicit ChosenFile(QString path)
        : m_path(std::move(path))
    {
    }
    QString exec(QWidget *, const QString &, const QString &, const QString &) override
    {
        return m_path;
    }

private:
    QString m_path;
};

// Handles events until everything started so far has ended.
void waitForAll(const NotingStarter &starter)
{
    for (const platform::Started &program : starter.programs) {
        if (!program->running())
            continue;
        QEventLoop loop;
        program->whenEnded([&loop] { loop.quit(); });
        loop.exec();
    }
}

long peakKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc != 3) {
        std::cerr << "uso: bench_class_student FOTO.BMP CONTROL\n";
        return 2;
    }
    const dos::Drives drives = dos::currentDrives();
    QElapsedTimer clock;
    NotingStarter starter(clock);
    PrintedMessages messages;
    ChosenFile openDialog(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])));
    app::frmMain window(app::MainServices {starter, messages, openDialog, drives, nullptr});
    window.show();
    QAction *open = window.findChild<QAction *>(QStringLiteral("mnuFileOpen"));
    QAction *entry = window.findChild<QAction *>(QString::fromLatin1(argv[2]));
    if (!open || !entry) {
        std::cerr << "bench_class_student: no hay ninguna entrada " << argv[2] << "\n";
        return 2;
    }
    open->trigger();
    waitForAll(starter);
    const size_t opened = starter.programs.size();
    QApplication::processEvents();
    std::cout << "listo" << std::endl;
    std::string word;
    std::getline(std::cin, word);

    clock.start();
    entry->trigger();
    // The chain has started its last step; wait for every step to end.
    waitForAll(starter);
    const qint64 last = clock.elapsed();
    rusage children {};
    getrusage(RUSAGE_CHILDREN, &children);
    const qint64 second
        = starter.startedAt.size() > opened + 1 ? starter.startedAt[opened + 1] : -1;
    std::printf("%.3f %.3f %ld %ld %d\n", double(last) / 1000.0, double(second) / 1000.0, peakKiB(),
                children.ru_maxrss, starter.overlapped ? 1 : 0);
    return messages.shown ? 1 : 0;
}
