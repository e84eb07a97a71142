// PCM channels: the frame layout of the channel's PCM format group.
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

}  // namespace

void BuildPcmChannel(TmatsRun& run, const ChannelContext& ch) {
    ++run.pcmOrdinal;
    const int32_t d = run.pcmByPcmChannel ? run.pcmOrdinal : ch.n;
    const int32_t n = ch.n;
    const unsigned id = ch.printedId;
    const bool enabled = ch.enable != 0;
    char value[kTmatsValueSize] = "";
    ChanInfoOwner& owner = run.owner;

    // The bit rate is read before the record exists.
    int32_t bitRate = 0;
    if (run.FindF(value, "P-%d\\D2:", d)) {
        bitRate = DecimalValue(value);
        if (bitRate == 0 && enabled) run.FindingF("Error: Bitrate is set to 0 for channel %u.\r\n", id);
    } else if (enabled) {
        run.FindingF("Error: Bitrate (P-d\\D2) for PCM channel %u is missing.\r\n", id);
    }

    std::size_t slot = owner.pcm.size();
    try {
        owner.wordLengths.reserve(slot + 1);  // so that the word lengths always find a place
    } catch (const std::bad_alloc&) {
        return;
    }
    PCM_CHAN_INFO* pcm = AppendRecord(owner.pcm, run.info.PcmChannels, run.info.PcmCount);
    if (!pcm) return;
    owner.wordLengths.emplace_back();
    pcm->ChannelID = static_cast<uint16_t>(n);
    pcm->Enable = ch.enable;
    pcm->BitRate = bitRate;

    bool haveId = run.embedded ? run.FindF(value, "H\\CID-%d:", n) : run.FindF(value, "R-1\\TK1-%d:", n);
    if (haveId) pcm->ChannelID = static_cast<uint16_t>(DecimalValue(value));
    else if (enabled)
        run.FindingF("Error: Channel Number attribute (R-d\\TK1-n) for PCM channel %u is missing.\r\n", id);

    if (run.FindF(value, "P-%d\\DLN:", d)) CopyField(pcm->DataLinkName, sizeof pcm->DataLinkName, value);

    if (run.FindF(value, "P-%d\\F1:", d)) pcm->WordLength = static_cast<int8_t>(DecimalValue(value));
    else if (enabled)
        run.FindingF("Error: Common Word Length (P-d\\F1) for PCM channel %u is missing.\r\n", id);
    if (run.FindF(value, "P-%d\\F2:", d)) pcm->LsbFirst = value[0] == 'L';
    else if (enabled)
        run.FindingF("Error: Word Transfer Order (P-d\\F2) for PCM channel %u is missing.\r\n", id);
    if (run.FindF(value, "P-%d\\D4:", d)) pcm->PolarityInverted = value[0] == 'I';
    else if (enabled)
        run.FindingF("Error: Polarity (P-d\\D4) for PCM channel %u is missing.\r\n", id);

    int32_t counters = 0;
    if (run.FindF(value, "P-%d\\ISF\\N:", d)) counters = DecimalValue(value);
    else if (enabled)
        run.FindingF("Error: Number of Subframe ID Counters (P-d\\ISF\\N) for PCM channel %u is missing.\r\n", id);
    const bool checkCounters = counters != 0;

    if (run.FindF(value, "P-%d\\IDC1-1:", d)) {
        pcm->FrameIDPosition = static_cast<int16_t>(DecimalValue(value));
    } else {
        pcm->FrameIDPosition = 1;
        if (checkCounters)
            run.FindingF("Error: ID Counter location (P-d\\IDC1-1) for PCM channel %u is missing.\r\n", id);
    }
    if (run.FindF(value, "P-%d\\IDC10-1:", d)) pcm->IDCDirection = value[0] == 'D';
    if (run.FindF(value, "P-%d\\IDC2-1:", d)) {
        pcm->IDCWordLength = static_cast<int16_t>(DecimalValue(value));
    } else {
        pcm->IDCWordLength = pcm->WordLength;
        if (checkCounters)
            run.FindingF("Error: ID Counter word length (P-d\\IDC2-1) for PCM channel %u is missing.\r\n", id);
    }
    if (run.FindF(value, "P-%d\\IDC3-1:", d)) pcm->IDCStartBit = static_cast<int16_t>(DecimalValue(value));
    else if (checkCounters)
        run.FindingF("Error: ID Counter MSB Starting Bit Position (P-d\\IDC3-1) for PCM channel %u is missing.\r\n",
                     id);
    if (run.FindF(value, "P-%d\\IDC4-1:", d)) {
        pcm->IDCLength = static_cast<int16_t>(DecimalValue(value));
    } else {
        int32_t length = int32_t{pcm->IDCWordLength} - int32_t{pcm->IDCStartBit};
        if (length < 0) {
            pcm->IDCLength = pcm->WordLength;
            pcm->IDCStartBit = 0;
        } else {
            pcm->IDCLength = static_cast<int16_t>(length);
        }
        if (checkCounters)
            run.FindingF("Error: ID Counter Length (P-d\\IDC4-1) for PCM channel %u is missing.\r\n", id);
    }
    if (run.FindF(value, "P-%d\\IDC6-1:", d)) pcm->IDCInitialValue = static_cast<int16_t>(DecimalValue(value));
    else if (checkCounters)
        run.FindingF("Error: ID Counter Initial Value (P-d\\IDC6-1) for PCM channel %u is missing.\r\n", id);
    if (run.FindF(value, "P-%d\\IDC7-1:", d)) pcm->IDCInitialFrameNum = static_cast<int16_t>(DecimalValue(value));
    if (run.FindF(value, "P-%d\\IDC8-1:", d)) pcm->IDCEndValue = static_cast<int16_t>(DecimalValue(value));
    else if (checkCounters)
        run.FindingF("Error: ID Counter End Value (P-d\\IDC8-1) for PCM channel %u is missing.\r\n", id);
    if (run.FindF(value, "P-%d\\IDC9-1:", d)) pcm->IDCEndFrameNum = static_cast<int16_t>(DecimalValue(value));
    if (run.embedded && run.FindF(value, "P-%d\\COM:\\D9=", d)) pcm->D9Inverted = value[0] == 'I';

    if (run.FindF(value, "P-%d\\MF\\N:", d)) pcm->NumFrames = static_cast<int16_t>(DecimalValue(value));
    else if (enabled)
        run.FindingF("Error: Number of Minor Frames in a Major Frames (P-d\\MF\\N) for PCM channel %u is missing.\r\n",
                     id);
    if (pcm->IDCDirection == 0 && pcm->IDCEndValue == 0) {
        pcm->IDCEndValue = pcm->NumFrames;
        if (pcm->IDCInitialValue == 0 && pcm->NumFrames > 0)
            pcm->IDCEndValue = static_cast<int16_t>(pcm->NumFrames - 1);
    }
    if (run.FindF(value, "P-%d\\MF1:", d)) pcm->NumWords = static_cast<int16_t>(DecimalValue(value));
    else if (enabled)
        run.FindingF("Error: Number of Words in a Minor Frame (P-d\\MF1) for PCM channel %u is missing.\r\n", id);
    int32_t declaredBits = 0;
    if (run.FindF(value, "P-%d\\MF2:", d)) declaredBits = DecimalValue(value);
    else if (enabled)
        run.FindingF("Error: Number of Bits in a Minor Frame (P-d\\MF2) for PCM channel %u is missing.\r\n", id);

    if (run.FindF(value, "P-%d\\MF4:", d)) {
        pcm->SyncPatternLength = static_cast<int16_t>(DecimalValue(value));
        if (pcm->SyncPatternLength == 0 && enabled)
            run.FindingF("Error: Synchronization Pattern Length is 0 for PCM channel %u is missing.\r\n", id);
        pcm->SyncMask = SyncMaskOfLength(pcm->SyncPatternLength);
    } else if (enabled) {
        run.FindingF("Error: Synchronization Pattern Length (P-d\\MF4) for PCM channel %u is missing.\r\n", id);
    }
    if (run.FindF(value, "P-%d\\MF5:", d)) pcm->SyncPattern = platform::BinaryToUInt(value);
    else if (enabled)
        run.FindingF("Error: Synchronization Pattern (P-d\\MF5) for PCM channel %u is missing.\r\n", id);
    bool haveMask = run.embedded ? run.FindF(value, "P-%d\\COM:\\MF6:", d) : run.FindF(value, "V-1\\CLX\\P\\MF6-%d:", n);
    if (haveMask) pcm->SyncMask = platform::BinaryToUInt(value);

    // Word lengths: the sync word, then the common length, then the overrides.
    const int32_t numWords = pcm->NumWords;
    uint16_t* lengths = nullptr;
    if (numWords > 0) {
        std::unique_ptr<uint16_t[]>& held = owner.wordLengths[slot];
        held.reset(new (std::nothrow) uint16_t[static_cast<std::size_t>(numWords)]);
        lengths = held.get();
        if (lengths) {
            lengths[0] = static_cast<uint16_t>(pcm->SyncPatternLength);
            for (int32_t w = 1; w < numWords; ++w) lengths[w] = static_cast<uint16_t>(pcm->WordLength);
            pcm->WordLengths = lengths;
            pcm->WordLengthCount = static_cast<int16_t>(numWords);
        }
    }
    for (int32_t k = 1; run.FindF(value, "P-%d\\MFW1-%d:", d, k); ++k) {
        int32_t position = DecimalValue(value);
        if (position == 0) continue;
        if (!run.FindF(value, "P-%d\\MFW2-%d:", d, k)) break;
        int32_t width = DecimalValue(value);
        if (width == 0) continue;
        if (numWords == 0 || !lengths) break;
        if (position > 0 && position < numWords) lengths[position] = static_cast<uint16_t>(width);
    }

    const int32_t simpleBits = (numWords - 1) * int32_t{pcm->WordLength} + int32_t{pcm->SyncPatternLength};
    int32_t computedBits = simpleBits;
    if (pcm->WordLengthCount >= 1) {
        int64_t sum = 0;
        for (int32_t w = 0; w < pcm->WordLengthCount; ++w) sum += lengths[w];
        computedBits = static_cast<int32_t>(sum);
    }
    if (!run.FindF(value, "P-%d\\MF2:", d)) {
        pcm->BitsInMinorFrame = simpleBits;
    } else {
        pcm->BitsInMinorFrame = declaredBits;
        if (enabled && declaredBits != computedBits) {
            run.FindingF("Error: Bits/Frame (P-d\\MF2) for Channel %u in TMATS (%d) does not match computed value "
                         "from the Frame Definition in TMATS (%d).\r\n", id, declaredBits, computedBits);
            pcm->BitsInMinorFrame = computedBits;
        }
    }

    if (!run.embedded) {
        value[0] = '\0';
        if (run.FindF(value, "R-1\\DP-%d:", n) || run.FindF(value, "R-1\\PDP-%d:", n)) {
            switch (value[0]) {
                case 'U': pcm->DataMode = 1; break;
                case 'P': pcm->DataMode = 2; break;
                case 'T': pcm->DataMode = 3; break;
                default: pcm->DataMode = 0; break;
            }
        } else if (enabled) {
            run.FindingF("Error: Data Packing Option (R-x\\PDP-n) for PCM channel %u is missing.\r\n", id);
        }
    }

    bool variant = run.FindF(value, "P-%d\\TF:", d) && std::strcmp(value, "1553") == 0;
    if (!variant && declaredBits == 6144)
        variant = (pcm->SyncPatternLength == 24 && pcm->SyncPattern == 0xFAF320u) ||
                  (pcm->SyncPatternLength == 16 && pcm->SyncPattern == 0xFAF3u);
    pcm->FrameVariant = variant ? 1 : 0;
    pcm->FrameVariantWord = variant ? 1 : 0;
}

}  // namespace tessin
