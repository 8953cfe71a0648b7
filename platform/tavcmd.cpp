// tavcmd: the command shell that runs the program's batch files.
//
//   tavcmd [/c] [/p] FILE.BAT
//
// Runs the lines of FILE.BAT (a DOS name, found without regard to letter case) in the current
// folder, as a Windows console would run them with echo on: each program line is shown after
// the prompt, then the program runs with the console's standard input and output, and the next
// line waits for it. Programs are DOS paths ("c:\qor\ejecutable\auxiliares\mblur.exe") or
// names in the current folder; a line is never given to a Unix shell.
//
// A program that fails (exit status not 0, not found, or not executable) is recorded in the
// per-user failure log (failurelog.h) with its message, the line of its standard error that
// names it; that output still reaches the console. With /p, given when the console is a window of
// its own, a failure keeps that window open until Enter is pressed, so that the student can read
// the message; after success it closes at once.
//
// Exit status: that of the last program run, 127 when it could not be found (a console's
// 9009), 126 when it was found but cannot be executed, 1 for misuse and 2 when the batch file
// cannot be read.

#include "batchscript.h"
#include "dospath.h"
#include "failurelog.h"
#include "oserror.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

const char *const kProgram = "tavcmd";

// Batch files are single-byte text; Linux names are UTF-8.
std::string latin1ToUtf8(std::string_view text)
{
    std::string utf8;
    for (unsigned char c : text) {
        if (c < 0x80) {
            utf8 += char(c);
        } else {
            utf8 += char(0xC0 | (c >> 6));
            utf8 += char(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

// How much of a program's standard error is searched for its message.
constexpr size_t kKeptBytes = 16384;

// A program's message: the first line that begins with its own name ("mblur: ...",
// "i_view32.exe: ..."), as every tool of ours writes its error, so that a library's warning
// printed before it is passed over; else the first line that says anything.
std::string messageOf(std::string_view errors, std::string_view dosProgram)
{
    std::string name(dosProgram.substr(dosProgram.find_last_of("\\/") + 1));
    if (name.size() > 4
        && dos::equalsIgnoreCase(std::string_view(name).substr(name.size() - 4), ".exe"))
        name.resize(name.size() - 4);
    std::string first;
    for (const std::string &line : batch::splitLines(errors)) {
        const std::string_view rest
            = std::string_view(line).substr(std::min(line.size(), name.size()));
        if (line.size() > name.size()
            && dos::equalsIgnoreCase(std::string_view(line).substr(0, name.size()), name)
            && (rest.starts_with(":") || dos::equalsIgnoreCase(rest.substr(0, 5), ".exe:")))
            return line;
        if (first.empty() && line.find_first_not_of(" \t") != std::string::npos)
            first = line;
    }
    return first;
}

class TerminalConsole : public batch::Console
{
public:
    explicit TerminalConsole(dos::Drives drives)
        : m_drives(std::move(drives))
    {
    }

    void out(std::string_view text) override
    {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    }
    void err(std::string_view text) override
    {
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fflush(stderr);
    }
    void clearScreen() override
    {
        if (isatty(STDOUT_FILENO))
            out("\033[H\033[2J\033[3J");
    }
    std::string prompt() override { return dos::toDos(m_drives.workingFolder, m_drives) + ">"; }

    std::optional<int> run(const std::vector<std::string> &words) override
    {
        const std::optional<dos::fs::path> program
            = dos::toNative(latin1ToUtf8(words[0]), m_drives);
        if (!program || !dos::fs::is_regular_file(*program)
            || access(program->c_str(), X_OK) != 0) {
            fail(words, batch::kNotFound, "no se encuentra el programa");
            return std::nullopt;
        }

        std::vector<std::string> arguments;
        for (const std::string &word : words)
            arguments.push_back(latin1ToUtf8(word));
        std::vector<char *> argv;
        for (std::string &argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);

        // The child's standard error comes through a pipe, so that its message can be logged
        // as well as shown.
        int pipeEnds[2];
        if (pipe2(pipeEnds, O_CLOEXEC) != 0)
            return cannotStart(words, errno);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
        std::fflush(nullptr);
        pid_t child = 0;
        // Unlike fork and exec, posix_spawn tells the parent why the program did not start.
        const int spawnError
            = posix_spawn(&child, program->c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        if (spawnError != 0) {
            close(pipeEnds[0]);
            return cannotRun(words, spawnError);
        }
        const std::string message = messageOf(passThrough(pipeEnds[0]), words[0]);
        close(pipeEnds[0]);
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) { }
        const int result = WIFEXITED(status) ? WEXITSTATUS(status)
                                             : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
        if (result != 0)
            fail(words, result,
                 message.empty() ? "terminó con el código " + std::to_string(result) : message);
        return result;
    }

    // Whether a program of this script failed.
    bool failed() const { return m_failed; }

private:
    // Copies the child's standard error to ours until it closes it, keeping the start of it.
    std::string passThrough(int fd)
    {
        std::string kept;
        char buffer[4096];
        for (;;) {
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            err(std::string_view(buffer, size_t(n)));
            kept.append(buffer, size_t(std::min<ssize_t>(n, ssize_t(kKeptBytes - kept.size()))));
        }
        return kept;
    }

    int cannotStart(const std::vector<std::string> &words, int error)
    {
        const std::string message
            = std::string("no se pudo crear el proceso: ") + dos::spanishReason(error);
        err(std::string(kProgram) + ": " + message + "\n");
        fail(words, 1, message);
        return 1;
    }

    int cannotRun(const std::vector<std::string> &words, int error)
    {
        // Two reasons mean something of their own when a program is started: the file was
        // found, so a missing one is what it asks for.
        std::string reason;
        switch (error) {
        case ENOEXEC:
            reason = "no es un programa que este sistema sepa ejecutar (le falta la línea «#!» o "
                     "es de otra arquitectura)";
            break;
        case ENOENT:
        case ELIBBAD:
            reason = "falta el intérprete o el cargador que pide el programa";
            break;
        default:
            reason = dos::spanishReason(error);
        }
        const std::string message = "no se puede ejecutar «" + words[0] + "»: " + reason;
        err(std::string(kProgram) + ": " + message + "\n");
        fail(words, batch::kCannotRun, message);
        return batch::kCannotRun;
    }

    void fail(const std::vector<std::string> &words, int status, const std::string &message)
    {
        m_failed = true;
        std::string arguments;
        for (size_t i = 1; i < words.size(); ++i)
            arguments += (i > 1 ? " " : "") + words[i];
        failures::record({failures::now(), dos::toDos(m_drives.workingFolder, m_drives), status,
                          words[0], arguments, message});
    }

    dos::Drives m_drives;
    bool m_failed = false;
};

int usage()
{
    std::cerr << "uso: " << kProgram << " [/c] [/p] ARCHIVO.BAT\n"
              << "  /p  si un programa falla, espera a que se pulse Intro antes de terminar\n";
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    bool pauseOnFailure = false;
    while (args.size() > 1 && args.front().size() == 2 && args.front()[0] == '/') {
        if (dos::equalsIgnoreCase(args.front(), "/p"))
            pauseOnFailure = true;
        else if (!dos::equalsIgnoreCase(args.front(), "/c"))
            return usage();
        args.erase(args.begin());
    }
    if (args.size() != 1)
        return usage();

    const dos::Drives drives = dos::currentDrives();
    const std::optional<dos::fs::path> script = dos::toNative(args.front(), drives);
    std::ifstream in;
    if (script)
        in.open(*script, std::ios::binary);
    if (!in) {
        std::cerr << kProgram << ": no se puede leer el archivo por lotes «" << args.front()
                  << "»: " << dos::spanishReason(errno) << "\n";
        return 2;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TerminalConsole console(drives);
    const int errorLevel = batch::runScript(text, console);
    if (pauseOnFailure && console.failed()) {
        console.out("\nPulse Intro para cerrar.");
        std::string line;
        std::getline(std::cin, line);
    }
    // A Linux exit status holds eight bits: "not found" becomes the shells' 127.
    return errorLevel == batch::kNotFound ? 127 : errorLevel & 0xFF;
}
