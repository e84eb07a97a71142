#pragma once
// A registry of its own for one test: both hives as files in a temporary
// directory, which ORVANE_REGISTRY_DIR names for the program and any child.
#include <cstdlib>
#include <string>

#include "platform/registry.h"
#include "tests/support/temp_dir.h"

namespace uitest {

class TempRegistry {
public:
    TempRegistry() { ::setenv("ORVANE_REGISTRY_DIR", dir_.Path().c_str(), 1); }
    ~TempRegistry() { ::unsetenv("ORVANE_REGISTRY_DIR"); }
    TempRegistry(const TempRegistry&) = delete;
    TempRegistry& operator=(const TempRegistry&) = delete;

    const std::string& Dir() const { return dir_.Path(); }
    std::string UserFile() const { return dir_.File("user.reg"); }
    std::string MachineFile() const { return dir_.File("machine.reg"); }

    platform::RegistryConfig Config(platform::HiveAccess machine = platform::HiveAccess::Always) const {
        platform::RegistryConfig config = platform::RegistryConfig::FromEnvironment();
        config.machine.access = machine;
        return config;
    }

    // Stores raw data (a text is given with its NUL), creating the key.
    void Set(platform::Hive hive, const std::string& key, const std::string& name, const std::string& data) const {
        platform::Registry registry(Config());
        platform::RegistryKey k;
        if (registry.Create(hive, key, k) == platform::RegStatus::Ok) k.Set(name, platform::kRegSz, data);
    }
    void SetText(platform::Hive hive, const std::string& key, const std::string& name, const std::string& text) const {
        Set(hive, key, name, text + '\0');
    }

private:
    ch10fix::TempDir dir_;
};

}  // namespace uitest
