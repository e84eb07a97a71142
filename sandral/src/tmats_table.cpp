#include <cstring>
#include <string>

#include "ch10/data_type.h"
#include "tmats_text.h"
#include "type_labels.h"

namespace sandral {

namespace {

const char* DataModeText(int mode) {
    switch (mode) {
        case 1: return "Unpacked";
        case 2: return "Packed";
        case 3: return "ThroughPut";
        default: return "UNDEFINED";
    }
}

const PCM_CHAN_INFO* FirstPcm(const CHAN_INFO& record, uint16_t channelId) {
    if (!record.PcmChannels) return nullptr;
    for (int i = 0; i < record.PcmCount; ++i)
        if (record.PcmChannels[i].ChannelID == channelId) return &record.PcmChannels[i];
    return nullptr;
}

void PrintRow(OutputSink& out, const CHAN_INFO& record, const CHAN_ENTRY& e) {
    out.Printf("%7d   %-15s%-10s", e.ChannelID, ChannelTypeWord(e.DataType), e.Enable ? "Enabled" : "Disabled");
    if (e.DataType == ch10::Code(ch10::DataType::PcmF1)) {
        if (const PCM_CHAN_INFO* p = FirstPcm(record, e.ChannelID)) {
            out.Printf("%8d  %7d   %8d  %11d %10d  %-10s", p->BitRate, p->WordLength, p->NumFrames, p->NumWords,
                       p->BitsInMinorFrame, DataModeText(p->DataMode));
        }
    }
    out.Write("\r\n");
}

}  // namespace

void print_tmats_table(OutputSink& out, const std::string& recordingPath, const CHAN_INFO* record) {
    if (!record) return;
    static const char kColumns[] = "%-10s%-15s%-10s%-10s%-10s%-10s%-12s%-12s%-10s\r\n";
    out.Write(std::string(98, '=') + "\r\n");
    out.Printf("\r\nChapter 10 Filename:%s\r\n", recordingPath.c_str());
    out.Write("\r\nTMATS Packet Info:\r\n\r\n");
    const std::string program(record->ProgramName, strnlen(record->ProgramName, sizeof record->ProgramName));
    out.Printf("Program Name            :%s\r\n\r\n", program.c_str());
    out.Printf("Number of Channels      :%d\r\n\r\n", record->ChannelCount);
    out.Printf(kColumns, "Channel", "DataType", "Enable", "BitRate", "WordLen", "NumFrames", "Words/Frame",
               "Bits/Frame", "DataMode");
    out.Printf(kColumns, "-------", "--------", "------", "-------", "-------", "---------", "-----------",
               "----------", "--------");
    if (!record->Channels) return;
    for (int i = 0; i < record->ChannelCount; ++i) PrintRow(out, *record, record->Channels[i]);
}

}  // namespace sandral
