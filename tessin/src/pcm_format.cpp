// GetPCMFormatInfo, its release calls and the last-error text.
#include "pcm_format.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "c_boundary.h"
#include "platform/format.h"
#include "platform/numbers.h"
#include "tessin_state.h"
#include "tmats_fields.h"

namespace tessin {
namespace {

ServicesState& Services() { return State().services; }

template <class Array>
auto DataOrNull(Array& v) -> decltype(v.data()) {
    return v.empty() ? nullptr : v.data();
}

template <class Record>
void PublishShared(Record& r, SharedTables& t) {
    r.NumMeasurandEntries = t.numMeasurands;
    r.MeasurandEntries = DataOrNull(t.measurands);
    r.NumEUCMHistoryEntries = t.numMeasurands;
    r.EUCMHistoryEntries = DataOrNull(t.history);
    r.NumEUCMEntries = t.numMeasurands;
    r.EUCMEntries = DataOrNull(t.eucm);
    r.NumPolynomialEntries = t.numMeasurands;
    r.PolynomialEntries = DataOrNull(t.polynomials);
    r.NumDiscreteEntries = t.numDiscretes;
    r.DiscreteEntries = DataOrNull(t.discretes);
    r.NumPairSetEntries = t.numPairSets;
    r.PairSetEntries = DataOrNull(t.pairSets);
    r.NumPairEntries = t.numPairs;
    r.PairEntries = DataOrNull(t.pairs);
}

template <class Record>
bool GuardsBroken(const std::vector<Record>& records) {
    for (const Record& r : records)
        if (r.FirstGuard != kFirstGuard && r.LastGuard != kLastGuard) return true;
    return false;
}

// The shared tables go with the last array that holds them.
void DropSharedWhenUnused(PcmResult& result) {
    if (result.Empty()) result.shared = SharedTables{};
}

int FreeBusInfo(PcmResult& result) {
    if (GuardsBroken(result.buses)) {
        SetLastError("FreeBusInfo: Invalid Bus Info pointer.");
        return -1;
    }
    result.buses.clear();
    result.buses.shrink_to_fit();
    result.busArrays.clear();
    result.busArrays.shrink_to_fit();
    DropSharedWhenUnused(result);
    return 0;
}

// What the previous call left: a failed call's arrays are released, a
// successful result stays the caller's until the module reset.
void SettlePreviousResult(ServicesState& s) {
    if (!s.current) return;
    if (s.current->failed || s.current->Empty())
        s.current.reset();
    else
        s.superseded.push_back(std::move(s.current));
}

const char* PrintablePath(const char* path) { return path ? path : ""; }

int BuildResult(PcmResult& result, const char* path) {
    EntryRange g = GroupEntries(ServiceGroup::G);
    if (g.count == 0) {
        SetLastError("GetPCMFormatInfo: Specified TMATS File %s does not contain G Attribute Groups.",
                     PrintablePath(path));
        return -1;
    }
    EntryRange p = GroupEntries(ServiceGroup::P);
    EntryRange d = GroupEntries(ServiceGroup::D);
    EntryRange b = GroupEntries(ServiceGroup::B);
    if (!((p.count > 0 && d.count > 0) || b.count > 0)) {
        SetLastError("GetPCMFormatInfo: Specified TMATS File %s does not contain P, D, or B Attribute Groups.",
                     PrintablePath(path));
        return -1;
    }
    GeneralInfo general;
    for (const TmatsEntry& e : g) {
        if (e.id == 0) general.programName = e.value;
        if (e.id == 3) general.originationDate = e.value;
    }
    if (BuildBuses(result, b) == PassResult::Fail) return -1;
    if (BuildFormats(result, p, general) == PassResult::Fail) return -1;
    MarkIdCounters(result);
    if (LocateMeasurements(result, d) == PassResult::Fail) return -1;
    LinkRecorderChannels(result, GroupEntries(ServiceGroup::R));
    EntryRange c = GroupEntries(ServiceGroup::C);
    if (c.count == 0) return -1;
    if (BuildConversions(result, c) == PassResult::Fail) return -1;
    return static_cast<int>(result.formats.size());
}

}  // namespace

// A pass refused part-way may leave records without their arrays; those
// records keep the empty pointers they were made with.
void PcmResult::Publish() {
    for (std::size_t i = 0; i < formats.size() && i < formatArrays.size(); ++i) {
        PCM_FORMAT_INFO& f = formats[i];
        FormatArrays& a = formatArrays[i];
        f.WordLengths = DataOrNull(a.wordLengths);
        f.IDCounters = DataOrNull(a.idCounters);
        f.FrameWordMasks = DataOrNull(a.frameWordMasks);
        f.MainframeEntries = DataOrNull(a.mainframe);
        f.Subcoms = DataOrNull(a.subcoms);
        f.SubcomDetails = DataOrNull(a.details);
        for (std::size_t k = 0; k < a.subcoms.size(); ++k)
            a.subcoms[k].Details = a.detailsPerSubcom > 0 ? a.details.data() + k * a.detailsPerSubcom : nullptr;
        f.SampleEntries = DataOrNull(a.samples);
        f.MeasRUEntries = DataOrNull(a.measru);
        PublishShared(f, shared);
    }
    for (std::size_t i = 0; i < buses.size() && i < busArrays.size(); ++i) {
        BUS_INFO& b = buses[i];
        BusArrays& a = busArrays[i];
        b.Messages1553 = DataOrNull(a.messages1553);
        b.MessagesLabelled = DataOrNull(a.messagesLabelled);
        b.SampleEntries = DataOrNull(a.samples);
        b.MeasRUEntries = DataOrNull(a.measru);
        PublishShared(b, shared);
    }
}

void SetLastError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = platform::FormatV(format, args);
    va_end(args);
    CopyField(Services().lastError, kLastErrorSize, text.c_str());
}

