// The summary files of the public sample recordings: through the built
// `vexa --headless` (body checks off) and through the engine with the body
// checks on, each summary's channels and packet counts against a walker of
// the test's own that accepts packets as the frame does, and the 1553 bus
// and block-status lines against the messages that walker finds. Skipped
// when the sample folder is absent.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "tests/support/engine_rig.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using ch10fix::Bytes;

constexpr uint32_t kMaxPacketLength = 0xFC000;
const char* const kWithoutSetupRecord[] = {"eth-21195e8.c10", "eth-c9cedaa.c10", "event-9a3ea91.c10",
                                           "index-a3fc32f.c10"};
constexpr const char* kExternalTmats = "c10tools-test-cff86aa.tmt";

// Per channel: packets, messages on bus A and B, and the messages with each
// block-status error bit in the summary's order FE, LE, ME, TM, SE, WE.
struct ChannelCounts {
    uint32_t packets = 0;
    uint32_t busA = 0, busB = 0;
    std::array<uint32_t, 6> bits{};
};
using Counts = std::map<uint32_t, ChannelCounts>;

// The messages of one 1553 packet as the body check walks them: the count
// of the channel word, each header wholly before the data end.
void WalkMessages(const Bytes& b, std::size_t packet, ChannelCounts& c) {
    const uint32_t packetLength = ch10fix::Get32(b, packet + 4);
    const uint32_t dataLength = ch10fix::Get32(b, packet + 8);
    const bool secondary = (b[packet + 14] & 0x80) != 0;
    const std::size_t csdwAt = packet + (secondary ? 36 : 24);
    if (csdwAt + 4 > packet + packetLength) return;
    const std::size_t dataEnd = std::min<std::size_t>(csdwAt + dataLength, packet + packetLength);
    const uint32_t count = ch10fix::Get32(b, csdwAt) & 0xFFFFFF;
    std::size_t at = csdwAt + 4;
    constexpr uint16_t kBits[] = {1u << 10, 1u << 5, 1u << 12, 1u << 9, 1u << 4, 1u << 3};
    for (uint32_t i = 0; i < count && at + 14 <= dataEnd; ++i) {
        const uint16_t status = ch10fix::Get16(b, at + 8);
        (status & (1u << 13)) ? ++c.busB : ++c.busA;
        for (std::size_t k = 0; k < 6; ++k)
            if (status & kBits[k]) ++c.bits[k];
        at += 14 + ch10fix::Get16(b, at + 12);
    }
}

// Packets accepted as the frame accepts them: sync, a length above 24 and
// at most 0xFC000, a good header checksum, wholly inside the file; else the
// search goes on one byte later.
Counts Walk(const Bytes& b) {
    Counts out;
    std::size_t at = 0;
    while (at + 24 <= b.size()) {
        const uint32_t length = ch10fix::Get32(b, at + 4);
        if (ch10fix::Get16(b, at) != ch10fix::kSync || length <= 24 || length > kMaxPacketLength ||
            ch10fix::HeaderChecksum(b.data() + at) != ch10fix::Get16(b, at + 22) || at + length > b.size()) {
            ++at;
            continue;
        }
        ChannelCounts& c = out[ch10fix::Get16(b, at + 2)];
        ++c.packets;
        if (b[at + 15] == 0x19) WalkMessages(b, at, c);
        at += length;
    }
    return out;
}

// What a summary says per channel; bus counts only where it prints them.
struct Summarised {
    Counts channels;
    std::map<uint32_t, bool> busLines;
};

uint32_t NumberAfter(const std::string& block, const std::string& head) {
    const std::size_t at = block.find(head);
    return at == std::string::npos ? 0 : static_cast<uint32_t>(std::stoul(block.substr(at + head.size())));
}

Summarised Parse(const std::string& summary) {
    Summarised s;
    const std::string heading = "\r\n\r\nFound channel ";
    for (std::size_t at = summary.find(heading); at != std::string::npos;) {
        const std::size_t next = summary.find(heading, at + 1);
        const std::string block = summary.substr(at, next == std::string::npos ? std::string::npos : next - at);
        const auto id = static_cast<uint32_t>(std::stoul(block.substr(heading.size())));
        ChannelCounts& c = s.channels[id];
        c.packets = NumberAfter(block, "\r\n Total number of packets: ");
        s.busLines[id] = block.find("Number of messages on Channel A:") != std::string::npos;
        c.busA = NumberAfter(block, "\r\n Number of messages on Channel A:   ");
        c.busB = NumberAfter(block, "\r\n Number of messages on Channel B:   ");
        const char* bits[] = {"(FE) Format Errors: ", "(LE) Word Count Errors: ", "(ME) Message Errors: ",
                              "(TM) Response Time Out Errors: ", "(SE) Sync Type Errors: ", "(WE) Invalid Word Errors: "};
        for (std::size_t k = 0; k < 6; ++k) c.bits[k] = NumberAfter(block, bits[k]);
        at = next;
    }
    return s;
}

