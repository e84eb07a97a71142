// The "TMATS Packet Info:" table that closes a successful validation log.
#include <cstdio>
#include <vector>

#include "platform/format.h"
#include "tmats_run.h"

namespace tessin {

const char* data_type_name(int dataType) {
    switch (dataType) {
        case 0: return "USER";
        case 1: return "SETUP";
        case 2: return "EVENT";
        case 3: return "INDEX";
        case 9: return "PCM";
        case 17: return "IRIG Time";
        case 25: case 26: return "BUS 1553";
        case 33: return "ANALOG";
        case 41: return "DISCRETE";
        case 48: return "MESSAGE";
        case 55: return "F-35 FIBRECH";
        case 56: return "ARINC 429";
        case 64: case 65: case 66: case 67: case 68: return "VIDEO";
        case 72: return "IMAGE";
        case 73: return "SIMAGE";
        case 74: return "DIMAGE";
        case 80: return "UART";
        case 88: case 89: return "IEEE1394";
        case 96: return "PARALLEL";
        case 104: case 105: return "ETHERNET";
        case 112: return "TSPIGPS";
        case 113: return "TSPIEAG";
        case 114: return "TSPIACTTS";
        case 120: return "CANBUS";
        case 121: return "FIBRECH";
        default: return "UNDEFINED";
    }
}

const char* packing_mode_name(int mode) {
    switch (mode) {
        case 1: return "Unpacked";
        case 2: return "Packed";
        case 3: return "Throughput";
        default: return "UNDEFINED";
    }
}

void print_tmats_packet_info(const CHAN_INFO& info, std::string& out) {
    using platform::AppendFormat;
    const char* columns = "%-10s%-20s%-10s%-10s%-10s%-10s%-12s%-12s%-10s%-12s%-10s\r\n";
    out += "\r\nTMATS Packet Info:\r\n\r\n";
    AppendFormat(out, "Program Name            :%s\r\n\r\n", info.ProgramName);
    AppendFormat(out, "IRIG 106 TMATS Version  :%02d\r\n\r\n", int{info.IrigRevision});
    AppendFormat(out, "Number of Channels      :%d\r\n\r\n", int{info.ChannelCount});
    AppendFormat(out, columns, "Channel", "DataType", "Enable", "BitRate", "WordLen", "NumFrames", "Words/Frame",
                 "Bits/Frame", "DataMode", "SyncPattern", "SyncLen");
    AppendFormat(out, columns, "-------", "--------", "------", "-------", "-------", "---------", "-----------",
                 "----------", "--------", "-----------", "-------");

    // The first PCM record of each channel ID.
    std::vector<int32_t> firstPcm(65536, -1);
    for (int32_t i = info.PcmCount - 1; i >= 0; --i) firstPcm[info.PcmChannels[i].ChannelID] = i;

    for (int32_t i = 0; i < info.ChannelCount; ++i) {
        const CHAN_ENTRY& e = info.Channels[i];
        AppendFormat(out, "%7d   %-20s%-10s", int{e.ChannelID}, data_type_name(e.DataType),
                     e.Enable ? "Enabled" : "Disabled");
        if (e.DataType == 9 && firstPcm[e.ChannelID] >= 0) {
            const PCM_CHAN_INFO& p = info.PcmChannels[firstPcm[e.ChannelID]];
            AppendFormat(out, "%8d  %7d   %8d  %11d %10d  %-10s  %8X  %7d", p.BitRate, int{p.WordLength},
                         int{p.NumFrames}, int{p.NumWords}, p.BitsInMinorFrame, packing_mode_name(p.DataMode),
                         p.SyncPattern, int{p.SyncPatternLength});
        }
        out += "\r\n";
    }
    out += std::string(130, '=');
    out += "\r\n";
}

}  // namespace tessin