uint16_t DefaultWordMask(int wordLength) {
    return wordLength >= 1 && wordLength <= 16 ? static_cast<uint16_t>((1u << wordLength) - 1) : 0;
}

int32_t CountGroups(EntryRange range) {
    int32_t count = 0;
    for (const TmatsEntry* e = range.begin(); e != range.end(); ++e)
        if (e == range.begin() || e->group != (e - 1)->group) ++count;
    return count;
}

void parse_sync_mask(const char* mask, int width, DB_MEASRU_INFO* entry, int fragment) {
    if (!mask || !entry || platform::BinaryToUInt(mask) == 0) return;
    std::size_t length = std::strlen(mask);
    if (std::strspn(mask, "01") != length) return;
    std::size_t first = std::strchr(mask, '1') - mask;  // a '1' exists: the value is not 0
    std::size_t last = first + std::strspn(mask + first, "1") - 1;
    int64_t f = static_cast<int64_t>(first) + 1;
    int64_t t = static_cast<int64_t>(last) + 1;
    if (static_cast<int64_t>(length) < width) {
        f += width - static_cast<int64_t>(length);
        t += width - static_cast<int64_t>(length);
    }
    if (t >= f && fragment <= 1) {
        entry->FBit = static_cast<int16_t>(f);
        entry->LBit = static_cast<int16_t>(t);
    }
}

}  // namespace tessin

using tessin::PcmResult;
using tessin::ServicesState;

namespace tessin {
namespace {

int FormatInfo(const char* tmatsPath, PCM_FORMAT_INFO** formats) {
    ServicesState& s = State().services;
    s.lastError[0] = '\0';
    if (!formats) return -1;
    SettlePreviousResult(s);
    OpenUtilitiesLog();
    s.filter = "GRPDBC";
    int result = -1;
    if (ReadTMATS(tmatsPath, 1) != 0) {
        SetLastError("GetPCMFormatInfo: Error reading TMATS file %s.", PrintablePath(tmatsPath));
    } else {
        s.current.reset(new (std::nothrow) PcmResult());
        if (s.current) {
            try {
                result = BuildResult(*s.current, tmatsPath);
            } catch (...) {
                // An array the text asks for that cannot be had.
                result = -1;
            }
            s.current->Publish();
            s.current->failed = result < 0;
        }
    }
    if (result >= 0) *formats = result > 0 ? s.current->formats.data() : nullptr;
    FlushUtilitiesLog();
    return result;
}

// Whatever failed outside the passes: the arrays built so far stay for
// FreePCMFormatInfo, marked failed so the next call releases them.
void FormatInfoFailed() {
    ServicesState& s = State().services;
    if (s.current) {
        s.current->Publish();
        s.current->failed = true;
    }
    FlushUtilitiesLog();
}

}  // namespace
}  // namespace tessin

TESSIN_API int ORVANE_CDECL GetPCMFormatInfo(const char* tmatsPath, PCM_FORMAT_INFO** formats) {
    return tessin::CallGuarded(-1, [&] { return tessin::FormatInfo(tmatsPath, formats); },
                               tessin::FormatInfoFailed);
}

TESSIN_API int ORVANE_CDECL FreePCMFormatInfo(void) {
    return tessin::CallGuarded(-1, [] {
        ServicesState& s = tessin::State().services;
        s.lastError[0] = '\0';
        if (!s.current) return 0;
        PcmResult& r = *s.current;
        if (!r.buses.empty()) tessin::FreeBusInfo(r);
        if (r.formats.empty()) {
            if (r.Empty()) s.current.reset();
            return 0;
        }
        if (tessin::GuardsBroken(r.formats)) {
            tessin::SetLastError("FreePCMFormatInfo: Invalid PCM Format Info pointer.");
            return -1;
        }
        for (PCM_FORMAT_INFO& f : r.formats) {
            std::free(f.Reserved2);
            std::free(f.Reserved3);
        }
        r.formats.clear();
        r.formatArrays.clear();
        tessin::DropSharedWhenUnused(r);
        if (r.Empty()) s.current.reset();
        return 0;
    });
}

TESSIN_API char* ORVANE_CDECL GetErrMsg(void) { return tessin::State().services.lastError; }
