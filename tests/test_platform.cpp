// The platform layer: DOS names, drive C, the command shell and its batch language.
#include "batchscript.h"
#include "classphotos.h"
#include "commandshell.h"
#include "drivec.h"
#include "failurelog.h"
#include "fakes.h"
#include "oserror.h"
#include "settings.h"
#include "stagedfile.h"
#include "testenv.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <map>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using testenv::writeFile;

// Records what a batch file asks of the console.
class RecordingConsole : public batch::Console
{
public:
    void out(std::string_view text) override { output += text; }
    void err(std::string_view text) override { errors += text; }
    void clearScreen() override { output += "<cls>"; }
    std::string prompt() override { return "c:\\w>"; }
    std::optional<int> run(const std::vector<std::string> &words) override
    {
        runs.push_back(words);
        if (words[0] == "missing.exe")
            return std::nullopt;
        return int(words.size());
    }
    std::string output;
    std::string errors;
    std::vector<std::vector<std::string>> runs;
};

struct ShellRun
{
    int status;
    QString out;
    QString err;
};

ShellRun runShell(const testenv::Drive &drive, const QString &batchName)
{
    QProcess shell;
    shell.setWorkingDirectory(drive.working());
    shell.start(QStringLiteral(TAVELIO_BIN_DIR "/tavcmd"), {QStringLiteral("/c"), batchName});
    shell.waitForFinished(20000);
    return {shell.exitCode(), QString::fromUtf8(shell.readAllStandardOutput()),
            QString::fromUtf8(shell.readAllStandardError())};
}

} // namespace

class PlatformTest : public QObject
{
    Q_OBJECT

private slots:
    void dosNamesFindFilesWithoutRegardToCase()
    {
        testenv::Drive drive;
        writeFile(drive.path("align.exe"));
        writeFile(drive.path("snoise.exe"));
        writeFile(drive.path("align.pgm"));
        writeFile(drive.path("mov10.pgm"));
        const auto native = [&](const char *name) {
            return QString::fromStdString(dos::toNative(name, drive.drives).value().string());
        };
        QCOMPARE(native("c:\\qor\\Ejecutable\\auxiliares\\align.exe"), drive.path("align.exe"));
        QCOMPARE(native("C:\\QOR\\EJECUTABLE\\AUXILIARES\\Snoise.exe"), drive.path("snoise.exe"));
        QCOMPARE(native("Align.pgm"), drive.path("align.pgm"));
        QCOMPARE(native("Mov10.pgm"), drive.path("mov10.pgm"));
        // A name that does not exist yet keeps its letter case, in the folder that does.
        QCOMPARE(native("c:\\QOR\\ejecutable\\auxiliares\\Nuevo.pgm"), drive.path("Nuevo.pgm"));
        QCOMPARE(native("..\\..\\..\\..\\Mov10.pgm"), drive.root.path() + "/Mov10.pgm");
        QVERIFY(!dos::toNative("d:\\algo", drive.drives).has_value());
    }

    void everyNativePathHasADosNameAndBack()
    {
        testenv::Drive drive;
        writeFile(drive.path("Camera.BMP"));
        const std::string inside = dos::toDos(drive.path("Camera.BMP").toStdString(), drive.drives);
        QCOMPARE(QString::fromStdString(inside),
                 QStringLiteral("c:\\qor\\ejecutable\\auxiliares\\Camera.BMP"));
        QCOMPARE(QString::fromStdString(dos::toDos("/usr/share/doc", drive.drives)),
                 QStringLiteral("z:\\usr\\share\\doc"));
        QCOMPARE(
            QString::fromStdString(dos::toNative("z:\\usr\\share\\doc", drive.drives)->string()),
            QStringLiteral("/usr/share/doc"));
        QCOMPARE(QString::fromStdString(dos::toDos(drive.drives.driveC, drive.drives)),
                 QStringLiteral("c:\\"));
    }

