// The D and C groups of a written TMATS text: where each measurement sits
// in the frame, and how each measurand converts.
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/format.h"
#include "tmats_writer.h"

namespace tessin {
namespace {

// Word position and frame of one location of a sample.
struct Place {
    int word;
    int frame;  // 1 in the main frame
};

template <class T>
int Count(const T* p, int n) {
    return p && n > 0 ? n : 0;
}

// Main-frame words of type '1' named `name`, then subcom frames naming it
// whose subcom has a main-frame word of type '2'. There is one entry per
// word, so the position is the entry's place: `Num` is left 0 on words that
// carry a subcom or the frame counter.
std::vector<Place> PlacesOf(const PCM_FORMAT_INFO& f, const std::string& name) {
    std::vector<Place> places;
    int words = Count(f.MainframeEntries, f.NumMainframeEntries);
    for (int w = 0; w < words; ++w) {
        const MAINFRAME_INFO& m = f.MainframeEntries[w];
        if (m.Type == '1' && FieldText(m.ID) == name) places.push_back({w + 1, 1});
    }
    int subcoms = Count(f.Subcoms, f.NumSubcoms);
    for (int s = 0; s < subcoms; ++s) {
        const SUBCOM_INFO& sub = f.Subcoms[s];
        if (!sub.Details) continue;
        int carrier = 0;
        for (int w = 0; w < words && carrier == 0; ++w) {
            const MAINFRAME_INFO& m = f.MainframeEntries[w];
            if (m.Type == '2' && FieldText(m.ID) == FieldText(sub.ID)) carrier = w + 1;
        }
        if (carrier == 0) continue;
        for (int d = 0; d < Count(sub.Details, f.NumFrames); ++d)
            if (FieldText(sub.Details[d].SampleID) == name) places.push_back({carrier, sub.Details[d].Frame});
    }
    return places;
}

const DB_SAMPLES_INFO* SampleNamed(const PCM_FORMAT_INFO& f, const std::string& name) {
    for (int k = 0; k < Count(f.SampleEntries, f.NumSampleEntries); ++k)
        if (FieldText(f.SampleEntries[k].SampleID) == name) return &f.SampleEntries[k];
    return nullptr;
}

struct Fragment {
    const DB_MEASRU_INFO* location;
    const DB_SAMPLES_INFO* sample;
    Place place;
};

struct Composite {
    std::string name;
    int bits = 0;
    std::vector<Fragment> fragments;
};

bool IsComposite(const DB_MEASRU_INFO& r) {
    std::string meas = FieldText(r.MeasID), elem = FieldText(r.ElemID);
    return !meas.empty() && !elem.empty() && meas != elem;
}

// Runs of one MeasID made of other samples; a run with a fragment that
// names no sample or has no place is left out.
std::vector<Composite> Composites(const PCM_FORMAT_INFO& f, const std::vector<DB_MEASRU_INFO>& sorted) {
    std::vector<Composite> out;
    for (std::size_t i = 0; i < sorted.size();) {
        std::size_t end = i + 1;
        while (end < sorted.size() && FieldText(sorted[end].MeasID) == FieldText(sorted[i].MeasID)) ++end;
        Composite c;
        c.name = FieldText(sorted[i].MeasID);
        bool usable = true;
        for (std::size_t k = i; k < end && usable; ++k) {
            const DB_MEASRU_INFO& r = sorted[k];
            if (!IsComposite(r)) continue;
            const DB_SAMPLES_INFO* sample = SampleNamed(f, FieldText(r.ElemID));
            std::vector<Place> places = sample ? PlacesOf(f, FieldText(r.ElemID)) : std::vector<Place>{};
            if (places.empty()) {
                usable = false;
                break;
            }
            if (r.LBit >= r.FBit) c.bits += r.LBit - r.FBit + 1;
            c.fragments.push_back({&r, sample, places.front()});
        }
        if (usable && !c.fragments.empty() && c.bits > 0) out.push_back(std::move(c));
        i = end;
    }
    return out;
}

void AppendMeasurementHead(std::string& out, int a, int m, const std::string& name) {
    platform::AppendFormat(out, "D-%d\\MN-1-%d:%s;\nD-%d\\MN1-1-%d:DE;\nD-%d\\MN2-1-%d:D;\n", a, m, name.c_str(), a,
                           m, a, m);
    platform::AppendFormat(out, "D-%d\\MN3-1-%d:M;\nD-%d\\LT-1-%d:WDFR;\n", a, m, a, m);
}

void AppendSampleLocations(std::string& out, const PCM_FORMAT_INFO& f, int a, int m,
                           const std::vector<Place>& places) {
    platform::AppendFormat(out, "D-%d\\MML\\N-1-%d:%d;\n", a, m, static_cast<int>(places.size()));
    int o = 0;
    for (const Place& p : places) {
        ++o;
        platform::AppendFormat(out, "D-%d\\MNF\\N-1-%d-%d:1;\nD-%d\\MWL\\N-1-%d-%d:%d;\n", a, m, o, a, m, o,
                               f.WordLength);
        platform::AppendFormat(out, "D-%d\\WP-1-%d-%d-1:%d;\nD-%d\\WI-1-%d-%d-1:0;\nD-%d\\FP-1-%d-%d-1:%d;\n", a, m, o,
                               p.word, a, m, o, a, m, o, p.frame);
        platform::AppendFormat(out, "D-%d\\FI-1-%d-%d-1:0;\nD-%d\\WFM-1-%d-%d-1:FW;\nD-%d\\WFT-1-%d-%d-1:M;\n", a, m,
                               o, a, m, o, a, m, o);
        platform::AppendFormat(out, "D-%d\\WFP-1-%d-%d-1:%d;\n", a, m, o, 1);
    }
}

void AppendComposite(std::string& out, int a, int m, const Composite& c) {
    AppendMeasurementHead(out, a, m, c.name);
    platform::AppendFormat(out, "D-%d\\MML\\N-1-%d:%d;\nD-%d\\MNF\\N-1-%d-1:%d;\nD-%d\\MWL\\N-1-%d-1:%d;\n", a, m, 1,
                           a, m, static_cast<int>(c.fragments.size()), a, m, c.bits);
    int e = 0;
    for (const Fragment& fr : c.fragments) {
        ++e;
        platform::AppendFormat(out, "D-%d\\WP-1-%d-1-%d:%d;\nD-%d\\WI-1-%d-1-%d:0;\nD-%d\\FP-1-%d-1-%d:%d;\n", a, m,
                               e, fr.place.word, a, m, e, a, m, e, fr.place.frame);
        platform::AppendFormat(out, "D-%d\\FI-1-%d-1-%d:0;\nD-%d\\WFM-1-%d-1-%d:%s;\nD-%d\\WFT-1-%d-1-%d:M;\n", a, m,
                               e, a, m, e, make_word_mask(fr.sample->Size, fr.location->FBit, fr.location->LBit), a,
                               m, e);
        platform::AppendFormat(out, "D-%d\\WFP-1-%d-1-%d:%d;\n", a, m, e, e);
    }
}

const char* FormatWord(int dataType) {
    static const char* const kWords[] = {"UNS", "TWO", "OFF", "BCD", "ONE", "FPT", "OTH", "SIG"};
    return dataType >= 0 && dataType <= 7 ? kWords[dataType] : "OTH";
}

void AppendConversion(std::string& out, const PCM_FORMAT_INFO& f, int a, const std::string& name) {
    const EUCM_HISTORY_INFO* history = nullptr;
    for (int k = 0; k < Count(f.EUCMHistoryEntries, f.NumEUCMHistoryEntries) && !history; ++k)
        if (FieldText(f.EUCMHistoryEntries[k].MeasID) == name) history = &f.EUCMHistoryEntries[k];
    const EUCM_INFO* eucm = nullptr;
    for (int k = 0; history && k < Count(f.EUCMEntries, f.NumEUCMEntries) && !eucm; ++k)
        if (FieldText(f.EUCMEntries[k].EUCMID) == FieldText(history->EUCMID)) eucm = &f.EUCMEntries[k];
    if (!eucm || eucm->Type == 'R' || eucm->Type == 'B') {
        platform::AppendFormat(out, "C-%d\\DCT:NON;\n", a);
        return;
    }
    int y, mo, d, h, mi, s;
    std::string when = FieldText(history->EffDateTime);
    if (std::sscanf(when.c_str(), "%04d/%02d/%02d %02d:%02d:%02d", &y, &mo, &d, &h, &mi, &s) == 6)
        platform::AppendFormat(out, "C-%d\\CRT:%02d-%02d-%04d-%02d-%02d-%02d;\n", a, mo, d, y, h, mi, s);
    if (eucm->Type != 'P') return;
    for (int k = 0; k < Count(f.PolynomialEntries, f.NumPolynomialEntries); ++k) {
        const POLYNOMIAL_INFO& p = f.PolynomialEntries[k];
        if (FieldText(p.EUCMID) != FieldText(eucm->EUCMID)) continue;
        // Count includes A0.
        int c = p.Count < 1 ? 1 : p.Count > 10 ? 10 : p.Count;
        platform::AppendFormat(out, "C-%d\\DCT:COE;\nC-%d\\CO\\N:%d;\nC-%d\\CO1:N;\nC-%d\\CO:%.17g;\n", a, a, c - 1,
                               a, a, p.A[0]);
        for (int n = 1; n < c; ++n) platform::AppendFormat(out, "C-%d\\CO-%d:%.17g;\n", a, n, p.A[n]);
        return;
    }
}

}  // namespace

void AppendDataLinkGroup(std::string& out, const PCM_FORMAT_INFO& f, int a) {
    std::string ids = FieldText(f.FormatID) + "," + FieldText(f.FormatVersion) + "," + FieldText(f.FormatUnitID);
    platform::AppendFormat(out, "D-%d\\DLN:%s;\nD-%d\\ML\\N:1;\nD-%d\\MLN-1:%s;\n", a, ids.c_str(), a, a,
                           FieldText(f.FormatID).c_str());
    // A sample with no location carries no data, and beside a composite of
    // its name it would name one measurand twice: only located samples.
    std::vector<std::pair<std::string, std::vector<Place>>> located;
    for (int k = 0; k < Count(f.SampleEntries, f.NumSampleEntries) && f.SampleEntries[k].SampleID[0] != '\0'; ++k) {
        std::string name = FieldText(f.SampleEntries[k].SampleID);
        std::vector<Place> places = PlacesOf(f, name);
        if (!places.empty()) located.emplace_back(std::move(name), std::move(places));
    }
    std::vector<DB_MEASRU_INFO> sorted = SortedLocations(f);
    std::vector<Composite> composites = Composites(f, sorted);
    platform::AppendFormat(out, "D-%d\\MN\\N-1:%d;\n", a, static_cast<int>(located.size() + composites.size()));
    int m = 0;
    for (const auto& [name, places] : located) {
        AppendMeasurementHead(out, a, ++m, name);
        AppendSampleLocations(out, f, a, m, places);
    }
    for (const Composite& c : composites) AppendComposite(out, a, ++m, c);
}

void AppendConversionGroups(std::string& out, const PCM_FORMAT_INFO& f, const std::string& shortDate) {
    std::vector<DB_MEASRU_INFO> sorted = SortedLocations(f);
    for (int a = 1; a <= Count(f.MeasurandEntries, f.NumMeasurandEntries); ++a) {
        const MEASURAND_INFO& m = f.MeasurandEntries[a - 1];
        std::string name = FieldText(m.MeasID);
        std::string units = FieldText(m.EUName);
        platform::AppendFormat(out, "C-%d\\DCN:%s;\nC-%d\\TRD1:Digital;\nC-%d\\TRD5:%s;\nC-%d\\MN1:%s;\n", a,
                               name.c_str(), a, a, shortDate.c_str(), a, FieldText(m.Description).c_str());
        platform::AppendFormat(out, "C-%d\\MN3:%s;\n", a, units.empty() ? "NONE" : units.c_str());
        platform::AppendFormat(out, "C-%d\\MOT1:%.6f;\nC-%d\\MOT2:%.6f;\nC-%d\\MOT3:%.6f;\nC-%d\\MOT4:%.6f;\n", a,
                               m.EUHighValue, a, m.EULowValue, a, m.EUHighValue, a, m.EULowValue);
        const DB_MEASRU_INFO* location = nullptr;
        for (std::size_t k = 0; k < sorted.size() && !location; ++k)
            if (FieldText(sorted[k].MeasID) == name) location = &sorted[k];
        int dataType = location ? location->DataType : 0;
        platform::AppendFormat(out, "C-%d\\BFM:%s;\n", a, FormatWord(dataType));
        if (dataType == 5) platform::AppendFormat(out, "C-%d\\FPF:IEEE;\n", a);
        if (dataType == 6) platform::AppendFormat(out, "C-%d\\OTH:1750 1750A Floating Pt;\n", a);
        AppendConversion(out, f, a, name);
    }
}

}  // namespace tessin
