// The P group: one PCM_FORMAT_INFO per format group with its frame layout,
// ID counters and subcoms; then the ID-counter masks and the recorder links.
#include <algorithm>
#include <cstring>
#include <string>

#include "pcm_format.h"
#include "platform/numbers.h"
#include "tmats_fields.h"

namespace tessin {
namespace {

constexpr int32_t kMaxCount = 32767;  // the i16 counts
// Words x frames that the Chapter 4 frame limits can reach (16,384 words of
// a minor frame, 512 minor frames to a major frame, with room to spare); a
// text asking for more is asking for memory no format needs.
constexpr int64_t kMaxFrameWords = int64_t{1} << 24;

struct FormatWalk {
    PCM_FORMAT_INFO* f = nullptr;
    FormatArrays* a = nullptr;
    int32_t group = 0;
    int32_t word = 0;  // MFW1's word
};

int16_t Narrow(const char* value) { return static_cast<int16_t>(DecimalValue(value)); }

// The data link name's parts: the text before the first ',' is the format ID;
// with two ',' in its first 32 characters the version and unit follow.
void SetDataLinkName(PCM_FORMAT_INFO& f, const char* value, const GeneralInfo& general) {
    CopyField(f.AircraftID, sizeof f.AircraftID, general.programName);
    CopyField(f.CreationDate, sizeof f.CreationDate, general.originationDate);
    CopyField(f.FormatUnitID, sizeof f.FormatUnitID, "NONE");
    CopyField(f.FormatVersion, sizeof f.FormatVersion, "0");
    CopyField(f.DataLinkName, sizeof f.DataLinkName, value);
    std::string head(value, strnlen(value, 32));
    CopyField(f.FormatID, sizeof f.FormatID, head.substr(0, head.find(',')).c_str());
    std::size_t first = head.find(',');
    std::size_t second = first == std::string::npos ? first : head.find(',', first + 1);
    if (second == std::string::npos) return;
    std::string version = head.substr(first + 1, second - first - 1);
    std::string unit = head.substr(second + 1);
    unit = unit.substr(0, unit.find(','));
    CopyField(f.FormatVersion, sizeof f.FormatVersion, version.c_str());
    CopyField(f.FormatUnitID, sizeof f.FormatUnitID, unit.c_str());
}

// MF2: the word-indexed arrays, made once per MF2 with the sizes known now.
PassResult MakeFrameArrays(FormatWalk& w, const char* value) {
    PCM_FORMAT_INFO& f = *w.f;
    FormatArrays& a = *w.a;
    f.BitsInMinorFrame = DecimalValue(value);
    if (f.BitsInMinorFrame == 0) return PassResult::Fail;
    int32_t words = std::max<int32_t>(f.NumWords, 0);
    int32_t frames = std::max<int32_t>(f.NumFrames, 0);
    int64_t masks = static_cast<int64_t>(words) * frames;
    if (masks > kMaxFrameWords) return PassResult::Fail;  // as a refused allocation
    if (!a.frameWordMasks.Assign(static_cast<std::size_t>(masks))) return PassResult::Fail;
    a.wordLengths.assign(words, static_cast<uint16_t>(f.WordLength));
    a.mainframe.assign(words, MAINFRAME_INFO{});
    a.allocWords = words;
    a.allocFrames = frames;
    f.NumMainframeEntries = static_cast<int16_t>(words);
    return PassResult::Ok;
}

PassResult SetSyncPattern(PCM_FORMAT_INFO& f, const char* value) {
    CopyField(f.SyncPattern, sizeof f.SyncPattern, value);
    if (std::strlen(value) != static_cast<std::size_t>(std::max<int16_t>(f.SyncPatternLength, 0)))
        return PassResult::Fail;
    std::size_t ones = std::min<std::size_t>(f.SyncPatternLength, sizeof f.SyncMask - 1);
    std::memset(f.SyncMask, '1', ones);
    f.SyncMask[ones] = '\0';
    return PassResult::Ok;
}

// A converted value checked against its range before it is narrowed.
PassResult SetRanged(int16_t& field, const char* value, int32_t low, int32_t high) {
    int32_t v = DecimalValue(value);
    if (v < low || v > high) return PassResult::Fail;
    field = static_cast<int16_t>(v);
    return PassResult::Ok;
}

void SetIdCounterField(FormatWalk& w, const TmatsEntry& e) {
    int32_t n = e.index[0];
    if (n < 1 || n > static_cast<int32_t>(w.a->idCounters.size())) return;
    IDCounterInfo& c = w.a->idCounters[n - 1];
    int16_t* fields[] = {&c.FrameIDPosition, &c.IDCWordLength, &c.IDCStartBit, &c.IDCLength, nullptr,
                         &c.IDCInitialValue, &c.IDCInitialFrameNum, &c.IDCEndValue, &c.IDCEndFrameNum};
    if (e.id == 38) {
        c.IDCDirection = e.value[0] == 'D' ? 1 : 0;
    } else if (int16_t* field = fields[e.id - 29]) {
        *field = Narrow(e.value);
    }
}

void SetIdCounterCount(FormatWalk& w, const char* value) {
    int32_t n = std::clamp(DecimalValue(value), 0, kMaxCount);
    w.f->NumIDCounters = static_cast<int16_t>(n);
    w.a->idCounters.assign(n, IDCounterInfo{});
}

// SF\N-n: counter n's subcoms; a further counter appends, a repeat replaces.
PassResult SetSubcomCount(FormatWalk& w, const TmatsEntry& e) {
    FormatArrays& a = *w.a;
    int32_t counter = e.index[0];
    int32_t count = std::clamp(DecimalValue(e.value), 0, kMaxCount);
    std::vector<SUBCOM_INFO> subcoms;
    std::vector<SUBCOM_DETAIL_INFO> details;
    int32_t perSubcom = std::max<int32_t>(w.f->NumFrames, 0);
    bool replaced = false;
    std::size_t base = 0;
    auto blocks = a.subcomBlocks;
    for (auto& [n, k] : blocks) {
        bool repeat = n == counter;
        int32_t keep = repeat ? count : k;
        for (int32_t i = 0; i < keep; ++i) subcoms.push_back(repeat ? SUBCOM_INFO{} : a.subcoms[base + i]);
        base += k;
        k = keep;
        replaced = replaced || repeat;
    }
    if (!replaced) {
        subcoms.resize(subcoms.size() + count);
        blocks.emplace_back(counter, count);
    }
    int64_t total = static_cast<int64_t>(subcoms.size());
    if (total > kMaxCount || total * perSubcom > kMaxCount) return PassResult::Fail;
    details.assign(static_cast<std::size_t>(total * perSubcom), SUBCOM_DETAIL_INFO{});
    // Details are filled by the D group, after this pass: none is lost here.
    a.subcoms = std::move(subcoms);
    a.details = std::move(details);
    a.subcomBlocks = std::move(blocks);
    a.detailsPerSubcom = perSubcom;
    w.f->NumSubcoms = static_cast<int16_t>(total);
    w.f->NumSubcomDetails = static_cast<int16_t>(total * perSubcom);
    return PassResult::Ok;
}

SUBCOM_INFO* Subcom(FormatWalk& w, const TmatsEntry& e) {
    std::size_t base = 0;
    for (auto [n, k] : w.a->subcomBlocks) {
        if (n == e.index[0]) return e.index[1] >= 1 && e.index[1] <= k ? &w.a->subcoms[base + e.index[1] - 1] : nullptr;
        base += k;
    }
    return nullptr;
}

void SetSubcomField(FormatWalk& w, const TmatsEntry& e) {
    SUBCOM_INFO* s = Subcom(w, e);
    if (!s) return;
    if (e.id == 40) CopyField(s->ID, 11, e.value);
    if (e.id == 43) s->Loc = Narrow(e.value);
    if (e.id == 45) s->Depth = Narrow(e.value);
}

void SetWordLength(FormatWalk& w, const char* value) {
    if (w.word >= 1 && w.word < w.a->allocWords)
        w.a->wordLengths[w.word - 1] = static_cast<uint16_t>(DecimalValue(value));
}

PassResult Apply(FormatWalk& w, const TmatsEntry& e, const GeneralInfo& general) {
    PCM_FORMAT_INFO& f = *w.f;
    const char* v = e.value;
    switch (e.id) {
    case 0: SetDataLinkName(f, v, general); break;
    case 1: CopyField(f.PCMCode, sizeof f.PCMCode, v); break;
    case 2: f.BitRate = platform::DecimalToDouble(v); break;
    case 4: f.PolarityInverted = v[0] == 'I'; break;
    case 5: f.AutoPolarityCorrection = v[0] == 'Y'; break;
    case 6: f.DataDirectionReversed = v[0] == 'R'; break;
    case 7: f.DataRandomized = v[0] == 'Y'; break;
    case 9:
        CopyField(f.FormatType, sizeof f.FormatType, "CH4");
        if (std::strcmp(v, "ONE") != 0 && std::strcmp(v, "TWO") != 0) return PassResult::Fail;
        break;
    case 10: {
        int16_t length = 0;
        if (SetRanged(length, v, 1, 16) == PassResult::Fail) return PassResult::Fail;
        f.WordLength = static_cast<int8_t>(length);
        break;
    }
    case 11: f.LsbFirst = v[0] == 'L'; break;
    case 12: f.Parity = v[0] == 'O' ? 1 : (v[0] == 'E' ? 2 : 0); break;
    case 14: return SetRanged(f.NumFrames, v, 1, kMaxCount);
    case 15: return SetRanged(f.NumWords, v, 1, kMaxCount);
    case 16: return MakeFrameArrays(w, v);
    case 18: return SetRanged(f.SyncPatternLength, v, 1, kMaxCount);
    case 19: return SetSyncPattern(f, v);
    case 24: w.word = DecimalValue(v); break;
    case 25: SetWordLength(w, v); break;
    case 26: SetIdCounterCount(w, v); break;
    case 27:
        if (e.index[0] == 1) w.a->idCounterName.assign(v, strnlen(v, 15));
        break;
    case 29: case 30: case 31: case 32: case 34: case 35: case 36: case 37: case 38: SetIdCounterField(w, e); break;
    case 39: return SetSubcomCount(w, e);
    case 40: case 43: case 45: SetSubcomField(w, e); break;
    default: break;
    }
    return PassResult::Ok;
}

}  // namespace

PassResult BuildFormats(PcmResult& result, EntryRange p, const GeneralInfo& general) {
    int32_t count = CountGroups(p);
    if (count == 0) return PassResult::Ok;
    result.formatArrays.clear();
    result.formatArrays.resize(count);
    result.formats.assign(count, PCM_FORMAT_INFO{});
    for (PCM_FORMAT_INFO& f : result.formats) {
        f.FirstGuard = kFirstGuard;
        f.LastGuard = kLastGuard;
    }
    FormatWalk w;
    int32_t record = -1;
    for (const TmatsEntry& e : p) {
        if (record < 0 || e.group != w.group) {
            w = FormatWalk{};
            ++record;
            w.f = &result.formats[record];
            w.a = &result.formatArrays[record];
            w.group = e.group;
        }
        if (Apply(w, e, general) == PassResult::Fail) return PassResult::Fail;
    }
    return PassResult::Ok;
}

void MarkIdCounters(PcmResult& result) {
    for (std::size_t i = 0; i < result.formats.size(); ++i) {
        const PCM_FORMAT_INFO& f = result.formats[i];
        FormatArrays& a = result.formatArrays[i];
        uint16_t mask = DefaultWordMask(f.WordLength);
        int32_t stride = a.allocWords - 1;
        for (const IDCounterInfo& c : a.idCounters) {
            int32_t p = c.FrameIDPosition;
            if (p < 1 || p > a.allocWords) continue;
            for (int32_t frame = 0; frame < a.allocFrames; ++frame) a.frameWordMasks[(p - 1) + frame * stride] = mask;
        }
    }
}

void LinkRecorderChannels(PcmResult& result, EntryRange r) {
    int32_t group = 0;
    int32_t channel = -1;
    int16_t number = 0;
    char enable = 0;
    for (const TmatsEntry& e : r) {
        if (e.group != group || e.index[0] != channel) {
            group = e.group;
            channel = e.index[0];
            number = 0;
            enable = 0;
        }
        if (e.id == 39) number = static_cast<int16_t>(DecimalValue(e.value));
        if (e.id == 43) enable = e.value[0];
        if ((e.id != 45 && e.id != 48) || enable != 'T') continue;
        if (e.id == 45) {
            auto it = std::find_if(result.formats.begin(), result.formats.end(),
                                   [&](const PCM_FORMAT_INFO& f) { return std::strcmp(f.DataLinkName, e.value) == 0; });
            if (it != result.formats.end()) it->ChannelID = number;
        } else {
            auto it = std::find_if(result.buses.begin(), result.buses.end(),
                                   [&](const BUS_INFO& b) { return std::strcmp(b.DataLinkName, e.value) == 0; });
            if (it != result.buses.end()) it->ChannelID = number;
        }
    }
}

}  // namespace tessin
