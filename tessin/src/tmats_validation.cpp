// process_tmats_packet: the general, recorder and per-channel checks of a
// TMATS setup record, the validation log, and the CHAN_INFO they fill.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "ch10/data_type.h"
#include "platform/numbers.h"
#include "tessin.h"
#include "tessin_state.h"
#include "tmats_attributes.h"
#include "tmats_run.h"

namespace tessin {

// The recorder channels read, so that with the event and index entries
// ChannelCount (int16) never passes 32,767.
constexpr int32_t kMaxRecorderChannels = 32765;

bool TmatsRun::Find(const char* key, char* value) {
    TmatsState& st = State().tmats;
    return find_tmats_attribute(st.packet.get(), st.packetLength, key, value, errorText) != nullptr;
}

bool TmatsRun::FindF(char* value, const char* format, ...) {
    char key[96];
    va_list args;
    va_start(args, format);
    std::vsnprintf(key, sizeof key, format, args);
    va_end(args);
    return Find(key, value);
}

namespace {

const std::string kRule = std::string(130, '=') + "\r\n";

void WriteLog(const char* line) {
    platform::TextFile& log = State().tmats.log;
    if (log.IsOpen()) log.Write(line);
}

// A finding before the record exists: written, never counted.
void EarlyFinding(const char* line) { WriteLog(line); }

CHAN_INFO* Fail(bool release) {
    State().tmats.log.Close();
    if (release) free_tmats_attributes();
    return nullptr;
}

using T = ch10::DataType;

struct TypeWord {
    const char* word;
    T type;
};

// Type words, compared exactly and in this order.
constexpr TypeWord kTypeWords[] = {
    {"TIMIN", T::TimeF1},        {"TIMEIN", T::TimeF1},     {"PCMIN", T::PcmF1},
    {"1553IN", T::Mil1553F1},    {"ANAIN", T::AnalogF1},    {"DISIN", T::DiscreteF1},
    {"VIDIN", T::VideoF0},       {"SERIN", T::MessageF0},   {"MSGIN", T::MessageF0},
    {"FCIN", T::MessageF7},      {"429IN", T::Arinc429F0},  {"IMGIN", T::ImageF0},
    {"ETHIN", T::EthernetF0},    {"1394IN", T::Ieee1394F0}, {"UARTIN", T::UartF0},
    {"FBCHIN", T::FibreChannelF0}, {"CANIN", T::CanF0},     {"TSPIIN", T::TspiF0},
    {"PARIN", T::ParallelF0},
};

// The word's data type code; -1 for a word not in the table.
int16_t DataTypeOfWord(const char* word) {
    for (const TypeWord& t : kTypeWords)
        if (std::strcmp(word, t.word) == 0) return ch10::Code(t.type);
    return -1;
}

// EV\E and IDX\E: "T", or one blank and "T" (with a warning), enable.
int16_t ReadSwitch(TmatsRun& run, const char* key, const char* missing, const char* leadingSpace) {
    char value[kTmatsValueSize] = "";
    if (!run.Find(key, value)) {
        if (run.RevisionAbove(6)) run.Finding(missing);
        return 0;
    }
    if (value[0] == 'T') return 1;
    if (value[0] == ' ' && value[1] == 'T') {
        run.Finding(leadingSpace);
        return 1;
    }
    return 0;
}

void BuildKind(TmatsRun& run, const ChannelContext& ch, int16_t dataType) {
    switch (dataType) {
        case ch10::Code(T::TimeF1): BuildTimeChannel(run, ch); break;
        case ch10::Code(T::PcmF1): BuildPcmChannel(run, ch); break;
        case ch10::Code(T::Mil1553F1): Build1553Channel(run, ch); break;
        case ch10::Code(T::AnalogF1): BuildAnalogChannel(run, ch); break;
        case ch10::Code(T::DiscreteF1): BuildDiscreteChannel(run, ch); break;
        case ch10::Code(T::VideoF0):
        case ch10::Code(T::VideoF1):
        case ch10::Code(T::VideoF2): BuildVideoChannel(run, ch); break;
        case ch10::Code(T::Arinc429F0): BuildA429Channel(run, ch); break;
        case ch10::Code(T::UartF0): BuildUartChannel(run, ch); break;
        case ch10::Code(T::EthernetF0): BuildEthernetChannel(run, ch); break;
        case ch10::Code(T::FibreChannelF0): BuildFibreChannel(run, ch); break;
        case ch10::Code(T::CanF0): case ch10::Code(T::TspiF0): case ch10::Code(T::ParallelF0): break;  // an entry only
        default: BuildRefChannel(run, ch, dataType); break;
    }
}

// Sizes every per-kind array once from the channels' type words, so that
// appending does not move large records again and again. A failure here
// only means the arrays grow as they go.
void ReserveKinds(TmatsRun& run, int32_t channels) {
    int32_t counts[16] = {};
    enum { kTime, kPcm, k1553, kAnalog, kDiscrete, kVideo, kMessage, kA429, kImage, kEthernet, k1394, kUart, kFibre,
           kOther, kNone };
    char word[kTmatsValueSize];
    TmatsState& st = State().tmats;
    for (int32_t n = 1; n <= channels; ++n) {
        char key[48];
        std::snprintf(key, sizeof key, run.embedded ? "G\\COM:\\ODT-%d=" : "R-1\\DST-%d:", n);
        if (!find_tmats_attribute(st.packet.get(), st.packetLength, key, word, nullptr)) {
            std::snprintf(key, sizeof key, "R-1\\CDT-%d:", n);
            if (!find_tmats_attribute(st.packet.get(), st.packetLength, key, word, nullptr)) continue;
        }
        switch (DataTypeOfWord(word)) {
            case ch10::Code(T::TimeF1): ++counts[kTime]; break;
            case ch10::Code(T::PcmF1): ++counts[kPcm]; break;
            case ch10::Code(T::Mil1553F1): ++counts[k1553]; break;
            case ch10::Code(T::AnalogF1): ++counts[kAnalog]; break;
            case ch10::Code(T::DiscreteF1): ++counts[kDiscrete]; break;
            case ch10::Code(T::VideoF0): ++counts[kVideo]; break;
            case ch10::Code(T::MessageF0): case ch10::Code(T::MessageF7): ++counts[kMessage]; break;
            case ch10::Code(T::Arinc429F0): ++counts[kA429]; break;
            case ch10::Code(T::ImageF0): ++counts[kImage]; break;
            case ch10::Code(T::EthernetF0): ++counts[kEthernet]; break;
            case ch10::Code(T::Ieee1394F0): ++counts[k1394]; break;
            case ch10::Code(T::UartF0): ++counts[kUart]; break;
            case ch10::Code(T::FibreChannelF0): ++counts[kFibre]; break;
            case ch10::Code(T::CanF0): case ch10::Code(T::TspiF0): case ch10::Code(T::ParallelF0): break;
            default: ++counts[kOther]; break;
        }
    }
    ChanInfoOwner& o = run.owner;
    try {
        auto z = [](int32_t c) { return static_cast<std::size_t>(c); };
        o.time.reserve(z(counts[kTime]));
        o.pcm.reserve(z(counts[kPcm]));
        o.wordLengths.reserve(z(counts[kPcm]));
        o.bus1553.reserve(z(counts[k1553]));
        o.analog.reserve(z(counts[kAnalog]));
        o.discrete.reserve(z(counts[kDiscrete]));
        o.video.reserve(z(counts[kVideo]));
        o.message.reserve(z(counts[kMessage]));
        o.a429.reserve(z(counts[kA429]));
        o.image.reserve(z(counts[kImage]));
        o.ethernet.reserve(z(counts[kEthernet]));
        o.ieee1394.reserve(z(counts[k1394]));
        o.uart.reserve(z(counts[kUart]));
        o.fibre.reserve(z(counts[kFibre]));
        o.other.reserve(z(counts[kOther]));
    } catch (const std::bad_alloc&) {
    }
}

void ValidateChannel(TmatsRun& run, int32_t n) {
    char value[kTmatsValueSize] = "";
    CHAN_ENTRY entry{};

    bool haveId = run.embedded ? run.FindF(value, "H\\CID-%d:", n) : run.FindF(value, "R-1\\TK1-%d:", n);
    if (haveId) entry.ChannelID = static_cast<uint16_t>(DecimalValue(value));
    else
        run.FindingF("Error: TRACK NUMBER/CHANNEL ID for channel %d (R-x\\TK1-%d) attribute is missing in TMATS "
                     "Packet.\r\n", n, n);
    if (!run.FindF(value, "R-1\\DSI-%d:", n))
        run.FindingF("Error: DATA SOURCE ID for channel %d (R-x\\DSI-%d) attribute is missing in TMATS Packet.\r\n",
                     n, n);
    if (!run.FindF(value, "R-1\\TK4-%d:", n) && run.RevisionAbove(6))
        run.FindingF("Error: RECORDER PHYSICAL CHANNEL NUMBER for channel %d (R-x\\TK4-%d) attribute is missing in "
                     "TMATS Packet.\r\n", n, n);
    if (!run.FindF(value, "R-1\\CDLN-%d:", n) && run.RevisionAbove(6))
        run.FindingF("Error: CHANNEL DATA LINK NAME for channel %d (R-x\\CDLN-%d) attribute is missing in TMATS "
                     "Packet.\r\n", n, n);
    if (!run.embedded) {
        value[0] = '\0';
        if (run.FindF(value, "R-1\\CHE-%d:", n)) {
            entry.Enable = value[0] == 'F' ? 0 : 1;
        } else {
            run.FindingF("Error: CHANNEL ENABLE for channel %d (R-x\\CHE-%d) attribute is missing in TMATS "
                         "Packet.\r\n", n, n);
            entry.Enable = 1;
        }
    }

    char word[kTmatsValueSize] = "";
    bool haveType = run.embedded ? run.FindF(word, "G\\COM:\\ODT-%d=", n) : run.FindF(word, "R-1\\DST-%d:", n);
    if (!haveType) haveType = run.FindF(word, "R-1\\CDT-%d:", n);
    if (!haveType) {
        run.FindingF("Error: Data type for channel %d (R-x\\CDT-%d) attribute is missing in TMATS Packet.\r\n", n,
                     n);
        return;
    }
    int16_t dataType = DataTypeOfWord(word);
    if (dataType == ch10::Code(T::VideoF0)) {
        value[0] = '\0';
        if (run.FindF(value, "R-1\\VTF-%d:", n)) {
            if (value[0] == '1') dataType = ch10::Code(T::VideoF1);
            else if (value[0] == '2') dataType = ch10::Code(T::VideoF2);
        }
    } else if (dataType == ch10::Code(T::Ieee1394F0)) {
        value[0] = '\0';
        if (run.FindF(value, "R-1\\IETF-%d:", n) && value[0] == '1') dataType = ch10::Code(T::Ieee1394F1);
    }
    entry.DataType = dataType;
    run.owner.channels.push_back(entry);  // room was reserved
    run.info.Channels = run.owner.channels.data();
    run.info.ChannelCount = static_cast<int16_t>(run.owner.channels.size());

    BuildKind(run, ChannelContext{n, entry.ChannelID, entry.Enable}, dataType);
}

// An attribute whose absence is a finding from a revision on.
struct RequiredAttribute {
    const char* key;
    const char* alternative;  // accepted in its place; null when there is none
    const char* text;         // the finding when neither is there
    unsigned leastRevision;   // the first revision that requires it
};

// Each table is walked in its order, which is the order of the findings.
constexpr RequiredAttribute kSourceAttributes[] = {
    {"G\\DSI\\N:", nullptr, "Error: Number of Data Sources (G\\DSI\\N) attribute is missing in TMATS Packet.\r\n", 0},
    {"G\\DSI-1:", nullptr, "Error: Data Source ID (G\\DSI-1) attribute is missing in TMATS Packet.\r\n", 0},
    {"G\\DST-1:", nullptr, "Error: Data Source Type (G\\DST-1) attribute is missing in TMATS Packet.\r\n", 9},
    {"R-1\\ID:", nullptr, "Error: Data Source ID (R-1\\ID) attribute is missing in TMATS Packet.\r\n", 7},
    {"R-1\\RID:", nullptr, "Error: Tape/Storage ID (R-1\\RID) attribute is missing in TMATS Packet.\r\n", 7},
};

constexpr RequiredAttribute kOriginalMedia[] = {
    {"R-1\\RI3:", nullptr, "Error: Original Tape/Storage (R-1\\RI3) attribute is missing in TMATS Packet.\r\n", 7},
};

constexpr RequiredAttribute kRecorderSetup[] = {
    {"R-1\\CRE:", nullptr,
     "Error: CONTINUOUS RECORDING ENABLED (R-1\\CRE) attribute is missing in TMATS Packet.\r\n", 9},
    {"R-1\\RSS:", nullptr,
     "Error: RECORDER-REPRODUCER SETUP SOURCE (R-1\\RSS) attribute is missing in TMATS Packet.\r\n", 9},
    {"R-1\\RRML:", "R-1\\RML:",
     "Error: RECORDER-REPRODUCER MEDIA LOCATION (R-1\\RRML or R-1\\RML) attribute is missing in TMATS Packet.\r\n",
     9},
    {"R-1\\ERBS:", nullptr, "Error: EXTERNAL RMM BUS SPEED (R-1\\ERBS) attribute is missing in TMATS Packet.\r\n",
     9},
};

template <std::size_t N>
void CheckRequired(TmatsRun& run, const RequiredAttribute (&rows)[N], char* value) {
    for (const RequiredAttribute& row : rows) {
        const bool found = run.Find(row.key, value) || (row.alternative && run.Find(row.alternative, value));
        if (!found && run.RevisionAtLeast(row.leastRevision)) run.Finding(row.text);
    }
}

// The program name, the revision (07 when missing) and the data source.
void ValidateGeneral(TmatsRun& run, char* value) {
    CHAN_INFO& info = run.info;
    if (run.Find("G\\PN:", value)) CopyField(info.ProgramName, sizeof info.ProgramName, value);
    if (run.Find("G\\106:", value)) {
        info.IrigRevision = static_cast<uint16_t>(DecimalValue(value));
    } else {
        run.Finding("Error: IRIG 106 Revision Level (G\\106) attribute is missing in TMATS Packet. Set to default "
                    "value 07.\r\n");
        info.IrigRevision = 7;
    }
    CheckRequired(run, kSourceAttributes, value);
    run.Find("G\\COM:\\SRT=", value);
}

// The channel count and the record's form; false, with the finding
// written, when there is no count to read channels by.
bool ReadChannelCount(TmatsRun& run, char* value) {
    if (run.Find("G\\DSI\\N=", value)) {
        run.embedded = true;
    } else if (!run.Find("R-1\\N:", value)) {
        run.Finding("Error: Number of Channels (R-d\\N) attribute is missing in TMATS Packet.\r\n");
        return false;
    }
    run.channelTotal = DecimalValue(value);
    if (run.channelTotal <= 0) {
        SetErrorText(run.errorText, "Invalid TMATS packet.\r\n");
        run.Finding("Error: Number of Channels (R-d\\N) is 0.\r\n");
        return false;
    }
    return true;
}

// RI7 is asked for only when RI6 says the recording was modified.
void CheckPostProcessing(TmatsRun& run, char* value) {
    value[0] = '\0';
    if (run.Find("R-1\\RI6:", value)) {
        if (value[0] == 'Y' && !run.Find("R-1\\RI7:", value) && run.RevisionAbove(8))
            run.Finding("Error: POST PROCESS MODIFICATION TYPE (R-1\\RI7) attribute is missing in TMATS Packet.\r\n");
    } else if (run.RevisionAbove(8)) {
        run.Finding("Error: POST PROCESS MODIFIED RECORDING (R-1\\RI6) attribute is missing in TMATS Packet.\r\n");
    }
}

void ValidateRecorder(TmatsRun& run, char* value) {
    CHAN_INFO& info = run.info;
    run.pcmByPcmChannel = run.Find("P-1\\DLN", value);
    if (run.Find("R-1\\NSB:", value)) {
        info.SourceBits = static_cast<int16_t>(DecimalValue(value));
    } else {
        run.Finding("Error: Number of Source Bits (R-1\\NSB) attribute is missing in TMATS Packet.\r\n");
        info.SourceBits = 0;
    }
    CheckRequired(run, kOriginalMedia, value);
    CheckPostProcessing(run, value);
    CheckRequired(run, kRecorderSetup, value);
    info.EventsEnabled = ReadSwitch(
        run, "R-1\\EV\\E:", "Warning: Recording Events Enabled (R-1\\EV\\E) attribute is missing in TMATS Packet.\r\n",
        "Warning: Found leading space in Recording Events Enabled (R-1\\EV\\E) attribute.\r\n");
    info.IndexEnabled = ReadSwitch(
        run, "R-1\\IDX\\E:", "Warning: Recording Index Enabled (R-1\\IDX\\E) attribute is missing in TMATS Packet.\r\n",
        "Warning: Found leading space in Recording Index Enabled (R-1\\IDX\\E) attribute.\r\n");
}

// The recorder channels, then the event and index entries, sorted by ID;
// false, with the finding written, when there is no room for them.
bool ValidateChannels(TmatsRun& run, char* value) {
    ChanInfoOwner& owner = run.owner;
    CHAN_INFO& info = run.info;
    bool haveEvent = run.Find("R-1\\EV\\TK1:", value);
    uint16_t eventId = haveEvent ? static_cast<uint16_t>(DecimalValue(value)) : 0;
    bool haveIndex = run.Find("R-1\\IDX\\TK1:", value);
    uint16_t indexId = haveIndex ? static_cast<uint16_t>(DecimalValue(value)) : 0;

    int32_t recorderChannels = std::min(run.channelTotal, kMaxRecorderChannels);
    try {
        owner.channels.reserve(static_cast<std::size_t>(recorderChannels) + (haveEvent ? 1u : 0u) +
                               (haveIndex ? 1u : 0u));
    } catch (const std::bad_alloc&) {
        SetErrorText(run.errorText, "Error allocating the CHAN INFO structure.\r\n");
        run.Finding("Error: Problem allocating the TMATS CHAN INFO structure.\r\n");
        return false;
    }
    info.Channels = owner.channels.data();

    ReserveKinds(run, recorderChannels);
    for (int32_t n = 1; n <= recorderChannels; ++n) ValidateChannel(run, n);

    if (haveEvent) owner.channels.push_back(CHAN_ENTRY{2, eventId, info.EventsEnabled});
    if (haveIndex) owner.channels.push_back(CHAN_ENTRY{3, indexId, info.IndexEnabled});
    std::stable_sort(owner.channels.begin(), owner.channels.end(),
                     [](const CHAN_ENTRY& a, const CHAN_ENTRY& b) { return a.ChannelID < b.ChannelID; });
    info.Channels = owner.channels.data();
    info.ChannelCount = static_cast<int16_t>(owner.channels.size());
    return true;
}

// A new record kept with the module's others; null when there is no room.
ChanInfoOwner* NewRecord() {
    ChanInfoOwner* owner = new (std::nothrow) ChanInfoOwner();
    if (!owner) return nullptr;
    try {
        State().tmats.records.Get().emplace_back(owner);
    } catch (const std::bad_alloc&) {
        delete owner;
        return nullptr;
    }
    return owner;
}

CHAN_INFO* Validate(const char* text, int length, char* errorText) {
    TmatsState& st = State().tmats;
    if (!text || length <= 0) {
        SetErrorText(errorText, "Empty TMATS Packet.\r\n");
        EarlyFinding("Error: Empty TMATS Packet.\r\n");
        return Fail(false);
    }
    if (split_tmats_packet(text, length, errorText) != 0) {
        EarlyFinding("Error: Problem sorting the TMATS data.\r\n");
        return Fail(true);
    }
    ChanInfoOwner* owner = NewRecord();
    if (!owner) {
        SetErrorText(errorText, "Error allocating the CHAN INFO structure.\r\n");
        EarlyFinding("Error: Problem allocating the TMATS CHAN INFO structure.\r\n");
        return Fail(true);
    }
    st.current = &owner->info;
    TmatsRun run(*owner, errorText);
    char value[kTmatsValueSize] = "";

    ValidateGeneral(run, value);
    if (!ReadChannelCount(run, value)) return Fail(true);
    ValidateRecorder(run, value);
    if (!ValidateChannels(run, value)) return Fail(true);

    if (st.log.IsOpen()) {
        std::string table;
        print_tmats_packet_info(owner->info, table);
        st.log.Write(table);
    }
    st.log.Close();
    return &owner->info;
}

}  // namespace

void TmatsRun::Finding(const char* line) {
    platform::TextFile& log = State().tmats.log;
    if (!log.IsOpen()) return;
    log.Write(line);
    if (info.FindingCount < INT16_MAX) ++info.FindingCount;
}

void TmatsRun::FindingF(const char* format, ...) {
    if (!State().tmats.log.IsOpen()) return;
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    Finding(line);
}

}  // namespace tessin

TESSIN_API CHAN_INFO* ORVANE_CDECL process_tmats_packet(const char* text, int length, char* errorText,
                                                                    const char* logPath) {
    using namespace tessin;
    TmatsState& st = State().tmats;
    try {
        st.current = nullptr;
        st.log.Close();
        if (logPath && logPath[0] != '\0' && st.log.Open(logPath, "w+")) {
            st.log.Write(kRule);
            st.log.Write("TMATS Packet Validation:\r\n\r\n");
        }
        return Validate(text, length, errorText);
    } catch (...) {
        // Nothing escapes to a C caller; an allocation failure anywhere else
        // is a failed record allocation.
        SetErrorText(errorText, "Error allocating the CHAN INFO structure.\r\n");
        st.log.Close();
        free_tmats_attributes();
        return nullptr;
    }
}
