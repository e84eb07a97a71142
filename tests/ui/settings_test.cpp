// Per-user settings: the recent-list rules, filling a combo box, and the
// single values.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/numbers.h"
#include "platform/registry.h"
#include "tests/ui/registry_fixture.h"
#include "vexa/ui/settings.h"

namespace {

namespace fs = std::filesystem;
using platform::Hive;
using platform::HiveAccess;
using platform::Registry;
using uitest::TempRegistry;
using vexa::Settings;
using vexa::SettingKind;

const std::string kUserKey = "SOFTWARE\\Orvane\\Kelvane";
const std::string kCommonKey = "SOFTWARE\\Orvane\\Talmor\\Common";

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

ino_t Inode(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// The stored data of a value ("<missing>" without it), through a fresh registry.
std::string Stored(const TempRegistry& reg, Hive hive, const std::string& key, const std::string& name) {
    Registry registry(reg.Config());
    platform::RegistryKey k;
    platform::RegValueData v;
    if (registry.Open(hive, key, k) != platform::RegStatus::Ok ||
        k.Query(name, 1 << 20, v) != platform::RegStatus::Ok)
        return "<missing>";
    return v.data;
}

std::vector<std::string> StoredList(const TempRegistry& reg, const std::string& kind) {
    std::vector<std::string> out;
    for (int n = 1; n <= 4; ++n) out.push_back(Stored(reg, Hive::CurrentUser, kUserKey, kind + std::to_string(n)));
    return out;
}

std::string Sz(const std::string& text) { return text + '\0'; }

struct VectorCombo : vexa::RecentCombo {
    std::vector<std::string> items;
    std::vector<int> selections;
    void AddString(const std::string& text) override { items.push_back(text); }
    void SetCurSel(int index) override { selections.push_back(index); }
};

TEST(Settings, RecentListPush) {
    struct Case {
        const char* what;
        bool start;  // the list A,B,C,D, else no key at all
        std::string push;
        std::vector<std::string> result;  // texts; empty: nothing may be written
    };
    const std::string longText(4096, 'L');
    const Case cases[] = {
        {"entry 2 moves up", true, "B", {"B", "A", "C", "D"}},
        {"entry 3 moves up", true, "C", {"C", "A", "B", "D"}},
        {"entry 4 moves up", true, "D", {"D", "A", "B", "C"}},
        {"new text drops entry 4", true, "E", {"E", "A", "B", "C"}},
        {"entry 1 again", true, "A", {}},
        {"other case is another entry", true, "a", {"a", "A", "B", "C"}},
        {"no key", false, "X", {"X", "", "", ""}},
        {"recorder tape", true, "TAPE0:", {}},
        {"tape in other case", true, "Tape0:", {"Tape0:", "A", "B", "C"}},
        {"longer than 4,095 bytes", true, longText, {}},
        {"4,095 bytes", true, longText.substr(1), {longText.substr(1), "A", "B", "C"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempRegistry reg;
        if (c.start)
            for (int n = 1; n <= 4; ++n)
                reg.SetText(Hive::CurrentUser, kUserKey, "Input" + std::to_string(n), std::string(1, char('A' + n - 1)));
        const std::string before = Slurp(reg.UserFile());
        const ino_t inode = Inode(reg.UserFile());

        Registry registry(reg.Config());
        Settings(registry).RecentListPush(SettingKind::Input, c.push);
        if (c.result.empty()) {
            EXPECT_EQ(Slurp(reg.UserFile()), before);
            EXPECT_EQ(Inode(reg.UserFile()), inode);
            continue;
        }
        std::vector<std::string> expected;
        for (const auto& text : c.result) expected.push_back(Sz(text));  // "" as 1 byte
        EXPECT_EQ(StoredList(reg, "Input"), expected);
    }
}

TEST(Settings, RecentListFill) {
    struct Case {
        const char* what;
        SettingKind kind;
        bool userKey;
        std::vector<std::optional<std::string>> entries;  // raw data of entries 1-4; nullopt: missing
        std::optional<std::string> recordedDataDir;       // nullopt: no "Common" key
        HiveAccess machine;
        std::vector<std::string> items;
        bool selected;
        std::string entry1After;  // "<missing>" when none
    };
    const std::string tooLong(5000, 'z');
    const Case cases[] = {
        {"skips 0-byte, empty and missing entries", SettingKind::Input, true,
         {std::string(), Sz(""), std::nullopt, Sz("x"), }, "/rec", HiveAccess::Always, {"x"}, true, ""},
        {"entries in order", SettingKind::OutputDir, true, {Sz("a"), Sz("b"), std::nullopt, Sz(tooLong)}, "/rec",
         HiveAccess::Always, {"a", "b"}, true, Sz("a")},
        {"empty SourceDir takes the recorded-data directory", SettingKind::SourceDir, true, {}, "/rec",
         HiveAccess::Never, {"/rec"}, true, Sz("/rec")},
        {"empty OutputDir takes it too", SettingKind::OutputDir, true, {Sz("")}, "/rec", HiveAccess::Never,
         {"/rec"}, true, Sz("/rec")},
        {"empty Input has no default", SettingKind::Input, true, {}, "/rec", HiveAccess::Always, {}, true,
         "<missing>"},
        {"empty recorded-data directory", SettingKind::SourceDir, true, {}, "", HiveAccess::Always, {}, true,
         "<missing>"},
        {"no user key: combo unchanged, no default", SettingKind::SourceDir, false, {}, "/rec", HiveAccess::Always,
         {}, false, "<missing>"},
        {"read-only machine hive without Common", SettingKind::SourceDir, true, {}, std::nullopt, HiveAccess::Never,
         {}, true, "<missing>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempRegistry reg;
        const std::string name(vexa::SettingName(c.kind));
        if (c.userKey) {
            reg.Set(Hive::CurrentUser, kUserKey, "Other", Sz("1"));
            for (std::size_t i = 0; i < c.entries.size(); ++i)
                if (c.entries[i]) reg.Set(Hive::CurrentUser, kUserKey, name + std::to_string(i + 1), *c.entries[i]);
        }
        if (c.recordedDataDir) reg.SetText(Hive::LocalMachine, kCommonKey, "RECORDEDDATADIR", *c.recordedDataDir);
        const std::string machineBefore = Slurp(reg.MachineFile());

        Registry registry(reg.Config(c.machine));
        VectorCombo combo;
        Settings(registry).RecentListFill(c.kind, combo);
        EXPECT_EQ(combo.items, c.items);
        EXPECT_EQ(combo.selections, c.selected ? std::vector<int>{0} : std::vector<int>{});
        EXPECT_EQ(Stored(reg, Hive::CurrentUser, kUserKey, name + "1"), c.entry1After);
        EXPECT_EQ(fs::exists(reg.UserFile()), c.userKey);
        EXPECT_EQ(Slurp(reg.MachineFile()), machineBefore);
    }
}

TEST(Settings, SingleValues) {
    TempRegistry reg;
    Registry registry(reg.Config());
    Settings settings(registry);
    EXPECT_EQ(settings.SettingRead(SettingKind::MaxLog), "");
    EXPECT_NE(Slurp(reg.UserFile()).find("[SOFTWARE\\Orvane\\Kelvane]\n"), std::string::npos);  // key created

    struct Case {
        const char* text;
        int value;
    } maxLogs[] = {{"7", 7}, {"abc", 0}, {"-3", -3}, {"7x", 7}};
    for (const auto& c : maxLogs) {
        SCOPED_TRACE(c.text);
        settings.SettingWrite(SettingKind::MaxLog, c.text);
        EXPECT_EQ(Stored(reg, Hive::CurrentUser, kUserKey, "MaxLog"), Sz(c.text));
        EXPECT_EQ(platform::DecimalToInt(settings.SettingRead(SettingKind::MaxLog)), c.value);
    }

    // Only the single kinds; list kinds are neither read nor written here.
    settings.SettingWrite(SettingKind::SourceDir, "/x");
    EXPECT_EQ(Stored(reg, Hive::CurrentUser, kUserKey, "SourceDir"), "<missing>");
    reg.SetText(Hive::CurrentUser, kUserKey, "Input", "stray");
    EXPECT_EQ(settings.SettingRead(SettingKind::Input), "");

    // 4,095 bytes are stored; a longer text stores nothing.
    const std::string limit(4095, 'p');
    settings.SettingWrite(SettingKind::OutputFile, limit);
    EXPECT_EQ(settings.SettingRead(SettingKind::OutputFile), limit);
    settings.SettingWrite(SettingKind::OutputFile, limit + "q");
    EXPECT_EQ(settings.SettingRead(SettingKind::OutputFile), limit);
    // Longer data stored by someone else reads as missing.
    reg.SetText(Hive::CurrentUser, kUserKey, "OutputFile", limit + "q");
    EXPECT_EQ(settings.SettingRead(SettingKind::OutputFile), "");
}

TEST(Settings, AnotherProcessSeesAWriteAtOnce) {
    TempRegistry reg;
    {
        Registry registry(reg.Config());
        Settings(registry).SettingWrite(SettingKind::UseExtern, "1");
    }
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Registry registry(reg.Config());
        ::_exit(Settings(registry).SettingRead(SettingKind::UseExtern) == "1" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(Settings, UnwritableUserHiveStoresNothingAndReadsEmpty) {
    TempRegistry reg;
    platform::RegistryConfig config = reg.Config();
    config.user.access = HiveAccess::Never;
    Registry registry(config);
    Settings settings(registry);
    settings.SettingWrite(SettingKind::MaxLog, "5");
    settings.RecentListPush(SettingKind::Input, "a.ch10");
    EXPECT_EQ(settings.SettingRead(SettingKind::MaxLog), "");
    EXPECT_FALSE(fs::exists(reg.UserFile()));
}

}  // namespace
