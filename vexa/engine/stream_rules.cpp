#include "vexa/engine/stream_rules.h"

#include <cinttypes>

#include "ch10/data_type.h"
#include "vexa/engine/data_type_table.h"
#include "platform/format.h"
#include "vexa/engine/tmats_content_file.h"

namespace vexa {

const TmatsChannelEntry* TmatsChannels::Find(uint16_t channelId) const {
    for (const auto& e : entries)
        if (e.channelId == channelId) return &e;
    return nullptr;
}

void StreamRulesState::ResetRun() {
    currentDataTypeName.clear();
    timeChannelSlot = -1;
    for (auto& slot : slots) slot = SlotStreamStats{};
    totalPacketLength = 0;
    totalDataLength = 0;
}

void StreamRulesState::ClearSummaryTotals() {
    for (auto& slot : slots) slot.summaryDataLength = 0;
}

void StreamRulesState::ResetForTests() {
    fileDataVersion = 5;
    tmatsRevision = 0;
    dataTypeRowCount = 33;
    ResetRun();
    index.Reset();
}

namespace {

bool SelectedOrAll(const StreamEnv& env, uint16_t channelId) {
    return env.selectedChannel == 0 || env.selectedChannel == channelId;
}

// False only when a write to an open file failed.
bool WriteAtOnce(StreamEnv& env, const std::string& line) {
    return !env.outputs || env.outputs->WriteLogLine(line, env.spaceDelimited);
}

int FileVersionFromSetupByte(uint8_t b) {
    switch (b) {
        case 7: return 7;
        case 8: return 9;
        case 9: return 11;
        case 10: return 13;
        case 11: return 15;
        default: return 5;
    }
}

void Append(StreamEnv& env, PacketContext& ctx, uint32_t number, const char* text) {
    if (env.errors.RaiseFinding(ctx.slot, number)) *ctx.findings += text;
}

// Codes of one family share a block of eight within 0-127.
bool SameFamily(int a, int b) { return a >= 0 && a <= 127 && b >= 0 && b <= 127 && (a >> 3) == (b >> 3); }

}  // namespace

SectionResult CheckStreamStart(StreamRulesState& s, StreamEnv& env, PacketContext& ctx) {
    const ch10::PacketHeader& h = ctx.header;
    if (s.timeChannelSlot == -1 && !ch10::IsComputerGenerated(h.dataType) && h.dataType != ch10::Code(ch10::DataType::TimeF1))
        Append(env, ctx, 30, "Error 30: Non Computer Generated packet occurs before IRIG packet. \r\n");
    if (h.dataType != ch10::Code(ch10::DataType::ComputerF1)) return SectionResult::Continue;

    if (env.runPacketCount != 1)
        Append(env, ctx, 31,
               "Error 31: First data packet is not Computer Generated Data Format 1 Setup Record packet. \r\n");
    else if (h.channelId != 0)
        Append(env, ctx, 32, "Error 32: First packet's Channel ID is not 0. \r\n");
    if (h.packetLength > kMaxSetupRecordLength)
        Append(env, ctx, 33, "Error 33: TMATS packet is more than 134,217,728 bytes. \r\n");

    s.fileDataVersion = FileVersionFromSetupByte(static_cast<uint8_t>(ch10::ChannelSpecificWord(ctx.view, h) & 0xFF));
    s.dataTypeRowCount = kDataTypeTableRows;
    if (env.display)
        env.display->SetText(DisplayText::versionInfo,
                             platform::Format("IRIG 106 Data File Version: %02d, TMATS Version: %02d",
                                              s.fileDataVersion, s.tmatsRevision));
    if (!WriteAtOnce(env, platform::Format("IRIG 106 File Data Version :%02d\r\n", s.fileDataVersion)))
        return SectionResult::Fail;

    if (s.tmatsRevision >= 7 && s.fileDataVersion > s.tmatsRevision && env.errors.RaiseFinding(ctx.slot, 80))
        platform::AppendFormat(*ctx.findings,
                               "Error 80: Computer generated format 1 IRIG-106 Chapter 10 Data File Version (%02d) is "
                               "inconsistent with the version in the TMATS (%02d)\r\n",
                               s.fileDataVersion, s.tmatsRevision);
    return SectionResult::Continue;
}

SectionResult CheckRecordingIndexPacket(StreamRulesState& s, StreamEnv& env, PacketContext& ctx) {
    if (ctx.header.dataType != ch10::Code(ch10::DataType::ComputerF3)) return SectionResult::Continue;
    for (const IndexFinding& f : ApplyIndexPacket(s.index, ctx.view, ctx.header, ctx.packetOffset)) {
        std::string text;
        switch (f.number) {
            case 155: text = "Error 155: The first computer generated root index packet does not point to itself. \r\n"; break;
            case 156:
                text = "Error 156: This computer generated root index packet does not point to the previous root "
                       "index packet. \r\n";
                break;
            case 162:
                text = platform::Format(
                    "Error 162: This computer generated root index packet has Invalid Index Entry Count '%d'. \r\n",
                    static_cast<int>(f.entryCount));
                break;
            case 163:
                text = "Error 163: The total size of Root Index Data Entries is not divisible by Index Entry Count "
                       "evenly. \r\n";
                break;
            case 164: text = "Error 164: Root Index Data Entry size does not equal to 24 while IPDH flag is enabled. \r\n"; break;
            default: text = "Error 165: Root Index Data Entry size does not equal to 16 while IPDH flag is disabled. \r\n"; break;
        }
        if (env.errors.RaiseFinding(ctx.slot, f.number)) *ctx.findings += text;
    }
    return SectionResult::Continue;
}

SectionResult CheckDataTypeAndTmats(StreamRulesState& s, StreamEnv& env, PacketContext& ctx) {
    const ch10::PacketHeader& h = ctx.header;
    SlotStreamStats& slot = s.slots[static_cast<std::size_t>(ctx.slot)];

    if (env.display) env.display->packetSeqAll.store(h.sequence, std::memory_order_relaxed);
    ++slot.packetCount;
    slot.summaryDataLength += h.dataLength;

    if (const DataTypeRow* row = FindDataTypeRow(h.dataType, s.dataTypeRowCount)) {
        s.currentDataTypeName = row->name;
    } else {
        s.currentDataTypeName = DataTypeTable[kUndefinedDataTypeRow].name;
        Append(env, ctx, 34, "Error 34: Data type is undefined\r\n");
    }

    if (slot.firstSeenText.empty()) {
        if (h.dataType == ch10::Code(ch10::DataType::TimeF1)) s.timeChannelSlot = ctx.slot;
        slot.firstSeenText = platform::Format("\r\n\r\nFound channel %d is of Data Type: %s", h.channelId,
                                              s.currentDataTypeName.c_str());
    }

    if (ch10::IsComputerGenerated(h.dataType) && s.tmatsRevision < 11 && h.channelId != 0)
        Append(env, ctx, 173, "Error 173: Channel ID should be 0 for Computer Generated Data Types\r\n");

    const TmatsChannelEntry* entry = env.tmats.Find(h.channelId);
    if (entry) {
        if (entry->dataType == h.dataType) {
            if (entry->enable == 0 && ctx.ofInterest && env.errors.RaiseFinding(ctx.slot, 35))
                platform::AppendFormat(*ctx.findings,
                                       "Error 35: Found packet on channel ID %d of Data Type %d but described in TMATS "
                                       "packet as Disabled. \r\n",
                                       h.channelId, h.dataType);
        } else if (ctx.ofInterest && !SameFamily(entry->dataType, h.dataType) &&
                   env.errors.RaiseFinding(ctx.slot, 36)) {
            platform::AppendFormat(*ctx.findings,
                                   "Error 36: TMATS info indicates channel ID %d is of Data Type %d (%s) but Packet "
                                   "Header indicates Data Type is %d (%s). \r\n",
                                   h.channelId, entry->dataType, LookupDataTypeName(entry->dataType), h.dataType,
                                   s.currentDataTypeName.c_str());
        }
    }

    if (h.dataType == ch10::Code(ch10::DataType::ImageF7)) Append(env, ctx, 175, "Error 175: Packet Data type is Reserved\r\n");

    // Counted for every such packet, written once per channel.
    if (!entry && env.runPacketCount != 1 && !ch10::IsComputerGenerated(h.dataType) && ctx.ofInterest &&
        env.errors.RaiseFinding(ctx.slot, 37) &&
        env.errors.errorTable[static_cast<std::size_t>(ctx.slot)][37] < 2)
        platform::AppendFormat(*ctx.findings,
                               "Error 37: Found packet on channel ID %d of Data Type %d but not described in TMATS "
                               "packet. \r\n",
                               h.channelId, h.dataType);

    std::string& rtcText = slot.firstRtcText.empty() ? slot.firstRtcText : slot.lastRtcText;
    rtcText.clear();
    platform::AppendDecimal(rtcText, h.relativeTime);

    if (env.rtcStep && env.runPacketCount > 1 && !ch10::IsComputerGenerated(h.dataType) && ctx.ofInterest)
        env.rtcStep(ctx);

    slot.packetLengthSum += h.packetLength;
    slot.dataLengthSum += h.dataLength;
    s.totalPacketLength += h.packetLength;
    s.totalDataLength += h.dataLength;
    slot.efficiency = slot.packetLengthSum
                          ? static_cast<float>(static_cast<double>(slot.dataLengthSum) / static_cast<double>(slot.packetLengthSum) * 100.0)
                          : 0.0f;
    const float all = s.totalPacketLength ? static_cast<float>(static_cast<double>(s.totalDataLength) /
                                                               static_cast<double>(s.totalPacketLength) * 100.0)
                                          : 0.0f;
    if (env.display) {
        if (env.selectedChannel != 0 && env.selectedChannel == h.channelId)
            env.display->efficiencySelected.store(slot.efficiency, std::memory_order_relaxed);
        env.display->efficiencyAll.store(all, std::memory_order_relaxed);
    }

    if (h.dataType == ch10::Code(ch10::DataType::ComputerF1) && s.timeChannelSlot > 0 && SelectedOrAll(env, h.channelId))
        Append(env, ctx, 38,
               "Error 38: This Computer Generated (TMATS/Setup Record) packet comes in after the Time Packet. \r\n");
    return SectionResult::Continue;
}

SectionResult WriteTmatsContent(StreamRulesState&, StreamEnv& env, PacketContext& ctx) {
    const ch10::PacketHeader& h = ctx.header;
    if (h.dataType != ch10::Code(ch10::DataType::ComputerF1) || !SelectedOrAll(env, h.channelId)) return SectionResult::Continue;
    const auto slot = static_cast<std::size_t>(ctx.slot);
    const std::string path(env.tmatsTextPath);
    if (env.outputs) {
        if (env.outputs->listingHandles[slot].IsOpen()) return SectionResult::Continue;
        if (env.listingNamesLock) {
            std::lock_guard g(*env.listingNamesLock);
            env.outputs->listingNames[slot] = path;
        } else {
            env.outputs->listingNames[slot] = path;
        }
    }
    const ContentFileResult result = WriteContentFile(path, SetupRecordText(ctx.view, h));
    if (result != ContentFileResult::Written) {
        // A copy cut short is no copy: it goes as an unopened one, but only
        // the open failure has a box of its own.
        const bool opened = result != ContentFileResult::OpenFailed;
        if (!opened) env.host.PostMessageBox("Error on opening TMATS packet's content output file");
        if (env.outputs) env.outputs->NoteFailed(path, !opened);
        return SectionResult::SkipRest;
    }
    if (env.noteWritten) env.noteWritten(path);
    return SectionResult::Continue;
}

std::string DataTypeTextFor(uint8_t dataType, uint32_t csdw, int rowCount) {
    const DataTypeRow* row = FindDataTypeRow(dataType, rowCount);
    if (!row) return platform::Format("Data Type: Undefined - %d", dataType);
    std::string text = platform::Format("Data Type: %s", row->name);
    if (dataType == ch10::Code(ch10::DataType::PcmF1)) {
        switch ((csdw >> 18) & 7) {
            case 1: text += " - Unpacked"; break;
            case 2: text += " - Packed"; break;
            case 4: text += " - Throughput"; break;
            default: break;
        }
    }
    return text;
}

void ShowDataTypeText(StreamRulesState& s, const StreamEnv& env, const PacketContext& ctx, bool channelSeen) {
    if (!env.display || env.selectedChannel == 0 || env.selectedChannel != ctx.header.channelId || channelSeen)
        return;
    env.display->SetText(DisplayText::dataType, DataTypeTextFor(ctx.header.dataType,
                                                                 ch10::ChannelSpecificWord(ctx.view, ctx.header),
                                                                 s.dataTypeRowCount));
}

bool IndexSetup(StreamRulesState& s, StreamEnv& env) {
    s.index.Reset();
    if (!IndexSetupFinding(env.tmats.eventsEnabled, env.tmats.indexEnabled)) return true;
    return WriteAtOnce(env, "Error 159: Recording Index needs to be enabled when Recording Events is enabled. \r\n");
}

bool IndexAtEnd(StreamRulesState& s, StreamEnv& env, int lastSlot) {
    for (unsigned number : IndexFindingsAtEnd(s.index, env.tmats.indexEnabled)) {
        if (!env.errors.RaiseFinding(lastSlot, number)) continue;
        const char* text = nullptr;
        switch (number) {
            case 157: text = "Error 157: The last computer generated packet is not a root index packet. \r\n"; break;
            case 160:
                text = "Error 160: At least one Node Index Packet and one Root Index Packet are required when "
                       "Recording Index is enabled. \r\n";
                break;
            default: text = "Error 166: Recording Index needs to be enabled with Index Packet(s). \r\n"; break;
        }
        if (!WriteAtOnce(env, text)) return false;
    }
    return true;
}

}  // namespace vexa