    void driveCIsMadeFromTheTemplatesWithoutOverwriting()
    {
        QTemporaryDir programs; // as <prefix>/lib/tavelio/drive_c
        QTemporaryDir data; // as <prefix>/share/tavelio/drive_c
        QTemporaryDir home;
        QDir(programs.path()).mkpath("qor/ejecutable/auxiliares");
        QDir(data.path()).mkpath("qor/ejecutable/auxiliares");
        writeFile(programs.path() + "/qor/ejecutable/auxiliares/mblur.exe", "#!/bin/sh\n", true);
        writeFile(data.path() + "/qor/ejecutable/auxiliares/camera.pgm", "P5 1 1 255\n\x01");
        const std::vector<dos::fs::path> templates {programs.path().toStdString(),
                                                    data.path().toStdString()};
        const dos::fs::path driveC = (home.path() + "/drive_c").toStdString();
        std::string reason;
        QVERIFY2(dos::prepareDriveC(driveC, templates, &reason), reason.c_str());

        const dos::fs::path tool = driveC / "qor/ejecutable/auxiliares/mblur.exe";
        const dos::fs::path data1 = driveC / "qor/ejecutable/auxiliares/camera.pgm";
        QVERIFY(dos::fs::is_symlink(tool));
        QVERIFY(!dos::fs::is_symlink(data1));
        // Nobody else may look into a student's drive C.
        QCOMPARE(dos::fs::status(driveC).permissions() & dos::fs::perms::all,
                 dos::fs::perms::owner_all);
        // A student's own change stays, and so does a link of hers that still leads somewhere;
        // a file the templates gain later arrives, and a link left dangling by an older
        // layout is made again.
        writeFile(QString::fromStdString(data1.string()), "mine");
        writeFile(data.path() + "/qor/ejecutable/auxiliares/text.pgm", "P5 1 1 255\n\x02");
        const dos::fs::path blur = driveC / "qor/ejecutable/auxiliares/blur.exe";
        const dos::fs::path snr = driveC / "qor/ejecutable/auxiliares/snr.exe";
        dos::fs::create_symlink(home.path().toStdString() + "/old/share/blur.exe", blur);
        dos::fs::create_symlink(tool, snr);
        writeFile(programs.path() + "/qor/ejecutable/auxiliares/blur.exe", "#!/bin/sh\n", true);
        writeFile(programs.path() + "/qor/ejecutable/auxiliares/snr.exe", "#!/bin/sh\n", true);
        QVERIFY(dos::prepareDriveC(driveC, templates, &reason));
        QFile mine(QString::fromStdString(data1.string()));
        QVERIFY(mine.open(QIODevice::ReadOnly));
        QCOMPARE(mine.readAll(), QByteArray("mine"));
        QVERIFY(dos::fs::exists(driveC / "qor/ejecutable/auxiliares/text.pgm"));
        QCOMPARE(dos::fs::read_symlink(blur).parent_path(),
                 dos::fs::canonical(programs.path().toStdString()) / "qor/ejecutable/auxiliares");
        QCOMPARE(dos::fs::read_symlink(snr), tool);
    }

    void classPhotosAreLinkedUnlessTheStudentHasHerOwn()
    {
        QTemporaryDir classDir;
        testenv::Drive drive;
        const auto inClass = [&](const char *file, const QByteArray &bytes) {
            writeFile(classDir.filePath(file), bytes);
        };
        for (const char *name : {"puerto", "faro", "Isla", "isla"}) {
            inClass(QByteArray(name) + ".BMP", "BM\x01");
            inClass(QByteArray(name) + ".pgm", "P5 1 1 255\n\x01");
        }
        inClass("solo.BMP", "BM\x01"); // without its twin
        inClass("texto.BMP", "BM\x01");
        inClass("texto.pgm", "no es una imagen");
        inClass("puerto.BMP.aB12cD", "a write in progress");
        writeFile(drive.path("FARO.pgm"), "mine");
        const dos::fs::path tools = drive.drives.workingFolder;
        const dos::fs::path folder = classDir.path().toStdString();
        const auto links = [&] {
            QStringList found;
            for (const auto &entry : dos::fs::directory_iterator(tools))
                if (entry.is_symlink())
                    found << QString::fromStdString(entry.path().filename().string());
            found.sort();
            return found;
        };

        // Each problem is a line naming what was skipped; the rest is linked all the same.
        std::vector<std::string> problems = classroom::linkClassPhotos(folder, tools);
        QCOMPARE(problems.size(), size_t(3));
        for (const char *skipped : {"solo.BMP", "texto.pgm", "isla"})
            QVERIFY(std::any_of(problems.begin(), problems.end(), [&](const std::string &line) {
                return line.find(skipped) != line.npos && line.find('\n') == line.npos;
            }));
        // Her FARO.pgm keeps faro out, in any letter case; its bitmap is not linked alone.
        QCOMPARE(links(), QStringList({"Isla.BMP", "Isla.pgm", "puerto.BMP", "puerto.pgm"}));
        QCOMPARE(drive.read("FARO.pgm"), QByteArray("mine"));
        QCOMPARE(dos::fs::read_symlink(tools / "puerto.pgm"), folder / "puerto.pgm");
        QCOMPARE(drive.read("puerto.pgm"), QByteArray("P5 1 1 255\n\x01"));

        // Withdrawn and broken pairs lose their links at the next start; nothing dangles.
        QFile::remove(classDir.filePath("puerto.BMP"));
        QFile::remove(classDir.filePath("puerto.pgm"));
        QFile::remove(classDir.filePath("Isla.pgm"));
        problems = classroom::linkClassPhotos(folder, tools);
        QCOMPARE(links(), QStringList({"isla.BMP", "isla.pgm"}));
        QCOMPARE(problems.size(), size_t(3)); // Isla.BMP alone, solo.BMP, texto.pgm

        // A missing class folder is one problem, and the links into it go.
        QVERIFY(classDir.remove());
        problems = classroom::linkClassPhotos(folder, tools);
        QCOMPARE(problems.size(), size_t(1));
        QVERIFY(links().isEmpty());
        QCOMPARE(drive.read("FARO.pgm"), QByteArray("mine"));
    }

