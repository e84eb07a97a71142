// Sub-records of the time, 1553, analog, discrete, video, reference-only,
// ARINC 429, UART, Ethernet and Fibre Channel kinds.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "ch10/data_type.h"
#include "platform/numbers.h"
#include "platform/text.h"
#include "tessin_state.h"
#include "tmats_attributes.h"
#include "tmats_run.h"

namespace tessin {
namespace {

// Sets the sub-record's channel ID from the key when it exists.
template <class T>
bool ReadChannelId(TmatsRun& run, T& record, int32_t n, bool embeddedKey) {
    char value[kTmatsValueSize] = "";
    bool found = embeddedKey ? run.FindF(value, "H\\CID-%d:", n) : run.FindF(value, "R-1\\TK1-%d:", n);
    if (found) record.ChannelID = static_cast<uint16_t>(DecimalValue(value));
    return found;
}

template <class T>
void Start(T& record, const ChannelContext& ch) {
    record.ChannelID = static_cast<uint16_t>(ch.n);
    record.Enable = ch.enable;
}

// "B-b\DLN:" of the bus groups 1..N, gathered from the B group in one pass.
// Calls read(item, i) for subchannels 1 to the record's count, never past
// the record's array whatever the count says.
template <typename Record, typename Read>
void ReadSubchannels(Record& rec, Read read) {
    const int32_t count = std::min<int32_t>(rec.SubchannelCount, static_cast<int32_t>(std::size(rec.Subchannels)));
    for (int32_t i = 1; i <= count; ++i) read(rec.Subchannels[i - 1], i);
}

// Only keys spelled as the look-up would form them ("B-" and b in plain
// decimal) count; of duplicates the first in sorted order wins.
void CollectBusLinks(TmatsRun& run) {
    run.busesCollected = true;
    TmatsState& st = State().tmats;
    const TmatsGroup& g = st.groups[0];
    for (int32_t i = g.start; i < g.start + g.count; ++i) {
        const char* a = st.attributes[static_cast<std::size_t>(i)];
        if (a[0] != 'B' || a[1] != '-' || a[2] < '1' || a[2] > '9') continue;
        int64_t b = 0;
        const char* p = a + 2;
        while (*p >= '0' && *p <= '9' && b <= run.channelTotal) b = b * 10 + (*p++ - '0');
        if (b > run.channelTotal || std::strncmp(p, "\\DLN:", 5) != 0) continue;
        // Attributes of one b are adjacent in sorted order.
        if (!run.busLinks.empty() && run.busLinks.back().first == b) continue;
        run.busLinks.emplace_back(static_cast<int32_t>(b), std::string(p + 5, strnlen(p + 5, kTmatsValueSize - 1)));
    }
    std::sort(run.busLinks.begin(), run.busLinks.end(),
              [](const auto& x, const auto& y) { return x.first < y.first; });
}

}  // namespace

void BuildTimeChannel(TmatsRun& run, const ChannelContext& ch) {
    TIME_CHAN_INFO* rec = AppendRecord(run.owner.time, run.info.TimeChannels, run.info.TimeCount);
    if (!rec) return;
    Start(*rec, ch);
    const int32_t n = ch.n;
    char value[kTmatsValueSize] = "";
    if (!ReadChannelId(run, *rec, n, run.embedded))
        run.Finding("Error: Channel Number attribute (R-d\\TK1-n) for IRIG TIME channel is missing.\r\n");
    if (!run.FindF(value, "R-1\\TTF-%d:", n) && run.RevisionAbove(6))
        run.Finding("Error: TIME DATA TYPE FORMAT attribute (R-d\\TTF-n) for IRIG TIME channel is missing.\r\n");
    if (!run.FindF(value, "R-1\\TSRC-%d:", n) && run.RevisionAbove(6))
        run.Finding("Error: TIME SOURCE attribute (R-d\\TSRC-n) for IRIG TIME channel is missing.\r\n");
    value[0] = '\0';
    if (run.FindF(value, "R-1\\IFMT-%d:", n) || run.FindF(value, "R-1\\TFMT-%d:", n)) {
        rec->TimeFormat = value[0];
    } else if (ch.enable) {
        run.Finding("Warning: Irig Format Attribute (R-d\\TFMT-n) for IRIG TIME channel is missing.\r\n");
        rec->TimeFormat = 'B';
    }
}

void Build1553Channel(TmatsRun& run, const ChannelContext& ch) {
    BUS1553_CHAN_INFO* rec = AppendRecord(run.owner.bus1553, run.info.Bus1553Channels, run.info.Bus1553Count);
    if (!rec) return;
    Start(*rec, ch);
    const int32_t n = ch.n;
    const unsigned id = ch.printedId;
    char value[kTmatsValueSize] = "";
    if (!ReadChannelId(run, *rec, n, run.embedded))
        run.FindingF("Error: Channel Number attribute (R-d\\TK1-n) for BUS1553 channel %u is missing.\r\n", id);
    if (!run.FindF(value, "R-1\\BTF-%d:", n) && run.RevisionAbove(12))
        run.FindingF("Error: MIL-STD-1553 bus data type format (R-d\\BTF-n) for BUS1553 channel %u is missing.\r\n",
                     id);
    char link[kTmatsValueSize] = "";
    if (!run.FindF(link, "R-1\\BDLN-%d:", n) && !run.FindF(link, "R-1\\CDLN-%d:", n)) return;
    if (!run.busesCollected) CollectBusLinks(run);
    for (const auto& [b, name] : run.busLinks) {
        if (!platform::AsciiEqualsNoCase(name, link)) continue;
        if (run.FindF(value, "B-%d\\BNA-1:", b)) CopyField(rec->BusName, sizeof rec->BusName, value);
        break;
    }
}

void BuildAnalogChannel(TmatsRun& run, const ChannelContext& ch) {
    ANALOG_CHAN_INFO* rec = AppendRecord(run.owner.analog, run.info.AnalogChannels, run.info.AnalogCount);
    if (!rec) return;
    Start(*rec, ch);
    const int32_t n = ch.n;
    const unsigned id = ch.printedId;
    char value[kTmatsValueSize] = "";
    if (!ReadChannelId(run, *rec, n, false))
        run.FindingF("Error: Channel Number attribute (R-d\\TK1-n) for ANALOG channel %u is missing.\r\n", id);
    if (run.FindF(value, "R-1\\DSI-%d:", n)) CopyField(rec->DsiName, sizeof rec->DsiName, value);
    else
        run.FindingF("Error: Data Source ID attribute (R-d\\DSI-n) for ANALOG channel %u is missing.\r\n", id);
    if (run.FindF(value, "R-1\\CH\\N-%d:", n) || run.FindF(value, "R-1\\ACH\\N-%d:", n))
        rec->SubchannelCount = static_cast<int16_t>(ClampSubchannels(DecimalValue(value)));
    else if (ch.enable)
        run.FindingF("Warning: Number of Analog Channels Per Packet (R-d\\ACH\\N-n) for Analog channel %u is "
                     "missing.\r\n", id);
    value[0] = '\0';
    if (run.FindF(value, "R-1\\DP-%d:", n) || run.FindF(value, "R-1\\ADP-%d:", n))
        rec->Packed = (value[0] == 'Y' || value[0] == 'y') ? 1 : 0;
    if (run.FindF(value, "R-1\\SRT-%d:", n) || run.FindF(value, "R-1\\ASR-%d:", n))
        rec->SampleRate = platform::DecimalToDouble(value);
    else if (ch.enable)
        run.FindingF("Warning: Sample Rate (R-d\\ASR-n) for Analog channel %u is missing.\r\n", id);
    ReadSubchannels(*rec, [&](ANALOG_SUBCHANNEL& item, int32_t i) {
        if (run.FindF(value, "R-1\\AMN-%d-%d:", n, i)) CopyField(item.Name, sizeof item.Name, value);
        if (run.FindF(value, "R-1\\ADL-%d-%d:", n, i)) item.DataLength = static_cast<int16_t>(DecimalValue(value));
        if (run.FindF(value, "R-1\\ASF-%d-%d:", n, i)) item.ScaleFactor = static_cast<int16_t>(DecimalValue(value));
    });
}

void BuildDiscreteChannel(TmatsRun& run, const ChannelContext& ch) {
    DISCRETE_CHAN_INFO* rec = AppendRecord(run.owner.discrete, run.info.DiscreteChannels, run.info.DiscreteCount);
    if (!rec) return;
    Start(*rec, ch);
    const int32_t n = ch.n;
    const unsigned id = ch.printedId;
    char value[kTmatsValueSize] = "";
    if (!ReadChannelId(run, *rec, n, false))
        run.Finding("Error: Channel Number attribute (R-d\\TK1-n) for DISCRETE channel is missing.\r\n");
    if (run.FindF(value, "R-1\\DSI-%d:", n))
        CopyField(rec->DsiName, sizeof rec->DsiName, platform::AsciiToUpper(value).c_str());
    else
        run.Finding("Error: Channel Data Source ID attribute (R-d\\DSI-n) for DISCRETE channel is missing.\r\n");
    if (run.FindF(value, "R-1\\NMN\\N-%d:", n) || run.FindF(value, "R-1\\NDM\\N-%d:", n))
        rec->MeasurandCount = static_cast<int16_t>(DecimalValue(value));
    else if (ch.enable)
        run.FindingF("Warning: Number of Discrete Channels Per Packet (R-d\\NDM\\N-n) for Analog channel %u is "
                     "missing.\r\n", id);
    value[0] = '\0';
    if (run.FindF(value, "R-1\\DMOD-%d:", n)) rec->EventMode = (value[0] == 'E' || value[0] == 'e') ? 1 : 0;
    if (run.FindF(value, "R-1\\SRT-%d:", n) || run.FindF(value, "R-1\\DSR-%d:", n))
        rec->SampleRate = platform::DecimalToDouble(value);
    else if (ch.enable)
        run.FindingF("Warning: Sample Rate (R-d\\DSR-n) for Discrete channel %u is missing.\r\n", id);
}

void BuildVideoChannel(TmatsRun& run, const ChannelContext& ch) {
    VIDEO_CHAN_INFO* rec = AppendRecord(run.owner.video, run.info.VideoChannels, run.info.VideoCount);
    if (!rec) return;
    Start(*rec, ch);
    const int32_t n = ch.n;
    char value[kTmatsValueSize] = "";
    if (!ReadChannelId(run, *rec, n, false))
        run.Finding("Error: Channel Number attribute (R-d\\TK1-n) for VIDEO channel is missing.\r\n");
    if (run.FindF(value, "R-1\\VED-%d:", n)) rec->EncodingDelay = DecimalValue(value);
    else if (ch.enable)
        run.Finding("Error: Video encoding delay (R-d\\VED-n) for VIDEO channel is missing.\r\n");
    if (run.FindF(value, "R-1\\VNM-%d:", n) || run.FindF(value, "R-1\\DSI-%d:", n))
        CopyField(rec->Name, sizeof rec->Name, value);
}

void BuildRefChannel(TmatsRun& run, const ChannelContext& ch, int16_t dataType) {
    CHAN_REF* rec = nullptr;
    const char* missing = nullptr;
    CHAN_INFO& info = run.info;
    switch (dataType) {
        case ch10::Code(ch10::DataType::MessageF0):
        case ch10::Code(ch10::DataType::MessageF7):
            rec = AppendRecord(run.owner.message, info.MessageChannels, info.MessageCount);
            missing = "Error: Channel Number attribute (R-d\\TK1-n) for MESSAGE channel is missing.\r\n";
            break;
        case ch10::Code(ch10::DataType::ImageF0):
            rec = AppendRecord(run.owner.image, info.ImageChannels, info.ImageCount);
            missing = "Error: Channel Number attribute (R-d\\TK1-n) for IMAGE channel is missing.\r\n";
            break;
        case ch10::Code(ch10::DataType::Ieee1394F0):
        case ch10::Code(ch10::DataType::Ieee1394F1):
            rec = AppendRecord(run.owner.ieee1394, info.Ieee1394Channels, info.Ieee1394Count);
            missing = "Error: Channel Number attribute (R-d\\TK1-n) for IEEE1394 channel is missing.\r\n";
            break;
        default:
            rec = AppendRecord(run.owner.other, info.OtherChannels, info.OtherCount);
            missing = "Error: Channel Number attribute (R-d\\TK1-n) for OTHER channel is missing.\r\n";
            break;
    }
    if (!rec) return;
    Start(*rec, ch);
    if (!ReadChannelId(run, *rec, ch.n, false)) run.Finding(missing);
}

void BuildA429Channel(TmatsRun& run, const ChannelContext& ch) {
    SUBCHAN_CHAN_INFO* rec = AppendRecord(run.owner.a429, run.info.A429Channels, run.info.A429Count);
    if (!rec) return;
    Start(*rec, ch);
    const int32_t n = ch.n;
    char value[kTmatsValueSize] = "";
    if (!ReadChannelId(run, *rec, n, false))
        run.Finding("Error: Channel Number attribute (R-d\\TK1-n) for A429 channel is missing.\r\n");
    if (run.FindF(value, "R-1\\NAS\\N-%d:", n))
        rec->SubchannelCount = static_cast<uint16_t>(ClampSubchannels(DecimalValue(value)));
    ReadSubchannels(*rec, [&](SUBCHANNEL_ITEM& item, int32_t i) {
        if (run.FindF(value, "R-1\\ASN-%d-%d:", n, i)) item.Number = static_cast<int16_t>(DecimalValue(value));
        if (run.FindF(value, "R-1\\ANM-%d-%d:", n, i)) CopyField(item.Name, 13, value);
    });
}

void BuildUartChannel(TmatsRun& run, const ChannelContext& ch) {
    SUBCHAN_CHAN_INFO* rec = AppendRecord(run.owner.uart, run.info.UartChannels, run.info.UartCount);
    if (!rec) return;
    Start(*rec, ch);
    const int32_t n = ch.n;
    char value[kTmatsValueSize] = "";
    if (!ReadChannelId(run, *rec, n, false))
        run.Finding("Error: Channel Number attribute (R-d\\TK1-n) for IMAGE channel is missing.\r\n");
    if (run.FindF(value, "R-1\\NUS\\N-%d:", n))
        rec->SubchannelCount = static_cast<uint16_t>(ClampSubchannels(DecimalValue(value)));
    ReadSubchannels(*rec, [&](SUBCHANNEL_ITEM& item, int32_t i) {
        if (run.FindF(value, "R-1\\USN-%d-%d:", n, i) || run.FindF(value, "R-1\\USCN-%d-%d:", n, i))
            item.Number = static_cast<int16_t>(DecimalValue(value));
        if (run.FindF(value, "R-1\\UNM-%d-%d:", n, i) || run.FindF(value, "R-1\\UCNM-%d-%d:", n, i)) {
            CopyField(item.Name, sizeof item.Name, value);
            // A receive or transmit suffix names the direction, not the port.
            std::size_t len = std::strlen(item.Name);
            if (len > 2 && item.Name[len - 2] == '-' && (item.Name[len - 1] == 'R' || item.Name[len - 1] == 'T'))
                item.Name[len - 2] = '\0';
        }
    });
}

void BuildEthernetChannel(TmatsRun& run, const ChannelContext& ch) {
    SUBCHAN_CHAN_INFO* rec = AppendRecord(run.owner.ethernet, run.info.EthernetChannels, run.info.EthernetCount);
    if (!rec) return;
    Start(*rec, ch);
    const int32_t n = ch.n;
    char value[kTmatsValueSize] = "";
    if (!ReadChannelId(run, *rec, n, false)) {
        run.Finding("Error: Channel Number attribute (R-d\\TK1-n) for IMAGE channel is missing.\r\n");
        return;
    }
    if (!run.FindF(value, "R-1\\NNET\\N-%d:", n)) {
        rec->SubchannelCount = 1;
        if (run.FindF(value, "R-1\\CDLN-%d:", n))
            CopyField(rec->Subchannels[0].Name, sizeof rec->Subchannels[0].Name, value);
        return;
    }
    rec->SubchannelCount = static_cast<uint16_t>(ClampSubchannels(DecimalValue(value)));
    ReadSubchannels(*rec, [&](SUBCHANNEL_ITEM& item, int32_t i) {
        if (run.FindF(value, "R-1\\ENBR-%d-%d:", n, i)) {
            int32_t number = DecimalValue(value);
            item.Number = static_cast<int16_t>(number == i ? i - 1 : number);
        }
        if (run.FindF(value, "R-1\\ENAM-%d-%d:", n, i)) CopyField(item.Name, sizeof item.Name, value);
    });
}

void BuildFibreChannel(TmatsRun& run, const ChannelContext& ch) {
    FIBRE_CHAN_INFO* rec = AppendRecord(run.owner.fibre, run.info.FibreChannels, run.info.FibreCount);
    if (!rec) return;
    Start(*rec, ch);
    const int32_t n = ch.n;
    char value[kTmatsValueSize] = "";
    if (!ReadChannelId(run, *rec, n, false))
        run.Finding("Error: Channel Number attribute (R-d\\TK1-n) for FBCH channel is missing.\r\n");
    if (run.FindF(value, "R-1\\CDLN-%d:", n)) CopyField(rec->LinkName, sizeof rec->LinkName, value);
    else
        run.Finding("Error: Channel Data Link attribute (R-d\\CDLN-n) for FBCH channel is missing.\r\n");
}

}  // namespace tessin
