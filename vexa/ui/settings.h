#pragma once
// The user's choices kept from one start to the next under the per-user key:
// single values and four-deep recent lists.
#include <string>
#include <string_view>

namespace platform {
class Registry;
}

namespace vexa {

// In this order; the number is the index into the value names.
enum class SettingKind {
    SourceDir = 0,    // recent list
    Input = 1,        // recent list
    OutputDir = 2,    // recent list
    OutputFile = 3,   // single
    InputType = 4,    // single, decimal
    ExternTMATS = 5,  // recent list
    UseExtern = 6,    // single, "1" or "0"
    MaxLog = 7,       // single, decimal
};

std::string_view SettingName(SettingKind kind);
bool IsRecentList(SettingKind kind);

// The combo box a recent list is filled into.
class RecentCombo {
public:
    virtual ~RecentCombo() = default;
    virtual void AddString(const std::string& text) = 0;
    virtual void SetCurSel(int index) = 0;
};

// Texts up to this length are stored; a longer one is not stored at all,
// since a cut path names another file.
inline constexpr std::size_t kSettingTextMax = 4095;

class Settings {
public:
    explicit Settings(platform::Registry& registry) : registry_(registry) {}

    // The single value of `kind` ("" when missing); creates the user key.
    std::string SettingRead(SettingKind kind);
    // Stores `text` as the single value of `kind`.
    void SettingWrite(SettingKind kind, std::string_view text);
    // Puts `text` at the front of the recent list of `kind`.
    void RecentListPush(SettingKind kind, std::string_view text);
    // Adds the recent list of `kind` to `combo` and selects its first entry.
    void RecentListFill(SettingKind kind, RecentCombo& combo);

private:
    platform::Registry& registry_;
};

}  // namespace vexa
