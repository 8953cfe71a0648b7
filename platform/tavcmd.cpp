// tavcmd: the command shell that runs the program's batch files.
//
//   tavcmd [/c] FILE.BAT
//
// Runs the lines of FILE.BAT (a DOS name, found without regard to letter case) in the current
// folder, as a Windows console would run them with echo on: each program line is shown after
// the prompt, then the program runs with the console's standard input and output, and the next
// line waits for it. Programs are DOS paths ("c:\qor\ejecutable\auxiliares\mblur.exe") or
// names in the current folder; a line is never given to a Unix shell.
//
// Exit status: that of the last program run, 127 when it could not be found (a console's
// 9009), 1 for misuse and 2 when the batch file cannot be read.

#include "batchscript.h"
#include "dospath.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

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
        if (!program || !dos::fs::is_regular_file(*program) || access(program->c_str(), X_OK) != 0)
            return std::nullopt;

        std::vector<std::string> arguments;
        for (const std::string &word : words)
            arguments.push_back(latin1ToUtf8(word));
        std::vector<char *> argv;
        for (std::string &argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);

        std::fflush(nullptr);
        const pid_t child = fork();
        if (child < 0) {
            err(std::string(kProgram) + ": no se pudo crear el proceso: " + std::strerror(errno)
                + "\n");
            return 1;
        }
        if (child == 0) {
            execv(program->c_str(), argv.data());
            _exit(batch::kNotFound);
        }
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) { }
        if (WIFEXITED(status))
            return WEXITSTATUS(status);
        return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    }

private:
    dos::Drives m_drives;
};

int usage()
{
    std::cerr << "uso: " << kProgram << " [/c] ARCHIVO.BAT\n";
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && dos::equalsIgnoreCase(args.front(), "/c"))
        args.erase(args.begin());
    if (args.size() != 1)
        return usage();

    const dos::Drives drives = dos::currentDrives();
    const std::optional<dos::fs::path> script = dos::toNative(args.front(), drives);
    std::ifstream in;
    if (script)
        in.open(*script, std::ios::binary);
    if (!in) {
        std::cerr << kProgram << ": no se puede leer el archivo por lotes «" << args.front()
                  << "»: " << std::strerror(errno) << "\n";
        return 2;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TerminalConsole console(drives);
    const int errorLevel = batch::runScript(text, console);
    // A Linux exit status holds eight bits: "not found" becomes the shells' 127.
    return errorLevel == batch::kNotFound ? 127 : errorLevel & 0xFF;
}
