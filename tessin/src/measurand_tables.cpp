// Measurand database tables: the measurand, sample and word-location
// definitions of a TMATS file, linked to each other and to their pair sets.
#include "measurand_tables.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>
#include <unordered_map>

#include "platform/numbers.h"
#include "tmats_fields.h"

namespace tessin {
namespace {

constexpr std::size_t kJoinBuffer = 256;

template <std::size_t N>
std::string_view Text(const char (&field)[N]) {
    return std::string_view(field, strnlen(field, N));
}

template <std::size_t N>
void Put(char (&field)[N], std::string_view text) {
    std::string copy(text);
    CopyField(field, N, copy.c_str());
}

// Name -> index of its first row, built once per table.
// The keys view the rows: they must outlive the index.
template <class Record, class Key>
std::unordered_map<std::string_view, int32_t> FirstIndex(const Record* rows, std::size_t count, Key key) {
    std::unordered_map<std::string_view, int32_t> index;
    for (std::size_t i = 0; i < count; ++i) index.emplace(key(rows[i]), static_cast<int32_t>(i));
    return index;
}

template <class Record, class Key>
std::unordered_map<std::string_view, int32_t> FirstIndex(const std::vector<Record>& rows, Key key) {
    return FirstIndex(rows.data(), rows.size(), key);
}

int32_t Find(const std::unordered_map<std::string_view, int32_t>& index, std::string_view name) {
    auto it = index.find(name);
    return it == index.end() ? -1 : it->second;
}

int32_t Count(int16_t n) { return n > 0 ? n : 0; }

struct Shared {
    const MEASURAND_INFO* measurands = nullptr;
    int32_t numMeasurands = 0;
    const EUCM_HISTORY_INFO* history = nullptr;
    int32_t numHistory = 0;
    const EUCM_INFO* eucm = nullptr;
    int32_t numEucm = 0;
    const POLYNOMIAL_INFO* polynomials = nullptr;
    int32_t numPolynomials = 0;
    const PAIR_SET_INFO* pairSets = nullptr;
    int32_t numPairSets = 0;
    const PAIR_INFO* pairs = nullptr;
    int32_t numPairs = 0;
};

template <class Record>
Shared SharedOf(const Record& r) {
    Shared s;
    s.measurands = r.MeasurandEntries;
    s.numMeasurands = s.measurands ? Count(r.NumMeasurandEntries) : 0;
    s.history = r.EUCMHistoryEntries;
    s.numHistory = s.history ? Count(r.NumEUCMHistoryEntries) : 0;
    s.eucm = r.EUCMEntries;
    s.numEucm = s.eucm ? Count(r.NumEUCMEntries) : 0;
    s.polynomials = r.PolynomialEntries;
    s.numPolynomials = s.polynomials ? Count(r.NumPolynomialEntries) : 0;
    s.pairSets = r.PairSetEntries;
    s.numPairSets = s.pairSets ? Count(r.NumPairSetEntries) : 0;
    s.pairs = r.PairEntries;
    s.numPairs = s.pairs ? Count(r.NumPairEntries) : 0;
    return s;
}

// Pair sets and their pairs, both sorted by name, joined in one forward pass.
void BuildPairTables(const Shared& sh, MeasurandTables& t) {
    if (sh.numPairSets == 0 || sh.numPairs == 0) return;
    t.pairs.resize(static_cast<std::size_t>(sh.numPairs));
    for (int32_t i = 0; i < sh.numPairs; ++i) {
        PairDetail& d = t.pairs[static_cast<std::size_t>(i)];
        d = PairDetail{};
        Put(d.Name, Text(sh.pairs[i].MeasurandName));
        d.PairNumber = sh.pairs[i].PairNumber;
        d.EngineeringValue = sh.pairs[i].EngineeringValue;
        d.TelemetryValue = sh.pairs[i].TelemetryValue;
    }
    std::stable_sort(t.pairs.begin(), t.pairs.end(), [](const PairDetail& a, const PairDetail& b) {
        int c = std::strcmp(a.Name, b.Name);
        return c != 0 ? c < 0 : a.PairNumber < b.PairNumber;
    });
    t.pairSets.resize(static_cast<std::size_t>(sh.numPairSets));
    for (int32_t i = 0; i < sh.numPairSets; ++i) {
        DB_IP_HDR& h = t.pairSets[static_cast<std::size_t>(i)];
        h = DB_IP_HDR{};
        Put(h.Name, Text(sh.pairSets[i].MeasurandName));
        h.Kind = sh.pairSets[i].Kind;
        Put(h.Name2, Text(sh.pairSets[i].MeasurandName2));
        h.FirstDetail = -1;
    }
    std::stable_sort(t.pairSets.begin(), t.pairSets.end(),
                     [](const DB_IP_HDR& a, const DB_IP_HDR& b) { return std::strcmp(a.Name, b.Name) < 0; });
    std::size_t j = 0;
    for (DB_IP_HDR& h : t.pairSets) {
        for (; j < t.pairs.size(); ++j) {
            int c = std::strcmp(t.pairs[j].Name, h.Name);
            if (c > 0) break;
            if (c < 0) continue;
            if (h.Count == 0) h.FirstDetail = static_cast<int32_t>(j);
            if (h.Count < INT16_MAX) ++h.Count;
        }
    }
}

void BuildDefinitions(const Shared& sh, MeasurandTables& t) {
    auto history = FirstIndex(sh.history, static_cast<std::size_t>(sh.numHistory),
                              [](const EUCM_HISTORY_INFO& h) { return Text(h.MeasID); });
    auto byName = [](const auto& r) { return Text(r.EUCMID); };
    auto eucm = FirstIndex(sh.eucm, static_cast<std::size_t>(sh.numEucm), byName);
    auto polynomials = FirstIndex(sh.polynomials, static_cast<std::size_t>(sh.numPolynomials), byName);
    auto pairSets = FirstIndex(t.pairSets, [](const DB_IP_HDR& h) { return Text(h.Name); });
    for (int32_t i = 0; i < sh.numMeasurands; ++i) {
        const MEASURAND_INFO& m = sh.measurands[i];
        DB_TDEF_MEAS& d = t.meas[static_cast<std::size_t>(i)];
        Put(d.Name, Text(m.MeasID));
        Put(d.Name2, Text(m.MeasID));
        d.Kind = 'M';
        d.Type = m.Type;
        d.ConversionClass = m.FormatClass;
        d.EULowValue = m.EULowValue;
        d.EUHighValue = m.EUHighValue;
        Put(d.EUName, Text(m.EUName));
        d.ConversionType = 'R';
        int32_t h = Find(history, Text(m.MeasID));
        int32_t e = h < 0 ? -1 : Find(eucm, Text(sh.history[h].EUCMID));
        if (e < 0) continue;
        const EUCM_INFO& conv = sh.eucm[e];
        Put(d.EUCMID, Text(conv.EUCMID));
        d.ConversionType = conv.Type;
        if (conv.Type == 'P') {
            d.ConversionClass = 5;
            int32_t p = Find(polynomials, Text(conv.EUCMID));
            if (p < 0) continue;
            const POLYNOMIAL_INFO& poly = sh.polynomials[p];
            d.CoefficientCount = poly.Count >= 0 && poly.Count <= 10 ? poly.Count : 0;
            for (int k = 0; k < d.CoefficientCount; ++k) d.Coefficients[k] = poly.A[k];
        } else if (conv.Type == 'I' && !t.pairSets.empty()) {
            d.ConversionClass = 5;
            int32_t p = Find(pairSets, Text(conv.EUCMID));
            if (p >= 0) d.PairSet = &t.pairSets[static_cast<std::size_t>(p)];
        }
    }
    for (std::size_t i = 0; i < t.meas.size(); ++i) {
        DB_MEAS_LIST_ENTRY& l = t.list[i];
        Put(l.Name, Text(t.meas[i].Name));
        Put(l.Name2, Text(t.meas[i].Name));
        l.Kind = 'M';
        l.Class = t.meas[i].ConversionClass == 5 ? 'G' : 'D';
    }
}

void AddSample(MeasurandTables& t, const DB_SAMPLES_INFO& s, bool bus) {
    DB_TDEF_SAMPLE& d = t.samples.emplace_back();
    d = DB_TDEF_SAMPLE{};
    Put(d.Name, Text(s.SampleID));
    d.Type = s.Type;
    d.Size = s.Size;
    d.Spare = s.Spare;
    if (!bus) return;
    Put(d.SourceName, Text(s.SourceName));
    d.DirectionOrSDI = static_cast<int16_t>(s.DirectionOrSDI & 0xFFFF);
    d.CommandWordOrLabel = static_cast<int16_t>(s.CommandWordOrLabel & 0xFFFF);
    d.LocationKind = static_cast<int16_t>(s.LocationKind & 0xFFFF);
    d.WordNumber = static_cast<int16_t>(s.WordNumber & 0xFFFF);
}

void AddLocation(MeasurandTables& t, const DB_MEASRU_INFO& m) {
    DB_TDEF_MEASRU& d = t.measru.emplace_back();
    d = DB_TDEF_MEASRU{};
    Put(d.Name, Text(m.MeasID));
    Put(d.ElemID, Text(m.ElemID));
    d.ElemNum = m.ElemNum;
    d.FBit = m.FBit;
    d.LBit = m.LBit;
    d.DataType = m.DataType;
    d.Kind = m.Kind;
}

void LinkLocations(MeasurandTables& t) {
    auto meas = FirstIndex(t.meas, [](const DB_TDEF_MEAS& m) { return Text(m.Name); });
    auto samples = FirstIndex(t.samples, [](const DB_TDEF_SAMPLE& s) { return Text(s.Name); });
    for (std::size_t i = 0; i < t.measru.size(); ++i) {
        DB_TDEF_MEASRU& r = t.measru[i];
        if (r.Kind == 'S') {
            int32_t s = Find(samples, Text(r.ElemID));
            if (s >= 0) r.ElemSample = &t.samples[static_cast<std::size_t>(s)];
        } else {
            int32_t m = Find(meas, Text(r.ElemID));
            if (m >= 0) r.ElemMeas = &t.meas[static_cast<std::size_t>(m)];
        }
        int32_t own = Find(meas, Text(r.Name));
        if (own >= 0) r.Meas = &t.meas[static_cast<std::size_t>(own)];
        bool runGoesOn = i + 1 < t.measru.size() && std::strcmp(t.measru[i + 1].Name, r.Name) == 0;
        r.Next = runGoesOn ? &t.measru[i + 1] : nullptr;
        r.LastOfMeasurand = runGoesOn ? 0 : 1;
    }
    auto firstLocation = FirstIndex(t.measru, [](const DB_TDEF_MEASRU& r) { return Text(r.Name); });
    for (DB_TDEF_MEAS& m : t.meas) {
        int32_t f = Find(firstLocation, Text(m.Name));
        m.FirstMeasRU = f >= 0 ? &t.measru[static_cast<std::size_t>(f)] : nullptr;
    }
    for (DB_TDEF_SAMPLE& s : t.samples) {
        int32_t f = Find(firstLocation, Text(s.Name));
        s.FirstMeasRU = f >= 0 ? &t.measru[static_cast<std::size_t>(f)] : nullptr;
    }
}

// "concat(a, b, c)" cut to 255 characters; ")" only while there is room.
std::string JoinText(const DB_TDEF_MEASRU* first, int32_t count) {
    if (count == 1) return std::string(Text(first->ElemID));
    std::string text = "concat(";
    for (int32_t k = 0; k < count; ++k) {
        if (k > 0) text += ", ";
        text += Text(first[k].ElemID);
    }
    if (text.size() >= kJoinBuffer - 1) return text.substr(0, kJoinBuffer - 1);
    return text + ")";
}

void BuildJoins(MeasurandTables& t) {
    t.joins.resize(t.meas.size());
    t.joinTexts.resize(t.meas.size());
    t.fragments.resize(t.meas.size());
    for (std::size_t i = 0; i < t.meas.size(); ++i) {
        DB_TDEF_MEAS& m = t.meas[i];
        t.list[i].FirstMeasRU = m.FirstMeasRU;
        DB_TDEF_JOIN& j = t.joins[i];
        j = DB_TDEF_JOIN{};
        m.Join = &j;
        int32_t count = 0;
        for (const DB_TDEF_MEASRU* r = m.FirstMeasRU; r; r = r->Next) ++count;
        std::string text = count > 0 ? JoinText(m.FirstMeasRU, count) : std::string();
        t.joinTexts[i].reset(new char[text.size() + 1]);
        std::memcpy(t.joinTexts[i].get(), text.c_str(), text.size() + 1);
        j.Text = t.joinTexts[i].get();
        j.TextLength = static_cast<int16_t>(text.size());
        std::vector<DB_TDEF_FRAGMENT>& frags = t.fragments[i];
        frags.resize(static_cast<std::size_t>(count));
        const DB_TDEF_MEASRU* r = m.FirstMeasRU;
        for (int32_t k = 0; k < count; ++k, r = r->Next) {
            DB_TDEF_FRAGMENT& f = frags[static_cast<std::size_t>(k)];
            std::memset(&f, 0, sizeof f);
            f.Kind = r->Kind;
            f.DataType = r->DataType;
            f.FBit = r->FBit;
            f.LBit = r->LBit;
            if (r->Kind == 'C') f.Value.Constant = platform::DecimalToDouble(Text(r->ElemID));
            else if (r->Kind == 'M' || r->Kind == 'S') Put(f.Value.ElemID, Text(r->ElemID));
        }
        j.FragmentCount = static_cast<int16_t>(std::min<int32_t>(count, INT16_MAX));
        j.Fragments = frags.empty() ? nullptr : frags.data();
    }
}

}  // namespace

std::string BuildMeasurandTables(const PCM_FORMAT_INFO* formats, int formatCount, const BUS_INFO* buses,
                                 int busCount, MeasurandTables& t) {
    if (!formats) formatCount = 0;
    if (!buses) busCount = 0;
    Shared sh = busCount > 0 ? SharedOf(buses[0]) : formatCount > 0 ? SharedOf(formats[0]) : Shared{};
    std::size_t numSamples = 0, numLocations = 0;
    for (int i = 0; i < formatCount; ++i) {
        if (formats[i].SampleEntries) numSamples += formats[i].NumSampleEntries;
        if (formats[i].MeasRUEntries) numLocations += formats[i].NumMeasRUEntries;
    }
    for (int i = 0; i < busCount; ++i) {
        if (buses[i].SampleEntries) numSamples += buses[i].NumSampleEntries;
        if (buses[i].MeasRUEntries) numLocations += buses[i].NumMeasRUEntries;
    }
    if (sh.numMeasurands == 0 || numSamples == 0 || numLocations == 0)
        return "ProcessTMATS: No Measurand Entries in TMATS file.";
    try {
        t.meas.resize(static_cast<std::size_t>(sh.numMeasurands));
        t.list.resize(t.meas.size());
    } catch (const std::bad_alloc&) {
        return "ProcessTMATS: Error allocating DB_TDEF_MEAS structures.";
    }
    try {
        t.samples.reserve(numSamples);
        t.measru.reserve(numLocations);
    } catch (const std::bad_alloc&) {
        return "ProcessTMATS: Error allocating DB_TDEF_MEASRU/DB_TDEF_SAMPLE structures.";
    }
    try {
        BuildPairTables(sh, t);
    } catch (const std::bad_alloc&) {
        return "ProcessTMATS: Error allocating DB_IP_HDR/DB_IP_DTL structures.";
    }
    BuildDefinitions(sh, t);
    for (int i = 0; i < formatCount; ++i)
        for (int k = 0; formats[i].SampleEntries && k < formats[i].NumSampleEntries; ++k)
            AddSample(t, formats[i].SampleEntries[k], false);
    for (int i = 0; i < busCount; ++i)
        for (int k = 0; buses[i].SampleEntries && k < buses[i].NumSampleEntries; ++k)
            AddSample(t, buses[i].SampleEntries[k], true);
    for (int i = 0; i < formatCount; ++i)
        for (int k = 0; formats[i].MeasRUEntries && k < formats[i].NumMeasRUEntries; ++k)
            AddLocation(t, formats[i].MeasRUEntries[k]);
    for (int i = 0; i < busCount; ++i)
        for (int k = 0; buses[i].MeasRUEntries && k < buses[i].NumMeasRUEntries; ++k)
            AddLocation(t, buses[i].MeasRUEntries[k]);
    LinkLocations(t);
    BuildJoins(t);
    return "";
}

}  // namespace tessin
