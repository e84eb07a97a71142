// The About box: texts and pictures from the machine hive, its enabling,
// and "System Info".
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ui/resource.h"
#include "tests/support/ch10_fixture.h"
#include "tests/ui/app_rig.h"
#include "vexa/res/resource_ids.h"
#include "vexa/res/startup_names.h"
#include "vexa/ui/system_info.h"
#include "vexa/ui/ui_module_state.h"

namespace {
namespace fs = std::filesystem;
using platform::Hive;
using platform::HiveAccess;
using uitest::AppRig;
namespace res = vexa::res;

const std::string kUserInfo = "SOFTWARE\\Orvane\\Talmor\\UserInfo";

// A control's text as template 100 has it.
std::string TemplateText(int id) {
    const ui::DialogTemplate* about = res::Resources().Dialog(res::kIddAbout);
    if (about == nullptr) return "<no template>";
    for (const ui::ControlTemplate& c : about->controls)
        if (c.id == id) return std::string(c.text);
    return "<no control>";
}

struct AboutSeen {
    std::string version, appName, company, user;
    bool logoShown = false, nameShown = false, nameBold = false;
    int icon = 0;
};

AboutSeen ShowAbout(AppRig& rig) {
    AboutSeen seen;
    int shown = 0;
    rig.ui.backend.AnswerModal(res::kIddAbout, [&](ui::Dialog& d, ui::Driver& dr) {
        ++shown;
        seen.version = d.GetText(1021).value_or("?");
        seen.appName = d.GetText(1017).value_or("?");
        seen.company = d.GetText(1000).value_or("?");
        seen.user = d.GetText(1001).value_or("?");
        seen.logoShown = d.IsVisible(140);
        seen.nameShown = d.IsVisible(1017);
        seen.nameBold = d.Find(1017) != nullptr && d.Find(1017)->bold;
        seen.icon = d.WindowIcon();
        EXPECT_TRUE(dr.Click(d, ui::kIdOk));
    });
    rig.app->OnAppAbout();
    EXPECT_EQ(shown, 1);
    return seen;
}

TEST(AboutBox, TextsAndPicturesFollowTheErrorListAndTheMachineHive) {
    struct Row {
        const char* what;
        int errorListMissing;
        HiveAccess machine;
        std::vector<std::pair<std::string, std::pair<std::string, std::string>>> values;  // key, (name, text)
        bool createKeyAfterStart;
        std::string version;
        std::optional<std::string> appName, company, user;  // none: the template's text
        bool shown;
    };
    const std::string family(vexa::kFamilyKey), common(vexa::kCommonKey);
    const Row rows[] = {
        {"error list present, everything in the hive", 0, HiveAccess::Never,
         {{family, {"VERSION", "4.2"}}, {kUserInfo, {"USERNAME", "Ann"}}, {kUserInfo, {"COMPANYNAME", "Acme"}},
          {common, {"APPLICATIONNAME", "Flight"}}},
         false, "Version 3.9", std::nullopt, std::nullopt, std::nullopt, false},
        {"no family key", 1, HiveAccess::Never, {}, false, "Version 3.5", std::nullopt, std::nullopt, std::nullopt,
         false},
        {"version, user, company and name", 1, HiveAccess::Never,
         {{family, {"VERSION", "4.2"}}, {kUserInfo, {"USERNAME", "Ann"}}, {kUserInfo, {"COMPANYNAME", "Acme"}},
          {common, {"APPLICATIONNAME", "Flight"}}},
         false, "Version 4.2", "Flight", "Acme", "Ann", true},
        {"an empty version", 1, HiveAccess::Never, {{family, {"VERSION", ""}}}, false, "Version 3.9", std::nullopt,
         std::nullopt, std::nullopt, true},
        {"empty or absent values", 1, HiveAccess::Never,
         {{family, {"OTHER", "x"}}, {kUserInfo, {"USERNAME", ""}}, {common, {"APPLICATIONNAME", ""}}}, false,
         "Version 3.9", std::nullopt, std::nullopt, std::nullopt, true},
        {"a user name longer than the buffer", 1, HiveAccess::Never,
         {{family, {"VERSION", "5"}}, {kUserInfo, {"USERNAME", std::string(250, 'u')}}}, false, "Version 5",
         std::nullopt, std::nullopt, std::nullopt, true},
        {"the family key created after start-up", 1, HiveAccess::Never, {}, true, "Version ", std::nullopt,
         std::nullopt, std::nullopt, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        AppRig rig;
        for (const auto& [key, value] : row.values) rig.reg.SetText(Hive::LocalMachine, key, value.first, value.second);
        vexa::StartupState probed;
        probed.errorListMissing = row.errorListMissing;
        ASSERT_TRUE(rig.Start(probed, row.machine));
        if (row.createKeyAfterStart) rig.reg.SetText(Hive::LocalMachine, family, "VERSION", "7.7");
        const AboutSeen seen = ShowAbout(rig);
        EXPECT_EQ(seen.version, row.version);
        EXPECT_EQ(seen.appName, row.appName.value_or(TemplateText(1017)));
        EXPECT_EQ(seen.company, row.company.value_or(TemplateText(1000)));
        EXPECT_EQ(seen.user, row.user.value_or(TemplateText(1001)));
        EXPECT_EQ(seen.logoShown, row.shown);
        EXPECT_EQ(seen.nameShown, row.shown);
        EXPECT_TRUE(seen.nameBold);
        EXPECT_EQ(seen.icon, res::kIdrMainFrame);
    }
}

TEST(AboutBox, TheTemplateHoldsEveryControlTheBoxAddresses) {
    EXPECT_EQ(TemplateText(1021), "Version 3.5");
    EXPECT_EQ(TemplateText(1017), "Talmor");
    for (int id : {140, 1000, 1001, 1025, 1})
        EXPECT_NE(TemplateText(id), "<no control>") << id;
    const ui::ImageResource* logo = res::Resources().Image(res::kIdbLogo);
    ASSERT_NE(logo, nullptr);
    ASSERT_FALSE(logo->xpm.empty());
    int width = 0, height = 0, colours = 0, chars = 0;
    ASSERT_EQ(std::sscanf(logo->xpm[0], "%d %d %d %d", &width, &height, &colours, &chars), 4);
    EXPECT_EQ(width, 113);
    EXPECT_EQ(height, 285);
    ASSERT_EQ(logo->xpm.size(), static_cast<std::size_t>(1 + colours + height));
    for (int y = 0; y < height; ++y)
        EXPECT_EQ(std::strlen(logo->xpm[static_cast<std::size_t>(1 + colours + y)]),
                  static_cast<std::size_t>(width * chars));
}

TEST(AboutBox, EnabledOnlyWhileTheFamilyKeyOpensAndTheCheckCreatesNoKey) {
    struct Row {
        const char* what;
        bool keyPresent;
        bool enabled;
    };
    for (const Row& row : {Row{"no key", false, false}, Row{"the key", true, true}}) {
        SCOPED_TRACE(row.what);
        AppRig rig;
        if (row.keyPresent) rig.reg.SetText(Hive::LocalMachine, std::string(vexa::kFamilyKey), "VERSION", "1");
        ASSERT_TRUE(rig.Start({}, HiveAccess::Never));
        int shown = 0;
        rig.ui.backend.AnswerModal(res::kIddAbout, [&](ui::Dialog& d, ui::Driver& dr) {
            ++shown;
            EXPECT_TRUE(dr.Click(d, ui::kIdOk));
        });
        EXPECT_EQ(rig.ui.driver.Command(res::kCmdAppAbout), row.enabled);
        EXPECT_EQ(shown, row.enabled ? 1 : 0);
    }
    // A writable hive: the check itself only opens.
    AppRig rig;
    vexa::CVexaApp app({}, vexa::StartupState{}, rig.reg.Config(HiveAccess::Always));
    ui::CmdUi cmd;
    cmd.id = res::kCmdAppAbout;
    app.OnUpdateAppAbout(cmd);
    EXPECT_FALSE(cmd.enabled);
    platform::Registry check(rig.reg.Config());
    platform::RegistryKey key;
    EXPECT_EQ(check.Open(Hive::LocalMachine, vexa::kFamilyKey, key), platform::RegStatus::NotFound);
}

// --- System Info -------------------------------------------------------------

TEST(SystemInfo, StartsWhatTheMachineHiveNamesOrSaysItIsUnavailable) {
    const std::string msinfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
    struct Row {
        const char* what;
        std::string path;            // value PATH of the MSINFO key; "-" absent
        bool msinfoDir;              // root value MSINFO names a directory
        bool programThere;           // ... holding MSINFO32.EXE
        bool expectLaunch;
        bool launchesPathValue;      // else the directory's program
    };
    const Row rows[] = {
        {"PATH set, even to a missing file", "/nowhere/msinfo-viewer", true, true, true, true},
        {"PATH empty, the directory holds the program", "", true, true, true, false},
        {"PATH absent, the directory holds the program", "-", true, true, true, false},
        {"the directory without the program", "", true, false, false, false},
        {"nothing", "-", false, false, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        // Before the rig, whose end puts the program's launcher back.
        std::vector<std::vector<std::string>> launches;
        AppRig rig;
        const std::string dir = rig.dir.File("msinfo dir");
        fs::create_directories(dir);
        if (row.programThere) ch10fix::WriteFile(dir + "/MSINFO32.EXE", {0x7F});
        if (row.path != "-") rig.reg.SetText(Hive::LocalMachine, msinfoKey, "PATH", row.path);
        if (row.msinfoDir) rig.reg.SetText(Hive::LocalMachine, "", "MSINFO", dir);
        rig.reg.SetText(Hive::LocalMachine, std::string(vexa::kFamilyKey), "VERSION", "1");
        ASSERT_TRUE(rig.Start({}, HiveAccess::Never));
        vexa::UiState().launchSystemInfo = [&](const std::vector<std::string>& argv) {
            launches.push_back(argv);
            return true;
        };
        ui::Window* about = nullptr;
        rig.ui.backend.AnswerModal(res::kIddAbout, [&](ui::Dialog& d, ui::Driver& dr) {
            about = &d;
            EXPECT_TRUE(dr.Click(d, 1025));
            EXPECT_FALSE(d.Ended()) << "the About box stays";
            EXPECT_TRUE(dr.Click(d, ui::kIdOk));
        });
        ASSERT_TRUE(rig.ui.driver.Command(res::kCmdAppAbout));
        if (row.expectLaunch) {
            const std::string program = row.launchesPathValue ? row.path : dir + "/MSINFO32.EXE";
            EXPECT_EQ(launches, std::vector<std::vector<std::string>>{{program}});
            EXPECT_TRUE(rig.ui.backend.Boxes().empty());
        } else {
            EXPECT_TRUE(launches.empty());
            ASSERT_EQ(rig.ui.backend.Boxes().size(), 1u);
            const ui::BoxRecord& box = rig.ui.backend.Boxes()[0];
            EXPECT_EQ(box.text, "System Information is Unavailable At This Time");
            EXPECT_EQ(box.caption, "Mirsk.exe");
            EXPECT_EQ(box.icon, ui::Icon::Warning);
            EXPECT_EQ(box.owner, about);
        }
    }
}

TEST(SystemInfo, ALongPathIsUsedWhole) {
    AppRig rig;
    const std::string longPath = "/opt/" + std::string(400, 'p') + "/msinfo";
    rig.reg.SetText(Hive::LocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", longPath);
    platform::Registry registry(rig.reg.Config());
    EXPECT_EQ(vexa::FindSystemInfoProgram(registry, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"), longPath);
}

}  // namespace
