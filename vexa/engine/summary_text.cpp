#include "vexa/engine/summary_text.h"

#include <cinttypes>

#include "platform/date_text.h"
#include "platform/format.h"

namespace vexa {
namespace {

struct CategoryLine {
    Category category;
    const char* head;
};

// The order of the printed lines, not the order of the sum.
constexpr CategoryLine kCategoryLines[] = {
    {Category::chanTimeErrors, "\r\n   Time: "},
    {Category::chanSyncErrors, "\r\n   Header Sync: "},
    {Category::chanSequenceErrors, "\r\n   Sequence number: "},
    {Category::chanPacketLenErrors, "\r\n   Packet length: "},
    {Category::chanDataLenErrors, "\r\n   Data length: "},
    {Category::chanOverflowErrors, "\r\n   Data Overflow Flag: "},
    {Category::chanRtcErrors, "\r\n   Relative Time Counter Errors: "},
    {Category::chanHdrChecksumErrors, "\r\n   Header Checksum: "},
    {Category::chanDataChecksumErrors, "\r\n   Data Checksum: "},
    {Category::chanConsistencyErrors, "\r\n   Consistency: "},
    {Category::chanSimDataErrors, "\r\n   Simulation data errors: "},
    {Category::chanPacketDataErrors, "\r\n   Packet data errors: "},
};

struct BusLine {
    int index;  // into bus1553ErrorCounts (stored WE, SE, LE, TM, FE, ME)
    const char* head;
};

constexpr BusLine kBusLines[] = {
    {4, "\r\n     Number of (FE) Format Errors: "},
    {2, "\r\n     Number of (LE) Word Count Errors: "},
    {5, "\r\n     Number of (ME) Message Errors: "},
    {3, "\r\n     Number of (TM) Response Time Out Errors: "},
    {1, "\r\n     Number of (SE) Sync Type Errors: "},
    {0, "\r\n     Number of (WE) Invalid Word Errors: "},
};

bool Printed(const SummaryInput& in, std::size_t slot) {
    if (in.slots[slot].packetCount == 0) return false;
    const uint32_t id = in.channelIds[slot];
    return in.selectedChannel == 0 || id == static_cast<uint32_t>(in.selectedChannel) || id == 0 ||
           static_cast<int>(slot) == in.timeChannelSlot;
}

void AppendErrors(std::string& out, const ErrorAccounting& errors, std::size_t slot) {
    int64_t total = 0;
    for (int c = 0; c < kCategories; ++c) total += errors.Chan(static_cast<Category>(c))[slot];
    if (total == 0) {
        out += "\r\n Total number of errors: 0";
        return;
    }
    platform::AppendFormat(out, "\r\n Total number of errors: %" PRId64 "\r\n  Number of errors per category: ", total);
    for (const CategoryLine& line : kCategoryLines) {
        const int32_t n = errors.Chan(line.category)[slot];
        if (n != 0) platform::AppendFormat(out, "%s%d", line.head, n);
    }
    if (errors.Chan(Category::chanPacketDataErrors)[slot] != 0)
        for (const BusLine& line : kBusLines) {
            const uint32_t n = errors.bus1553ErrorCounts[slot][static_cast<std::size_t>(line.index)];
            if (n != 0) platform::AppendFormat(out, "%s%u", line.head, n);
        }
    const auto& row = errors.errorTable[slot];
    bool any = false;
    for (uint32_t n : row) any = any || n != 0;
    if (!any) return;
    out += "\r\n Total errors by error codes:";
    for (std::size_t number = 0; number < row.size(); ++number)
        if (row[number] != 0) platform::AppendFormat(out, "\r\n  %u of %d", row[number], static_cast<int>(number));
}

void AppendSlot(std::string& out, const SummaryInput& in, std::size_t slot) {
    const SlotStreamStats& s = in.slots[slot];
    out += s.firstSeenText;
    platform::AppendFormat(out, "\r\n Total number of packets: %u", s.packetCount);
    if (static_cast<int>(slot) == in.timeChannelSlot) {
        out += "\r\n Start time: ";
        out += in.startTime;
        out += "\r\n End time:   ";
        out += in.endTime;
    } else {
        platform::AppendFormat(out, "\r\n Total packet's Data Length in bytes: %" PRIu64, s.summaryDataLength);
    }
    out += "\r\n Start Relative Time Count (in 10th microsec): ";
    out += s.firstRtcText;
    out += "\r\n End Relative Time Count (in 10th microsec):   ";
    out += s.lastRtcText;
    if (in.bus) {
        const Bus1553SlotState& b = (*in.bus)[slot];
        if (b.busA != 0 || b.busB != 0)
            platform::AppendFormat(out,
                                   "\r\n Number of messages on Channel A:   %u"
                                   "\r\n Number of messages on Channel B:   %u",
                                   b.busA, b.busB);
    }
    if (s.efficiency != 0) platform::AppendFormat(out, "\r\n Packet efficiency: %f", static_cast<double>(s.efficiency));
    AppendErrors(out, in.errors, slot);
}

}  // namespace

std::string BuildSummaryText(const SummaryInput& in) {
    std::string out = "Source File: ";
    out += in.sourcePath;
    out += "\r\nDate Time Validated: ";
    out += platform::FormatLocalTime("%A, %B %d, %Y %H:%M:%S", in.now);
    out += "\r\n--- Start of Summary ---";
    for (std::size_t slot = 0; slot < static_cast<std::size_t>(kChannelSlots); ++slot)
        if (Printed(in, slot)) AppendSlot(out, in, slot);
    if (in.selectedChannel == 0) {
        const float all = in.totalPacketLength ? static_cast<float>(static_cast<double>(in.totalDataLength) /
                                                                    static_cast<double>(in.totalPacketLength) * 100.0)
                                               : 0.0f;
        platform::AppendFormat(out, "\r\n\r\nAll packet efficiency: %f", static_cast<double>(all));
    }
    out += "\r\n\r\n--- End of Summary ---\r\n";
    return out;
}

}  // namespace vexa
