// A TMATS file read, written back and read again keeps what the writer
// carries: the format, frame, counter, subcom and measurand descriptions.
#include <gtest/gtest.h>

#include <string>

#include "platform/format.h"
#include "tests/tessin/services_test_support.h"
#include "tessin.h"

namespace {

using namespace servicestest;
using platform::AppendFormat;

template <std::size_t N>
std::string F(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

void DescribeFrame(std::string& s, const PCM_FORMAT_INFO& f) {
    AppendFormat(s, "ids %s|%s|%s aircraft %s created %s code %s polarity %d type %s\n", F(f.FormatID).c_str(),
                 F(f.FormatVersion).c_str(), F(f.FormatUnitID).c_str(), F(f.AircraftID).c_str(),
                 F(f.CreationDate).c_str(), F(f.PCMCode).c_str(), f.PolarityInverted, F(f.FormatType).c_str());
    AppendFormat(s, "word %d lsb %d parity %d/%d frames %d words %d bits %d sync %d %s %s\n", f.WordLength,
                 f.LsbFirst, f.Parity, f.ParityTrailing, f.NumFrames, f.NumWords, f.BitsInMinorFrame,
                 f.SyncPatternLength, F(f.SyncPattern).c_str(), F(f.SyncMask).c_str());
    for (int j = 0; f.WordLengths && j < f.NumWords; ++j) AppendFormat(s, "%d ", f.WordLengths[j]);
    s += "\n";
    for (int n = 0; f.IDCounters && n < f.NumIDCounters; ++n) {
        const IDCounterInfo& c = f.IDCounters[n];
        AppendFormat(s, "counter %d %d %d %d %d %d %d %d %d\n", c.FrameIDPosition, c.IDCWordLength, c.IDCStartBit,
                     c.IDCLength, c.IDCInitialValue, c.IDCInitialFrameNum, c.IDCEndValue, c.IDCEndFrameNum,
                     c.IDCDirection);
    }
    for (int n = 0; f.Subcoms && n < f.NumSubcoms; ++n) {
        const SUBCOM_INFO& sub = f.Subcoms[n];
        AppendFormat(s, "subcom %s %d %d:", F(sub.ID).c_str(), sub.Loc, sub.Depth);
        for (int d = 0; sub.Details && d < f.NumFrames; ++d)
            AppendFormat(s, " %d=%s", sub.Details[d].Frame, F(sub.Details[d].SampleID).c_str());
        s += "\n";
    }
    for (int k = 0; f.MainframeEntries && k < f.NumMainframeEntries; ++k) {
        const MAINFRAME_INFO& m = f.MainframeEntries[k];
        // The word is the entry's place: the reader leaves Num 0 on subcom
        // words. The frame counter's word (type '1', Num 0) has no sample,
        // so it is not written back: the counter itself travels in the P group.
        if (m.Type == '1' && m.Num == 0) continue;
        if (m.ID[0] != '\0') AppendFormat(s, "main %d %c %s\n", k + 1, m.Type, F(m.ID).c_str());
    }
    // Unnamed sample slots (the frame counter's) are not written back.
    for (int k = 0; f.SampleEntries && k < f.NumSampleEntries; ++k)
        if (f.SampleEntries[k].SampleID[0] != '\0')
            AppendFormat(s, "sample %s\n", F(f.SampleEntries[k].SampleID).c_str());
}

void DescribeMeasurands(std::string& s, const PCM_FORMAT_INFO& f) {
    for (int k = 0; f.MeasurandEntries && k < f.NumMeasurandEntries; ++k) {
        const MEASURAND_INFO& m = f.MeasurandEntries[k];
        AppendFormat(s, "measurand %s [%s] %g %g\n", F(m.MeasID).c_str(), F(m.Description).c_str(), m.EULowValue,
                     m.EUHighValue);
        const DB_MEASRU_INFO* first = nullptr;
        for (int r = 0; f.MeasRUEntries && r < f.NumMeasRUEntries && !first; ++r)
            if (F(f.MeasRUEntries[r].MeasID) == F(m.MeasID)) first = &f.MeasRUEntries[r];
        if (first) AppendFormat(s, "  first data type %d\n", first->DataType);
    }
    for (int k = 0; f.EUCMHistoryEntries && k < f.NumEUCMHistoryEntries; ++k) {
        const EUCM_HISTORY_INFO& h = f.EUCMHistoryEntries[k];
        for (int e = 0; f.EUCMEntries && e < f.NumEUCMEntries; ++e) {
            if (F(f.EUCMEntries[e].EUCMID) != F(h.EUCMID) || f.EUCMEntries[e].Type != 'P') continue;
            AppendFormat(s, "polynomial %s at [%s]:", F(h.MeasID).c_str(), F(h.EffDateTime).c_str());
            for (int p = 0; f.PolynomialEntries && p < f.NumPolynomialEntries; ++p) {
                const POLYNOMIAL_INFO& poly = f.PolynomialEntries[p];
                if (F(poly.EUCMID) != F(h.EUCMID)) continue;
                AppendFormat(s, " count %d", poly.Count);
                for (int c = 0; c < poly.Count && c < 10; ++c) AppendFormat(s, " %.17g", poly.A[c]);
            }
            s += "\n";
        }
    }
}

std::string Describe(const PCM_FORMAT_INFO* formats, int count) {
    std::string s;
    for (int i = 0; i < count; ++i) DescribeFrame(s, formats[i]);
    if (count > 0) DescribeMeasurands(s, formats[0]);
    return s;
}

class TmatsRoundTrip : public ServicesTest {};

TEST_F(TmatsRoundTrip, WrittenTextReadsBackTheSame) {
    std::string source = std::string(TMATS_GOLDEN_DIR) + "/pcm_golden.tmt";
    PCM_FORMAT_INFO* formats = nullptr;
    int count = GetPCMFormatInfo(source.c_str(), &formats);
    ASSERT_EQ(count, 2) << GetErrMsg();
    std::string written = dir_.File("round.tmt");
    ASSERT_EQ(WriteTMATS(written.c_str(), formats, count), 0) << GetErrMsg();
    std::string before = Describe(formats, count);
    ASSERT_EQ(FreePCMFormatInfo(), 0);

    PCM_FORMAT_INFO* again = nullptr;
    ASSERT_EQ(GetPCMFormatInfo(written.c_str(), &again), 2) << GetErrMsg();
    EXPECT_EQ(Describe(again, 2), before);
    EXPECT_EQ(FreePCMFormatInfo(), 0);
}

}  // namespace
