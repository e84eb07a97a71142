// The headless run's options as "Open Files" takes them: each option's effect
// on the run's choices, the dialog's rules, and a body-checked run that logs
// what the same choices made in the window log.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/ch10_bodies.h"
#include "tests/support/pcm_packet_builder.h"
#include "tests/support/program_run.h"
#include "tests/ui/open_files_rig.h"
#include "tools/sample_recording.h"
#include "vexa/ui/headless_choices.h"
#include "vexa/ui/headless_options.h"

namespace {

using uitest::OpenRig;
namespace res = vexa::res;

// The run's choices after OK, in the dialog's terms.
struct Choices {
    int bodies = 0, simPcm = 0, sim1553 = 0, listAll = 0, channel = 0;
    bool spaceDelimited = false;
    int perPacket = 5, perChannel = 5, intra = 5, time = 5, maxSame = 0;
    bool operator==(const Choices&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Choices& c) {
    return os << "bodies " << c.bodies << " simPcm " << c.simPcm << " sim1553 " << c.sim1553 << " listAll "
              << c.listAll << " channel " << c.channel << " space " << c.spaceDelimited << " perPacket "
              << c.perPacket << " perChannel " << c.perChannel << " intra " << c.intra << " time " << c.time
              << " maxSame " << c.maxSame;
}

Choices Taken(vexa::ValidationEngine& e) {
    const vexa::CRunConfig& config = e.runConfig;
    const vexa::ErrorAccounting& errors = vexa::Engine().errors;
    return {config.validateBodies, config.validateSimPcm, config.validateSim1553, config.listAllPackets,
            config.selectedChannel, vexa::Engine().spaceDelimited, errors.maxErrorsPerPacket.load(),
            errors.maxErrorsPerChannel.load(), e.intraPacketTolerance, e.timePacketTolerance,
            errors.maxSameErrorPerChannel.load()};
}

void DialogDefaults() {
    vexa::ErrorAccounting& errors = vexa::Engine().errors;
    errors.maxErrorsPerPacket = 5;
    errors.maxErrorsPerChannel = 5;
    errors.maxSameErrorPerChannel = 0;
    vexa::Engine().spaceDelimited = false;
}

struct Outcome {
    std::string refused;
    int end = 0;
    Choices taken;
};

// "Open Files" on a recording of channels 3 and 7, the options' choices
// made, then OK when they were all taken.
Outcome Choose(OpenRig& rig, const std::vector<std::string>& args) {
    DialogDefaults();
    const std::string source =
        rig.Write("two.ch10", uitest::SetupRecord({{3, "PCMIN"}, {7, "1553IN"}}));
    rig.SetUser("InputType", "1");
    rig.SetUser("OutputDir1", rig.dir.Path());
    EXPECT_TRUE(rig.Start({source}));
    vexa::HeadlessParse parsed = vexa::ParseHeadlessOptions(args);
    EXPECT_TRUE(parsed.ok()) << parsed.error;
    Outcome out;
    out.end = rig.Run([&](vexa::COpenFilesDlg& d, ui::Driver& driver) {
        out.refused = vexa::MakeChoices(d, driver, rig.ui.backend, parsed.options);
        if (out.refused.empty()) driver.Click(d, ui::kIdOk);
    });
    out.taken = Taken(rig.E());
    return out;
}

TEST(HeadlessChoices, EachOptionSetsItsDialogChoice) {
    struct Case {
        std::vector<std::string> args;
        Choices expected;
    };
    const Case cases[] = {
        {{}, {}},
        {{"--body-checks"}, {.bodies = 1}},
        {{"--body-checks", "--simulated-pcm"}, {.bodies = 1, .simPcm = 1}},
        {{"--body-checks", "--simulated-1553"}, {.bodies = 1, .sim1553 = 1}},
        {{"--channel", "7"}, {.channel = 7}},
        {{"--channel", "03"}, {.channel = 3}},
        {{"--body-checks", "--max-errors-per-packet", "12"}, {.bodies = 1, .perPacket = 12}},
        {{"--body-checks", "--max-errors-per-channel", "0"}, {.bodies = 1, .perChannel = 0}},
        {{"--intra-packet-tolerance", "20"}, {.intra = 20}},
        {{"--time-packet-tolerance", "30"}, {.time = 30}},
        {{"--all-packets"}, {.listAll = 1}},
        {{"--space-delimited"}, {.spaceDelimited = true}},
        {{"--max-same-error", "3"}, {.maxSame = 3}},
        // Space Delimited clears the packet listing and the channel.
        {{"--all-packets", "--channel", "7", "--space-delimited"}, {.spaceDelimited = true}},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const auto& a : c.args) shown += a + " ";
        SCOPED_TRACE(shown);
        OpenRig rig;
        std::vector<std::string> args = c.args;
        args.push_back("two.ch10");
        const Outcome out = Choose(rig, args);
        EXPECT_EQ(out.refused, "");
        EXPECT_EQ(out.end, ui::kIdOk) << (rig.BoxTexts().empty() ? "" : rig.BoxTexts().back());
        EXPECT_EQ(out.taken, c.expected);
        // As a returning user: the tolerances are stored as the window stores them.
        EXPECT_EQ(rig.User(vexa::kIntraPacketToleranceValue), std::to_string(c.expected.intra));
        EXPECT_EQ(rig.User(vexa::kTimePacketToleranceValue), std::to_string(c.expected.time));
    }
}

TEST(HeadlessChoices, TheDialogsRulesRefuseAChoice) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"--simulated-pcm"}, "--simulated-pcm needs --body-checks"},
        {{"--simulated-1553"}, "--simulated-1553 needs --body-checks"},
        {{"--max-errors-per-channel", "9"}, "--max-errors-per-channel 9 needs --body-checks"},
        {{"--body-checks", "--max-errors-per-packet", "1000"},
         "--max-errors-per-packet 1000: Please enter number from 0 to 999"},
        {{"--body-checks", "--max-errors-per-channel", "99999999999"},
         "--max-errors-per-channel 99999999999: Please enter number from 0 to 999"},
        {{"--channel", "12"}, "--channel 12: the TMATS has no channel 12 to validate"},
        {{"--channel", "0"}, "--channel 0: the TMATS has no channel 0 to validate"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        OpenRig rig;
        std::vector<std::string> args = c.args;
        args.push_back("two.ch10");
        const Outcome out = Choose(rig, args);
        EXPECT_EQ(out.refused, c.message);
        EXPECT_EQ(out.end, ui::kIdCancel);
        // A refused limit keeps its value.
        EXPECT_EQ(out.taken.perPacket, 5);
        EXPECT_EQ(out.taken.perChannel, 5);
    }
}

