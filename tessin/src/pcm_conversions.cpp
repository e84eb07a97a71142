// The C group: measurands and their conversions, one set of tables shared
// by every format and bus of the result.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "pcm_format.h"
#include "platform/format.h"
#include "platform/numbers.h"
#include "platform/text.h"
#include "tmats_fields.h"

namespace tessin {
namespace {

constexpr int32_t kMaxPosition = 32767;  // the i16 counts

struct ConversionWalk {
    SharedTables& t;
    PcmResult& result;
    int32_t measurand = 0;
    int32_t eucm = 0;
    int32_t polynomial = 0;
    int32_t pairSet = 0;
    int32_t discreteBase = 0;
    int32_t pairBase = 0;
    int32_t sets = 0;
    bool raw = false;
    bool converted = false;
    bool coefficients = false;
    bool pairSets = false;
    bool setsSeen = false;  // discretes or pairs
    // MeasID -> the formats' word locations, made at the first BFM.
    std::multimap<std::string, DB_MEASRU_INFO*> locations;
    bool locationsIndexed = false;

    ConversionWalk(SharedTables& tables, PcmResult& r) : t(tables), result(r) {}
};

// The entry at `at`, the table grown zero-filled to hold it; NULL past the
// i16 counts.
template <class T>
T* At(std::vector<T>& table, int64_t at) {
    if (at < 0 || at > kMaxPosition) return nullptr;
    if (static_cast<std::size_t>(at) >= table.size()) table.resize(static_cast<std::size_t>(at) + 1);
    return &table[static_cast<std::size_t>(at)];
}

template <class T>
void ZeroFrom(std::vector<T>& table, int64_t at, int64_t count) {
    for (int64_t i = at; i < at + count && i < static_cast<int64_t>(table.size()); ++i)
        if (i >= 0) table[static_cast<std::size_t>(i)] = T{};
}

MEASURAND_INFO& Current(ConversionWalk& w) { return *At(w.t.measurands, w.measurand); }

bool StartsNoCase(const char* value, const char* prefix) {
    std::size_t n = std::strlen(prefix);
    return strnlen(value, n) == n && platform::AsciiEqualsNoCase(std::string_view(value, n), prefix);
}

// The finished measurand moves the positions on; a raw one's place is used
// again, cleared so the next inherits nothing.
void Close(ConversionWalk& w) {
    if (w.raw) {
        Current(w) = MEASURAND_INFO{};
        ZeroFrom(w.t.history, w.eucm, 1);
        ZeroFrom(w.t.eucm, w.eucm, 1);
        ZeroFrom(w.t.polynomials, w.polynomial, 1);
        ZeroFrom(w.t.pairSets, w.pairSet, 1);
        ZeroFrom(w.t.discretes, w.discreteBase, w.sets);
        ZeroFrom(w.t.pairs, w.pairBase, w.sets);
    } else {
        w.measurand = std::min(w.measurand + 1, kMaxPosition);
        if (w.converted) w.eucm = std::min(w.eucm + 1, kMaxPosition);
        if (w.coefficients) w.polynomial = std::min(w.polynomial + 1, kMaxPosition);
        if (w.pairSets) w.pairSet = std::min(w.pairSet + 1, kMaxPosition);
        if (w.setsSeen) {
            w.discreteBase = std::min(w.discreteBase + w.sets, kMaxPosition);
            w.pairBase = std::min(w.pairBase + w.sets, kMaxPosition);
        }
    }
    w.raw = w.converted = w.coefficients = w.pairSets = w.setsSeen = false;
    w.sets = 0;
}

int16_t BinaryFormatCode(const char* value) {
    static constexpr std::pair<const char*, int16_t> kCodes[] = {{"TWO", 1}, {"OFF", 2}, {"BCD", 3}, {"ONE", 4},
                                                                 {"FPT", 5}, {"OTH", 6}, {"SIG", 7}, {"SIM", 10}};
    for (auto [name, code] : kCodes)
        if (StartsNoCase(value, name)) return code;
    return 0;
}

int16_t FormatClass(int16_t code) {
    switch (code) {
    case 0: case 3: return 0;
    case 1: case 2: case 4: case 7: case 10: return 1;
    default: return 5;
    }
}

void SetBinaryFormat(ConversionWalk& w, const char* value) {
    if (!w.locationsIndexed) {
        for (FormatArrays& a : w.result.formatArrays)
            for (DB_MEASRU_INFO& m : a.measru) w.locations.emplace(m.MeasID, &m);
        w.locationsIndexed = true;
    }
    MEASURAND_INFO& meas = Current(w);
    int16_t code = BinaryFormatCode(value);
    auto [first, last] = w.locations.equal_range(meas.MeasID);
    for (auto it = first; it != last; ++it) {
        it->second->DataType = code;
        meas.FormatClass = FormatClass(code);
    }
}

void SetEffectiveDate(ConversionWalk& w, const char* value) {
    int month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
    std::sscanf(value, "%d-%d-%d-%d-%d-%d", &month, &day, &year, &hour, &minute, &second);
    EUCM_HISTORY_INFO* h = At(w.t.history, w.eucm);
    if (!h) return;
    // Negative fields run longer than the field: cut, never overrun.
    std::string text = platform::Format("%04d/%02d/%02d %02d:%02d:%02d", year % 10000, month % 100, day % 100,
                                        hour % 100, minute % 100, second % 100);
    CopyField(h->EffDateTime, sizeof h->EffDateTime, text.c_str());
}

void SetConversionType(ConversionWalk& w, const char* value) {
    MEASURAND_INFO& meas = Current(w);
    EUCM_INFO* eucm = At(w.t.eucm, w.eucm);
    if (!eucm) return;
    CopyField(eucm->EUCMID, sizeof eucm->EUCMID, meas.MeasID);
    if (StartsNoCase(value, "PRS")) {
        eucm->Type = 'I';
        w.pairSets = true;
        if (PAIR_SET_INFO* set = At(w.t.pairSets, w.pairSet)) {
            CopyField(set->MeasurandName, sizeof set->MeasurandName, meas.MeasID);
            set->Kind = 'P';
            CopyField(set->MeasurandName2, sizeof set->MeasurandName2, meas.MeasID);
        }
    } else if (StartsNoCase(value, "COE")) {
        eucm->Type = 'P';
        w.coefficients = true;
        if (POLYNOMIAL_INFO* p = At(w.t.polynomials, w.polynomial)) {
            CopyField(p->EUCMID, sizeof p->EUCMID, meas.MeasID);
            p->Count = 2;
            p->A[0] = 0;
            p->A[1] = 1;
        }
    } else if (StartsNoCase(value, "DIS")) {
        eucm->Type = 'T';
    } else {
        eucm->Type = 'R';
        if (StartsNoCase(value, "DER")) meas.Type = 6;
    }
    if (eucm->Type == 'R') return;
    EUCM_HISTORY_INFO* h = At(w.t.history, w.eucm);
    CopyField(h->MeasID, sizeof h->MeasID, meas.MeasID);
    CopyField(h->EUCMID, sizeof h->EUCMID, meas.MeasID);
    w.converted = true;
}

void SetPair(ConversionWalk& w, const TmatsEntry& e) {
    int32_t i = e.index[0];
    if (i < 1 || i > w.sets) return;
    PAIR_INFO* p = At(w.t.pairs, static_cast<int64_t>(w.pairBase) + i - 1);
    if (!p) return;
    double v = platform::DecimalToDouble(e.value);
    (e.id == 39 ? p->TelemetryValue : p->EngineeringValue) = v;
    p->PairNumber = static_cast<int16_t>(i);
    CopyField(p->MeasurandName, sizeof p->MeasurandName, Current(w).MeasID);
}

void SetDiscrete(ConversionWalk& w, const TmatsEntry& e) {
    int32_t i = e.index[0];
    if (i < 1 || i > w.sets) return;
    DISCRETE_INFO* d = At(w.t.discretes, static_cast<int64_t>(w.discreteBase) + i - 1);
    if (!d) return;
    if (e.id == 53) {
        CopyField(d->ParameterText, 21, e.value);
        return;
    }
    CopyField(d->MeasurandName, sizeof d->MeasurandName, Current(w).MeasID);
    d->Kind = 7;
    d->Flag = 0;
    d->Count = static_cast<int16_t>(DecimalValue(e.value));
}

void Apply(ConversionWalk& w, const TmatsEntry& e) {
    MEASURAND_INFO& meas = Current(w);
    const char* v = e.value;
    switch (e.id) {
    case 0:
        CopyField(meas.MeasID, sizeof meas.MeasID, v);
        w.raw = false;
        break;
    case 1: meas.Type = StartsNoCase(v, "bus") ? 1 : (StartsNoCase(v, "digital") ? 3 : 2); break;
    case 12: CopyField(meas.Description, sizeof meas.Description, v); break;
    case 15: CopyField(meas.EUName, sizeof meas.EUName, v); break;
    case 27: meas.EUHighValue = platform::DecimalToDouble(v); break;
    case 28: meas.EULowValue = platform::DecimalToDouble(v); break;
    case 17: SetBinaryFormat(w, v); break;
    case 34: SetEffectiveDate(w, v); break;
    case 35: SetConversionType(w, v); break;
    case 36:
        w.sets = std::clamp(DecimalValue(v), 0, kMaxPosition);
        w.setsSeen = true;
        break;
    case 39: case 40: SetPair(w, e); break;
    case 41:
        w.coefficients = true;
        if (POLYNOMIAL_INFO* p = At(w.t.polynomials, w.polynomial))
            p->Count = static_cast<int16_t>(static_cast<int64_t>(DecimalValue(v)) + 1);
        break;
    case 42:
        w.coefficients = true;
        if (POLYNOMIAL_INFO* p = At(w.t.polynomials, w.polynomial); p && e.index[0] < 10)
            p->A[e.index[0]] = platform::DecimalToDouble(v);
        break;
    case 50:
        w.sets = std::clamp(DecimalValue(v), 0, kMaxPosition);
        w.setsSeen = true;
        break;
    case 52: case 53: SetDiscrete(w, e); break;
    case 60: w.raw = std::strncmp(v, "RAW", 3) == 0; break;
    default: break;
    }
}

template <class T>
void Reserve(std::vector<T>& table, int64_t entries) {
    table.resize(static_cast<std::size_t>(std::min<int64_t>(entries, kMaxPosition + 1)));
}

}  // namespace

PassResult BuildConversions(PcmResult& result, EntryRange c) {
    SharedTables& t = result.shared;
    int64_t groups = CountGroups(c);
    Reserve(t.measurands, groups);
    Reserve(t.history, groups);
    Reserve(t.eucm, groups);
    Reserve(t.polynomials, groups);
    Reserve(t.discretes, 2 * groups);
    Reserve(t.pairSets, groups);
    Reserve(t.pairs, 10 * groups);
    ConversionWalk w(t, result);
    int32_t group = c.count > 0 ? c.first->group : 0;
    for (const TmatsEntry& e : c) {
        if (e.group != group) {
            Close(w);
            group = e.group;
        }
        Apply(w, e);
    }
    Close(w);
    // Every shared table holds at least the entries its count reports.
    At(t.measurands, w.measurand - 1);
    At(t.history, w.measurand - 1);
    At(t.eucm, w.measurand - 1);
    At(t.polynomials, w.measurand - 1);
    At(t.discretes, w.discreteBase - 1);
    At(t.pairSets, w.pairSet - 1);
    At(t.pairs, w.pairBase - 1);
    t.numMeasurands = static_cast<int16_t>(w.measurand);
    t.numDiscretes = static_cast<int16_t>(w.discreteBase);
    t.numPairSets = static_cast<int16_t>(w.pairSet);
    t.numPairs = static_cast<int16_t>(w.pairBase);
    return PassResult::Ok;
}

}  // namespace tessin
