#pragma once
// Runs a built program as its own process, as a user would, and keeps what
// it printed.
#include <string>
#include <vector>

namespace ch10fix {

struct ProgramRun {
    int status = -1;  // as waitpid gives it
    std::string out;
    std::string err;
    bool Exited() const;
    int ExitCode() const;  // -1 when it did not exit
};

// `argv[0]` is the program's path; it runs in `cwd` (empty: the current
// directory). Standard output and error are captured through temporary
// files, so a program that prints a lot cannot block on a pipe.
ProgramRun RunProgram(const std::vector<std::string>& argv, const std::string& cwd = {});

}  // namespace ch10fix