class SummarySamples : public testing::Test {
protected:
    void SetUp() override {
        samples = ch10fix::SampleDataDir();
        if (samples.empty()) GTEST_SKIP() << "no sample recordings beside the checkout";
    }
    std::string Sample(const std::string& name) const { return samples + "/" + name; }
    // Each recording that starts with a setup record, and those without one
    // with the external TMATS file; name and TMATS argument.
    std::vector<std::pair<std::string, std::string>> Runs() const {
        std::vector<std::pair<std::string, std::string>> out;
        for (const std::string& name : ch10fix::SampleRecordingNames()) {
            const Bytes b = ch10fix::ReadFile(Sample(name));
            if (b.size() >= 24 && ch10fix::Get16(b, 0) == ch10fix::kSync && b[15] == 0x01) out.push_back({name, ""});
        }
        if (fs::exists(Sample(kExternalTmats)))
            for (const char* name : kWithoutSetupRecord)
                if (fs::exists(Sample(name))) out.push_back({name, Sample(kExternalTmats)});
        return out;
    }
    std::string samples;
    ch10fix::TempDir dir;
};

std::string Headless(const std::string& source, const std::string& tmats, const std::string& out, std::string& err) {
    fs::create_directories(out);
    std::vector<std::string> args{VEXA_BINARY, "--headless", "--output-dir", out};
    if (!tmats.empty()) args.insert(args.end(), {"--tmats", tmats});
    args.push_back(source);
    const ch10fix::ProgramRun r = ch10fix::RunProgram(args);
    err = r.err;
    EXPECT_TRUE(r.Exited()) << "signal";
    EXPECT_EQ(r.ExitCode(), 0) << r.err;
    return ch10fix::ReadText(out + "/validate.log.summary.txt");
}

std::string WithBodyChecks(const std::string& source, const std::string& tmats, const std::string& out) {
    fs::create_directories(out);
    rig::Engine e;
    e->clock = rig::FixedClock;
    e->runConfig.inputType = 1;
    e->runConfig.validateBodies = 1;
    vexa::OpenFilesTexts texts;
    if (!tmats.empty()) texts.tmats = tmats;
    texts.sourceFile = source;
    texts.outputDir = out;
    EXPECT_TRUE(e->OpenFiles(texts));
    e->Validate();
    EXPECT_TRUE(e.AwaitEnd(std::chrono::minutes(5)));
    return ch10fix::ReadText(out + "/validate.log.summary.txt");
}

TEST_F(SummarySamples, ChannelsPacketsAndBusCountsAgreeWithTheRecording) {
    const auto runs = Runs();
    ASSERT_FALSE(runs.empty());
    for (const auto& [name, tmats] : runs) {
        SCOPED_TRACE(name);
        const Counts walked = Walk(ch10fix::ReadFile(Sample(name)));
        std::string err;
        const std::string headless = Headless(Sample(name), tmats, dir.File(name + ".headless"), err);
        EXPECT_EQ(err.find("Sanitizer"), std::string::npos) << err;
        EXPECT_EQ(err.find("runtime error:"), std::string::npos) << err;
        const std::string bodies = WithBodyChecks(Sample(name), tmats, dir.File(name + ".bodies"));
        ASSERT_FALSE(headless.empty());
        ASSERT_FALSE(bodies.empty());
        EXPECT_NE(headless.find("\r\n\r\n--- End of Summary ---\r\n"), std::string::npos);

        const Summarised off = Parse(headless), on = Parse(bodies);
        uint32_t total = 0;
        for (const auto& [id, c] : walked) {
            SCOPED_TRACE("channel " + std::to_string(id));
            total += c.packets;
            ASSERT_TRUE(off.channels.count(id)) << headless;
            EXPECT_EQ(off.channels.at(id).packets, c.packets);
            ASSERT_TRUE(on.channels.count(id));
            EXPECT_EQ(on.channels.at(id).packets, c.packets);
            // Without the body checks no message is counted.
            EXPECT_FALSE(off.busLines.at(id));
            if (on.busLines.at(id)) {
                EXPECT_EQ(on.channels.at(id).busA, c.busA);
                EXPECT_EQ(on.channels.at(id).busB, c.busB);
                EXPECT_EQ(on.channels.at(id).bits, c.bits) << bodies;
            }
        }
        EXPECT_EQ(off.channels.size(), walked.size());
        EXPECT_EQ(on.channels.size(), walked.size());
        EXPECT_GT(total, 0u);
    }
}

}  // namespace