    void classEntriesThatAreNoFilesAreSkippedWithoutBlocking()
    {
        QTemporaryDir classDir;
        testenv::Drive drive;
        const dos::fs::path folder = classDir.path().toStdString();
        const dos::fs::path tools = drive.drives.workingFolder;
        const auto inClass = [&](const char *file, const QByteArray &bytes) {
            writeFile(classDir.filePath(file), bytes);
        };
        inClass("faro.BMP", "BM\x01");
        inClass("faro.pgm", "P5 1 1 255\n\x01");
        inClass("viejo.BMP", "BM\x01");
        inClass("viejo.pgm", "P5 1 1 255\n\x01");
        // Whatever people drop there: each would block or be written through if opened.
        QCOMPARE(::mkfifo((folder / "tubo.BMP").c_str(), 0644), 0);
        inClass("tubo.pgm", "P5 1 1 255\n\x01");
        dos::fs::create_symlink("/dev/zero", folder / "cero.BMP");
        dos::fs::create_symlink("/dev/zero", folder / "cero.pgm");
        inClass("ajeno", "BM\x01");
        dos::fs::create_symlink(folder / "ajeno", folder / "enlace.BMP");
        inClass("enlace.pgm", "P5 1 1 255\n\x01");
        dos::fs::create_directory(folder / "carpeta.BMP");
        inClass("carpeta.pgm", "P5 1 1 255\n\x01");
        QVERIFY(classroom::linkClassPhotos(folder, tools).size() == 4);

        // A photograph that turns into a FIFO loses its links, as a withdrawn one does.
        dos::fs::remove(folder / "viejo.pgm");
        QCOMPARE(::mkfifo((folder / "viejo.pgm").c_str(), 0644), 0);
        const std::vector<std::string> problems = classroom::linkClassPhotos(folder, tools);
        QCOMPARE(problems.size(), size_t(5));
        for (const char *odd : {"tubo.BMP", "cero.BMP", "enlace.BMP", "carpeta.BMP", "viejo.pgm"})
            QVERIFY2(
                std::any_of(problems.begin(), problems.end(),
                            [&](const std::string &line) { return line.find(odd) != line.npos; }),
                odd);
        QStringList links;
        for (const auto &entry : dos::fs::directory_iterator(tools))
            if (entry.is_symlink())
                links << QString::fromStdString(entry.path().filename().string());
        links.sort();
        QCOMPARE(links, QStringList({"faro.BMP", "faro.pgm"}));

        // A start writes them as one line, and the next start with the same ones none.
        const dos::fs::path log = drive.onDriveC("fallos.log").toStdString();
        classroom::linkAtStart(folder, drive.drives.driveC, log);
        classroom::linkAtStart(folder, drive.drives.driveC, log);
        const auto logged = failures::readAll(log);
        QCOMPARE(logged.size(), size_t(1));
        QVERIFY(logged[0].message.starts_with(
            "tavelio-drivec: carpeta de la clase: 5 problemas; el primero: "));
        QCOMPARE(classroom::summary({"solo"}), "solo");
        QVERIFY(classroom::summary({}).empty());
    }

