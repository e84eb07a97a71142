#include "vexa/ui/settings.h"

#include <array>
#include <utility>
#include <vector>

#include "platform/registry.h"
#include "vexa/res/startup_names.h"

namespace vexa {
namespace {

using platform::Hive;
using platform::RegStatus;

constexpr std::array<std::string_view, 8> kNames = {"SourceDir", "Input",       "OutputDir", "OutputFile",
                                                    "InputType", "ExternTMATS", "UseExtern", "MaxLog"};
constexpr int kListDepth = 4;

std::string EntryName(SettingKind kind, int number) {
    return std::string(SettingName(kind)) + std::to_string(number);
}

// REG_SZ data: the text and its terminating NUL.
std::string SzData(std::string_view text) { return std::string(text) + '\0'; }

}  // namespace

std::string_view SettingName(SettingKind kind) { return kNames[static_cast<std::size_t>(kind)]; }

bool IsRecentList(SettingKind kind) {
    return kind == SettingKind::SourceDir || kind == SettingKind::Input || kind == SettingKind::OutputDir ||
           kind == SettingKind::ExternTMATS;
}

std::string Settings::SettingRead(SettingKind kind) {
    if (IsRecentList(kind)) return {};
    platform::RegistryKey key;
    if (registry_.Create(Hive::CurrentUser, kUserKey, key) != RegStatus::Ok) return {};
    return platform::QueryText(key, SettingName(kind)).value_or("");
}

void Settings::SettingWrite(SettingKind kind, std::string_view text) {
    if (IsRecentList(kind) || text.size() > kSettingTextMax) return;
    platform::RegistryKey key;
    if (registry_.Create(Hive::CurrentUser, kUserKey, key) != RegStatus::Ok) return;
    key.Set(SettingName(kind), platform::kRegSz, SzData(text));
}

void Settings::RecentListPush(SettingKind kind, std::string_view text) {
    // Recorder tape sources are not remembered.
    if (!IsRecentList(kind) || text.substr(0, 4) == "TAPE" || text.size() > kSettingTextMax) return;
    platform::RegistryKey key;
    if (registry_.Create(Hive::CurrentUser, kUserKey, key) != RegStatus::Ok) return;
    std::vector<std::string> entries;
    for (int n = 1; n <= kListDepth; ++n) entries.push_back(platform::QueryText(key, EntryName(kind, n)).value_or(""));
    if (entries[0] == text) return;
    // The text's earlier place is dropped, else the oldest entry.
    std::size_t drop = kListDepth - 1;
    for (std::size_t i = 1; i + 1 < entries.size(); ++i)
        if (entries[i] == text) {
            drop = i;
            break;
        }
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(drop));
    entries.insert(entries.begin(), std::string(text));
    std::vector<std::pair<std::string, platform::RegValueData>> values;
    for (int n = 1; n <= kListDepth; ++n)
        values.push_back({EntryName(kind, n), platform::RegValueData{platform::kRegSz, SzData(entries[n - 1])}});
    key.SetMany(values);
}

void Settings::RecentListFill(SettingKind kind, RecentCombo& combo) {
    if (!IsRecentList(kind)) return;
    platform::RegistryKey key;
    if (registry_.Open(Hive::CurrentUser, kUserKey, key) != RegStatus::Ok) return;
    bool added = false;
    for (int n = 1; n <= kListDepth; ++n) {
        platform::RegValueData value;
        // One character and its NUL at least.
        if (key.Query(EntryName(kind, n), platform::kTextBufferSize, value) != RegStatus::Ok || value.data.size() < 2)
            continue;
        auto text = platform::QueryText(key, EntryName(kind, n));
        if (!text) continue;
        combo.AddString(*text);
        added = true;
    }
    if (!added && (kind == SettingKind::SourceDir || kind == SettingKind::OutputDir)) {
        platform::RegistryKey common;
        if (registry_.Open(Hive::LocalMachine, kCommonKey, common) == RegStatus::Ok) {
            std::string dir = platform::QueryText(common, kRecordedDataDirValue).value_or("");
            if (!dir.empty()) {
                combo.AddString(dir);
                RecentListPush(kind, dir);
            }
        }
    }
    combo.SetCurSel(0);
}

}  // namespace vexa
