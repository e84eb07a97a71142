#pragma once
// The stream, index, data-type and content-file sections called directly on
// their own state, as the frame calls them, each packet in an exact-size
// buffer. Lines written at once go to a real log in a temporary directory.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/engine/checks/check_rig.h"
#include "vexa/engine/display_state.h"
#include "vexa/engine/error_accounting.h"
#include "vexa/engine/queue_host.h"
#include "vexa/engine/run_outputs.h"
#include "vexa/engine/stream_rules.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tmats_builder.h"

namespace streamrig {

using ch10fix::Bytes;
using vexa::TmatsChannelEntry;

using ch10fix::ReadText;

inline Bytes Packet(uint16_t channel, uint8_t dataType, std::size_t body = 8, uint8_t sequence = 0,
                    uint64_t rtc = 0) {
    ch10fix::PacketSpec s;
    s.channelId = channel;
    s.dataType = dataType;
    s.sequence = sequence;
    s.rtc = rtc;
    s.body = Bytes(body, 0x33);
    return ch10fix::BuildPacket(s);
}

inline Bytes SetupRecord(uint16_t channel = 0, uint8_t versionByte = 0x07, const std::string& text = "G\\106:07;") {
    ch10fix::SetupOptions o;
    o.channelId = channel;
    o.csdwVersion = versionByte;
    return ch10fix::BuildSetupPacket(text, o);
}

struct Rig {
    explicit Rig(std::vector<TmatsChannelEntry> entries = {}, int selectedChannel = 0, bool spaceDelimited = false)
        : selected(selectedChannel), spaceDelimited_(spaceDelimited) {
        tmats.entries = std::move(entries);
        tmatsTextPath = dir.File("v.log.TMATS.tmt");
        vexa::OutputOpenRequest request;
        request.outputPath = dir.File("v.log");
        request.sourcePath = "v.ch10";
        request.spaceDelimited = spaceDelimited;
        request.title = "Kelvane";
        request.clock = [] { return std::time_t{1700000000}; };
        outputs.OpenOutputFiles(request, host);
        headerSize_ = ReadText(LogPath()).size();
    }

    vexa::StreamEnv Env() {
        vexa::StreamEnv env(errors, tmats, host);
        env.outputs = &outputs;
        env.listingNamesLock = &outputs.namesLock;
        env.spaceDelimited = spaceDelimited_;
        env.selectedChannel = selected;
        env.runPacketCount = runCount;
        env.tmatsTextPath = tmatsTextPath;
        env.display = &display;
        env.noteWritten = [this](const std::string& p) { written.push_back(p); };
        return env;
    }

    // Slots as the channel table gives them: channel 0 at 0, the TMATS
    // channels next, others as they come.
    int SlotOf(uint16_t channel) {
        if (slots.empty()) {
            slots[0] = 0;
            for (const auto& e : tmats.entries)
                if (!slots.count(e.channelId)) slots[e.channelId] = static_cast<int>(slots.size());
        }
        auto it = slots.find(channel);
        if (it != slots.end()) return it->second;
        const int slot = static_cast<int>(slots.size());
        slots[channel] = slot;
        return slot;
    }

    // One accepted packet through sections 1-4 in the frame's order; the
    // packet's finding text. `offset` is its offset in the recording.
    std::string Feed(const Bytes& bytes, uint64_t offset = 0, std::size_t held = SIZE_MAX) {
        checkfix::HeldPacket p(bytes, held);
        ++runCount;
        errors.BeginPacket();
        std::string findings;
        vexa::PacketContext ctx;
        ctx.header = p.header();
        ctx.view = p.view();
        ctx.packetOffset = offset;
        ctx.slot = SlotOf(p.header().channelId);
        ctx.ofInterest = p.header().dataType == 0x11 || selected == 0 || selected == p.header().channelId;
        ctx.findings = &findings;
        lastSlot = ctx.slot;
        vexa::StreamEnv env = Env();
        using Section = vexa::SectionResult (*)(vexa::StreamRulesState&, vexa::StreamEnv&, vexa::PacketContext&);
        for (Section section : {vexa::CheckStreamStart, vexa::CheckRecordingIndexPacket,
                                vexa::CheckDataTypeAndTmats, vexa::WriteTmatsContent}) {
            last = section(s, env, ctx);
            if (last != vexa::SectionResult::Continue) break;
        }
        return findings;
    }

    void IndexSetup() {
        vexa::StreamEnv env = Env();
        vexa::IndexSetup(s, env);
    }
    void IndexAtEnd() {
        vexa::StreamEnv env = Env();
        vexa::IndexAtEnd(s, env, lastSlot);
    }

    std::string LogPath() const { return spaceDelimited_ ? dir.File("v.logTMATS") : dir.File("v.log"); }
    // What was written at once since the log header.
    std::string AtOnce() const { return ReadText(LogPath()).substr(headerSize_); }
    uint32_t Counter(vexa::FormCounter c) const { return errors.CounterValue(c); }
    uint32_t Count(uint16_t channel, unsigned number) {
        return errors.errorTable[static_cast<std::size_t>(SlotOf(channel))][number];
    }
    int32_t Consistency(uint16_t channel) { return errors.chanConsistencyErrors[static_cast<std::size_t>(SlotOf(channel))]; }
    std::vector<std::string> Boxes() {
        host.Pump();
        std::vector<std::string> out;
        for (const auto& b : host.boxes) out.push_back(b.text);
        return out;
    }

    ch10fix::TempDir dir;
    vexa::QueueHost host;
    vexa::ErrorAccounting errors;
    vexa::TmatsChannels tmats;
    vexa::DisplayState display;
    vexa::RunOutputs outputs;
    vexa::StreamRulesState s;
    std::string tmatsTextPath;
    int selected = 0;
    uint64_t runCount = 0;
    int lastSlot = 0;
    vexa::SectionResult last = vexa::SectionResult::Continue;
    std::map<uint16_t, int> slots;
    std::vector<std::string> written;

private:
    bool spaceDelimited_ = false;
    std::size_t headerSize_ = 0;
};

}  // namespace streamrig