    void filesAreReplacedNeverWrittenThrough()
    {
        QTemporaryDir dir;
        const dos::fs::path folder = dir.path().toStdString();
        writeFile(dir.filePath("ajeno.pgm"), "suyo");
        dos::fs::create_symlink(folder / "ajeno.pgm", folder / "enlace.pgm");
        QCOMPARE(::mkfifo((folder / "tubo.pgm").c_str(), 0644), 0);
        const mode_t umask = ::umask(077);
        for (const char *name : {"enlace.pgm", "tubo.pgm", "nuevo.pgm"}) {
            dos::StagedFile file(folder / name);
            QVERIFY2(file.write("P5", 0664) && file.commit(), name);
            QVERIFY(dos::fs::is_regular_file(dos::fs::symlink_status(folder / name)));
            struct stat info = {};
            QCOMPARE(::stat((folder / name).c_str(), &info), 0);
            QCOMPARE(info.st_mode & 0777, mode_t(0664)); // whatever the umask
        }
        // Without a mode, the replaced file keeps its own.
        dos::fs::permissions(folder / "nuevo.pgm", dos::fs::perms(0640));
        dos::StagedFile again(folder / "nuevo.pgm");
        QVERIFY(again.write("P5 otra") && again.commit());
        QCOMPARE(dos::fs::status(folder / "nuevo.pgm").permissions(), dos::fs::perms(0640));
        ::umask(umask);
        QFile theirs(dir.filePath("ajeno.pgm"));
        QVERIFY(theirs.open(QIODevice::ReadOnly));
        QCOMPARE(theirs.readAll(), QByteArray("suyo"));

        // A folder in the way: a Spanish reason, the folder as it was and no temporary left.
        dos::fs::create_directory(folder / "carpeta.pgm");
        const auto entries = [&] {
            return QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        };
        const QStringList before = entries();
        dos::StagedFile blocked(folder / "carpeta.pgm");
        QVERIFY(blocked.write("P5"));
        QVERIFY(!blocked.commit());
        QCOMPARE(blocked.reason(), "es una carpeta");
        dos::StagedFile nowhere(folder / "falta" / "x.pgm");
        QVERIFY(!nowhere.write("P5"));
        QCOMPARE(nowhere.reason(), "no existe");
        QCOMPARE(entries(), before);

        // No errno comes out in the C library's English.
        for (int error = 1; error < 134; ++error)
            QVERIFY2(dos::spanishReason(error) != std::strerror(error), std::strerror(error));
        QCOMPARE(dos::spanishReason(ENOSPC), "no queda espacio en el disco");
    }

    void batchLanguage()
    {
        RecordingConsole console;
        const int status = batch::runScript(
            "@echo \r\ncls\r\nprog.exe  a   b\r\n@quiet.exe\r\nmissing.exe x\r\nlast.exe\r\n",
            console);
        QCOMPARE(status, 1); // the last program's status, after the missing one
        QCOMPARE(console.runs.size(), size_t(4));
        QCOMPARE(console.runs[0], (std::vector<std::string> {"prog.exe", "a", "b"}));
        QVERIFY(console.output.find("ECHO está activado.") != std::string::npos);
        QVERIFY(console.output.find("c:\\w>cls\n<cls>") != std::string::npos);
        QVERIFY(console.output.find("c:\\w>prog.exe  a   b\n") != std::string::npos);
        QVERIFY(console.output.find("quiet.exe") == std::string::npos); // "@" hides the line
        QVERIFY(console.errors.find("'missing.exe' no se reconoce") != std::string::npos);

        RecordingConsole quiet;
        QCOMPARE(batch::runScript("@echo off\necho\nmissing.exe\n", quiet), batch::kNotFound);
        QCOMPARE(quiet.output, std::string("ECHO está desactivado.\n"));
    }

