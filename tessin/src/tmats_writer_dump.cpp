// The writer's input dump: what the first record held, for diagnosis.
#include "platform/files.h"
#include "platform/format.h"
#include "platform/text_file.h"
#include "tmats_writer.h"

namespace tessin {
namespace {

using platform::AppendFormat;

template <class T>
int Count(const T* p, int n) {
    return p && n > 0 ? n : 0;
}

void AppendFields(std::string& o, const PCM_FORMAT_INFO& f) {
    AppendFormat(o, "FormatID=%s\nFormatVersion=%s\nFormatUnitID=%s\nFormatType=%s\n", FieldText(f.FormatID).c_str(),
                 FieldText(f.FormatVersion).c_str(), FieldText(f.FormatUnitID).c_str(),
                 FieldText(f.FormatType).c_str());
    AppendFormat(o, "EffectiveDateAndTime=%s\nAircraftID=%s\nCreationDate=%s\nPCMCode=%s\nTypeFormat=%s\n",
                 FieldText(f.EffectiveDateAndTime).c_str(), FieldText(f.AircraftID).c_str(),
                 FieldText(f.CreationDate).c_str(), FieldText(f.PCMCode).c_str(), FieldText(f.TypeFormat).c_str());
    AppendFormat(o, "SyncType=%d\nSyncPatternLength=%d\nSyncPattern=%s\nSyncMask=%s\n", f.SyncType,
                 f.SyncPatternLength, FieldText(f.SyncPattern).c_str(), FieldText(f.SyncMask).c_str());
    AppendFormat(o, "NumFrames=%d\nNumWords=%d\nBitsInMinorFrame=%d\nWordLength=%d\nBitRate=%g\n", f.NumFrames,
                 f.NumWords, f.BitsInMinorFrame, f.WordLength, f.BitRate);
    if (!f.IDCounters) return;
    const IDCounterInfo& c = f.IDCounters[0];
    AppendFormat(o, "\nIDCounterInfo:\nFrameIDPosition=%d\nIDCWordLength=%d\nIDCStartBit=%d\nIDCLength=%d\n",
                 c.FrameIDPosition, c.IDCWordLength, c.IDCStartBit, c.IDCLength);
    AppendFormat(o, "IDCInitialValue=%d\nIDCInitialFrameNum=%d\nIDCEndValue=%d\nIDCEndFrameNum=%d\nIDCDirection=%d\n",
                 c.IDCInitialValue, c.IDCInitialFrameNum, c.IDCEndValue, c.IDCEndFrameNum, c.IDCDirection);
}

void AppendFrameTables(std::string& o, const PCM_FORMAT_INFO& f) {
    AppendFormat(o, "\nNumMainframeEntries=%d\nMainframe Entries:\nNum\tID\tType\n", f.NumMainframeEntries);
    for (int k = 0; k < Count(f.MainframeEntries, f.NumMainframeEntries); ++k) {
        const MAINFRAME_INFO& m = f.MainframeEntries[k];
        if (m.ID[0] != '\0') AppendFormat(o, "%d\t%s\t%c\n", m.Num, FieldText(m.ID).c_str(), m.Type);
    }
    AppendFormat(o, "\nNumSubcoms=%d\nSubcom Entries:\nLoc\tID\tDepth\n", f.NumSubcoms);
    for (int k = 0; k < Count(f.Subcoms, f.NumSubcoms); ++k) {
        const SUBCOM_INFO& s = f.Subcoms[k];
        if (s.ID[0] == '\0') continue;
        AppendFormat(o, "%d\t%s\t%d\n", s.Loc, FieldText(s.ID).c_str(), s.Depth);
        int details = Count(s.Details, f.NumFrames);
        bool named = false;
        for (int d = 0; d < details; ++d) named = named || s.Details[d].SampleID[0] != '\0';
        if (!named) continue;
        o += "\tSubcom Detail Entries:\n\tFrame\tSampleID\n";
        for (int d = 0; d < details; ++d)
            if (s.Details[d].SampleID[0] != '\0')
                AppendFormat(o, "\t%d\t%s\n", s.Details[d].Frame, FieldText(s.Details[d].SampleID).c_str());
    }
}

void AppendMeasurementTables(std::string& o, const PCM_FORMAT_INFO& f) {
    AppendFormat(o, "\nNumSampleEntries=%d\nSample Entries:\nSampleID\tType\tSize\n", f.NumSampleEntries);
    for (int k = 0; k < Count(f.SampleEntries, f.NumSampleEntries); ++k) {
        const DB_SAMPLES_INFO& s = f.SampleEntries[k];
        if (s.SampleID[0] != '\0') AppendFormat(o, "%s\t%d\t%d\n", FieldText(s.SampleID).c_str(), s.Type, s.Size);
    }
    AppendFormat(o, "\nNumMeasRUEntries=%d\nMeasRU Entries:\nMeasID\tElemID\tElemNum\tFBit\tLBit\tDataType\n",
                 f.NumMeasRUEntries);
    for (int k = 0; k < Count(f.MeasRUEntries, f.NumMeasRUEntries); ++k) {
        const DB_MEASRU_INFO& r = f.MeasRUEntries[k];
        if (r.MeasID[0] != '\0')
            AppendFormat(o, "%s\t%s\t%d\t%d\t%d\t%d\n", FieldText(r.MeasID).c_str(), FieldText(r.ElemID).c_str(),
                         r.ElemNum, r.FBit, r.LBit, r.DataType);
    }
    AppendFormat(o, "\nNumMeasurandEntries=%d\nMeasurand Entries:\nMeasID\tDescription\tType\tEUName\tEUHighValue\t"
                    "EULowValue\n", f.NumMeasurandEntries);
    for (int k = 0; k < Count(f.MeasurandEntries, f.NumMeasurandEntries); ++k) {
        const MEASURAND_INFO& m = f.MeasurandEntries[k];
        if (m.MeasID[0] != '\0')
            AppendFormat(o, "%s\t%s\t%d\t%s\t%g\t%g\n", FieldText(m.MeasID).c_str(), FieldText(m.Description).c_str(),
                         m.Type, FieldText(m.EUName).c_str(), m.EUHighValue, m.EULowValue);
    }
}

void AppendConversionTables(std::string& o, const PCM_FORMAT_INFO& f) {
    AppendFormat(o, "\nNumEUCMEntries=%d\nEUCM Entries:\nEUCMID\tType\tRawNameX\tEUNameY\n", f.NumEUCMEntries);
    for (int k = 0; k < Count(f.EUCMEntries, f.NumEUCMEntries); ++k) {
        const EUCM_INFO& e = f.EUCMEntries[k];
        if (e.EUCMID[0] != '\0')
            AppendFormat(o, "%s\t%c\t%s\t%s\n", FieldText(e.EUCMID).c_str(), e.Type, FieldText(e.RawNameX).c_str(),
                         FieldText(e.EUNameY).c_str());
    }
    AppendFormat(o, "\nNumEUCMHistoryEntries=%d\nEUCMHistory Entries:\nMeasID\tEUCMID\tEffDateTime\n",
                 f.NumEUCMHistoryEntries);
    for (int k = 0; k < Count(f.EUCMHistoryEntries, f.NumEUCMHistoryEntries); ++k) {
        const EUCM_HISTORY_INFO& h = f.EUCMHistoryEntries[k];
        if (h.MeasID[0] != '\0')
            AppendFormat(o, "%s\t%s\t%s\n", FieldText(h.MeasID).c_str(), FieldText(h.EUCMID).c_str(),
                         FieldText(h.EffDateTime).c_str());
    }
    AppendFormat(o, "\nNumPolynomialEntries=%d\nPolynomial Entries:\nEUCMID\tCount\tA0\tA1\tA2\tA3\tA4\n",
                 f.NumPolynomialEntries);
    for (int k = 0; k < Count(f.PolynomialEntries, f.NumPolynomialEntries); ++k) {
        const POLYNOMIAL_INFO& p = f.PolynomialEntries[k];
        if (p.EUCMID[0] != '\0')
            AppendFormat(o, "%s\t%d\t%g\t%g\t%g\t%g\t%g\n", FieldText(p.EUCMID).c_str(), p.Count, p.A[0], p.A[1],
                         p.A[2], p.A[3], p.A[4]);
    }
}

}  // namespace

void dump_write_tmats_input(const PCM_FORMAT_INFO& first) {
    std::string path = platform::MapFixedLogPath("c:/temp/WriteTMATSInput.log");
    if (path.empty()) return;
    platform::TextFile log;
    if (!log.Open(path, "w")) return;
    std::string text;
    AppendFields(text, first);
    AppendFrameTables(text, first);
    AppendMeasurementTables(text, first);
    AppendConversionTables(text, first);
    log.Write(text);
}

}  // namespace tessin
