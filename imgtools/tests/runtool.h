// Runs the built tools from tests: in a given working folder, standard input closed, standard
// error captured, as the program's batch files start them.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

struct ToolRun
{
    int status = -1; // exit status, -1 when the tool did not exit normally
    std::string err; // what it wrote on standard error
};

inline std::filesystem::path toolPath(const std::string &tool)
{
    return std::filesystem::path(TAVELIO_BUILD_DRIVE_C) / "qor/ejecutable/auxiliares"
        / (tool + ".exe");
}

// Starts `tool` in `folder`; standard error goes to `errFile`. Returns the pid, or -1.
inline pid_t startTool(const std::string &tool, const std::vector<std::string> &args,
                       const std::filesystem::path &folder, const std::filesystem::path &errFile)
{
    const std::string exe = toolPath(tool).string();
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(exe.c_str()));
    for (const auto &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = -1;
    if (posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

inline int waitTool(pid_t pid)
{
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs `tool` to its end. Standard error is kept outside `folder`, which then holds only
// what the tool wrote.
inline ToolRun runTool(const std::string &tool, const std::vector<std::string> &args,
                       const std::filesystem::path &folder)
{
    char errName[] = "/tmp/tavelio-stderr-XXXXXX";
    const int fd = ::mkstemp(errName);
    if (fd >= 0)
        ::close(fd);
    ToolRun run;
    run.status = waitTool(startTool(tool, args, folder, errName));
    std::ifstream in(errName, std::ios::binary);
    run.err.assign(std::istreambuf_iterator<char>(in), {});
    ::unlink(errName);
    return run;
}
