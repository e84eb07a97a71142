#pragma once
// What one process_tmats_packet call shares between the general checks and
// the per-kind record builders.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "chan_info_record.h"
#include "tessin.h"
#include "tmats_fields.h"

namespace tessin {

struct TmatsRun {
    ChanInfoOwner& owner;
    CHAN_INFO& info;
    char* errorText;
    bool embedded = false;        // the comment-embedded form ("G\DSI\N=")
    bool pcmByPcmChannel = false;  // "P-1\DLN" exists: PCM groups count PCM channels
    int32_t channelTotal = 0;      // N of "R-1\N:" / "G\DSI\N="
    int32_t pcmOrdinal = 0;        // PCM channels seen so far
    bool busesCollected = false;
    std::vector<std::pair<int32_t, std::string>> busLinks;  // (b, "B-b\DLN:" value), b ascending

    TmatsRun(ChanInfoOwner& o, char* err) : owner(o), info(o.info), errorText(err) {}

    bool RevisionAbove(unsigned revision) const { return info.IrigRevision > revision; }
    bool RevisionAtLeast(unsigned revision) const { return info.IrigRevision >= revision; }
    // Look-up on the packet copy; `value` receives the value when found.
    bool Find(const char* key, char* value);
    // The same with a key made from a printf format.
    bool FindF(char* value, const char* format, ...) __attribute__((format(printf, 3, 4)));
    // A finding line: written while the log is open, and counted.
    void Finding(const char* line);
    void FindingF(const char* format, ...) __attribute__((format(printf, 2, 3)));
};

// The channel whose per-kind attributes are read.
struct ChannelContext {
    int32_t n;           // recorder channel index
    uint16_t printedId;  // the common check's channel ID, 0 when missing
    int16_t enable;
};

void BuildTimeChannel(TmatsRun& run, const ChannelContext& ch);
void BuildPcmChannel(TmatsRun& run, const ChannelContext& ch);
void Build1553Channel(TmatsRun& run, const ChannelContext& ch);
void BuildAnalogChannel(TmatsRun& run, const ChannelContext& ch);
void BuildDiscreteChannel(TmatsRun& run, const ChannelContext& ch);
void BuildVideoChannel(TmatsRun& run, const ChannelContext& ch);
// Message, image, IEEE 1394 and unknown kinds: a reference only.
void BuildRefChannel(TmatsRun& run, const ChannelContext& ch, int16_t dataType);
void BuildA429Channel(TmatsRun& run, const ChannelContext& ch);
void BuildUartChannel(TmatsRun& run, const ChannelContext& ch);
void BuildEthernetChannel(TmatsRun& run, const ChannelContext& ch);
void BuildFibreChannel(TmatsRun& run, const ChannelContext& ch);

// The table that closes the log.
void print_tmats_packet_info(const CHAN_INFO& info, std::string& out);
const char* data_type_name(int dataType);
const char* packing_mode_name(int mode);

}  // namespace tessin
