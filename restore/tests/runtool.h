// Running a tool of drive C in a scratch working folder, as the program's batch files do, with
// its questions answered through standard input.
#pragma once

#include "tempdir.h"

#include <cstdlib>
#include <string>
#include <sys/wait.h>

struct ToolRun
{
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string toolPath(const std::string &name)
{
    return std::string(TAVELIO_BUILD_DRIVE_C) + "/qor/ejecutable/auxiliares/" + name;
}

inline std::string quoted(const std::string &text)
{
    std::string q = "'";
    for (char c : text)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs `tool` (a file name on drive C, "motion.exe") with `args` in `dir`, feeding `answers`
// to its standard input. The captured streams live outside `dir`, so they never show up in a
// listing of the working folder.
inline ToolRun runTool(const TempDir &dir, const std::string &tool, const std::string &args,
                       const std::string &answers = "")
{
    static TempDir io;
    io.write("stdin", answers);
    const std::string command = "cd " + quoted(dir.path.string()) + " && " + quoted(toolPath(tool))
        + " " + args + " < " + quoted(io.file("stdin")) + " > " + quoted(io.file("stdout")) + " 2> "
        + quoted(io.file("stderr"));
    const int raw = std::system(command.c_str());
    ToolRun run;
    run.status = (raw != -1 && WIFEXITED(raw)) ? WEXITSTATUS(raw) : -1;
    run.out = io.read("stdout");
    run.err = io.read("stderr");
    return run;
}
