// The B group: one BUS_INFO per bus group, its messages, and the samples
// and word locations of its measurements.
#include <algorithm>
#include <cstring>

#include "pcm_format.h"
#include "platform/numbers.h"
#include "tmats_fields.h"

namespace tessin {
namespace {

constexpr uint32_t kSampleStep = 1000;
constexpr uint32_t kMaxSamples = 65535;  // the u16 count

// What the walk over one bus group carries from attribute to attribute.
struct BusWalk {
    BUS_INFO* bus = nullptr;
    BusArrays* arrays = nullptr;
    int32_t group = 0;
    int32_t message = 0;  // selected message, 1-based; 0 none
    int32_t direction = 0;
    uint16_t commandWord = 0;
    int32_t label = 0;
    int32_t sdi = 0;
};

bool Is1553(const BUS_INFO& bus) { return bus.BusType[0] == '1'; }

void SetMessageCount(BusWalk& w, const char* value) {
    int32_t n = std::clamp(DecimalValue(value), 0, 65535);
    w.bus->NumMessages = static_cast<uint16_t>(n);
    w.arrays->messages1553.clear();
    w.arrays->messagesLabelled.clear();
    w.message = 0;
    if (n == 0) return;
    if (Is1553(*w.bus))
        w.arrays->messages1553.assign(n, MSG1553_INFO{});
    else
        w.arrays->messagesLabelled.assign(n, MSGLABEL_INFO{});
}

MSG1553_INFO* Selected1553(BusWalk& w) {
    auto& m = w.arrays->messages1553;
    return w.message >= 1 && w.message <= static_cast<int32_t>(m.size()) ? &m[w.message - 1] : nullptr;
}

MSGLABEL_INFO* SelectedLabelled(BusWalk& w) {
    auto& m = w.arrays->messagesLabelled;
    return w.message >= 1 && w.message <= static_cast<int32_t>(m.size()) ? &m[w.message - 1] : nullptr;
}

void SelectMessage(BusWalk& w, const TmatsEntry& e) {
    int32_t m = e.index[1];
    w.message = (m >= 1 && m <= w.bus->NumMessages) ? m : 0;
    auto id = static_cast<int16_t>(DecimalValue(e.value));
    if (MSG1553_INFO* msg = Selected1553(w)) {
        msg->MessageID = id;
        CopyField(msg->BusName, sizeof msg->BusName, w.bus->BusName);
    }
    if (MSGLABEL_INFO* msg = SelectedLabelled(w)) {
        msg->MessageID = id;
        CopyField(msg->BusName, sizeof msg->BusName, w.bus->BusName);
    }
}

void Apply1553(BusWalk& w, const TmatsEntry& e) {
    MSG1553_INFO* msg = Selected1553(w);
    if (!msg) return;
    switch (e.id) {
    case 12: msg->RTAddress = static_cast<int16_t>(platform::BinaryToUInt(e.value)); break;
    case 14: msg->Subaddress = static_cast<int16_t>(platform::BinaryToUInt(e.value)); break;
    case 15:
        msg->TransmitReceive = e.value[0];
        w.direction = e.value[0] & 1;
        CopyField(msg->Direction, sizeof msg->Direction, w.direction ? "RT-BC" : "BC-RT");
        break;
    case 16: {
        msg->WordCount = static_cast<int16_t>(DecimalValue(e.value));
        int32_t word = msg->RTAddress * 2048 + (msg->TransmitReceive & 1) * 1024 + (msg->Subaddress & 31) * 32 +
                       (msg->WordCount & 31);
        msg->CommandWord = static_cast<uint16_t>(word);
        w.commandWord = msg->CommandWord;
        break;
    }
    default: break;
    }
}

void ApplyLabelled(BusWalk& w, const TmatsEntry& e) {
    MSGLABEL_INFO* msg = SelectedLabelled(w);
    if (!msg) return;
    if (e.id == 18) {
        msg->Label = static_cast<int32_t>(platform::BinaryToUInt(e.value));
        w.label = msg->Label;
    } else {
        msg->SDI = DecimalValue(e.value);
        w.sdi = msg->SDI;
    }
}

PassResult AddMeasurement(BusWalk& w, const char* name) {
    BUS_INFO& bus = *w.bus;
    BusArrays& a = *w.arrays;
    if (bus.NumSampleEntries >= kMaxSamples) return PassResult::Fail;
    if (bus.NumSampleEntries >= bus.SampleCapacity) {
        uint32_t capacity = std::min<uint32_t>(bus.SampleCapacity + kSampleStep, kMaxSamples);
        a.samples.resize(capacity);
        a.measru.resize(capacity);
        bus.SampleCapacity = static_cast<uint16_t>(capacity);
    }
    DB_SAMPLES_INFO& s = a.samples[bus.NumSampleEntries];
    CopyField(s.SampleID, sizeof s.SampleID, name);
    s.Type = 1;
    CopyField(s.SourceName, 13, bus.BusName);
    DB_MEASRU_INFO& m = a.measru[bus.NumSampleEntries];
    CopyField(m.MeasID, sizeof m.MeasID, name);
    CopyField(m.ElemID, 16, name);
    m.ElemNum = 1;
    m.Kind = 'S';
    m.DataType = 0;
    m.FBit = 1;
    m.LBit = Is1553(bus) ? 16 : 24;
    ++bus.NumSampleEntries;
    bus.NumMeasRUEntries = bus.NumSampleEntries;
    return PassResult::Ok;
}

void SetWordNumber(BusWalk& w, const char* value) {
    if (w.bus->NumSampleEntries == 0) return;
    DB_SAMPLES_INFO& s = w.arrays->samples[w.bus->NumSampleEntries - 1];
    s.WordNumber = DecimalValue(value);
    s.LocationKind = s.WordNumber >= 1 ? 3 : 0;
    if (Is1553(*w.bus)) {
        s.Size = 16;
        s.DirectionOrSDI = w.direction;
        s.CommandWordOrLabel = w.commandWord;
    } else {
        s.Size = 32;
        s.DirectionOrSDI = w.sdi;
        s.CommandWordOrLabel = w.label;
        s.LocationKind = 3;
    }
}

void SetBitMask(BusWalk& w, const char* value) {
    if (w.bus->NumSampleEntries == 0 || std::strcmp(value, "FW") == 0 || !Is1553(*w.bus)) return;
    parse_sync_mask(value, 16, &w.arrays->measru[w.bus->NumSampleEntries - 1], 1);
}

PassResult Apply(BusWalk& w, const TmatsEntry& e) {
    BUS_INFO& bus = *w.bus;
    switch (e.id) {
    case 0: CopyField(bus.DataLinkName, sizeof bus.DataLinkName, e.value); break;
    case 1: CopyField(bus.TestArticle, sizeof bus.TestArticle, e.value); break;
    case 4: CopyField(bus.BusName, sizeof bus.BusName, e.value); break;
    case 5: CopyField(bus.BusType, sizeof bus.BusType, e.value); break;
    case 8: SetMessageCount(w, e.value); break;
    case 9: SelectMessage(w, e); break;
    case 12: case 14: case 15: case 16: Apply1553(w, e); break;
    case 18: case 19: ApplyLabelled(w, e); break;
    case 28: return AddMeasurement(w, e.value);
    case 32: SetWordNumber(w, e.value); break;
    case 33: SetBitMask(w, e.value); break;
    default: break;
    }
    return PassResult::Ok;
}

}  // namespace

PassResult BuildBuses(PcmResult& result, EntryRange b) {
    int32_t count = CountGroups(b);
    if (count == 0) return PassResult::Ok;
    result.busArrays.assign(count, BusArrays{});
    result.buses.assign(count, BUS_INFO{});
    for (BUS_INFO& bus : result.buses) {
        bus.FirstGuard = kFirstGuard;
        bus.LastGuard = kLastGuard;
    }
    BusWalk w;
    int32_t record = -1;
    for (const TmatsEntry& e : b) {
        if (record < 0 || e.group != w.group) {
            w = BusWalk{};
            ++record;
            w.bus = &result.buses[record];
            w.arrays = &result.busArrays[record];
            w.group = e.group;
        }
        if (Apply(w, e) == PassResult::Fail) return PassResult::Fail;
    }
    return PassResult::Ok;
}

}  // namespace tessin