    void batchLinesMeanNothingToAShell_data()
    {
        QTest::addColumn<QString>("tail");
        QTest::newRow("semicolon") << "; touch x";
        QTest::newRow("and") << "&& touch x";
        QTest::newRow("substitution") << "$(touch x)";
        QTest::newRow("backquotes") << "`touch x`";
        QTest::newRow("bar and redirection") << "| touch x > y";
    }
    void batchLinesMeanNothingToAShell()
    {
        QFETCH(QString, tail);
        testenv::Drive drive;
        writeFile(drive.path("args.exe"),
                  "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\"; done > out.txt\n", true);
        writeFile(drive.path("run.bat"),
                  "@echo \r\ncls\r\nc:\\qor\\ejecutable\\auxiliares\\ARGS.exe " + tail.toUtf8()
                      + "\r\n");
        const ShellRun run = runShell(drive, "RUN.BAT");
        QCOMPARE(run.status, 0);
        QVERIFY(!QFile::exists(drive.path("x")));
        QVERIFY(!QFile::exists(drive.path("y")));
        QString expected;
        for (const QString &word : tail.split(' '))
            expected += '[' + word + ']';
        QCOMPARE(QString::fromUtf8(drive.read("out.txt")), expected);
    }

    void shellShowsTheLineAndReportsMissingPrograms()
    {
        testenv::Drive drive;
        writeFile(drive.path("ok.exe"), "#!/bin/sh\necho hecho\n", true);
        writeFile(drive.path("two.bat"),
                  "@echo \r\ncls\r\nc:\\qor\\ejecutable\\auxiliares\\nada.exe a\r\nok.exe\r\n");
        const ShellRun run = runShell(drive, "two.bat");
        QCOMPARE(run.status, 0); // the next line ran all the same
        QVERIFY(run.out.contains("ECHO está activado."));
        QVERIFY(run.out.contains("c:\\qor\\ejecutable\\auxiliares>ok.exe\n"));
        QVERIFY(run.out.contains("hecho"));
        QVERIFY(run.err.contains("'c:\\qor\\ejecutable\\auxiliares\\nada.exe' no se reconoce"));

        writeFile(drive.path("one.bat"), "nada.exe\r\n");
        QCOMPARE(runShell(drive, "one.bat").status, 127); // 9009 does not fit an exit status
        QCOMPARE(runShell(drive, "ninguno.bat").status, 2);
    }

    void shellTellsWhyAProgramCannotRunAndLogsFailures()
    {
        testenv::Drive drive;
        writeFile(drive.path("texto.exe"), "no soy un programa\n", true);
        writeFile(drive.path("falla.exe"), "#!/bin/sh\necho 'falla: no hay nada' >&2\nexit 2\n",
                  true);
        writeFile(drive.path("ok.exe"), "#!/bin/sh\nexit 0\n", true);
        writeFile(drive.path("texto.bat"), "texto.exe a b\r\n");
        writeFile(drive.path("falla.bat"), "falla.exe distor.pgm\r\n");
        writeFile(drive.path("ok.bat"), "ok.exe\r\n");

        const ShellRun cannot = runShell(drive, "texto.bat");
        QCOMPARE(cannot.status, batch::kCannotRun);
        QVERIFY(cannot.err.contains("tavcmd: no se puede ejecutar «texto.exe»: no es un programa"));
        const ShellRun failed = runShell(drive, "falla.bat");
        QCOMPARE(failed.status, 2);
        QCOMPARE(failed.err, QStringLiteral("falla: no hay nada\n")); // still shown
        QCOMPARE(runShell(drive, "ok.bat").status, 0);

        const auto logged = failures::readAll(failures::logPath());
        QCOMPARE(logged.size(), size_t(2)); // the success left nothing
        QCOMPARE(logged[0].program, "texto.exe");
        QCOMPARE(logged[0].arguments, "a b");
        QCOMPARE(logged[0].status, batch::kCannotRun);
        QCOMPARE(logged[1].folder, "c:\\qor\\ejecutable\\auxiliares");
        QCOMPARE(logged[1].message, "falla: no hay nada");
        QCOMPARE(logged[1].status, 2);
    }

