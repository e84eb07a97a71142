#pragma once
// The system information program that the About box starts: where the
// machine hive says it is.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Registry;
}

namespace vexa {

// Value "PATH" of `pathKey` when present and not empty, whether or not that
// file exists; else value "MSINFO" of the hive's root joined with
// "/MSINFO32.EXE" when that file exists; else nothing. Values are read
// whole: a cut path would start another program.
std::optional<std::string> FindSystemInfoProgram(platform::Registry& registry, std::string_view pathKey);

// Module state: how the program is started (tests install one that records).
struct SystemInfoState {
    std::function<void(const std::vector<std::string>&)> launch;
    void Reset();
};
SystemInfoState& SystemInfoLauncher();

}  // namespace vexa
