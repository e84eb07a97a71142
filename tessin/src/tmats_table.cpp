// The "TMATS Packet Info:" table that closes a successful validation log.
#include <cstdio>
#include <vector>

#include "ch10/data_type.h"
#include "platform/format.h"
#include "tmats_run.h"

namespace tessin {

namespace {

using T = ch10::DataType;

constexpr ch10::TypeText kTypeNames[] = {
    {T::ComputerF0, "USER"},        {T::ComputerF1, "SETUP"},         {T::ComputerF2, "EVENT"},
    {T::ComputerF3, "INDEX"},       {T::PcmF1, "PCM"},                {T::TimeF1, "IRIG Time"},
    {T::Mil1553F1, "BUS 1553"},     {T::Mil1553F2, "BUS 1553"},       {T::AnalogF1, "ANALOG"},
    {T::DiscreteF1, "DISCRETE"},    {T::MessageF0, "MESSAGE"},        {T::MessageF7, "F-35 FIBRECH"},
    {T::Arinc429F0, "ARINC 429"},   {T::VideoF0, "VIDEO"},            {T::VideoF1, "VIDEO"},
    {T::VideoF2, "VIDEO"},          {T::VideoF3, "VIDEO"},            {T::VideoF4, "VIDEO"},
    {T::ImageF0, "IMAGE"},          {T::ImageF1, "SIMAGE"},           {T::ImageF2, "DIMAGE"},
    {T::UartF0, "UART"},            {T::Ieee1394F0, "IEEE1394"},      {T::Ieee1394F1, "IEEE1394"},
    {T::ParallelF0, "PARALLEL"},    {T::EthernetF0, "ETHERNET"},      {T::EthernetF1, "ETHERNET"},
    {T::TspiF0, "TSPIGPS"},         {T::TspiF1, "TSPIEAG"},           {T::TspiF2, "TSPIACTTS"},
    {T::CanF0, "CANBUS"},           {T::FibreChannelF0, "FIBRECH"},
};

}  // namespace

const char* data_type_name(int dataType) {
    return ch10::TextOf(kTypeNames, dataType, "UNDEFINED");
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
        if (e.DataType == ch10::Code(T::PcmF1) && firstPcm[e.ChannelID] >= 0) {
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
