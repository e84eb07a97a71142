// "Open Files" on the headless back end: its channel list, opening rules,
// handlers and OK, against the view's controller and a registry of its own.
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/ui/open_files_rig.h"
#include "vexa/engine/data_type_table.h"
#include "vexa/ui/open_files_lists.h"

namespace {
using uitest::Channel;
using uitest::OpenRig;
using uitest::SetupRecord;
using vexa::COpenFilesDlg;

const std::vector<Channel> kThreeChannels = {{3, "PCMIN"}, {7, "1553IN"}, {12, "TIMEIN"}};

TEST(OpenFilesDialog, ChannelEntriesListEnabledTypedChannels) {
    CHAN_ENTRY channels[] = {
        {9, 3, 1},   // PCM
        {25, 7, 1},  // 1553
        {17, 12, 1}, // time
        {9, 4, 0},   // disabled
        {0, 5, 1},   {1, 6, 1}, {55, 8, 1}, {-1, 9, 1},  // no row, or not a data channel
        {25, 100, 1},
    };
    CHAN_INFO info{};
    info.ChannelCount = static_cast<int16_t>(std::size(channels));
    info.Channels = channels;
    const std::vector<std::string> entries = vexa::ChannelEntries(&info);
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0], " All channels");
    EXPECT_EQ(entries[1].substr(0, 5), "  3) ");
    EXPECT_EQ(entries[2].substr(0, 5), "  7) ");
    EXPECT_EQ(entries[3].substr(0, 4), "12) ");
    EXPECT_EQ(entries[4].substr(0, 5), "100) ");
    EXPECT_EQ(entries[1].substr(5), vexa::FindDataTypeRow(9)->name);
    EXPECT_EQ(entries[2].substr(5), vexa::FindDataTypeRow(25)->name);
    EXPECT_EQ(vexa::ChannelEntries(nullptr), std::vector<std::string>{" All channels"});
}

TEST(OpenFilesDialog, TolerancesAsStored) {
    struct Case {
        const char* stored;  // nullptr: no value
        const char* shown;
        int inForce;
    } cases[] = {
        {nullptr, "5", 5}, {"", "5", 5}, {"0", "0", 5}, {"12", "12", 12}, {"-3", "-3", 5}, {"1", "1", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "(none)");
        OpenRig rig;
        if (c.stored) {
            rig.SetUser(vexa::kTimePacketToleranceValue, c.stored);
            rig.SetUser(vexa::kIntraPacketToleranceValue, c.stored);
        }
        ASSERT_TRUE(rig.Start());
        rig.Run([&](COpenFilesDlg& d, ui::Driver&) {
            EXPECT_EQ(*d.GetText(1069), c.shown);
            EXPECT_EQ(*d.GetText(1071), c.shown);
            EXPECT_EQ(rig.E().timePacketTolerance.load(), c.inForce);
            EXPECT_EQ(rig.E().intraPacketTolerance.load(), c.inForce);
        });
    }
}

