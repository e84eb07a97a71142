#pragma once
// Helpers shared by the TMATS tests.
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tessin.h"
#include "tessin/src/tessin_state.h"
#include "tests/support/ch10_fixture.h"

namespace tmatstest {

using ch10fix::ReadText;

// Lines of a log beginning "Error:" or "Warning:".
inline std::vector<std::string> FindingLines(const std::string& log) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < log.size()) {
        std::size_t end = log.find('\n', at);
        std::string line = log.substr(at, end == std::string::npos ? std::string::npos : end + 1 - at);
        if (line.rfind("Error:", 0) == 0 || line.rfind("Warning:", 0) == 0) out.push_back(line);
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return out;
}

// A heap copy of exactly text.size() bytes, so that ASan sees an over-read.
inline std::unique_ptr<char[]> ExactCopy(const std::string& text) {
    std::unique_ptr<char[]> p(new char[text.size() ? text.size() : 1]);
    std::memcpy(p.get(), text.data(), text.size());
    return p;
}

inline std::vector<std::string> Attributes() {
    std::vector<std::string> out;
    for (const char* a : tessin::State().tmats.attributes) out.emplace_back(a);
    return out;
}

// The error text a caller passes: 80 bytes, then canary bytes.
struct ErrorBuffer {
    static constexpr std::size_t kSize = 80;
    static constexpr std::size_t kCanary = 32;
    char bytes[kSize + kCanary];
    ErrorBuffer() {
        std::memset(bytes, 'e', kSize);
        bytes[0] = '\0';
        std::memset(bytes + kSize, 0x5A, kCanary);
    }
    char* get() { return bytes; }
    std::string text() const { return std::string(bytes, strnlen(bytes, kSize)); }
    bool CanaryIntact() const {
        for (std::size_t i = 0; i < kCanary; ++i)
            if (static_cast<unsigned char>(bytes[kSize + i]) != 0x5A) return false;
        return true;
    }
};

}  // namespace tmatstest

#include "platform/files.h"
#include "platform/format.h"
#include "tests/support/tmats_builder.h"

