// One run driven through the window on the headless back end, as a user
// does it: Open Files with a chosen recording and output directory,
// Validate, the completed run, and the form against the log.
#include <chrono>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/ui/form_counts_rig.h"
#include "tests/ui/open_files_rig.h"
#include "vexa/ui/select_dir_dlg.h"
#include "vexa/engine/error_catalogue.h"

namespace {
using uitest::Channel;
using uitest::OpenRig;
using uitest::SetupRecord;
namespace res = vexa::res;

struct Recording {
    ch10fix::Bytes bytes;
    uint32_t packets = 0;
};

// A TMATS finding (channel 9 has no data type), garbage between packets, a
// sequence gap, a bad data checksum and a channel the TMATS lacks.
Recording Planted() {
    Recording r;
    r.bytes = SetupRecord({{3, "PCMIN"}, {7, "1553IN"}});
    ch10fix::TmatsAttributes t{{"G\\PN", "RIG"}, {"G\\106", "07"}, {"R-1\\N", "3"}};
    const std::vector<Channel> channels{{3, "PCMIN"}, {7, "1553IN"}};
    for (std::size_t i = 0; i < channels.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        t.Add("R-1\\TK1-" + n, std::to_string(channels[i].id)).Add("R-1\\DSI-" + n, "DS" + n);
        t.Add("R-1\\CDT-" + n, channels[i].word).Add("R-1\\CHE-" + n, "T");
    }
    t.Add("R-1\\TK1-3", "9").Add("R-1\\DSI-3", "DS3").Add("R-1\\CHE-3", "T");
    r.bytes = ch10fix::BuildSetupPacket(t);
    r.packets = 1;
    auto add = [&](uint16_t channel, uint8_t type, uint8_t seq, bool badSum = false) {
        ch10fix::PacketSpec p;
        p.channelId = channel;
        p.dataType = type;
        p.sequence = seq;
        p.rtc = 1000u * r.packets;
        p.body.assign(96, static_cast<uint8_t>(seq + 1));
        p.checksum = ch10fix::Checksum::Sum16;
        if (badSum) p.dataChecksumOverride = 0x1234;
        ch10fix::Append(r.bytes, ch10fix::BuildPacket(p));
        ++r.packets;
    };
    add(3, 0x09, 0);
    add(3, 0x09, 1);
    ch10fix::Append(r.bytes, ch10fix::Bytes(100, 0x77));
    add(3, 0x09, 5);
    add(7, 0x19, 0, true);
    add(20, 0x09, 0);
    add(3, 0x09, 6);
    return r;
}

TEST(HeadlessUiRun, OpenValidateAndTheFormAgreeWithTheLog) {
    OpenRig rig;
    const Recording recording = Planted();
    const std::string source = rig.Write("planted.ch10", recording.bytes);
    const std::string out = rig.dir.File("results");
    std::filesystem::create_directories(out);
    rig.SetUser("InputType", "0");
    ASSERT_TRUE(rig.Start());

    rig.ui.backend.AnswerFileDialog([&](const ui::FileDialogRequest&) {
        return std::optional<std::vector<std::string>>(std::vector<std::string>{source});
    });
    // Select Directory: the temporary directory is opened level by level from the root.
    rig.ui.backend.AnswerModal(res::kIddSelectDir, [&](ui::Dialog& d, ui::Driver& driver) {
        ui::TreeHandle at = ui::kTreeRoot;
        for (ui::TreeHandle h : d.TreeChildren(1085, at))
            if (d.TreeGet(1085, h)->text == "/") at = h;
        ASSERT_TRUE(driver.ExpandTree(d, 1085, at));
        for (const auto& part : std::filesystem::path(out).relative_path()) {
            ui::TreeHandle next = ui::kTreeRoot;
            for (ui::TreeHandle h : d.TreeChildren(1085, at))
                if (d.TreeGet(1085, h)->text == vexa::FormatItemName(part.string())) next = h;
            ASSERT_NE(next, ui::kTreeRoot) << part;
            ASSERT_TRUE(driver.ExpandTree(d, 1085, next));
            at = next;
        }
        ASSERT_TRUE(driver.Click(d, ui::kIdOk));
    });
    rig.ui.backend.AnswerModal(res::kIddOpenFiles, [&](ui::Dialog& d, ui::Driver& driver) {
        ASSERT_TRUE(driver.Click(d, 1084));
        ASSERT_TRUE(driver.Click(d, 1023));
        driver.Pump();
        ASSERT_TRUE(driver.Click(d, 1027));
        EXPECT_EQ(*d.GetText(1026), out + "/");
        ASSERT_TRUE(driver.Click(d, ui::kIdOk));
        ASSERT_TRUE(d.Ended()) << (rig.BoxTexts().empty() ? "" : rig.BoxTexts().back());
    });
    ASSERT_TRUE(rig.OpenAndValidate());
    ui::Driver& driver = rig.ui.driver;
    ui::Frame& frame = *rig.app->MainFrame();
    ASSERT_TRUE(driver.FireTimer(rig.View(), vexa::kFormTimerId));

    const std::string log = ch10fix::ReadText(out + "/validate.log");
    EXPECT_EQ(log.substr(0, log.find("\r\n")), std::string(vexa::kTitle));
    vexa::CVexaView& view = rig.View();
    EXPECT_EQ(*view.GetText(1026), std::to_string(recording.packets));
    const CHAN_INFO* info = rig.E().TmatsInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_GT(info->FindingCount, 0);
    EXPECT_EQ(*view.GetText(1059), std::to_string(info->FindingCount));

    // Every box against the log's numbered findings through the catalogue.
    const uitest::FormCounts fromLog = uitest::FormCountsFromLog(log);
    ASSERT_TRUE(fromLog.valid) << log;
    EXPECT_GE(fromLog.numbered, 3) << log;
    for (int i = 0; i < vexa::kFormCounters; ++i)
        EXPECT_EQ(*view.GetText(uitest::kFormBoxes[i]), std::to_string(fromLog.boxes[static_cast<std::size_t>(i)]))
            << uitest::kFormBoxes[i];

    // The commands as after a completed run.
    struct Row {
        int id;
        bool enabled;
    } rows[] = {
        {res::kCmdOpenFiles, true},      {res::kCmdCloseFiles, false},      {res::kCmdValidate, false},
        {res::kCmdStop, false},          {res::kCmdViewOutputFile, true},   {res::kCmdViewSummaryFile, true},
        {res::kCmdResetCounters, true},  {res::kCmdViewErrorList, true},
    };
    for (const Row& r : rows) EXPECT_EQ(frame.UpdateCommand(r.id).enabled, r.enabled) << r.id;
    EXPECT_FALSE(view.IsEnabled(1069));
    EXPECT_FALSE(view.IsEnabled(1070));
}

}  // namespace