TEST(OpenFilesDialog, RecorderButtonRules) {
    struct Case {
        const char* what;
        bool familyKey;
        bool errorList;
        bool enabled;
    } cases[] = {
        {"family key, no error list", true, false, true},
        {"no family key", false, false, false},
        {"error list present", true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpenRig rig;
        if (c.familyKey) rig.SetMachine(std::string(vexa::kFamilyKey), "VERSION", "1");
        ch10fix::TempDir cwd;
        char old[4096];
        ASSERT_NE(::getcwd(old, sizeof old), nullptr);
        ASSERT_EQ(::chdir(cwd.Path().c_str()), 0);
        if (c.errorList) std::ofstream(std::string(vexa::kErrorListFile)) << "list\n";
        // A machine hive that cannot be written: start-up creates no key either.
        ASSERT_TRUE(rig.Start({}, platform::HiveAccess::Never));
        rig.Run([&](COpenFilesDlg& d, ui::Driver&) { EXPECT_EQ(d.IsEnabled(1094), c.enabled); });
        if (c.errorList) {
            // Off for the rest of the process, even once the file is gone.
            std::remove(std::string(vexa::kErrorListFile).c_str());
            rig.Run([&](COpenFilesDlg& d, ui::Driver&) { EXPECT_FALSE(d.IsEnabled(1094)); });
            EXPECT_TRUE(vexa::UiState().recorderButtonOff);
        }
        ASSERT_EQ(::chdir(old), 0);
        if (!c.familyKey) {
            platform::Registry registry(rig.reg.Config());
            platform::RegistryKey key;
            EXPECT_NE(registry.Open(platform::Hive::LocalMachine, vexa::kFamilyKey, key), platform::RegStatus::Ok)
                << "the check creates nothing";
        }
    }
}

TEST(OpenFilesDialog, OpeningSetsKindSourceAndTmatsChoice) {
    struct Case {
        const char* what;
        const char* inputType;
        const char* useExtern;
        bool withArgument;
        bool fileKind;
        bool internalSelected;
    } cases[] = {
        {"directory kind", "0", "1", false, false, true},
        {"file kind", "1", "1", false, true, true},
        {"a stored 7 is a file", "7", "0", false, true, false},
        {"command-line source", "1", "1", true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpenRig rig;
        const std::string recording = rig.Write("r.ch10", SetupRecord(kThreeChannels));
        rig.SetUser("InputType", c.inputType);
        rig.SetUser("UseExtern", c.useExtern);
        rig.SetUser("Input1", rig.dir.File("recent.ch10"));
        rig.SetUser("ExternTMATS1", rig.dir.File("ext.tmt"));
        ASSERT_TRUE(rig.Start(c.withArgument ? std::vector<std::string>{recording} : std::vector<std::string>{}));
        rig.Run([&](COpenFilesDlg& d, ui::Driver&) {
            EXPECT_EQ(d.GetCheck(1084), c.fileKind);
            EXPECT_EQ(d.GetCheck(1083), !c.fileKind);
            EXPECT_EQ(d.IsEnabled(1016), c.fileKind);
            EXPECT_EQ(d.IsEnabled(1022), !c.fileKind);
            EXPECT_EQ(rig.E().runConfig.inputType, c.fileKind ? 1 : 0);
            EXPECT_EQ(*d.GetText(1028), c.internalSelected ? vexa::kUseInternalTmats : rig.dir.File("ext.tmt"));
            EXPECT_EQ(d.ComboCount(1028), 2);
            // The command line's file goes on top and is chosen; else the first recent entry.
            EXPECT_EQ(d.ComboSelection(1016), 0);
            EXPECT_EQ(*d.GetText(1016), c.withArgument ? recording : rig.dir.File("recent.ch10"));
            EXPECT_EQ(d.ComboCount(1016), c.withArgument ? 2 : 1);
            EXPECT_EQ(*d.GetText(1085), "validate.log");
        });
    }
}

// The format as it stands when the dialog opens: Space Delimited turns
// "all packets" off and lists no channels; Verbose lists them.
TEST(OpenFilesDialog, OpeningFollowsTheFormat) {
    for (bool spaceDelimited : {true, false}) {
        SCOPED_TRACE(spaceDelimited ? "space delimited" : "verbose");
        OpenRig rig;
        const std::string recording = rig.Write("r.ch10", SetupRecord(kThreeChannels));
        rig.SetUser("InputType", "1");
        ASSERT_TRUE(rig.Start({recording}));
        vexa::Engine().spaceDelimited = spaceDelimited;
        rig.E().runConfig.listAllPackets = 1;
        rig.Run([&](COpenFilesDlg& d, ui::Driver&) {
            EXPECT_EQ(d.GetCheck(1076), spaceDelimited);
            EXPECT_EQ(d.GetCheck(1075), !spaceDelimited);
            EXPECT_EQ(d.IsEnabled(1051), !spaceDelimited);
            EXPECT_EQ(d.GetCheck(1051), !spaceDelimited);
            EXPECT_EQ(rig.E().runConfig.listAllPackets, spaceDelimited ? 0 : 1);
            EXPECT_EQ(d.ComboCount(1042), spaceDelimited ? 0 : 4);
            EXPECT_TRUE(d.IsEnabled(1042));
        });
        vexa::Engine().spaceDelimited = false;
    }
}

TEST(OpenFilesDialog, StaleChannelIsNotKept) {
    OpenRig rig;
    const std::string withSeven = rig.Write("a.ch10", SetupRecord(kThreeChannels));
    const std::string alsoSeven = rig.Write("b.ch10", SetupRecord({{7, "1553IN"}, {3, "PCMIN"}}));
    const std::string withoutSeven = rig.Write("c.ch10", SetupRecord({{3, "PCMIN"}}));
    rig.SetUser("InputType", "1");
    ASSERT_TRUE(rig.Start({withSeven}));
    std::vector<std::string> chosen;
    rig.ui.backend.AnswerFileDialog([&](const ui::FileDialogRequest&) {
        std::optional<std::vector<std::string>> next = std::vector<std::string>{chosen.front()};
        chosen.erase(chosen.begin());
        return next;
    });
    rig.Run([&](COpenFilesDlg& d, ui::Driver& driver) {
        ASSERT_EQ(d.ComboCount(1042), 4);
        const int seven = d.ComboFind(1042, d.ComboEntry(1042, 2));
        ASSERT_TRUE(driver.SelectCombo(d, 1042, seven));
        EXPECT_EQ(rig.E().runConfig.selectedChannel, 7);

        struct Step {
            std::string source;
            int selected;
            const char* shown;
        } steps[] = {{alsoSeven, 7, "  7) "}, {withoutSeven, 0, " All channels"}};
        for (const Step& s : steps) {
            SCOPED_TRACE(s.source);
            chosen = {s.source};
            ASSERT_TRUE(driver.Click(d, 1023));
            driver.Pump();
            EXPECT_EQ(rig.E().runConfig.selectedChannel, s.selected);
            EXPECT_EQ(d.GetText(1042)->substr(0, std::string(s.shown).size()), s.shown);
        }
        // The kind and format buttons also drop the channel.
        for (int id : {1083, 1075, 1076}) {
            SCOPED_TRACE(id);
            rig.E().runConfig.selectedChannel = 3;
            ASSERT_TRUE(driver.Click(d, id));
            EXPECT_EQ(rig.E().runConfig.selectedChannel, 0);
        }
    });
}

TEST(OpenFilesDialog, LimitsTolerancesAndOptions) {
    OpenRig rig;
    ASSERT_TRUE(rig.Start());
    rig.Run([&](COpenFilesDlg& d, ui::Driver& driver) {
        vexa::ErrorAccounting& errors = vexa::Engine().errors;
        struct Case {
            int id;
            const char* typed;
            int expected;
            bool box;
        } cases[] = {
            {1063, "999", 999, false}, {1063, "1000", 999, true}, {1063, "", 0, false},
            {1062, "12", 12, false},   {1062, "5000", 12, true},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(c.id) + " " + c.typed);
            const std::size_t before = rig.ui.backend.Boxes().size();
            // Both are disabled until body checks are on.
            if (!d.IsEnabled(c.id)) {
                ASSERT_TRUE(driver.Click(d, 1059));
            }
            ASSERT_TRUE(driver.Type(d, c.id, c.typed));
            EXPECT_EQ((c.id == 1063 ? errors.maxErrorsPerChannel : errors.maxErrorsPerPacket).load(), c.expected);
            EXPECT_EQ(rig.BoxTexts(before),
                      c.box ? std::vector<std::string>{"Please enter number from 0 to 999"} : std::vector<std::string>{});
        }
        ASSERT_TRUE(driver.Type(d, 1069, "40"));
        ASSERT_TRUE(driver.Type(d, 1071, "7"));
        EXPECT_EQ(rig.E().timePacketTolerance.load(), 40);
        EXPECT_EQ(rig.E().intraPacketTolerance.load(), 7);

        // Body checks and the simulated channels: the cascade.
        vexa::CRunConfig& config = rig.E().runConfig;
        EXPECT_EQ(config.validateBodies, 1);
        ASSERT_TRUE(driver.Click(d, 1061));
        EXPECT_EQ(config.validateSimPcm, 1);
        ASSERT_TRUE(driver.Click(d, 1059));  // off: both simulated kinds go
        EXPECT_EQ(config.validateBodies, 0);
        EXPECT_EQ(config.validateSimPcm, 0);
        EXPECT_FALSE(d.GetCheck(1061));
        EXPECT_FALSE(d.IsEnabled(1061));
        EXPECT_FALSE(d.IsEnabled(1062));
        d.Enable(1067, true);  // a simulated kind turns the body checks back on
        ASSERT_TRUE(driver.Click(d, 1067));
        EXPECT_EQ(config.validateBodies, 1);
        EXPECT_EQ(config.validateSim1553, 1);
        EXPECT_TRUE(d.GetCheck(1059));
        EXPECT_TRUE(d.IsEnabled(1062));

        // Space Delimited turns "all packets" off.
        ASSERT_TRUE(driver.Click(d, 1051));
        EXPECT_EQ(config.listAllPackets, 1);
        ASSERT_TRUE(driver.Click(d, 1076));
        EXPECT_EQ(config.listAllPackets, 0);
        EXPECT_FALSE(d.GetCheck(1051));
        EXPECT_FALSE(d.IsEnabled(1051));
        EXPECT_TRUE(vexa::Engine().spaceDelimited);
        ASSERT_TRUE(driver.Click(d, 1075));
        EXPECT_FALSE(vexa::Engine().spaceDelimited);
        EXPECT_TRUE(d.IsEnabled(1051));
    });
    vexa::Engine().spaceDelimited = false;
}

TEST(OpenFilesDialog, SourceFileDialog) {
    OpenRig rig;
    const std::string recording = rig.Write("Rec.ch10", SetupRecord(kThreeChannels));
    const std::string caseOnly = rig.Write("rec.ch10", SetupRecord(kThreeChannels));
    const std::string tmats = rig.dir.File("ext.tmt");
    std::ofstream(tmats) << "G\\PN:EXT;\n";
    rig.SetUser("InputType", "1");
    ASSERT_TRUE(rig.Start());
    std::vector<std::string> answers;
    rig.ui.backend.AnswerFileDialog([&](const ui::FileDialogRequest&) {
        std::optional<std::vector<std::string>> next = std::vector<std::string>{answers.front()};
        answers.erase(answers.begin());
        return next;
    });
    rig.Run([&](COpenFilesDlg& d, ui::Driver& driver) {
        answers = {recording, tmats, caseOnly};
        ASSERT_TRUE(driver.Click(d, 1023));
        driver.Pump();
        ASSERT_TRUE(driver.Click(d, 1029));
        driver.Pump();
        EXPECT_EQ(*d.GetText(1028), tmats);
        ASSERT_TRUE(driver.Click(d, 1023));  // a source again: internal TMATS again
        driver.Pump();
        EXPECT_EQ(*d.GetText(1028), vexa::kUseInternalTmats);
        EXPECT_EQ(d.ComboCount(1016), 2) << "a case-only difference is another file";
        EXPECT_EQ(d.ComboEntry(1016, 0), caseOnly);
    });
    const auto& requests = rig.ui.backend.FileDialogs();
    ASSERT_EQ(requests.size(), 3u);
    std::error_code ec;
    EXPECT_EQ(requests[0].title, "Select source file");
    EXPECT_EQ(requests[0].directory, std::filesystem::current_path(ec).string()) << "no source text yet";
    using Filters = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(requests[0].filters, (Filters{{"Chapter 10 Files", "*.ch10;*.CH10"}, {"All Files", "*.*"}}));
    EXPECT_EQ(requests[1].title, "Select TMATS File");
    EXPECT_EQ(requests[1].filters, (Filters{{"TMATS Files", "*.tmt;*.TMATS"}, {"All Files", "*.*"}}));
    EXPECT_EQ(requests[1].directory, rig.dir.Path()) << "the source text's directory";
}

// The failed checks of OK: the messages in order (an acquisition's own
// reason first), the last one's caption and icon, the focus; the dialog
// stays open and the settings file is untouched.
TEST(OpenFilesDialog, FailedOkKeepsTheDialogOpen) {
    const std::string reason = "Error reading TMATS Packet from '";
    struct Case {
        const char* what;
        int inputType;
        const char* source;  // a file name in the rig's directory, or ""
        const char* tmats;
        const char* sourceDir;  // "empty" or "bad" (folders of the rig), any other text as stored, nullptr none
        std::vector<std::string> prefixes;
        std::string caption;  // "" the program's title
        int focus;            // 0 unchanged
    };
    const Case cases[] = {
        {"missing TMATS file", 1, "good.ch10", "missing.tmt", "empty", {"TMATS file does not exist!"}, "", 0},
        {"no channel record", 1, "garbage.ch10", nullptr, "empty", {reason, "Please select a valid source file"}, "",
         1016},
        {"empty source", 1, "", nullptr, "empty", {"Please select a valid source file"}, "", 1016},
        {"unopenable source", 1, "missing.ch10", nullptr, "empty", {reason, "Please select a valid source file"}, "",
         1016},
        // 1016 is disabled for a directory source: the focus cannot go there.
        {"no recordings in the directory", 0, "", nullptr, "empty", {"Can't find source file(s)."}, "Kelvane", 0},
        {"first file without a setup record", 0, "", nullptr, "bad", {reason, "Please select a valid source file"}, "",
         1022},
        // A new user's empty text would name the root: nothing is scanned.
        {"no source directory", 0, "", nullptr, nullptr, {"Empty or Invalid Directory."}, "Kelvane", 1022},
        {"blank source directory", 0, "", nullptr, "  ", {"Empty or Invalid Directory."}, "Kelvane", 1022},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpenRig rig;
        rig.Write("good.ch10", SetupRecord(kThreeChannels));
        const ch10fix::Bytes garbage(4096, 0x5A);
        rig.Write("garbage.ch10", garbage);
        const std::string emptyDir = rig.dir.File("empty");
        const std::string badDir = rig.dir.File("bad");
        std::filesystem::create_directories(emptyDir);
        std::filesystem::create_directories(badDir);
        ch10fix::WriteFile(badDir + "/x.ch10", garbage);
        rig.SetUser("InputType", std::to_string(c.inputType));
        if (c.sourceDir) {
            const std::string sourceDir = c.sourceDir;
            rig.SetUser("SourceDir1", sourceDir == "empty" ? emptyDir : sourceDir == "bad" ? badDir : sourceDir);
        }
        if (*c.source) rig.SetUser("Input1", rig.dir.File(c.source));
        if (c.tmats) {
            rig.SetUser("ExternTMATS1", rig.dir.File(c.tmats));
            rig.SetUser("UseExtern", "0");
        }
        ASSERT_TRUE(rig.Start());
        const std::string hiveBefore = ch10fix::ReadText(rig.reg.UserFile());
        std::size_t before = 0;
        rig.Run([&](COpenFilesDlg& d, ui::Driver& driver) {
            before = rig.ui.backend.Boxes().size();
            ASSERT_TRUE(driver.Click(d, ui::kIdOk));
            driver.Pump();
            EXPECT_FALSE(d.Ended());
            EXPECT_EQ(d.Focus(), c.focus);
        });
        const auto& boxes = rig.ui.backend.Boxes();
        ASSERT_EQ(boxes.size() - before, c.prefixes.size());
        for (std::size_t i = 0; i < c.prefixes.size(); ++i)
            EXPECT_EQ(boxes[before + i].text.substr(0, c.prefixes[i].size()), c.prefixes[i]) << i;
        if (!c.prefixes.empty()) {
            EXPECT_EQ(boxes.back().caption, c.caption.empty() ? std::string(vexa::kTitle) : c.caption);
            EXPECT_EQ(boxes.back().icon, ui::Icon::Warning);
        }
        EXPECT_EQ(ch10fix::ReadText(rig.reg.UserFile()), hiveBefore);
    }
}

// The directory buttons choose through "Select Directory": the choice is
// put on top of its list, remembered, and a source directory taken.
TEST(OpenFilesDialog, DirectoryButtonsUseSelectDirectory) {
    OpenRig rig;
    const std::string src = rig.dir.File("src");
    const std::string out = rig.dir.File("out");
    std::filesystem::create_directories(src);
    std::filesystem::create_directories(out);
    rig.SetUser("InputType", "0");
    rig.SetUser("SourceDir1", rig.dir.Path());
    rig.SetUser("OutputDir1", rig.dir.Path());
    ASSERT_TRUE(rig.Start());
    std::string startedAt;
    std::string pick;
    rig.ui.backend.AnswerModal(vexa::res::kIddSelectDir, [&](ui::Dialog& d, ui::Driver& driver) {
        startedAt = *d.GetText(1086);
        // The start path is open; its child is chosen by the user.
        ui::TreeHandle at = d.TreeSelection(1085);
        for (ui::TreeHandle h : d.TreeChildren(1085, at))
            if (d.TreeGet(1085, h)->text == pick) {
                ASSERT_TRUE(driver.SelectTree(d, 1085, h));
            }
        ASSERT_TRUE(driver.Click(d, ui::kIdOk));
    });
    rig.Run([&](COpenFilesDlg& d, ui::Driver& driver) {
        pick = "src";
        ASSERT_TRUE(driver.Click(d, 1025));
        EXPECT_EQ(startedAt, rig.dir.Path() + "/");
        EXPECT_EQ(*d.GetText(1022), src + "/");
        EXPECT_EQ(d.ComboEntry(1022, 0), src + "/");
        EXPECT_EQ(rig.E().runConfig.sourceDir, src + "/");
        pick = "out";
        ASSERT_TRUE(driver.Click(d, 1027));
        EXPECT_EQ(*d.GetText(1026), out + "/");
    });
    EXPECT_EQ(rig.User("SourceDir1"), src + "/");
    EXPECT_EQ(rig.User("OutputDir1"), out + "/");
}

// "Details" takes the dialog's values and shows the chosen file's channels,
// whichever file the list was last read from.
TEST(OpenFilesDialog, DetailsShowsTheChosenSourcesChannels) {
    OpenRig rig;
    const std::string first = rig.Write("first.ch10", SetupRecord(kThreeChannels, "FIRST"));
    const std::string second = rig.Write("second.ch10", SetupRecord({{25, "BUSIN"}}, "SECOND"));
    rig.SetUser("InputType", "1");
    rig.SetUser("Input1", second);
    ASSERT_TRUE(rig.Start({first}));
    std::string program, total;
    std::vector<std::string> firstColumn;
    rig.ui.backend.AnswerModal(vexa::res::kIddChannelDetails, [&](ui::Dialog& d, ui::Driver& driver) {
        program = d.GetText(1053).value_or("?");
        total = d.GetText(1055).value_or("?");
        firstColumn.clear();
        if (const ui::Control* grid = d.Find(1058))
            for (const auto& [at, text] : grid->cells)
                if (at.second == 0) firstColumn.push_back(text);
        EXPECT_TRUE(driver.Click(d, 2));
    });
    rig.Run([&](COpenFilesDlg& d, ui::Driver& driver) {
        ASSERT_TRUE(d.IsEnabled(1052));
        ASSERT_TRUE(driver.Click(d, 1052));
        EXPECT_EQ(program, "Program Name: FIRST");
        EXPECT_EQ(total, "Total Number of Channels: 3");
        EXPECT_EQ(firstColumn, (std::vector<std::string>{"3", "7", "12"}));
        // A source chosen without the list being read again is the one shown.
        ASSERT_TRUE(d.ComboSelect(1016, 1));
        ASSERT_EQ(*d.GetText(1016), second);
        ASSERT_TRUE(driver.Click(d, 1052));
        EXPECT_EQ(program, "Program Name: SECOND");
        EXPECT_EQ(total, "Total Number of Channels: 1");
        EXPECT_EQ(firstColumn, (std::vector<std::string>{"25"}));
    });
}

// A recording whose channel 3 jumps in sequence: a finding on channel 3.
ch10fix::Bytes RecordingWithJumpOnChannel3() {
    ch10fix::Bytes rec = SetupRecord(kThreeChannels);
    for (uint8_t seq : {0, 1, 5}) {
        ch10fix::PacketSpec p;
        p.channelId = 3;
        p.dataType = 0x09;
        p.sequence = seq;
        p.rtc = 1000u * seq;
        p.body.assign(64, seq);
        ch10fix::Append(rec, ch10fix::BuildPacket(p));
    }
    return rec;
}

// OK through the view's Open command: the settings are stored, the names
// built, the log opened, and Validate runs what the dialog chose.
TEST(OpenFilesDialog, OkThroughOpenStoresAndRuns) {
    OpenRig rig;
    const std::string withSeven = rig.Write("a.ch10", RecordingWithJumpOnChannel3());
    const std::string out = rig.dir.File("out");
    std::filesystem::create_directories(out);
    rig.SetUser("InputType", "1");
    rig.SetUser("OutputDir1", out + "//");
    rig.SetUser(vexa::kTimePacketToleranceValue, "12");
    ASSERT_TRUE(rig.Start({withSeven}));
    rig.ui.backend.AnswerModal(vexa::res::kIddOpenFiles, [&](ui::Dialog& d, ui::Driver& driver) {
        // Channel 7 chosen, then the format buttons drop it: all channels run.
        ASSERT_TRUE(driver.SelectCombo(d, 1042, 2));
        ASSERT_EQ(rig.E().runConfig.selectedChannel, 7);
        ASSERT_TRUE(driver.Click(d, 1075));
        ASSERT_TRUE(driver.Type(d, 1074, "7"));
        ASSERT_TRUE(driver.Type(d, 1085, "run.log"));
        rig.E().intraPacketTolerance = -3;
        ASSERT_TRUE(driver.Click(d, ui::kIdOk));
        EXPECT_TRUE(d.Ended());
    });
    ASSERT_TRUE(rig.ui.driver.Command(vexa::res::kCmdOpenFiles));
    vexa::ValidationEngine& e = rig.E();
    EXPECT_EQ(e.runConfig.outputPath, out + "/run.log");
    EXPECT_EQ(e.runConfig.summaryPath, out + "/run.log.summary.txt");
    EXPECT_TRUE(e.Outputs().outputHandle.IsOpen());
    EXPECT_GT(e.runConfig.inputHandle.load(), 0);
    EXPECT_EQ(vexa::Engine().errors.maxSameErrorPerChannel.load(), 7);
    EXPECT_EQ(rig.User("InputType"), "1");
    EXPECT_EQ(rig.User("OutputFile"), "run.log");
    EXPECT_EQ(rig.User("UseExtern"), "1");
    EXPECT_EQ(rig.User("Input1"), withSeven);
    EXPECT_EQ(rig.User("ExternTMATS1"), "<none>") << "only an external file is kept";
    EXPECT_EQ(rig.User(vexa::kTimePacketToleranceValue), "12");
    EXPECT_EQ(rig.User(vexa::kIntraPacketToleranceValue), "0") << "a negative tolerance is stored as 0";
    EXPECT_FALSE(rig.app->MainFrame()->UpdateCommand(vexa::res::kCmdOpenFiles).enabled);

    ASSERT_TRUE(rig.ui.driver.Command(vexa::res::kCmdValidate));
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!rig.View().LastRunEnd() && std::chrono::steady_clock::now() < until)
        rig.ui.driver.PumpWait(std::chrono::milliseconds(20));
    ASSERT_TRUE(rig.View().LastRunEnd());
    EXPECT_TRUE(rig.View().LastRunEnd()->completed);
    const std::string log = ch10fix::ReadText(out + "/run.log");
    const std::size_t at = log.find("Channel 3, of Data Type");
    ASSERT_NE(at, std::string::npos) << log;
    EXPECT_NE(log.find("Error ", at), std::string::npos) << log;
    EXPECT_TRUE(rig.app->MainFrame()->UpdateCommand(vexa::res::kCmdOpenFiles).enabled);
}

// Cancel: nothing is opened and Open stays available.
TEST(OpenFilesDialog, CancelOpensNothing) {
    OpenRig rig;
    const std::string recording = rig.Write("a.ch10", RecordingWithJumpOnChannel3());
    rig.SetUser("InputType", "1");
    ASSERT_TRUE(rig.Start({recording}));
    rig.ui.backend.AnswerModal(vexa::res::kIddOpenFiles,
                               [&](ui::Dialog& d, ui::Driver& driver) { ASSERT_TRUE(driver.Click(d, ui::kIdCancel)); });
    ASSERT_TRUE(rig.ui.driver.Command(vexa::res::kCmdOpenFiles));
    EXPECT_FALSE(rig.E().streamState.filesOpen);
    EXPECT_FALSE(rig.app->MainFrame()->UpdateCommand(vexa::res::kCmdValidate).enabled);
    EXPECT_TRUE(rig.app->MainFrame()->UpdateCommand(vexa::res::kCmdOpenFiles).enabled);
    EXPECT_EQ(rig.User("Input1"), "<none>");
}

}  // namespace