namespace tmatstest {

// Every field of a record as text, for whole-record comparisons.
inline std::string Describe(const CHAN_INFO& c) {
    using platform::AppendFormat;
    std::string s;
    AppendFormat(s, "PN=%s EV=%d IDX=%d REV=%u NSB=%d N=%d\n", c.ProgramName, c.EventsEnabled, c.IndexEnabled,
                 c.IrigRevision, c.SourceBits, c.ChannelCount);
    for (int i = 0; i < c.ChannelCount; ++i)
        AppendFormat(s, "ch %u type %d en %d\n", c.Channels[i].ChannelID, c.Channels[i].DataType, c.Channels[i].Enable);
    for (int i = 0; i < c.PcmCount; ++i) {
        const PCM_CHAN_INFO& p = c.PcmChannels[i];
        AppendFormat(s, "pcm %u %d %s %d %d %d %d %d %d %d %d %d %d %u %u %d %d %d %d %d %d %d %d %d %d %d %d:",
                     p.ChannelID, p.Enable, p.DataLinkName, p.BitRate, p.PolarityInverted, p.D9Inverted, p.WordLength,
                     p.FrameVariant, p.LsbFirst, p.NumFrames, p.NumWords, p.BitsInMinorFrame, p.SyncPatternLength,
                     p.SyncPattern, p.SyncMask, p.FrameIDPosition, p.IDCWordLength, p.IDCStartBit, p.IDCLength,
                     p.IDCInitialValue, p.IDCInitialFrameNum, p.IDCEndValue, p.IDCEndFrameNum, p.IDCDirection,
                     p.DataMode, p.WordLengthCount, p.FrameVariantWord);
        for (int w = 0; w < p.WordLengthCount; ++w) AppendFormat(s, " %u", p.WordLengths[w]);
        s += "\n";
    }
    for (int i = 0; i < c.TimeCount; ++i)
        AppendFormat(s, "time %u %d %d\n", c.TimeChannels[i].ChannelID, c.TimeChannels[i].Enable,
                     c.TimeChannels[i].TimeFormat);
    for (int i = 0; i < c.Bus1553Count; ++i)
        AppendFormat(s, "1553 %u %d %s\n", c.Bus1553Channels[i].ChannelID, c.Bus1553Channels[i].Enable,
                     c.Bus1553Channels[i].BusName);
    for (int i = 0; i < c.AnalogCount; ++i) {
        const ANALOG_CHAN_INFO& a = c.AnalogChannels[i];
        AppendFormat(s, "analog %u %d %d %d %.6g %s:", a.ChannelID, a.Enable, a.SubchannelCount, a.Packed,
                     a.SampleRate, a.DsiName);
        for (int k = 0; k < a.SubchannelCount; ++k)
            AppendFormat(s, " [%s %d %d]", a.Subchannels[k].Name, a.Subchannels[k].DataLength,
                         a.Subchannels[k].ScaleFactor);
        s += "\n";
    }
    for (int i = 0; i < c.DiscreteCount; ++i) {
        const DISCRETE_CHAN_INFO& d = c.DiscreteChannels[i];
        AppendFormat(s, "discrete %u %d %s %d %d %.6g\n", d.ChannelID, d.Enable, d.DsiName, d.MeasurandCount,
                     d.EventMode, d.SampleRate);
    }
    for (int i = 0; i < c.VideoCount; ++i)
        AppendFormat(s, "video %u %d %d %s\n", c.VideoChannels[i].ChannelID, c.VideoChannels[i].Enable,
                     c.VideoChannels[i].EncodingDelay, c.VideoChannels[i].Name);
    auto refs = [&](const char* kind, const CHAN_REF* r, int n) {
        for (int i = 0; i < n; ++i) AppendFormat(s, "%s %u %d\n", kind, r[i].ChannelID, r[i].Enable);
    };
    refs("message", c.MessageChannels, c.MessageCount);
    refs("image", c.ImageChannels, c.ImageCount);
    refs("other", c.OtherChannels, c.OtherCount);
    refs("1394", c.Ieee1394Channels, c.Ieee1394Count);
    auto subs = [&](const char* kind, const SUBCHAN_CHAN_INFO* r, int n) {
        for (int i = 0; i < n; ++i) {
            AppendFormat(s, "%s %u %d %u:", kind, r[i].ChannelID, r[i].Enable, r[i].SubchannelCount);
            for (int k = 0; k < r[i].SubchannelCount; ++k)
                AppendFormat(s, " [%s %d]", r[i].Subchannels[k].Name, r[i].Subchannels[k].Number);
            s += "\n";
        }
    };
    subs("a429", c.A429Channels, c.A429Count);
    subs("uart", c.UartChannels, c.UartCount);
    subs("eth", c.EthernetChannels, c.EthernetCount);
    for (int i = 0; i < c.FibreCount; ++i)
        AppendFormat(s, "fibre %u %d %s\n", c.FibreChannels[i].ChannelID, c.FibreChannels[i].Enable,
                     c.FibreChannels[i].LinkName);
    return s;
}

// One call with a log in a new temporary file.
struct Outcome {
    CHAN_INFO* info = nullptr;
    std::string log;
    std::string error;
    std::vector<std::string> findings;
};

inline Outcome RunWithLog(const std::string& text) {
    Outcome o;
    std::string path = platform::MakeTempFile("tmats-log");
    ErrorBuffer err;
    auto buf = ExactCopy(text);
    o.info = process_tmats_packet(buf.get(), static_cast<int>(text.size()), err.get(), path.c_str());
    o.log = ReadText(path);
    o.error = err.text();
    o.findings = FindingLines(o.log);
    platform::RemoveFile(path);
    return o;
}

inline Outcome RunWithLog(const ch10fix::TmatsAttributes& list) { return RunWithLog(list.Text()); }

}  // namespace tmatstest