// --- the same log as the window --------------------------------------------------

// The README's sample with a PCM frame of an ID past the format's four and
// 1553 messages whose gaps are outside the bus's 4 to 12 us.
ch10fix::Bytes BodyFaults() {
    ch10fix::Bytes out = ch10gen::SampleRecording();
    ch10fix::PcmPacket pcm;
    pcm.channelId = 2;
    pcm.csdw = 0x5F040000;
    pcm.frameDataBytes = 128;
    pcm.rtc = 90'001'000;
    ch10fix::PcmFrame frame{pcm.rtc, ch10fix::kPcmInLock, {0xEB90, 7}};
    frame.words.resize(64, 0x0101);
    pcm.frames.push_back(frame);
    ch10fix::PacketSpec pcmSpec = ch10fix::PcmPacketSpec(pcm);
    pcmSpec.sequence = 8;
    pcmSpec.dataTypeVersion = 3;
    pcmSpec.checksum = ch10fix::Checksum::Sum16;
    ch10fix::Append(out, ch10fix::BuildPacket(pcmSpec));

    std::vector<ch10fix::BusMessage> messages = ch10fix::RisingMessages(90'002'000, 3);
    for (auto& m : messages) m.gapTimes = 200;
    ch10fix::PacketSpec bus = ch10fix::Bus1553Packet(3, 90'002'000, messages);
    bus.sequence = 8;
    bus.dataTypeVersion = 3;
    bus.checksum = ch10fix::Checksum::Sum32;
    ch10fix::Append(out, ch10fix::BuildPacket(bus));
    return out;
}

// The log without the line of its date and time.
std::string Timeless(const std::string& log) {
    const std::size_t at = log.find("Date Time Validated: ");
    if (at == std::string::npos) return log;
    return log.substr(0, at) + log.substr(log.find("\r\n", at));
}

// Open Files with "Validate Format of Packet Data" checked, OK and Validate.
std::string LogThroughWindow(const std::string& source, const std::string& out) {
    OpenRig rig;
    DialogDefaults();
    rig.SetUser("InputType", "1");
    rig.SetUser("OutputDir1", out);
    EXPECT_TRUE(rig.Start({source}));
    rig.ui.backend.AnswerModal(res::kIddOpenFiles, [&](ui::Dialog& d, ui::Driver& driver) {
        EXPECT_TRUE(driver.Click(d, 1059));
        EXPECT_TRUE(driver.Click(d, ui::kIdOk));
    });
    EXPECT_TRUE(rig.OpenAndValidate());
    EXPECT_TRUE(rig.BoxTexts().empty());
    rig.app.reset();
    return ch10fix::ReadText(out + "/validate.log");
}

TEST(HeadlessChoices, BodyChecksLogAsInTheWindow) {
    ch10fix::TempDir dir;
    const std::string source = dir.File("faults.ch10");
    ASSERT_TRUE(ch10fix::WriteFile(source, BodyFaults()));
    std::filesystem::create_directories(dir.File("window"));
    std::filesystem::create_directories(dir.File("headless"));
    const std::string windowLog = LogThroughWindow(source, dir.File("window"));

    ::setenv("ORVANE_REGISTRY_DIR", dir.File("no-registry").c_str(), 1);
    const ch10fix::ProgramRun r = ch10fix::RunProgram(
        {VEXA_PROGRAM, "--headless", "--body-checks", "--output-dir", dir.File("headless"), source}, dir.Path());
    EXPECT_EQ(r.ExitCode(), 0) << r.err;
    const std::string headlessLog = ch10fix::ReadText(dir.File("headless/validate.log"));

    // The planted faults are there: the frame ID out of bound, the gaps.
    EXPECT_NE(windowLog.find("Error 101: at frame 1: FID = 7"), std::string::npos) << windowLog;
    EXPECT_NE(windowLog.find("Error 125: at message 1, Message Gap Time 1 of 200"), std::string::npos) << windowLog;
    EXPECT_EQ(Timeless(headlessLog), Timeless(windowLog));
}

}  // namespace
