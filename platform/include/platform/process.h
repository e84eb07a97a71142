#pragma once
// Starting other programs: always an argument vector, never a shell command
// line, and the child gets none of our descriptors beyond 0-2.
#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class Registry;

struct RunResult {
    bool started = false;  // false: the spawn failed (`spawnError` says why)
    int spawnError = 0;
    bool exited = false;   // ended by exit with `exitStatus`
    int exitStatus = 0;
    int signal = 0;        // ended by this signal (0: did not)
    bool timedOut = false; // killed and reaped at the time-out
    std::string output;    // the first `outputLimit` bytes of standard output
};

// Runs argv[0] (a path: no PATH search) with standard input from /dev/null
// and standard error shared with ours, reads its standard output to the end
// and waits for it, killing it at the time-out.
RunResult RunAndRead(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
                     std::size_t outputLimit = 4096);

struct LaunchResult {
    bool started = false;
    int error = 0;  // errno of a failed spawn
    pid_t pid = -1;
};

// Starts argv[0] (searched in PATH) and returns at once; the child is reaped
// by its pid when it ends, so no zombie stays.
LaunchResult launch(const std::vector<std::string>& argv);

// An outside automation object: an executable registered under
// SOFTWARE\Classes\<ProgID> (value "LocalServer") in the machine hive. A
// method call runs it with the method's name and arguments and reads a
// decimal number from the first line it prints.
class AutomationObject {
public:
    // nullopt when the key, the value or the executable is missing.
    static std::optional<AutomationObject> Create(Registry& registry, std::string_view progId);

    struct CallResult {
        enum class Kind { Number, CannotStart, Failed } kind = Kind::Failed;
        int32_t number = 0;
        std::string reason;  // for CannotStart and Failed
    };
    CallResult Invoke(std::string_view method, const std::vector<std::string>& args) const;

    void SetTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
    const std::string& Server() const { return server_; }

private:
    explicit AutomationObject(std::string server) : server_(std::move(server)) {}
    std::string server_;
    std::chrono::milliseconds timeout_{10000};
};

}  // namespace platform
