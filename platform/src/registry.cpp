#include "platform/registry.h"

#include <cstdlib>

#include "platform/path.h"
#include "platform/text.h"
#include "registry_store.h"

namespace platform {
namespace {

namespace rf = registry_format;

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::vector<std::pair<std::string, RegValueData>> Snapshot(const rf::Content& content, std::string_view path) {
    std::vector<std::pair<std::string, RegValueData>> values;
    if (const rf::Section* s = rf::FindSection(content, path))
        for (const rf::Value& v : s->values) values.push_back({v.name, RegValueData{v.type, v.data}});
    return values;
}

}  // namespace

RegistryConfig RegistryConfig::FromEnvironment() {
    RegistryConfig config;
    std::string dir = Env("ORVANE_REGISTRY_DIR");
    if (!dir.empty()) {
        config.user.file = JoinPath(dir, "user.reg");
        config.machine.file = JoinPath(dir, "machine.reg");
        return config;
    }
    std::string base = Env("XDG_CONFIG_HOME");
    if (base.empty()) base = JoinPath(Env("HOME"), ".config");
    config.user.file = JoinPath(JoinPath(base, "orvane"), "user.reg");
    config.machine.file = "/etc/orvane/machine.reg";
    return config;
}

RegistryConfig RegistryConfig::InMemory() {
    RegistryConfig config;
    config.user.inMemory = true;
    config.machine.inMemory = true;
    return config;
}

Registry::Registry(const RegistryConfig& config)
    : user_(MakeHiveStore(config.user)), machine_(MakeHiveStore(config.machine)) {}

Registry::~Registry() = default;

RegStatus Registry::Open(Hive hive, std::string_view path, RegistryKey& key) {
    key.Close();
    auto normal = rf::NormalizePath(path);
    if (!normal) return RegStatus::BadName;
    std::shared_ptr<HiveStore>& store = Store(hive);
    rf::Content content = store->Read();
    if (!rf::KeyExists(content, *normal)) return RegStatus::NotFound;
    const rf::Section* section = rf::FindSection(content, *normal);
    key.store_ = store;
    key.path_ = section ? section->path : *normal;
    key.writable_ = store->Writable();
    key.values_ = Snapshot(content, *normal);
    return RegStatus::Ok;
}

RegStatus Registry::Create(Hive hive, std::string_view path, RegistryKey& key) {
    key.Close();
    auto normal = rf::NormalizePath(path);
    if (!normal) return RegStatus::BadName;
    std::shared_ptr<HiveStore>& store = Store(hive);
    if (!rf::KeyExists(store->Read(), *normal)) {
        RegStatus status = store->Update([&](rf::Content& content) {
            bool missing = !rf::KeyExists(content, *normal);
            if (missing) rf::CreateKey(content, *normal);
            return missing;
        });
        if (status != RegStatus::Ok) return status;
    }
    return Open(hive, *normal, key);
}

RegStatus RegistryKey::Query(std::string_view name, std::size_t bufferSize, RegValueData& out,
                             std::size_t* neededSize) const {
    if (!store_) return RegStatus::NotOpen;
    for (const auto& [valueName, value] : values_) {
        if (!AsciiEqualsNoCase(valueName, name)) continue;
        if (neededSize) *neededSize = value.data.size();
        if (value.data.size() > bufferSize) return RegStatus::TooLong;
        out = value;
        return RegStatus::Ok;
    }
    return RegStatus::NotFound;
}

RegStatus RegistryKey::Set(std::string_view name, uint32_t type, std::string_view data) {
    return SetMany({{std::string(name), RegValueData{type, std::string(data)}}});
}

RegStatus RegistryKey::SetMany(const std::vector<std::pair<std::string, RegValueData>>& values) {
    if (!store_) return RegStatus::NotOpen;
    if (!writable_) return RegStatus::AccessDenied;
    std::vector<std::pair<std::string, RegValueData>> after;
    RegStatus status = store_->Update([&](rf::Content& content) {
        // A key deleted by someone else since it was opened comes back.
        rf::Section& section = content.sections[rf::CreateKey(content, path_)];
        for (const auto& [name, value] : values) rf::SetValue(section, name, value.type, value.data);
        after = Snapshot(content, path_);
        return true;
    });
    if (status == RegStatus::Ok) values_ = std::move(after);
    return status;
}

std::optional<std::string> QueryText(const RegistryKey& key, std::string_view name, std::size_t bufferSize) {
    RegValueData value;
    if (key.Query(name, bufferSize, value) != RegStatus::Ok) return std::nullopt;
    std::string text = value.data.substr(0, value.data.find('\0'));
    if (text.size() >= bufferSize) return std::nullopt;
    return text;
}

void RegistryKey::Close() {
    store_.reset();
    path_.clear();
    writable_ = false;
    values_.clear();
}

}  // namespace platform
