#include <sys/stat.h>

#include <cstring>

#include "platform/numbers.h"
#include "platform/process.h"
#include "platform/registry.h"

namespace platform {
namespace {

// The decimal rule finds a number: blanks, an optional sign, then a digit.
bool StartsWithNumber(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || (line[i] >= '\t' && line[i] <= '\r'))) ++i;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) ++i;
    return i < line.size() && line[i] >= '0' && line[i] <= '9';
}

std::string Duration(std::chrono::milliseconds t) {
    long long ms = t.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

}  // namespace

std::optional<AutomationObject> AutomationObject::Create(Registry& registry, std::string_view progId) {
    RegistryKey key;
    if (registry.Open(Hive::LocalMachine, "SOFTWARE\\Classes\\" + std::string(progId), key) != RegStatus::Ok)
        return std::nullopt;
    std::optional<std::string> server = QueryText(key, "LocalServer");
    if (!server || server->empty()) return std::nullopt;
    struct stat st {};
    if (::stat(server->c_str(), &st) != 0) return std::nullopt;
    return AutomationObject(*server);
}

AutomationObject::CallResult AutomationObject::Invoke(std::string_view method,
                                                      const std::vector<std::string>& args) const {
    std::vector<std::string> argv{server_, std::string(method)};
    argv.insert(argv.end(), args.begin(), args.end());
    RunResult run = RunAndRead(argv, timeout_);
    CallResult result;
    if (!run.started) {
        result.kind = CallResult::Kind::CannotStart;
        result.reason = server_ + " cannot be started: " + std::strerror(run.spawnError);
        return result;
    }
    if (run.timedOut) {
        result.reason = server_ + " gave no answer within " + Duration(timeout_);
    } else if (!run.exited) {
        result.reason = server_ + " was ended by signal " + std::to_string(run.signal);
    } else if (run.exitStatus != 0) {
        result.reason = server_ + " exited with status " + std::to_string(run.exitStatus);
    } else {
        std::string_view line(run.output);
        line = line.substr(0, line.find('\n'));
        if (!StartsWithNumber(line)) {
            result.reason = server_ + " printed no number";
        } else {
            result.kind = CallResult::Kind::Number;
            result.number = DecimalToInt(line);
        }
    }
    return result;
}

}  // namespace platform
