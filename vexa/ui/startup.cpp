#include "vexa/ui/startup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/path.h"
#include "platform/registry.h"

namespace vexa {

StartupState ProbeErrorList() {
    StartupState state;
    // Non-blocking, so that a named pipe of that name cannot stall start-up.
    int fd = ::open(std::string(kErrorListFile).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
        struct stat st {};
        // Linux opens directories for reading; the Windows runtime did not.
        if (::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode)) state.errorListMissing = 0;
        ::close(fd);
    }
    return state;
}

std::string WindowTitle(const StartupState& state) {
    if (state.errorListMissing == 1) return std::string(kTitle);
    return std::string(kVersionedTitlePrefix) + state.builtInVersion;
}

std::string InitialSourceFromArgs(const std::vector<std::string>& args) {
    bool options = true;
    for (const std::string& a : args) {
        if (options && a == "--") {
            options = false;
            continue;
        }
        if (options && !a.empty() && a[0] == '-') continue;
        return a;
    }
    return {};
}

void ReadMachineValues(platform::Registry& registry, StartupState& state) {
    platform::RegistryKey key;
    if (registry.Create(platform::Hive::LocalMachine, kCommonKey, key) == platform::RegStatus::Ok) {
        std::string dir = platform::QueryText(key, kApplicationDirValue).value_or("");
        state.docsDir = dir.empty() ? std::string(kDefaultDocsDir) : platform::JoinPath(dir, "Docs") + "/";
    }
    if (registry.Create(platform::Hive::LocalMachine, kFamilyKey, key) == platform::RegStatus::Ok) {
        std::string version = platform::QueryText(key, kVersionValue).value_or("");
        state.versionText = version.empty() ? state.builtInVersion : version;
    }
}

}  // namespace vexa
