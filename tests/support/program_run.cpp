#include "tests/support/program_run.h"

#include "tests/support/ch10_fixture.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

extern char** environ;

namespace ch10fix {

namespace {

std::string SlurpAndRemove(const std::string& path) {
    std::string text = ReadText(path);
    std::remove(path.c_str());
    return text;
}

}  // namespace

bool ProgramRun::Exited() const { return WIFEXITED(status); }
int ProgramRun::ExitCode() const { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

ProgramRun RunProgram(const std::vector<std::string>& argv, const std::string& cwd) {
    ProgramRun run;
    if (argv.empty()) return run;
    std::string outPath = "/tmp/orvane-outXXXXXX", errPath = "/tmp/orvane-errXXXXXX";
    int outFd = ::mkstemp(outPath.data());
    int errFd = ::mkstemp(errPath.data());
    if (outFd < 0 || errFd < 0) return run;

    std::vector<std::string> args = argv;
    std::vector<char*> cargs;
    for (auto& a : args) cargs.push_back(a.data());
    cargs.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    pid_t pid = -1;
    if (posix_spawn(&pid, cargs[0], &actions, nullptr, cargs.data(), environ) == 0) {
        while (::waitpid(pid, &run.status, 0) < 0 && errno == EINTR) {
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(outFd);
    ::close(errFd);
    run.out = SlurpAndRemove(outPath);
    run.err = SlurpAndRemove(errPath);
    return run;
}

}  // namespace ch10fix
