#pragma once
// Reference packets and a fake set of body checks for the listing tests.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "tests/engine/host_rig.h"
#include "vexa/engine/packet_listing.h"
#include "tests/support/temp_dir.h"

namespace vexa {

struct PcmChannel {
    uint32_t channelId = 0;
};

namespace test {

// A built packet and the listing input read from it; texts set by hand.
struct RefPacket {
    ch10fix::Bytes bytes;
    PacketListingInput in;
};

inline RefPacket MakeRef(ch10fix::PacketSpec spec, int slot, std::string_view name) {
    RefPacket r;
    if (!spec.headerChecksumOverride) spec.headerChecksumOverride = 0x1111;
    r.bytes = ch10fix::BuildPacket(spec);
    r.in.header = ch10::PacketHeader::DecodeUnchecked(r.bytes.data());
    r.in.view = ch10::PacketView::Of(r.bytes.data(), r.bytes.size(), r.in.header.packetLength);
    r.in.csdw = ch10::ChannelSpecificWord(r.in.view, r.in.header);
    r.in.slot = slot;
    r.in.slotPacketCount = 1;
    r.in.packetOffset = 0x100;
    r.in.dataTypeName = name;
    r.in.relTimeText = "1234567890";
    r.in.irigTimeText = "337:08:01:02.345678";
    return r;
}

inline ch10fix::PacketSpec Spec(uint16_t channel, uint8_t type, uint32_t csdw, uint8_t sequence = 1) {
    ch10fix::PacketSpec s;
    s.channelId = channel;
    s.dataType = type;
    s.sequence = sequence;
    s.csdw = csdw;
    s.body = ch10fix::Bytes(8, 0);
    return s;
}

// IH, MI, LM 2, Lm 1, Md 1, SYNOFF 0x1a.
constexpr uint32_t kPcmCsdw = (1u << 30) | (1u << 28) | (1u << 26) | (2u << 24) | (1u << 18) | 0x1a;

inline RefPacket PcmRef() {
    ch10fix::PacketSpec s = Spec(3, 0x09, kPcmCsdw, 7);
    s.checksum = ch10fix::Checksum::Sum16;
    s.headerChecksumOverride = 0xbeef;
    RefPacket r = MakeRef(s, 3, "PCM Format 1");
    r.in.slotPacketCount = 12;
    r.in.packetOffset = 0x2a0;
    r.in.recordedDataChecksum = 0x1234;
    return r;
}

// Body checks whose answers and findings a test sets.
class FakeBodyChecks final : public BodyChecks {
public:
    bool hasPcmChannels = true;
    bool hasRecord = true;
    int attributeResult = 0;
    std::string warning = "Warning: PCM channel 3 attribute P-1\\F1 is not usable\r\n";
    int bodyResult = 0;
    // Run inside each body check; may raise findings and write.
    std::function<void(BodyCheckCall&)> action;

    int attributeCalls = 0, pcmCalls = 0, bus1553Calls = 0, videoCalls = 0;
    std::vector<std::string> blocks;  // the Verbose block each body check got

    bool HasPcmChannels() const override { return hasPcmChannels; }
    const PcmChannel* PcmRecord(uint32_t channelId) const override {
        record_.channelId = channelId;
        return hasRecord ? &record_ : nullptr;
    }
    int CheckPcmTmatsAttributes(const PcmChannel&, uint8_t, int, std::string& text) override {
        ++attributeCalls;
        if (attributeResult != 0) text = warning;
        return attributeResult;
    }
    int ValidatePcmBody(const PcmChannel&, BodyCheckCall& call) override { return Run(call, pcmCalls); }
    int Validate1553Body(BodyCheckCall& call) override { return Run(call, bus1553Calls); }
    int ValidateVideoBody(BodyCheckCall& call) override { return Run(call, videoCalls); }

private:
    int Run(BodyCheckCall& call, int& calls) {
        ++calls;
        blocks.emplace_back(call.verboseBlock ? call.verboseBlock() : std::string_view());
        if (action) action(call);
        return bodyResult;
    }
    mutable PcmChannel record_;
};

// Outputs in a temporary directory without a log header.
struct ListingFixture {
    ch10fix::TempDir dir;
    RecordingHost host;
    RunOutputs outputs;
    std::unique_ptr<ErrorAccounting> errors = std::make_unique<ErrorAccounting>();
    ListingState listing;
    FakeBodyChecks checks;

    void Open(bool spaceDelimited, const std::string& name = "validate.log") {
        OutputOpenRequest r;
        r.outputPath = dir.File(name);
        r.spaceDelimited = spaceDelimited;
        r.title = kTitle;
        r.clock = FixedClock;
        outputs.OpenOutputFiles(r, host);
    }
    int List(PacketListingInput in, const ListingOptions& options) {
        return ListPacket(in, options, outputs, *errors, listing, host);
    }
    std::string Output() {
        outputs.Close();
        return ReadText(dir.File("validate.log"));
    }
};

inline std::string GoldenText(const std::string& name) { return ReadText(std::string(ENGINE_GOLDEN_DIR) + "/" + name); }

// Lengths of the CR LF lines of `text`, CR LF included.
inline std::vector<std::size_t> LineLengths(const std::string& text) {
    std::vector<std::size_t> lengths;
    std::size_t start = 0, end;
    while ((end = text.find("\r\n", start)) != std::string::npos) {
        lengths.push_back(end + 2 - start);
        start = end + 2;
    }
    return lengths;
}

}  // namespace test
}  // namespace vexa
