// PCM channels: the frame layout of the channel's PCM format group, read
// attribute group by attribute group in the order the findings appear.
#include <cstring>
#include <memory>
#include <new>

#include "platform/numbers.h"
#include "tmats_attributes.h"
#include "tmats_run.h"

namespace tessin {
namespace {

uint32_t SyncMaskOfLength(int32_t length) {
    if (length <= 0) return 0;
    if (length >= 32) return 0xFFFFFFFFu;
    return (1u << length) - 1u;
}

// What every attribute group of one PCM channel reads and reports with.
struct PcmScope {
    TmatsRun& run;
    PCM_CHAN_INFO* pcm;
    int32_t d;    // the channel's P- group
    int32_t n;    // the channel's number in the R- group
    unsigned id;  // the channel ID the findings print
    bool enabled;
    char value[kTmatsValueSize] = "";

    bool Find(const char* format, int32_t index) { return run.FindF(value, format, index); }
    // A finding of a missing attribute, given with the channel ID.
    void Missing(const char* text) { run.FindingF(text, id); }
};

// The bit rate, read before the record exists.
int32_t ReadBitRate(TmatsRun& run, int32_t d, unsigned id, bool enabled) {
    char value[kTmatsValueSize] = "";
    int32_t bitRate = 0;
    if (run.FindF(value, "P-%d\\D2:", d)) {
        bitRate = DecimalValue(value);
        if (bitRate == 0 && enabled) run.FindingF("Error: Bitrate is set to 0 for channel %u.\r\n", id);
    } else if (enabled) {
        run.FindingF("Error: Bitrate (P-d\\D2) for PCM channel %u is missing.\r\n", id);
    }
    return bitRate;
}

// Channel number and data link name.
void ReadIdentity(PcmScope& s) {
    const bool haveId = s.run.embedded ? s.Find("H\\CID-%d:", s.n) : s.Find("R-1\\TK1-%d:", s.n);
    if (haveId) s.pcm->ChannelID = static_cast<uint16_t>(DecimalValue(s.value));
    else if (s.enabled)
        s.Missing("Error: Channel Number attribute (R-d\\TK1-n) for PCM channel %u is missing.\r\n");
    if (s.Find("P-%d\\DLN:", s.d)) CopyField(s.pcm->DataLinkName, sizeof s.pcm->DataLinkName, s.value);
}

// Common word length, transfer order and polarity.
void ReadWordFormat(PcmScope& s) {
    if (s.Find("P-%d\\F1:", s.d)) s.pcm->WordLength = static_cast<int8_t>(DecimalValue(s.value));
    else if (s.enabled)
        s.Missing("Error: Common Word Length (P-d\\F1) for PCM channel %u is missing.\r\n");
    if (s.Find("P-%d\\F2:", s.d)) s.pcm->LsbFirst = s.value[0] == 'L';
    else if (s.enabled)
        s.Missing("Error: Word Transfer Order (P-d\\F2) for PCM channel %u is missing.\r\n");
    if (s.Find("P-%d\\D4:", s.d)) s.pcm->PolarityInverted = s.value[0] == 'I';
    else if (s.enabled)
        s.Missing("Error: Polarity (P-d\\D4) for PCM channel %u is missing.\r\n");
}

// The subframe ID counter: its findings only when counters are declared.
void ReadIdCounter(PcmScope& s) {
    PCM_CHAN_INFO* pcm = s.pcm;
    int32_t counters = 0;
    if (s.Find("P-%d\\ISF\\N:", s.d)) counters = DecimalValue(s.value);
    else if (s.enabled)
        s.Missing("Error: Number of Subframe ID Counters (P-d\\ISF\\N) for PCM channel %u is missing.\r\n");
    const bool check = counters != 0;

    if (s.Find("P-%d\\IDC1-1:", s.d)) {
        pcm->FrameIDPosition = static_cast<int16_t>(DecimalValue(s.value));
    } else {
        pcm->FrameIDPosition = 1;
        if (check) s.Missing("Error: ID Counter location (P-d\\IDC1-1) for PCM channel %u is missing.\r\n");
    }
    if (s.Find("P-%d\\IDC10-1:", s.d)) pcm->IDCDirection = s.value[0] == 'D';
    if (s.Find("P-%d\\IDC2-1:", s.d)) {
        pcm->IDCWordLength = static_cast<int16_t>(DecimalValue(s.value));
    } else {
        pcm->IDCWordLength = pcm->WordLength;
        if (check) s.Missing("Error: ID Counter word length (P-d\\IDC2-1) for PCM channel %u is missing.\r\n");
    }
    if (s.Find("P-%d\\IDC3-1:", s.d)) pcm->IDCStartBit = static_cast<int16_t>(DecimalValue(s.value));
    else if (check)
        s.Missing("Error: ID Counter MSB Starting Bit Position (P-d\\IDC3-1) for PCM channel %u is missing.\r\n");
    if (s.Find("P-%d\\IDC4-1:", s.d)) {
        pcm->IDCLength = static_cast<int16_t>(DecimalValue(s.value));
    } else {
        int32_t length = int32_t{pcm->IDCWordLength} - int32_t{pcm->IDCStartBit};
        if (length < 0) {
            pcm->IDCLength = pcm->WordLength;
            pcm->IDCStartBit = 0;
        } else {
            pcm->IDCLength = static_cast<int16_t>(length);
        }
        if (check) s.Missing("Error: ID Counter Length (P-d\\IDC4-1) for PCM channel %u is missing.\r\n");
    }
    if (s.Find("P-%d\\IDC6-1:", s.d)) pcm->IDCInitialValue = static_cast<int16_t>(DecimalValue(s.value));
    else if (check)
        s.Missing("Error: ID Counter Initial Value (P-d\\IDC6-1) for PCM channel %u is missing.\r\n");
    if (s.Find("P-%d\\IDC7-1:", s.d)) pcm->IDCInitialFrameNum = static_cast<int16_t>(DecimalValue(s.value));
    if (s.Find("P-%d\\IDC8-1:", s.d)) pcm->IDCEndValue = static_cast<int16_t>(DecimalValue(s.value));
    else if (check)
        s.Missing("Error: ID Counter End Value (P-d\\IDC8-1) for PCM channel %u is missing.\r\n");
    if (s.Find("P-%d\\IDC9-1:", s.d)) pcm->IDCEndFrameNum = static_cast<int16_t>(DecimalValue(s.value));
    if (s.run.embedded && s.Find("P-%d\\COM:\\D9=", s.d)) pcm->D9Inverted = s.value[0] == 'I';
}

// Minor frames per major frame, words and bits per minor frame, and the
// sync pattern. Returns the declared bits per minor frame (0 when absent).
int32_t ReadFrameFormat(PcmScope& s) {
    PCM_CHAN_INFO* pcm = s.pcm;
    if (s.Find("P-%d\\MF\\N:", s.d)) pcm->NumFrames = static_cast<int16_t>(DecimalValue(s.value));
    else if (s.enabled)
        s.Missing("Error: Number of Minor Frames in a Major Frames (P-d\\MF\\N) for PCM channel %u is missing.\r\n");
    if (pcm->IDCDirection == 0 && pcm->IDCEndValue == 0) {
        pcm->IDCEndValue = pcm->NumFrames;
        if (pcm->IDCInitialValue == 0 && pcm->NumFrames > 0)
            pcm->IDCEndValue = static_cast<int16_t>(pcm->NumFrames - 1);
    }
    if (s.Find("P-%d\\MF1:", s.d)) pcm->NumWords = static_cast<int16_t>(DecimalValue(s.value));
    else if (s.enabled)
        s.Missing("Error: Number of Words in a Minor Frame (P-d\\MF1) for PCM channel %u is missing.\r\n");
    int32_t declaredBits = 0;
    if (s.Find("P-%d\\MF2:", s.d)) declaredBits = DecimalValue(s.value);
    else if (s.enabled)
        s.Missing("Error: Number of Bits in a Minor Frame (P-d\\MF2) for PCM channel %u is missing.\r\n");

    if (s.Find("P-%d\\MF4:", s.d)) {
        pcm->SyncPatternLength = static_cast<int16_t>(DecimalValue(s.value));
        if (pcm->SyncPatternLength == 0 && s.enabled)
            s.Missing("Error: Synchronization Pattern Length is 0 for PCM channel %u is missing.\r\n");
        pcm->SyncMask = SyncMaskOfLength(pcm->SyncPatternLength);
    } else if (s.enabled) {
        s.Missing("Error: Synchronization Pattern Length (P-d\\MF4) for PCM channel %u is missing.\r\n");
    }
    if (s.Find("P-%d\\MF5:", s.d)) pcm->SyncPattern = platform::BinaryToUInt(s.value);
    else if (s.enabled)
        s.Missing("Error: Synchronization Pattern (P-d\\MF5) for PCM channel %u is missing.\r\n");
    const bool haveMask = s.run.embedded ? s.Find("P-%d\\COM:\\MF6:", s.d) : s.Find("V-1\\CLX\\P\\MF6-%d:", s.n);
    if (haveMask) pcm->SyncMask = platform::BinaryToUInt(s.value);
    return declaredBits;
}

// Word lengths: the sync word, then the common length, then the overrides.
// The array is held by the owner's slot of this record.
uint16_t* BuildWordLengths(PcmScope& s, std::unique_ptr<uint16_t[]>& held) {
    PCM_CHAN_INFO* pcm = s.pcm;
    const int32_t numWords = pcm->NumWords;
    uint16_t* lengths = nullptr;
    if (numWords > 0) {
        held.reset(new (std::nothrow) uint16_t[static_cast<std::size_t>(numWords)]);
        lengths = held.get();
        if (lengths) {
            lengths[0] = static_cast<uint16_t>(pcm->SyncPatternLength);
            for (int32_t w = 1; w < numWords; ++w) lengths[w] = static_cast<uint16_t>(pcm->WordLength);
            pcm->WordLengths = lengths;
            pcm->WordLengthCount = static_cast<int16_t>(numWords);
        }
    }
    for (int32_t k = 1; s.run.FindF(s.value, "P-%d\\MFW1-%d:", s.d, k); ++k) {
        int32_t position = DecimalValue(s.value);
        if (position == 0) continue;
        if (!s.run.FindF(s.value, "P-%d\\MFW2-%d:", s.d, k)) break;
        int32_t width = DecimalValue(s.value);
        if (width == 0) continue;
        if (numWords == 0 || !lengths) break;
        if (position > 0 && position < numWords) lengths[position] = static_cast<uint16_t>(width);
    }
    return lengths;
}

// Bits per minor frame: the declared value, checked against the sum of the
// word lengths.
void SetBitsInMinorFrame(PcmScope& s, const uint16_t* lengths, int32_t declaredBits) {
    PCM_CHAN_INFO* pcm = s.pcm;
    const int32_t simpleBits =
        (int32_t{pcm->NumWords} - 1) * int32_t{pcm->WordLength} + int32_t{pcm->SyncPatternLength};
    int32_t computedBits = simpleBits;
    if (pcm->WordLengthCount >= 1) {
        int64_t sum = 0;
        for (int32_t w = 0; w < pcm->WordLengthCount; ++w) sum += lengths[w];
        computedBits = static_cast<int32_t>(sum);
    }
    if (!s.Find("P-%d\\MF2:", s.d)) {
        pcm->BitsInMinorFrame = simpleBits;
        return;
    }
    pcm->BitsInMinorFrame = declaredBits;
    if (s.enabled && declaredBits != computedBits) {
        s.run.FindingF("Error: Bits/Frame (P-d\\MF2) for Channel %u in TMATS (%d) does not match computed value "
                       "from the Frame Definition in TMATS (%d).\r\n", s.id, declaredBits, computedBits);
        pcm->BitsInMinorFrame = computedBits;
    }
}

// The recorder's data packing option (not in an embedded record).
void ReadDataPacking(PcmScope& s) {
    if (s.run.embedded) return;
    s.value[0] = '\0';
    if (s.Find("R-1\\DP-%d:", s.n) || s.Find("R-1\\PDP-%d:", s.n)) {
        switch (s.value[0]) {
            case 'U': s.pcm->DataMode = 1; break;
            case 'P': s.pcm->DataMode = 2; break;
            case 'T': s.pcm->DataMode = 3; break;
            default: s.pcm->DataMode = 0; break;
        }
    } else if (s.enabled) {
        s.Missing("Error: Data Packing Option (R-x\\PDP-n) for PCM channel %u is missing.\r\n");
    }
}

// The 1553 frame variant: declared, or known by its frame size and sync.
void SetFrameVariant(PcmScope& s, int32_t declaredBits) {
    PCM_CHAN_INFO* pcm = s.pcm;
    bool variant = s.Find("P-%d\\TF:", s.d) && std::strcmp(s.value, "1553") == 0;
    if (!variant && declaredBits == 6144)
        variant = (pcm->SyncPatternLength == 24 && pcm->SyncPattern == 0xFAF320u) ||
                  (pcm->SyncPatternLength == 16 && pcm->SyncPattern == 0xFAF3u);
    pcm->FrameVariant = variant ? 1 : 0;
    pcm->FrameVariantWord = variant ? 1 : 0;
}

}  // namespace

void BuildPcmChannel(TmatsRun& run, const ChannelContext& ch) {
    ++run.pcmOrdinal;
    const int32_t d = run.pcmByPcmChannel ? run.pcmOrdinal : ch.n;
    const unsigned id = ch.printedId;
    const bool enabled = ch.enable != 0;
    ChanInfoOwner& owner = run.owner;
    const int32_t bitRate = ReadBitRate(run, d, id, enabled);

    std::size_t slot = owner.pcm.size();
    try {
        owner.wordLengths.reserve(slot + 1);  // so that the word lengths always find a place
    } catch (const std::bad_alloc&) {
        return;
    }
    PCM_CHAN_INFO* pcm = AppendRecord(owner.pcm, run.info.PcmChannels, run.info.PcmCount);
    if (!pcm) return;
    owner.wordLengths.emplace_back();
    pcm->ChannelID = static_cast<uint16_t>(ch.n);
    pcm->Enable = ch.enable;
    pcm->BitRate = bitRate;

    PcmScope s{run, pcm, d, ch.n, id, enabled};
    ReadIdentity(s);
    ReadWordFormat(s);
    ReadIdCounter(s);
    const int32_t declaredBits = ReadFrameFormat(s);
    const uint16_t* lengths = BuildWordLengths(s, owner.wordLengths[slot]);
    SetBitsInMinorFrame(s, lengths, declaredBits);
    ReadDataPacking(s);
    SetFrameVariant(s, declaredBits);
}

}  // namespace tessin
