// The catalogue against a separate transcription of the grouped table.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "vexa/engine/error_catalogue.h"

namespace vexa {
namespace {

struct Group {
    std::vector<int> numbers;
    ErrorOwner owner;
    const char* counter;   // form label, "-" none
    const char* feed;      // "", "totals", "once"
    const char* category;  // summary label, "-" none
};

const std::vector<Group>& Groups() {
    using O = ErrorOwner;
    static const std::vector<Group> groups = {
        {{39}, O::Framing, "Sync", "", "Header Sync"},
        {{43}, O::Framing, "Packet Len", "", "Packet length"},
        {{174}, O::Framing, "Consistency", "", "Consistency"},
        {{30}, O::StreamIndex, "Invalid Time", "", "-"},
        {{31, 32}, O::StreamIndex, "Consistency", "", "-"},
        {{33}, O::StreamIndex, "Packet Len", "", "-"},
        {{34, 35, 36, 37, 38, 80, 155, 156, 162, 163, 164, 165, 173, 175}, O::StreamIndex, "Consistency", "",
         "Consistency"},
        {{157, 160, 166}, O::StreamIndex, "Consistency", "", "Consistency"},
        {{159}, O::StreamIndex, "-", "", "-"},
        {{5, 12, 13, 14, 15, 16, 17, 18, 19, 25, 26, 27, 28, 51, 133, 152, 153, 154}, O::Time, "Invalid Time", "",
         "Time"},
        {{1, 2, 3}, O::Header, "Data Chksum", "", "Data Checksum"},
        {{4, 6}, O::Header, "Hdr Chksum", "", "Header Checksum"},
        {{41, 42}, O::Header, "Sequence", "", "Sequence number"},
        {{44, 45, 158}, O::Header, "Packet Len", "", "Packet length"},
        {{46, 47}, O::Header, "Data Len", "", "Data length"},
        {{48, 50}, O::Header, "Consistency", "", "Consistency"},
        {{49}, O::Header, "Data Overflow", "", "Data Overflow Flag"},
        {{52}, O::Header, "Time Count", "", "Relative Time Counter Errors"},
        {{151}, O::Header, "Data Version", "", "Consistency"},
        {{8}, O::DataWord, "Time Count", "", "Relative Time Counter Errors"},
        {{62, 169}, O::DataWord, "Invalid Time", "", "Time"},
        {{63, 64}, O::DataWord, "Data Error", "totals", "Packet data errors"},
        {{138}, O::DataWord, "Data Len", "", "Data length"},
        {{53, 54, 55, 56, 57, 58, 59, 60, 61, 69, 70, 71, 72, 132, 135, 136, 137, 139, 148, 149, 168, 170, 171},
         O::DataWord, "Consistency", "", "Consistency"},
        {{20, 21, 40, 65, 66, 67, 68, 73, 74, 75, 76, 77, 78, 79, 81, 82, 83, 84, 85, 86, 87, 88, 89, 140, 141, 142,
          143, 144, 145, 146, 147, 150, 161, 176},
         O::PreviousPacket, "Consistency", "", "Consistency"},
        {{90, 91, 92, 93, 94, 95, 96, 97, 99, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113,
          114, 115, 116},
         O::PcmBody, "Data Error", "totals", "Packet data errors"},
        {{98, 117}, O::PcmBody, "Sim Data Err", "totals", "Simulation data errors"},
        {{118}, O::PcmBody, "Invalid Time", "once", "Time"},
        {{119, 120, 121, 122, 123, 124, 125, 126, 127, 128, 129}, O::Bus1553Body, "Data Error", "totals",
         "Packet data errors"},
        {{131}, O::Bus1553Body, "Sim Data Err", "totals", "Simulation data errors"},
        {{11}, O::Bus1553Body, "Invalid Time", "once", "Time"},
        {{172}, O::Bus1553Body, "-", "", "-"},
    };
    return groups;
}

const char* FormLabel(FormCounter c) {
    static const char* const labels[] = {"Sync",          "Sequence",    "Packet Len",   "Data Len",   "Data Error",
                                         "Time Count",    "Data Overflow", "Consistency", "Sim Data Err",
                                         "Invalid Time",  "Hdr Chksum",  "Data Chksum",  "Data Version", "-"};
    return labels[static_cast<int>(c)];
}

const char* SummaryLabel(Category c) {
    static const char* const labels[] = {"Header Checksum", "Relative Time Counter Errors", "Data Overflow Flag",
                                         "Packet data errors", "Data length", "Packet length",
                                         "Simulation data errors", "Sequence number", "Header Sync", "Time",
                                         "Data Checksum", "Consistency", "-"};
    return labels[static_cast<int>(c)];
}

const char* FeedLabel(CounterFeed f) {
    switch (f) {
        case CounterFeed::ThroughTotals: return "totals";
        case CounterFeed::OncePerPacket: return "once";
        default: return "";
    }
}

TEST(ErrorCatalogue, RowsMatchTheGroupedTable) {
    std::map<int, const Group*> byNumber;
    for (const Group& g : Groups())
        for (int n : g.numbers) {
            ASSERT_TRUE(byNumber.emplace(n, &g).second) << "number " << n << " in two groups";
        }
    const std::set<int> neverRaised = {7, 9, 10, 22, 23, 24, 29, 130, 134, 167};
    ASSERT_EQ(byNumber.size(), 166u);

    int raised = 0;
    for (int n = 1; n <= kErrorNumbers; ++n) {
        SCOPED_TRACE("Error " + std::to_string(n));
        const ErrorInfo& e = kErrorCatalogue[static_cast<std::size_t>(n - 1)];
        EXPECT_EQ(e.number, n);
        auto it = byNumber.find(n);
        if (it == byNumber.end()) {
            EXPECT_TRUE(neverRaised.count(n));
            EXPECT_EQ(e.status, ErrorStatus::NeverRaised);
            EXPECT_EQ(e.owner, ErrorOwner::None);
            EXPECT_EQ(e.counter, FormCounter::None);
            EXPECT_EQ(e.category, Category::None);
            continue;
        }
        ++raised;
        const Group& g = *it->second;
        EXPECT_NE(e.status, ErrorStatus::NeverRaised);
        EXPECT_EQ(e.status == ErrorStatus::WrittenUncounted, n == 159 || n == 172);
        EXPECT_EQ(e.owner, g.owner);
        EXPECT_STREQ(FormLabel(e.counter), g.counter);
        EXPECT_STREQ(FeedLabel(e.feed), g.feed);
        EXPECT_EQ(e.feed == CounterFeed::None, std::string(g.counter) == "-");
        EXPECT_STREQ(SummaryLabel(e.category), g.category);
    }
    EXPECT_EQ(raised, 166);
}

TEST(ErrorCatalogue, DetailAndBusColumnsFollowTheDataModel) {
    const std::map<Detail, std::vector<int>> details = {
        {Detail::chanPcmSyncErrors, {90}},
        {Detail::chanPcmMinorSyncBitErrors, {91, 95}},
        {Detail::chanPcmMajorSyncBitErrors, {92}},
        {Detail::chanMajorLockErrors, {93, 99}},
        {Detail::chanMinorLockErrors, {94, 100, 102, 104, 105, 107, 108, 110, 111, 113, 114}},
        {Detail::chanFrameIdErrors, {101, 103, 106, 109, 112}},
        {Detail::chanTimeStampErrors, {96, 97, 115, 116, 129}},
        {Detail::chanGapTimeErrors, {125, 126}},
        {Detail::chanByteCountErrors, {127, 128}},
        {Detail::chanMsgCountErrors, {63, 64}},
    };
    // WE, SE, LE, TM, FE, ME
    const std::map<int, int> bus = {{124, 0}, {123, 1}, {122, 2}, {121, 3}, {120, 4}, {119, 5}};

    std::map<int, Detail> expectedDetail;
    for (const auto& [d, numbers] : details)
        for (int n : numbers) expectedDetail[n] = d;
    for (int n = 1; n <= kErrorNumbers; ++n) {
        SCOPED_TRACE("Error " + std::to_string(n));
        const ErrorInfo& e = *FindError(static_cast<uint32_t>(n));
        auto d = expectedDetail.find(n);
        EXPECT_EQ(e.detail, d == expectedDetail.end() ? Detail::None : d->second);
        auto b = bus.find(n);
        EXPECT_EQ(e.busIndex, b == bus.end() ? -1 : b->second);
    }
    EXPECT_EQ(FindError(0), nullptr);
    EXPECT_EQ(FindError(177), nullptr);
}

}  // namespace
}  // namespace vexa