    void visibleConsoleWaitsOnlyAfterAFailure()
    {
        testenv::Drive drive;
        writeFile(drive.path("falla.exe"), "#!/bin/sh\nexit 1\n", true);
        writeFile(drive.path("ok.exe"), "#!/bin/sh\nexit 0\n", true);
        writeFile(drive.path("falla.bat"), "falla.exe\r\n");
        writeFile(drive.path("ok.bat"), "ok.exe\r\n");
        for (const char *name : {"falla.bat", "ok.bat"}) {
            QProcess shell;
            shell.setWorkingDirectory(drive.working());
            shell.start(QStringLiteral(TAVELIO_BIN_DIR "/tavcmd"), {"/c", "/p", name});
            if (QByteArray(name) == "ok.bat") {
                QVERIFY(shell.waitForFinished(10000));
                QVERIFY(!shell.readAllStandardOutput().contains("Pulse Intro"));
                continue;
            }
            QByteArray out;
            while (!out.contains("Pulse Intro para cerrar") && shell.waitForReadyRead(10000))
                out += shell.readAllStandardOutput();
            QVERIFY(out.contains("Pulse Intro para cerrar"));
            QVERIFY(!shell.waitForFinished(300)); // waiting for Enter
            shell.write("\n");
            QVERIFY(shell.waitForFinished(10000));
        }
    }

    void failureLogKeepsTheLastLines()
    {
        QTemporaryDir dir;
        const auto log = std::filesystem::path(dir.filePath("tavelio/fallos.log").toStdString());
        for (size_t i = 0; i < failures::kMaxLines + 5; ++i)
            QVERIFY(failures::record({"t", "c:\\", int(i), "p\tq", "a\nb", "m"}, log));
        const auto logged = failures::readAll(log);
        QCOMPARE(logged.size(), failures::kMaxLines);
        QCOMPARE(logged.front().status, 5);
        QCOMPARE(logged.back().program, "p q"); // separators cannot split a record
        QCOMPARE(logged.back().arguments, "a b");
    }

