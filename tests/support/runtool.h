// Runs the built tools of drive C from tests as the program's batch files start them: in a
// given working folder, directly (no shell reads the arguments), with `answers` on standard
// input. Standard output and error are caught in files outside the folder, which then holds
// only what the tool wrote.
#pragma once

#include "tempdir.h"

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

struct ToolRun
{
    int status = -1; // exit status, -1 when the tool did not exit normally
    std::string out; // what it wrote on standard output
    std::string err; // and on standard error
};

// The tool `file` ("blur.exe") on the build tree's drive C.
inline std::filesystem::path toolPath(const std::string &file)
{
    return std::filesystem::path(TAVELIO_BUILD_DRIVE_C) / "qor/ejecutable/auxiliares" / file;
}

// Starts `file` in `folder` with its standard streams on the files named. The pid, or -1.
inline pid_t startTool(const std::string &file, const std::vector<std::string> &args,
                       const std::filesystem::path &folder, const std::string &in = "/dev/null",
                       const std::string &out = "/dev/null", const std::string &err = "/dev/null")
{
    const std::string exe = toolPath(file).string();
    std::vector<char *> argv {const_cast<char *>(exe.c_str())};
    for (const auto &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
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

// Runs `file` to its end.
inline ToolRun runTool(const std::string &file, const std::vector<std::string> &args,
                       const std::filesystem::path &folder, const std::string &answers = "")
{
    const TempDir io;
    io.write("in", answers);
    ToolRun run;
    run.status
        = waitTool(startTool(file, args, folder, io.file("in"), io.file("out"), io.file("err")));
    run.out = io.read("out");
    run.err = io.read("err");
    return run;
}

// The same with the arguments as one line, split at blanks as tavcmd splits a batch line.
inline ToolRun runLine(const TempDir &dir, const std::string &file, const std::string &line,
                       const std::string &answers = "")
{
    std::istringstream words(line);
    std::vector<std::string> args;
    for (std::string word; words >> word;)
        args.push_back(word);
    return runTool(file, args, dir.path, answers);
}
