#pragma once
// The system information program that the About box starts: where the
// machine hive says it is.
#include <optional>
#include <string>
#include <string_view>

namespace platform {
class Registry;
}

namespace vexa {

// Value "PATH" of `pathKey` when present and not empty, whether or not that
// file exists; else value "MSINFO" of the hive's root joined with
// "/MSINFO32.EXE" when that file exists; else nothing. Values are read
// whole: a cut path would start another program.
std::optional<std::string> FindSystemInfoProgram(platform::Registry& registry, std::string_view pathKey);

}  // namespace vexa
