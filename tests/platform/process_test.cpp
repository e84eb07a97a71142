// Starting other programs: RunAndRead's results, time-out and output cap,
// and launch's hand-off; neither passes our descriptors on.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/process.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using platform::RunAndRead;
using platform::RunResult;

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The reporting child under a name of its own in `dir`: it leaves
// <name>.args and <name>.fds there.
std::string Reporter(const ch10fix::TempDir& dir, const std::string& name = "child") {
    std::string link = dir.File(name);
    std::filesystem::create_symlink(FD_REPORT, link);
    return link;
}

std::string Args(const std::vector<std::string>& args) {
    std::string out;
    for (const auto& a : args) out += a + '\0';
    return out;
}

// Waits (up to 10 s) for a file a launched child writes.
bool WaitForFile(const std::string& path) {
    for (int i = 0; i < 1000; ++i) {
        if (std::filesystem::exists(path)) return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

// Waits (up to 10 s) until the process is gone: ended and reaped.
bool WaitUntilGone(pid_t pid) {
    for (int i = 0; i < 1000; ++i) {
        if (::kill(pid, 0) != 0 && errno == ESRCH) return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

// A descriptor that, without care, a child would inherit.
class LeakyDescriptor {
public:
    LeakyDescriptor() : fd_(::open("/dev/null", O_RDONLY)) {}
    ~LeakyDescriptor() { ::close(fd_); }
    int fd() const { return fd_; }

private:
    int fd_;
};

TEST(Process, RunAndReadReportsHowTheChildEnded) {
    struct Case {
        const char* what;
        std::vector<std::string> argv;
        bool started;
        bool exited;
        int exitStatus;
        int signal;
        std::string output;
    };
    const Case cases[] = {
        {"exit status", {"/bin/sh", "-c", "echo out; exit 3"}, true, true, 3, 0, "out\n"},
        {"success", {"/bin/sh", "-c", "printf 'a\\nb'"}, true, true, 0, 0, "a\nb"},
        {"signal", {"/bin/sh", "-c", "kill -TERM $$"}, true, false, 0, SIGTERM, ""},
        {"stdin is empty", {"/bin/sh", "-c", "cat; readlink /proc/self/fd/0"}, true, true, 0, 0, "/dev/null\n"},
        {"semicolon is no command separator", {"/bin/echo", "a;b", "c"}, true, true, 0, 0, "a;b c\n"},
        {"missing program", {"/nonexistent/prog"}, false, false, 0, 0, ""},
        {"no PATH search", {"sh", "-c", "exit 0"}, false, false, 0, 0, ""},
        {"closed stdout, still ends", {"/bin/sh", "-c", "exec >&-; sleep 0.2; exit 4"}, true, true, 4, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RunResult r = RunAndRead(c.argv, 10s);
        EXPECT_EQ(r.started, c.started);
        EXPECT_EQ(r.started, r.spawnError == 0);
        EXPECT_EQ(r.exited, c.exited);
        EXPECT_EQ(r.exitStatus, c.exitStatus);
        EXPECT_EQ(r.signal, c.signal);
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.output, c.output);
    }
}

TEST(Process, RunAndReadKillsAndReapsAtTheTimeOut) {
    const auto start = std::chrono::steady_clock::now();
    RunResult r = RunAndRead({"/bin/sh", "-c", "echo $$; exec sleep 30"}, 300ms);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
    EXPECT_TRUE(r.started);
    EXPECT_TRUE(r.timedOut);
    EXPECT_FALSE(r.exited);
    const pid_t pid = std::stoi(r.output);
    ASSERT_GT(pid, 0);
    // Reaped: the pid no longer names even a zombie.
    EXPECT_EQ(::kill(pid, 0), -1);
    EXPECT_EQ(errno, ESRCH);
}

TEST(Process, RunAndReadKeepsTheFirstBytesAndLetsTheChildFinish) {
    RunResult r = RunAndRead({"/bin/sh", "-c", "head -c 1048576 /dev/zero | tr '\\000' a; echo end >&2"}, 60s);
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.output, std::string(4096, 'a'));

    RunResult small = RunAndRead({"/bin/echo", "abcdef"}, 10s, 3);
    EXPECT_EQ(small.output, "abc");
}

TEST(Process, ChildrenGetTheirArgumentsExactlyAndNoneOfOurDescriptors) {
    ch10fix::TempDir dir;
    LeakyDescriptor leaky;
    ASSERT_GE(leaky.fd(), 3);
    const std::vector<std::string> args{"a;b", "", " spaced ", "$HOME", "*", "new\nline"};

    std::vector<std::string> argv{Reporter(dir, "run")};
    argv.insert(argv.end(), args.begin(), args.end());
    RunResult r = RunAndRead(argv, 10s);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.output, "5\n");
    EXPECT_EQ(Slurp(dir.File("run.args")), Args(args));
    EXPECT_EQ(Slurp(dir.File("run.fds")), "0 1 2\n");

    argv[0] = Reporter(dir, "launched");
    platform::LaunchResult l = platform::launch(argv);
    ASSERT_TRUE(l.started);
    ASSERT_TRUE(WaitForFile(dir.File("launched.args")));
    EXPECT_EQ(Slurp(dir.File("launched.args")), Args(args));
    EXPECT_EQ(Slurp(dir.File("launched.fds")), "0 1 2\n");
    EXPECT_TRUE(WaitUntilGone(l.pid));
}

TEST(Process, LaunchReturnsAtOnceAndLeavesNoZombie) {
    platform::LaunchResult sleeper = platform::launch({"sleep", "30"});  // found through PATH
    ASSERT_TRUE(sleeper.started);
    EXPECT_EQ(::kill(sleeper.pid, 0), 0);  // still running when launch returned
    ::kill(sleeper.pid, SIGKILL);
    EXPECT_TRUE(WaitUntilGone(sleeper.pid));

    platform::LaunchResult quick = platform::launch({"true"});
    ASSERT_TRUE(quick.started);
    EXPECT_TRUE(WaitUntilGone(quick.pid));

    platform::LaunchResult missing = platform::launch({"/nonexistent/viewer", "file.txt"});
    EXPECT_FALSE(missing.started);
    EXPECT_EQ(missing.error, ENOENT);
}

}  // namespace
