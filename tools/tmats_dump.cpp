#include "tmats_dump.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace tmatsdump {
namespace {

struct Out {
    std::string text;
    std::string prefix;  // "" or "Table[i]."
    bool skipEmpty = false;

    void Line(const char* name, const char* format, ...) __attribute__((format(printf, 3, 4))) {
        char value[1024];
        va_list args;
        va_start(args, format);
        std::vsnprintf(value, sizeof value, format, args);
        va_end(args);
        text += prefix + name + "=" + value + "\n";
    }
    void Int(const char* name, long long v) {
        if (!skipEmpty || v != 0) Line(name, "%lld", v);
    }
    void Hex(const char* name, unsigned v) {
        if (!skipEmpty || v != 0) Line(name, "0x%04X", v);
    }
    void Real(const char* name, double v) {
        if (!skipEmpty || v != 0) Line(name, "%g", v);
    }
    void Text(const char* name, const char* s, std::size_t size) {
        std::string v(s, strnlen(s, size));
        if (!skipEmpty || !v.empty()) Line(name, "%s", v.c_str());
    }
    void Char(const char* name, char c) {
        if (!skipEmpty || c != 0) Line(name, "%c", c);
    }
    void Entry(const char* table, int i) {
        char p[64];
        std::snprintf(p, sizeof p, "%s[%d].", table, i);
        prefix = p;
        skipEmpty = true;
    }
    void Top() {
        prefix.clear();
        skipEmpty = false;
    }
};

#define TEXT(o, r, f) (o).Text(#f, (r).f, sizeof (r).f)

void Samples(Out& o, const DB_SAMPLES_INFO* s, int n) {
    for (int i = 0; s && i < n; ++i) {
        o.Entry("SampleEntries", i);
        TEXT(o, s[i], SampleID);
        o.Int("Type", s[i].Type);
        o.Int("Size", s[i].Size);
        o.Int("Spare", s[i].Spare);
        TEXT(o, s[i], SourceName);
        o.Int("DirectionOrSDI", s[i].DirectionOrSDI);
        o.Int("CommandWordOrLabel", s[i].CommandWordOrLabel);
        o.Int("LocationKind", s[i].LocationKind);
        o.Int("WordNumber", s[i].WordNumber);
    }
}

void Locations(Out& o, const DB_MEASRU_INFO* m, int n) {
    for (int i = 0; m && i < n; ++i) {
        o.Entry("MeasRUEntries", i);
        TEXT(o, m[i], MeasID);
        o.Int("ElemNum", m[i].ElemNum);
        o.Char("Kind", m[i].Kind);
        TEXT(o, m[i], ElemID);
        o.Int("DataType", m[i].DataType);
        o.Int("FBit", m[i].FBit);
        o.Int("LBit", m[i].LBit);
    }
}

void FormatTables(Out& o, const PCM_FORMAT_INFO& f) {
    if (f.WordLengths) {
        std::string all;
        for (int i = 0; i < f.NumMainframeEntries; ++i) all += (i ? " " : "") + std::to_string(f.WordLengths[i]);
        o.Line("WordLengths", "%s", all.c_str());
    }
    for (int i = 0; f.IDCounters && i < f.NumIDCounters; ++i) {
        const IDCounterInfo& c = f.IDCounters[i];
        o.Entry("IDCounters", i);
        o.Int("FrameIDPosition", c.FrameIDPosition);
        o.Int("IDCWordLength", c.IDCWordLength);
        o.Int("IDCStartBit", c.IDCStartBit);
        o.Int("IDCLength", c.IDCLength);
        o.Int("IDCInitialValue", c.IDCInitialValue);
        o.Int("IDCInitialFrameNum", c.IDCInitialFrameNum);
        o.Int("IDCEndValue", c.IDCEndValue);
        o.Int("IDCEndFrameNum", c.IDCEndFrameNum);
        o.Int("IDCDirection", c.IDCDirection);
    }
    int masks = f.FrameWordMasks && f.WordLengths ? f.NumMainframeEntries * f.NumFrames : 0;
    o.Top();
    for (int i = 0; i < masks; ++i)
        if (f.FrameWordMasks[i]) o.Line(("FrameWordMasks[" + std::to_string(i) + "]").c_str(), "0x%04X", f.FrameWordMasks[i]);
    for (int i = 0; f.MainframeEntries && i < f.NumMainframeEntries; ++i) {
        o.Entry("MainframeEntries", i);
        o.Int("Num", f.MainframeEntries[i].Num);
        o.Char("Type", f.MainframeEntries[i].Type);
        TEXT(o, f.MainframeEntries[i], ID);
    }
    for (int i = 0; f.Subcoms && i < f.NumSubcoms; ++i) {
        o.Entry("Subcoms", i);
        TEXT(o, f.Subcoms[i], ID);
        o.Int("Loc", f.Subcoms[i].Loc);
        o.Int("Depth", f.Subcoms[i].Depth);
        if (f.Subcoms[i].Details) o.Int("Details", f.Subcoms[i].Details - f.SubcomDetails);
    }
    for (int i = 0; f.SubcomDetails && i < f.NumSubcomDetails; ++i) {
        o.Entry("SubcomDetails", i);
        o.Int("Frame", f.SubcomDetails[i].Frame);
        TEXT(o, f.SubcomDetails[i], SampleID);
    }
    Samples(o, f.SampleEntries, f.NumSampleEntries);
    Locations(o, f.MeasRUEntries, f.NumMeasRUEntries);
    o.Top();
}

void FormatFields(Out& o, const PCM_FORMAT_INFO& f) {
    o.Top();
    o.Hex("FirstGuard", f.FirstGuard);
    TEXT(o, f, FormatID);
    TEXT(o, f, FormatVersion);
    TEXT(o, f, FormatUnitID);
    TEXT(o, f, FormatType);
    TEXT(o, f, EffectiveDateAndTime);
    TEXT(o, f, AircraftID);
    TEXT(o, f, DataLinkName);
    o.Int("ChannelID", f.ChannelID);
    TEXT(o, f, CreationDate);
    TEXT(o, f, PCMCode);
    o.Real("BitRate", f.BitRate);
    o.Int("PolarityInverted", f.PolarityInverted);
    o.Int("AutoPolarityCorrection", f.AutoPolarityCorrection);
    o.Int("DataDirectionReversed", f.DataDirectionReversed);
    o.Int("DataRandomized", f.DataRandomized);
    TEXT(o, f, TypeFormat);
    o.Int("WordLength", f.WordLength);
    o.Int("LsbFirst", f.LsbFirst);
    o.Int("Parity", f.Parity);
    o.Int("ParityTrailing", f.ParityTrailing);
    o.Int("NumFrames", f.NumFrames);
    o.Int("NumWords", f.NumWords);
    o.Int("BitsInMinorFrame", f.BitsInMinorFrame);
    o.Int("SyncType", f.SyncType);
    o.Int("SyncPatternLength", f.SyncPatternLength);
    TEXT(o, f, SyncPattern);
    TEXT(o, f, SyncMask);
    o.Int("NumIDCounters", f.NumIDCounters);
    o.Int("NumMainframeEntries", f.NumMainframeEntries);
    o.Int("NumSubcoms", f.NumSubcoms);
    o.Int("NumSubcomDetails", f.NumSubcomDetails);
    o.Int("NumSampleEntries", f.NumSampleEntries);
    o.Int("NumMeasRUEntries", f.NumMeasRUEntries);
    o.Hex("LastGuard", f.LastGuard);
}

template <class Record>
void SharedCounts(Out& o, const Record& r) {
    o.Top();
    o.Int("NumMeasurandEntries", r.NumMeasurandEntries);
    o.Int("NumEUCMHistoryEntries", r.NumEUCMHistoryEntries);
    o.Int("NumEUCMEntries", r.NumEUCMEntries);
    o.Int("NumPolynomialEntries", r.NumPolynomialEntries);
    o.Int("NumDiscreteEntries", r.NumDiscreteEntries);
    o.Int("NumPairSetEntries", r.NumPairSetEntries);
    o.Int("NumPairEntries", r.NumPairEntries);
}

template <class A, class B>
bool SameTables(const A& a, const B& b) {
    return a.MeasurandEntries == b.MeasurandEntries && a.EUCMHistoryEntries == b.EUCMHistoryEntries &&
           a.EUCMEntries == b.EUCMEntries && a.PolynomialEntries == b.PolynomialEntries &&
           a.DiscreteEntries == b.DiscreteEntries && a.PairSetEntries == b.PairSetEntries &&
           a.PairEntries == b.PairEntries;
}

void MeasurandTables(Out& o, const PCM_FORMAT_INFO& r) {
    for (int i = 0; r.MeasurandEntries && i < r.NumMeasurandEntries; ++i) {
        const MEASURAND_INFO& m = r.MeasurandEntries[i];
        o.Entry("Measurands", i);
        TEXT(o, m, MeasID);
        o.Int("Type", m.Type);
        TEXT(o, m, Description);
        o.Int("FormatClass", m.FormatClass);
        TEXT(o, m, EUName);
        o.Real("EULowValue", m.EULowValue);
        o.Real("EUHighValue", m.EUHighValue);
    }
    for (int i = 0; r.EUCMHistoryEntries && i < r.NumEUCMHistoryEntries; ++i) {
        o.Entry("EUCMHistory", i);
        TEXT(o, r.EUCMHistoryEntries[i], MeasID);
        TEXT(o, r.EUCMHistoryEntries[i], EffDateTime);
        TEXT(o, r.EUCMHistoryEntries[i], EUCMID);
    }
    for (int i = 0; r.EUCMEntries && i < r.NumEUCMEntries; ++i) {
        o.Entry("EUCM", i);
        TEXT(o, r.EUCMEntries[i], EUCMID);
        o.Char("Type", r.EUCMEntries[i].Type);
    }
}

void ConversionTables(Out& o, const PCM_FORMAT_INFO& r) {
    for (int i = 0; r.PolynomialEntries && i < r.NumPolynomialEntries; ++i) {
        const POLYNOMIAL_INFO& p = r.PolynomialEntries[i];
        o.Entry("Polynomials", i);
        TEXT(o, p, EUCMID);
        o.Int("Count", p.Count);
        for (int k = 0; k < 10; ++k) o.Real(("A" + std::to_string(k)).c_str(), p.A[k]);
    }
    for (int i = 0; r.DiscreteEntries && i < r.NumDiscreteEntries; ++i) {
        const DISCRETE_INFO& d = r.DiscreteEntries[i];
        o.Entry("Discretes", i);
        TEXT(o, d, MeasurandName);
        o.Int("Count", d.Count);
        TEXT(o, d, ParameterText);
        o.Int("Kind", d.Kind);
        o.Int("Flag", d.Flag);
    }
    for (int i = 0; r.PairSetEntries && i < r.NumPairSetEntries; ++i) {
        o.Entry("PairSets", i);
        TEXT(o, r.PairSetEntries[i], MeasurandName);
        o.Char("Kind", r.PairSetEntries[i].Kind);
        TEXT(o, r.PairSetEntries[i], MeasurandName2);
    }
    for (int i = 0; r.PairEntries && i < r.NumPairEntries; ++i) {
        const PAIR_INFO& p = r.PairEntries[i];
        o.Entry("Pairs", i);
        TEXT(o, p, MeasurandName);
        o.Int("PairNumber", p.PairNumber);
        o.Real("TelemetryValue", p.TelemetryValue);
        o.Real("EngineeringValue", p.EngineeringValue);
    }
    o.Top();
}

void Messages(Out& o, const BUS_INFO& b) {
    for (int i = 0; b.Messages1553 && i < b.NumMessages; ++i) {
        const MSG1553_INFO& m = b.Messages1553[i];
        o.Entry("Messages1553", i);
        o.Int("MessageID", m.MessageID);
        TEXT(o, m, BusName);
        o.Int("RTAddress", m.RTAddress);
        o.Int("Subaddress", m.Subaddress);
        o.Char("TransmitReceive", m.TransmitReceive);
        o.Int("WordCount", m.WordCount);
        TEXT(o, m, Direction);
        o.Hex("CommandWord", m.CommandWord);
    }
    for (int i = 0; b.MessagesLabelled && i < b.NumMessages; ++i) {
        const MSGLABEL_INFO& m = b.MessagesLabelled[i];
        o.Entry("MessagesLabelled", i);
        o.Int("MessageID", m.MessageID);
        TEXT(o, m, BusName);
        o.Int("Label", m.Label);
        o.Int("SDI", m.SDI);
    }
}

}  // namespace

