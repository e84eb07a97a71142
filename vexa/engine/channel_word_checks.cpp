#include "vexa/engine/channel_word_checks.h"

#include <cinttypes>
#include <string>

#include "ch10/data_type.h"
#include "ch10/little_endian.h"
#include "platform/format.h"

namespace vexa {

namespace {

void Add(FindingList& out, uint32_t number, std::string text) { out.push_back({number, std::move(text)}); }

uint32_t Bits(uint32_t word, int shift, uint32_t mask) { return word >> shift & mask; }

// Whether the data word is inside the view, and its value.
std::optional<uint32_t> DataWord(const ChannelWordInput& in) {
    return in.view.U32(ch10::ChannelSpecificWordOffset(in.header));
}

}  // namespace

std::optional<BusMessageHeader> ReadBusMessageHeader(const ch10::PacketView& view, std::size_t at) {
    if (!view.Has(at, kBusMessageHeaderSize)) return std::nullopt;
    // Read for every message of every 1553 packet: one bounds check for all.
    const uint8_t* p = view.data() + at;
    BusMessageHeader m;
    m.stamp = ch10::ReadLe64(p);
    m.blockStatus = ch10::ReadLe16(p + 8);
    m.gapTimes = ch10::ReadLe16(p + 10);
    m.length = ch10::ReadLe16(p + 12);
    return m;
}

FindingList CheckPcmWord(uint32_t csdw) {
    FindingList out;
    constexpr uint32_t kUnpacked = 1, kPacked = 2, kThroughput = 4;
    const uint32_t mode = Bits(csdw, 18, 7);
    const uint32_t major = Bits(csdw, 24, 3);
    const uint32_t minor = Bits(csdw, 26, 3);
    const bool iph = Bits(csdw, 30, 1) != 0;
    if (mode == 0) Add(out, 53, "Error 53: Channel Spec's Mode does not indicate any Data Mode \r\n");
    if (mode != 0 && (mode & (mode - 1)) != 0)
        Add(out, 54, "Error 54: Channel Spec's Mode indicate more than one Data Mode \r\n");
    if ((mode & kThroughput) == 0) {
        if (major == 1)
            Add(out, 55, "Error 55: Channel Spec's Major Lock Status indicates no status (i.e. reserved status) \r\n");
        if (minor <= 1)
            Add(out, 56, "Error 56: Channel Spec's Minor Lock Status indicates no status (i.e. reserved status) \r\n");
        if (major == 2)
            Add(out, 57, "Error 57: Channel Spec's Lock Status indicates Major Frame Check (after losing Lock)\r\n");
        if (minor == 2)
            Add(out, 58, "Error 58: Channel Spec's Lock Status indicates Minor Frame Check (after losing Lock)\r\n");
    }
    if (mode == kThroughput && iph)
        Add(out, 59, "Error 59: Intra-Packet Header bit is set for Throughput Data Mode\r\n");
    else if (mode == kUnpacked && !iph)
        Add(out, 60, "Error 60: Intra-Packet Header bit is not set for Unpacked Data Mode\r\n");
    else if (mode == kPacked && !iph)
        Add(out, 61, "Error 61: Intra-Packet Header bit is not set for Packed Data Mode\r\n");
    return out;
}

FindingList CheckBus1553Packet(IntraStampTimes& stamps, const ChannelWordInput& in) {
    FindingList out;
    const std::optional<uint32_t> csdw = DataWord(in);
    if (!csdw) return out;
    const uint32_t count = *csdw & 0xFFFFFF;
    const uint64_t wordAt = ch10::ChannelSpecificWordOffset(in.header);
    const uint64_t dataEnd = wordAt + in.header.dataLength;
    uint64_t at = wordAt + 4;
    // Secondary-header stamps are not counter values: nothing to compare.
    if (count > 0 && (in.header.flags & 0xC0) != 0xC0) {
        const std::optional<uint64_t> first = in.view.U64(static_cast<std::size_t>(at));
        if (first && RtcNotBefore(in.header, *first) == -1)
            Add(out, 169,
                "Error 169: The time of the first bus message in a 1553 packet is less than the relative time "
                "counter in the packet header\r\n");
    }
    const Bus1553Input bodyIn{.header = in.header, .view = in.view, .csdw = *csdw,
                              .checkSimulated = in.bus1553Body && in.bus1553Body->checkSimulated};
    bool beyondData = false;
    for (uint32_t n = 1; n <= count; ++n) {
        // A header not wholly inside the packet counts as one beyond the data,
        // which leaves the walk off the data end as well.
        const std::optional<BusMessageHeader> m =
            at < dataEnd + 8 ? ReadBusMessageHeader(in.view, static_cast<std::size_t>(at)) : std::nullopt;
        if (!m) {
            Add(out, 63, "Error 63: Bus Message Count is greater than actual messages\r\n");
            beyondData = true;
            break;
        }
        if (RtcIncreasing(stamps, m->stamp, in.slot) == -1)
            Add(out, 62, platform::Format("Error 62: Bus message time reversed at message %3d \r\n", static_cast<int>(n)));
        if (in.bus1553Body) Step1553Body(*in.bus1553Body, bodyIn, n - 1, at, *m);
        at += kBusMessageHeaderSize + m->length;
    }
    if (in.bus1553Body) Finish1553Body(*in.bus1553Body, bodyIn);
    if (beyondData || at != dataEnd) Add(out, 64, "Error 64: Bus Message Count is less than actual messages\r\n");
    return out;
}

namespace {

struct AnalogFields {
    uint32_t mode, subchanByte, totchanByte, factor;
    bool same;
    uint32_t Subchan() const { return subchanByte ? subchanByte : 256; }
    uint32_t Totchan() const { return totchanByte ? totchanByte : 256; }
};

AnalogFields AnalogOf(uint32_t w) {
    return {Bits(w, 0, 3), Bits(w, 8, 0xFF), Bits(w, 16, 0xFF), Bits(w, 24, 0xF), Bits(w, 28, 1) != 0};
}

void CheckSubchannelWord(const AnalogFields& first, const AnalogFields& previous, const AnalogFields& w, int number,
                         FindingList& out) {
    if (w.same)
        Add(out, 171,
            platform::Format("Error 171: on Sub Channel number %d: ", number) +
                "SAME has to be zero when SAME of the first channel is zero in Channel Spec Word \r\n");
    if (w.mode != first.mode)
        Add(out, 69,
            platform::Format("Error 69: on Sub Channel number %d: (MODE = %d) ", number, static_cast<int>(w.mode)) +
                "MODE is not the same as MODE of the first channel in Channel Spec Word \r\n");
    if (w.totchanByte != first.totchanByte)
        Add(out, 70,
            platform::Format("Error 70: on Sub Channel number %d: (TOTCHAN = %d) ", number,
                             static_cast<int>(w.totchanByte)) +
                "TOTCHAN is not the same as TOTCHAN of the first channel in Channel Spec Word \r\n");
    if (w.Subchan() < previous.Subchan())
        Add(out, 71,
            platform::Format("Error 71: on Sub Channel number %d: (SUBCHAN = %d) ", number,
                             static_cast<int>(w.subchanByte)) +
                "SUBCHAN number is not in ascending order in Channel Spec Word \r\n");
}

}  // namespace

FindingList CheckAnalogWords(const ChannelWordInput& in) {
    FindingList out;
    const std::optional<uint32_t> csdw = DataWord(in);
    if (!csdw) return out;
    const AnalogFields first = AnalogOf(*csdw);
    if (first.same && first.factor != 0)
        Add(out, 168, "Error 168: The FACTOR bit is not zero when the SAME bit is set \r\n");
    if (first.Totchan() <= 1 || first.same) return out;
    const std::size_t wordAt = ch10::ChannelSpecificWordOffset(in.header);
    AnalogFields last = first;
    int lastNumber = 1;
    bool factorZero = first.factor == 0;
    for (uint32_t n = 2; n <= first.Totchan(); ++n) {
        const std::optional<uint32_t> word = in.view.U32(wordAt + 4 * (n - 1));
        if (!word) break;
        const AnalogFields w = AnalogOf(*word);
        CheckSubchannelWord(first, last, w, static_cast<int>(n), out);
        factorZero = factorZero || w.factor == 0;
        last = w;
        lastNumber = static_cast<int>(n);
    }
    if (!factorZero) Add(out, 170, "Error 170: at least one FACTOR to be zero in Channel Spec Word \r\n");
    if (last.Totchan() > last.Subchan())
        Add(out, 72,
            platform::Format("Error 72: on Sub Channel number %d: (TOTCHAN = %d, SUBCHAN = %d), ", lastNumber,
                             static_cast<int>(last.totchanByte), static_cast<int>(last.subchanByte)) +
                "number of TOTCHAN is greater than last SUBCHAN number in Channel Spec Word \r\n");
    return out;
}

FindingList CheckMessageWord(const ChannelWordInput& in) {
    FindingList out;
    const std::optional<uint32_t> csdw = DataWord(in);
    if (!csdw) return out;
    const uint32_t counter = Bits(*csdw, 0, 0xFFFF);
    const uint32_t type = Bits(*csdw, 16, 3);
    if (type == 0 && counter == 0) {
        // A first message header marked 0x23 makes an empty complete message legal.
        const std::optional<uint8_t> mark = in.view.U8(ch10::ChannelSpecificWordOffset(in.header) + 6);
        if (mark != uint8_t{0x23})
            Add(out, 135,
                "Error 135: TYPE indicates this is Complete Message but COUNTER indicates number of messages is 0 "
                "\r\n");
    }
    if (type == 1 && counter != 1)
        Add(out, 136,
            "Error 136: TYPE indicates this is beginning of a Segmented Message but COUNTER is not equal to 1 \r\n");
    if ((type == 2 || type == 3) && counter == 1)
        Add(out, 137,
            "Error 137: TYPE indicates this is not the beginning of a long message but COUNTER is equal to 1 \r\n");
    return out;
}

FindingList CheckArinc429Word(const ch10::PacketHeader& header, uint32_t csdw) {
    FindingList out;
    if (header.dataLength != 8ULL * (csdw & 0xFFFF) + 4)
        Add(out, 138,
            "Error 138: Packet's Data length does not match with Message Count in Channel Specific Data Word \r\n");
    return out;
}

FindingList Check1394Word(uint32_t csdw) {
    FindingList out;
    const uint32_t bodyType = Bits(csdw, 29, 7);
    const uint32_t transactions = Bits(csdw, 0, 0xFFFF);
    if (bodyType > 2) Add(out, 148, "Error 148: Packet Body Type is undefined \r\n");
    if ((bodyType == 0 && transactions != 0) || (bodyType == 1 && transactions != 1))
        Add(out, 149, "Error 149: Packet Body Type does not agree with Transaction Count \r\n");
    return out;
}

FindingList CheckEthernetFrames(const ChannelWordInput& in) {
    FindingList out;
    const std::optional<uint32_t> csdw = DataWord(in);
    if (!csdw) return out;
    const uint32_t frames = *csdw & 0xFFFF;
    const bool counterStamps = (in.header.flags & 0xC0) != 0xC0;
    const auto r = static_cast<int64_t>(HeaderRtcToUsec(in.header));
    std::size_t at = ch10::ChannelSpecificWordOffset(in.header) + 4;
    // A wrong frame count has no finding of its own: the walk ends with the
    // last frame header wholly inside the packet.
    for (uint32_t n = 0; n < frames && in.view.Has(at, 12); ++n) {
        const uint32_t low = *in.view.U32(at);
        const uint32_t high = *in.view.U32(at + 4);
        const uint32_t word = *in.view.U32(at + 8);
        if (counterStamps) {
            const auto t = static_cast<int64_t>(RtcWordsToUsec(low, high));
            if (t < r || t - 100000 > r)
                Add(out, 8,
                    platform::Format("Error 8: Packet's Relative Time Counter deviates from Intra-Packet Time Stamp: "
                                     "%" PRId64 "\r\n",
                                     t * 10));
        }
        if (Bits(word, 28, 3) != 0) Add(out, 132, "Error 132: undefined Captured Data Content format\r\n");
        if (Bits(word, 24, 0xF) > 4) Add(out, 139, "Error 139: invalid Ethernet Speed\r\n");
        const uint32_t length = Bits(word, 0, 0x3FFF);
        at += 12 + length + (length & 1);
    }
    return out;
}

FindingList CheckChannelSpecificWord(IntraStampTimes& stamps, const ChannelWordInput& in) {
    const std::optional<uint32_t> csdw = DataWord(in);
    if (!csdw) return {};
    using T = ch10::DataType;
    switch (static_cast<T>(in.header.dataType)) {
        case T::PcmF1: return CheckPcmWord(*csdw);
        case T::Mil1553F1: return CheckBus1553Packet(stamps, in);
        case T::AnalogF1: return CheckAnalogWords(in);
        case T::MessageF0: return CheckMessageWord(in);
        case T::Arinc429F0: return CheckArinc429Word(in.header, *csdw);
        case T::Ieee1394F0: return Check1394Word(*csdw);
        case T::EthernetF0: return CheckEthernetFrames(in);
        default: return {};
    }
}

}  // namespace vexa
