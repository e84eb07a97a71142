#pragma once
// What the form shows of a run. The processor writes counters and texts
// while the user interface reads them, so counters are atomics and texts sit
// behind a lock; the user interface reads everything as one snapshot.
#include <array>
#include <atomic>
#include <climits>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/format.h"
#include "vexa/engine/error_accounting.h"

namespace vexa {

enum class DisplayText : uint8_t {
    source,           // "Source File: ..." / "Source Dir (%d files): %s" / "Source File (%d/%d): %s"
    log,              // "Output: ..."
    selectedChannel,  // "Selected Channel: ..."
    dataType,         // "Data Type: ..."
    tmatsErrors,      // the TMATS finding count
    relTime,
    irigTime,
    versionInfo,
    status,           // the main frame's status bar
};
constexpr int kDisplayTexts = 9;

struct DisplaySnapshot {
    std::array<std::string, kDisplayTexts> texts;
    uint32_t packetCountAll = 0;
    uint32_t packetCountSelected = 0;
    uint32_t packetSeqAll = 0;
    uint32_t packetSeqSelected = 0;
    float efficiencyAll = 0;
    float efficiencySelected = 0;
    std::array<uint32_t, kFormCounters> errorCounters{};
    bool validateEnabled = false;
    bool stopEnabled = false;
    bool selectedChannelShown = false;  // the selected channel's columns

    const std::string& Text(DisplayText t) const { return texts[static_cast<std::size_t>(t)]; }
};

class DisplayState {
public:
    std::atomic<uint32_t> packetCountAll{0};
    std::atomic<uint32_t> packetCountSelected{0};
    std::atomic<uint32_t> packetSeqAll{0};
    std::atomic<uint32_t> packetSeqSelected{0};
    std::atomic<float> efficiencyAll{0};
    std::atomic<float> efficiencySelected{0};
    std::atomic<bool> validateEnabled{false};
    std::atomic<bool> stopEnabled{false};
    std::atomic<bool> selectedChannelShown{false};

    void SetText(DisplayText t, std::string text) {
        std::lock_guard lock(mutex_);
        if (t == DisplayText::relTime) relTime_.store(kNoRelTime, std::memory_order_relaxed);
        texts_[static_cast<std::size_t>(t)] = std::move(text);
    }
    std::string Text(DisplayText t) const {
        std::lock_guard lock(mutex_);
        if (t == DisplayText::relTime) return RelTimeText();
        return texts_[static_cast<std::size_t>(t)];
    }
    // The relative time text of the packet being validated ("%" PRId64 of
    // its counter), set for every packet: kept as a number without a lock
    // and turned into text only when the form reads it.
    void SetRelTime(int64_t counter) { relTime_.store(counter, std::memory_order_relaxed); }

    // The zeroing of the form's display before a file is validated: packet
    // counts, sequence numbers, error counters, efficiencies and the two
    // time texts. The other texts stay.
    void ResetDisplay(ErrorAccounting& errors) {
        packetCountAll = 0;
        packetCountSelected = 0;
        packetSeqAll = 0;
        packetSeqSelected = 0;
        efficiencyAll = 0;
        efficiencySelected = 0;
        errors.ZeroFormCounters();
        SetText(DisplayText::relTime, {});
        SetText(DisplayText::irigTime, {});
    }

    DisplaySnapshot Snapshot(const ErrorAccounting& errors) const {
        DisplaySnapshot s;
        {
            std::lock_guard lock(mutex_);
            s.texts = texts_;
            s.texts[static_cast<std::size_t>(DisplayText::relTime)] = RelTimeText();
        }
        s.packetCountAll = packetCountAll.load(std::memory_order_relaxed);
        s.packetCountSelected = packetCountSelected.load(std::memory_order_relaxed);
        s.packetSeqAll = packetSeqAll.load(std::memory_order_relaxed);
        s.packetSeqSelected = packetSeqSelected.load(std::memory_order_relaxed);
        s.efficiencyAll = efficiencyAll.load(std::memory_order_relaxed);
        s.efficiencySelected = efficiencySelected.load(std::memory_order_relaxed);
        for (int i = 0; i < kFormCounters; ++i)
            s.errorCounters[static_cast<std::size_t>(i)] = errors.CounterValue(static_cast<FormCounter>(i));
        s.validateEnabled = validateEnabled;
        s.stopEnabled = stopEnabled;
        s.selectedChannelShown = selectedChannelShown;
        return s;
    }

private:
    static constexpr int64_t kNoRelTime = INT64_MIN;  // a 48-bit counter never is
    // Under the lock.
    std::string RelTimeText() const {
        const int64_t counter = relTime_.load(std::memory_order_relaxed);
        if (counter == kNoRelTime) return texts_[static_cast<std::size_t>(DisplayText::relTime)];
        std::string text;
        platform::AppendDecimal(text, counter);
        return text;
    }

    mutable std::mutex mutex_;
    std::array<std::string, kDisplayTexts> texts_;
    std::atomic<int64_t> relTime_{kNoRelTime};
};

}  // namespace vexa