std::string DumpFormats(const PCM_FORMAT_INFO* formats, int count) {
    Out o;
    for (int i = 0; formats && i < count; ++i) {
        o.Top();
        o.text += "Format[" + std::to_string(i) + "]\n";
        FormatFields(o, formats[i]);
        SharedCounts(o, formats[i]);
        if (i > 0) o.Int("SharesTables", SameTables(formats[i], formats[0]));
        FormatTables(o, formats[i]);
    }
    if (formats && count > 0) {
        o.text += "Shared\n";
        MeasurandTables(o, formats[0]);
        ConversionTables(o, formats[0]);
    }
    return o.text;
}

std::string DumpBuses(const BUS_INFO* buses, int count, const PCM_FORMAT_INFO* formats) {
    Out o;
    for (int i = 0; buses && i < count; ++i) {
        const BUS_INFO& b = buses[i];
        o.Top();
        o.text += "Bus[" + std::to_string(i) + "]\n";
        o.Hex("FirstGuard", b.FirstGuard);
        TEXT(o, b, BusName);
        TEXT(o, b, BusType);
        TEXT(o, b, TestArticle);
        TEXT(o, b, DataLinkName);
        o.Int("ChannelID", b.ChannelID);
        o.Int("ChannelPosition", b.ChannelPosition);
        o.Int("NumMessages", b.NumMessages);
        o.Int("SampleCapacity", b.SampleCapacity);
        o.Int("NumSampleEntries", b.NumSampleEntries);
        o.Int("NumMeasRUEntries", b.NumMeasRUEntries);
        o.Hex("LastGuard", b.LastGuard);
        SharedCounts(o, b);
        if (formats) o.Int("SharesTables", SameTables(b, formats[0]));
        Messages(o, b);
        Samples(o, b.SampleEntries, b.NumSampleEntries);
        Locations(o, b.MeasRUEntries, b.NumMeasRUEntries);
    }
    return o.text;
}

uint64_t ProcessTables(const char* path, ProcessedTables& t) {
    return ProcessTMATS(path, &t.list, &t.listCount, &t.samples, &t.sampleCount, &t.measru, &t.measruCount, &t.meas,
                        &t.measCount, &t.formats, &t.formatCount, &t.buses, &t.busCount);
}

}  // namespace tmatsdump
