// The D group: for every PCM format, which measurands it carries, in which
// minor-frame words, frames and bits.
#include <algorithm>
#include <cstring>
#include <map>
#include <new>

#include "pcm_format.h"
#include "platform/numbers.h"
#include "tmats_fields.h"

namespace tessin {
namespace {

constexpr int32_t kMaxEntries = 65535;  // the u16 counts
constexpr int32_t kMaxSizeBits = 64;    // a measurement's largest size

// State of the walk over one D group (one format).
struct LocationWalk {
    PCM_FORMAT_INFO* f = nullptr;
    FormatArrays* a = nullptr;
    int32_t group = 0;
    std::map<int32_t, std::pair<int32_t, int32_t>> lists;  // list -> (base, count)
    int32_t cursor = 0;
    bool located = false;
    int32_t word = 0;
    int32_t frame = 0;
    SUBCOM_INFO* subcom = nullptr;
    int32_t depth = 0;
    int32_t repeat = 0;
    int32_t fragments = 0;
    uint16_t mask = 0;  // the measurand's last main-frame mask
};

DB_SAMPLES_INFO* Sample(LocationWalk& w) {
    return w.cursor < static_cast<int32_t>(w.a->samples.size()) ? &w.a->samples[w.cursor] : nullptr;
}

// Word-location entry of measurand n of list y (D-x\...-y-n).
DB_MEASRU_INFO* Measurand(LocationWalk& w, const TmatsEntry& e) {
    auto it = w.lists.find(e.index[0]);
    if (it == w.lists.end()) return nullptr;
    int32_t n = e.index[1];
    if (n < 1 || n > it->second.second) return nullptr;
    return &w.a->measru[it->second.first + n - 1];
}

bool IsIdCounter(const LocationWalk& w, const char* name) {
    return !w.a->idCounterName.empty() && w.a->idCounterName == name;
}

MAINFRAME_INFO* Word(LocationWalk& w, int32_t word) {
    return word >= 1 && word <= w.a->allocWords ? &w.a->mainframe[word - 1] : nullptr;
}

void MarkWord(LocationWalk& w, int32_t word, int32_t frame, uint16_t mask) {
    if (word < 1 || word > w.a->allocWords || frame < 0 || frame >= w.a->allocFrames) return;
    w.a->frameWordMasks[(word - 1) + frame * (w.a->allocWords - 1)] |= mask;
}

PassResult AddList(LocationWalk& w, const TmatsEntry& e) {
    if (w.lists.count(e.index[0])) return PassResult::Ok;
    int32_t total = static_cast<int32_t>(w.a->samples.size());
    int32_t count = std::clamp(DecimalValue(e.value), 0, kMaxEntries - total);
    w.lists[e.index[0]] = {total, count};
    try {
        w.a->samples.resize(total + count);
    } catch (const std::bad_alloc&) {
        SetLastError("GetPCMFormatInfo: Error allocating DB_SAMPLES_INFO structures.");
        return PassResult::Fail;
    }
    try {
        w.a->measru.resize(total + count);
    } catch (const std::bad_alloc&) {
        SetLastError("GetPCMFormatInfo: Error allocating DB_MEASRU_INFO structures.");
        return PassResult::Fail;
    }
    w.f->NumSampleEntries = static_cast<uint16_t>(total + count);
    w.f->NumMeasRUEntries = w.f->NumSampleEntries;
    return PassResult::Ok;
}

void StartMeasurand(LocationWalk& w, const TmatsEntry& e) {
    DB_SAMPLES_INFO* s = Sample(w);
    if (w.located && s && !IsIdCounter(w, s->SampleID) && w.cursor < w.f->NumSampleEntries) ++w.cursor;
    w.located = false;
    w.mask = 0;
    DB_MEASRU_INFO* m = Measurand(w, e);
    if (!m) return;
    if (DB_SAMPLES_INFO* next = Sample(w)) CopyField(next->SampleID, sizeof next->SampleID, e.value);
    CopyField(m->MeasID, sizeof m->MeasID, e.value);
}

// The word takes the current sample when it is empty.
void AssignWord(LocationWalk& w, int32_t word) {
    MAINFRAME_INFO* entry = Word(w, word);
    DB_SAMPLES_INFO* s = Sample(w);
    if (!entry || !s || entry->ID[0] != '\0') return;
    CopyField(entry->ID, sizeof entry->ID, s->SampleID);
    entry->Num = static_cast<int16_t>(word);
    entry->Type = '1';
    s->Size = w.f->WordLength;
    w.located = true;
}

void AssignFrame(LocationWalk& w, SUBCOM_INFO* subcom, int32_t frame) {
    DB_SAMPLES_INFO* s = Sample(w);
    if (!subcom || !s || frame < 1 || frame > w.a->detailsPerSubcom) return;
    // By position: the records' detail pointers are published after the passes.
    std::size_t at = static_cast<std::size_t>(subcom - w.a->subcoms.data()) * w.a->detailsPerSubcom + frame - 1;
    SUBCOM_DETAIL_INFO& d = w.a->details[at];
    if (d.SampleID[0] != '\0') return;
    d.Frame = static_cast<int16_t>(frame);
    CopyField(d.SampleID, sizeof d.SampleID, s->SampleID);
    s->Size = w.f->WordLength;
    w.located = true;
}

void Fill(LocationWalk& w, DB_MEASRU_INFO& m, bool mainFrame) {
    m.ElemNum = 1;
    m.DataType = 0;
    m.Kind = 'S';
    m.FBit = 1;
    DB_SAMPLES_INFO* s = Sample(w);
    m.LBit = mainFrame ? w.f->WordLength : (s ? s->Size : 0);
}

void MainFrameWord(LocationWalk& w, const TmatsEntry& e) {
    int32_t word = DecimalValue(e.value);
    w.word = Word(w, word) ? word : 0;
    DB_MEASRU_INFO* m = Measurand(w, e);
    if (!m || w.word == 0) return;
    AssignWord(w, w.word);
    Fill(w, *m, true);
    MAINFRAME_INFO& entry = *Word(w, w.word);
    if (IsIdCounter(w, entry.ID)) {
        m->ElemID[0] = '\0';
        entry.Num = 0;
    } else {
        CopyField(m->ElemID, sizeof m->ElemID, entry.ID);
    }
}

uint16_t MaskValue(LocationWalk& w, const TmatsEntry& e, int fragment) {
    if (std::strcmp(e.value, "FW") == 0) return DefaultWordMask(w.f->WordLength);
    if (DB_MEASRU_INFO* m = Measurand(w, e)) parse_sync_mask(e.value, w.f->WordLength, m, fragment);
    return static_cast<uint16_t>(platform::BinaryToUInt(e.value));
}

void MainFrameMask(LocationWalk& w, const TmatsEntry& e, int fragment) {
    if (w.word > 0) {
        w.mask = MaskValue(w, e, fragment);
        for (int32_t frame = 0; frame < w.a->allocFrames; ++frame) MarkWord(w, w.word, frame, w.mask);
    }
    if (e.id == 10) w.word = 0;
}

// The further words of a supercommutated measurand: w + k * interval.
void Repeat(LocationWalk& w, const TmatsEntry& e, int32_t count) {
    int32_t interval = DecimalValue(e.value);
    if (w.word <= 0 || !Measurand(w, e) || count <= 1) return;
    int32_t last = interval == 0 ? 1 : count - 1;
    for (int32_t k = 1; k <= last; ++k) {
        int64_t word = w.word + static_cast<int64_t>(k) * interval;
        // Past the frame's edge the words only move further out.
        if ((interval > 0 && word > w.a->allocWords) || (interval < 0 && word < 1)) break;
        if (word < 1 || word > w.a->allocWords) continue;
        MAINFRAME_INFO& entry = w.a->mainframe[word - 1];
        DB_SAMPLES_INFO* s = Sample(w);
        if (entry.ID[0] == '\0' && s) {
            CopyField(entry.ID, sizeof entry.ID, s->SampleID);
            entry.Num = static_cast<int16_t>(word);
            entry.Type = '1';
            w.located = true;
        }
        for (int32_t frame = 0; frame < w.a->allocFrames; ++frame)
            MarkWord(w, static_cast<int32_t>(word), frame, w.mask);
    }
}

void SelectSubcom(LocationWalk& w, const char* id) {
    w.subcom = nullptr;
    w.word = 0;
    w.depth = 0;
    w.frame = 0;
    for (SUBCOM_INFO& s : w.a->subcoms) {
        if (std::strcmp(s.ID, id) != 0) continue;
        w.subcom = &s;
        w.word = s.Loc;
        w.depth = s.Depth;
        if (MAINFRAME_INFO* entry = Word(w, s.Loc)) {
            CopyField(entry->ID, sizeof entry->ID, s.ID);
            entry->Type = '2';
        }
        return;
    }
}

void SubframeNumber(LocationWalk& w, const TmatsEntry& e) {
    w.frame = DecimalValue(e.value);
    DB_MEASRU_INFO* m = Measurand(w, e);
    if (!m || !w.subcom) return;
    AssignFrame(w, w.subcom, w.frame);
    Fill(w, *m, false);
}

void SubframeMask(LocationWalk& w, const TmatsEntry& e) {
    if (w.word <= 0 || w.frame <= 0 || w.depth <= 0) return;
    uint16_t mask = MaskValue(w, e, 1);
    for (int64_t frame = w.frame - 1; frame < w.a->allocFrames; frame += w.depth)
        MarkWord(w, w.word, static_cast<int32_t>(frame), mask);
}

void FragmentSize(LocationWalk& w, const TmatsEntry& e, bool mainFrame) {
    DB_MEASRU_INFO* m = Measurand(w, e);
    DB_SAMPLES_INFO* s = Sample(w);
    if (!m || !s) return;
    s->Size = static_cast<int16_t>(std::max<int32_t>(DecimalValue(e.value), w.f->WordLength));
    Fill(w, *m, mainFrame);
}

void ListWordLength(LocationWalk& w, const TmatsEntry& e) {
    DB_MEASRU_INFO* m = Measurand(w, e);
    DB_SAMPLES_INFO* s = Sample(w);
    if (!m || !s) return;
    // Past 64 fragments the size is 64 whatever the word length: the count
    // stops there, so the product always holds.
    int32_t least = w.f->WordLength * std::clamp(w.fragments, 1, kMaxSizeBits);
    s->Size = static_cast<int16_t>(std::min(kMaxSizeBits, std::max(DecimalValue(e.value), least)));
    Fill(w, *m, false);
    CopyField(m->ElemID, sizeof m->ElemID, s->SampleID);
}

SUBCOM_INFO* SubcomAt(LocationWalk& w, int32_t word) {
    for (SUBCOM_INFO& s : w.a->subcoms)
        if (s.Loc == word) return &s;
    return nullptr;
}

void ListWordPosition(LocationWalk& w, const TmatsEntry& e) {
    int32_t word = DecimalValue(e.value);
    MAINFRAME_INFO* entry = Word(w, word);
    if (!entry) return;
    w.word = word;
    if (entry->ID[0] == '\0') {
        if (SUBCOM_INFO* s = SubcomAt(w, word)) {
            CopyField(entry->ID, sizeof entry->ID, s->ID);
            entry->Type = '2';
        } else {
            AssignWord(w, word);
        }
    }
    if (DB_MEASRU_INFO* m = Measurand(w, e)) CopyField(m->ElemID, sizeof m->ElemID, entry->ID);
}

void ListFrame(LocationWalk& w) {
    MAINFRAME_INFO* entry = Word(w, w.word);
    if (!entry || w.frame <= 0 || entry->Type != '2') return;
    AssignFrame(w, SubcomAt(w, w.word), w.frame);
}

PassResult Apply(LocationWalk& w, const TmatsEntry& e) {
    switch (e.id) {
    case 3: return AddList(w, e);
    case 4: StartMeasurand(w, e); break;
    case 9: case 13: case 16: MainFrameWord(w, e); break;
    case 10: case 14: case 17: case 22: MainFrameMask(w, e, 1); break;
    case 25: MainFrameMask(w, e, e.index[2]); break;
    case 11: w.repeat = DecimalValue(e.value); break;
    case 15: Repeat(w, e, w.repeat); break;
    case 18: case 39: w.fragments = DecimalValue(e.value); break;
    case 19: FragmentSize(w, e, true); break;
    case 40: FragmentSize(w, e, false); break;
    case 21: MainFrameWord(w, e); break;
    case 24:
        if (e.index[2] >= 1 && e.index[2] <= w.fragments) MainFrameWord(w, e);
        break;
    case 23: Repeat(w, e, w.fragments); break;
    case 28: case 31: case 42: SelectSubcom(w, e.value); break;
    case 29: case 34: case 37: case 44: case 47: SubframeNumber(w, e); break;
    case 30: case 35: case 38: case 45: case 48: SubframeMask(w, e); break;
    case 32: case 51: w.repeat = DecimalValue(e.value); break;
    case 52: w.fragments = DecimalValue(e.value); break;
    case 53: ListWordLength(w, e); break;
    case 54: ListWordPosition(w, e); break;
    case 56: w.frame = DecimalValue(e.value); break;
    case 58: ListFrame(w); break;
    default: break;
    }
    return PassResult::Ok;
}

}  // namespace

PassResult LocateMeasurements(PcmResult& result, EntryRange d) {
    LocationWalk w;
    int32_t record = -1;
    for (const TmatsEntry& e : d) {
        if (record < 0 || e.group != w.group) {
            ++record;
            w = LocationWalk{};
            w.group = e.group;
            if (record < static_cast<int32_t>(result.formats.size())) {
                w.f = &result.formats[record];
                w.a = &result.formatArrays[record];
            }
        }
        if (!w.f) continue;  // more D groups than formats
        if (Apply(w, e) == PassResult::Fail) return PassResult::Fail;
    }
    return PassResult::Ok;
}

}  // namespace tessin
