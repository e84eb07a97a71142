#include "vexa/ui/system_info.h"

#include <filesystem>
#include <system_error>

#include "platform/registry.h"

namespace vexa {
namespace {

std::optional<std::string> NonEmptyText(platform::Registry& registry, std::string_view keyPath,
                                        std::string_view name) {
    platform::RegistryKey key;
    if (registry.Open(platform::Hive::LocalMachine, keyPath, key) != platform::RegStatus::Ok) return std::nullopt;
    std::optional<std::string> text = platform::QueryText(key, name);
    if (!text || text->empty()) return std::nullopt;
    return text;
}

}  // namespace

std::optional<std::string> FindSystemInfoProgram(platform::Registry& registry, std::string_view pathKey) {
    if (auto path = NonEmptyText(registry, pathKey, "PATH")) return path;
    // No key is known for the directory: the hive's root holds it.
    if (auto dir = NonEmptyText(registry, "", "MSINFO")) {
        std::string program = *dir + "/MSINFO32.EXE";
        std::error_code ec;
        if (std::filesystem::exists(program, ec)) return program;
    }
    return std::nullopt;
}

}  // namespace vexa