    void failureLogAppendsUnderALockAndSkipsARepeat()
    {
        QTemporaryDir dir;
        const auto log = std::filesystem::path(dir.filePath("tavelio/fallos.log").toStdString());
        const failures::Failure problem {"t1", "c:\\", 1, "tavelio-drivec", "/f", "uno"};
        QVERIFY(failures::recordUnlessRepeated(problem, log));
        failures::Failure later = problem;
        later.time = "t2";
        QVERIFY(failures::recordUnlessRepeated(later, log)); // the same but for its time
        later.message = "dos";
        QVERIFY(failures::recordUnlessRepeated(later, log));
        QVERIFY(failures::recordUnlessRepeated(problem, log)); // not the last line any more
        QCOMPARE(failures::readAll(log).size(), size_t(4 - 1));

        // Tools failing at the same moment, long enough lines that the log is cut down
        // meanwhile: every line whole, and what is left of each writer's lines is its last
        // ones, none missing between them.
        const std::string message(1000, 'm');
        std::vector<std::thread> writers;
        for (int writer = 0; writer < 4; ++writer)
            writers.emplace_back([&, writer] {
                for (int i = 0; i < 100; ++i)
                    failures::record({"t", "c:\\", i, "p" + std::to_string(writer), "", message},
                                     log);
            });
        for (std::thread &writer : writers)
            writer.join();
        QVERIFY(dos::fs::file_size(log) <= failures::kTrimBytes);
        QFile file(QString::fromStdString(log.string()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QVERIFY(lines.size() > 100);
        for (const QByteArray &line : lines)
            QVERIFY(line.isEmpty() || failures::parse(line.toStdString()));
        std::map<std::string, std::vector<int>> left;
        for (const failures::Failure &failure : failures::readAll(log))
            left[failure.program].push_back(failure.status);
        QVERIFY(!left.empty());
        for (const auto &[writer, statuses] : left) {
            QCOMPARE(statuses.back(), 99);
            for (size_t i = 1; i < statuses.size(); ++i)
                QCOMPARE(statuses[i], statuses[i - 1] + 1);
        }
    }

    void batchFilesStartHiddenOrInATerminal()
    {
        const platform::Launch hidden = platform::batchLaunch(
            "a.bat", platform::vbHide, "/bin/tavcmd", "/usr/bin/xterm", "/usr/bin/xterm");
        QCOMPARE(hidden.program, QStringLiteral("/bin/tavcmd"));
        QCOMPARE(hidden.arguments, QStringList({"/c", "a.bat"}));

        // Whichever terminal x-terminal-emulator leads to, the command reaches it whole, after
        // the one option that terminal takes for it.
        const QStringList command {"/bin/tavcmd", "/c", "/p", "a.bat"};
        const struct
        {
            const char *resolved;
            const char *program;
            QStringList before;
        } terminals[] = {
            {"/usr/bin/xterm", "/usr/bin/x-terminal-emulator", {"-e"}},
            {"/usr/bin/konsole", "/usr/bin/x-terminal-emulator", {"-e"}},
            {"/usr/bin/gnome-terminal.wrapper", "/usr/bin/gnome-terminal", {"--"}},
            {"/usr/bin/gnome-terminal", "/usr/bin/x-terminal-emulator", {"--"}},
            {"/usr/bin/xfce4-terminal.wrapper", "/usr/bin/x-terminal-emulator", {"-e"}},
            {"/usr/bin/xfce4-terminal", "/usr/bin/x-terminal-emulator", {"-x"}},
            {"/usr/bin/kitty", "/usr/bin/x-terminal-emulator", {}},
            {"", "/usr/bin/x-terminal-emulator", {"-e"}},
        };
        for (const auto &terminal : terminals) {
            const platform::Launch shown
                = platform::batchLaunch("a.bat", platform::vbNormalFocus, "/bin/tavcmd",
                                        "/usr/bin/x-terminal-emulator", terminal.resolved);
            QCOMPARE(shown.program, QString(terminal.program));
            QCOMPARE(shown.arguments, terminal.before + command);
        }
    }

    void aScreenReaderGetsATerminalItCanRead()
    {
        // A PATH of its own: x-terminal-emulator leads to xterm, or to Konsole, and MATE's
        // terminal is there or not.
        QTemporaryDir bin;
        const auto program = [&](const QString &name) {
            QFile file(bin.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("#!/bin/sh\n");
            file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        };
        const auto leadTo = [&](const QString &name) {
            QFile::remove(bin.filePath("x-terminal-emulator"));
            QVERIFY(QFile::link(bin.filePath(name), bin.filePath("x-terminal-emulator")));
        };
        program("xterm");
        program("konsole");
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit());
        qunsetenv("TAVELIO_TERMINAL");
        const QString emulator = bin.filePath("x-terminal-emulator");
        fakes::AssistiveTechnology reader;

        leadTo("xterm");
        QCOMPARE(platform::terminalPath(reader), emulator); // off: xterm as before
        reader.on = true;
        QCOMPARE(platform::terminalPath(reader), emulator); // no readable terminal here
        program("mate-terminal");
        QCOMPARE(platform::terminalPath(reader), bin.filePath("mate-terminal"));
        QCOMPARE(reader.asked, 3);
        // A terminal that is not xterm is kept, and the bus is not asked.
        leadTo("konsole");
        QCOMPARE(platform::terminalPath(reader), emulator);
        QCOMPARE(reader.asked, 3);
        // What opens the console is the readable terminal, with its own option.
        leadTo("xterm");
        testenv::Drive drive;
        fakes::ProcessStarter starter;
        QString reason;
        qputenv("TAVELIO_CMD", "/bin/true");
        QVERIFY(platform::startBatchFile(starter, drive.path(""), "wiener.bat",
                                         platform::vbNormalFocus, &reason, reader));
        qunsetenv("TAVELIO_CMD");
        qputenv("PATH", path);
        QCOMPARE(starter.starts.size(), 1);
        QCOMPARE(starter.starts[0].program, bin.filePath("mate-terminal"));
        QCOMPARE(starter.starts[0].arguments.first(), QStringLiteral("-x"));
    }

    void settingsRoundTrip()
    {
        QStandardPaths::setTestModeEnabled(true);
        platform::SaveSetting("NerboTest", "Settings", "MainLeft", "1234.5");
        QCOMPARE(platform::GetSetting("NerboTest", "Settings", "MainLeft", "1000"),
                 QStringLiteral("1234.5"));
        QCOMPARE(platform::GetSetting("NerboTest", "Settings", "Nada", "1000"),
                 QStringLiteral("1000"));
    }
};

QTEST_GUILESS_MAIN(PlatformTest)
#include "test_platform.moc"
