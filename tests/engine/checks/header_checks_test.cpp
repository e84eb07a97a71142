// The header-check step: called as a section on exact-size packets, and the
// same packets through the frame.
#include <gtest/gtest.h>

#include <regex>

#include "tests/support/engine_test_access.h"
#include "tests/engine/checks/check_rig.h"
#include "vexa/engine/check_sections.h"
#include "tests/support/engine_rig.h"
#include "platform/format.h"

namespace {

using ch10fix::Bytes;
using ch10fix::Checksum;
using ch10fix::PacketSpec;
using checkfix::HeldPacket;
using vexa::Category;
using vexa::FormCounter;

constexpr uint16_t kChannel = 3;  // slot 2 in the rigs below
constexpr int kSlot = 2;
constexpr int kCleanFileVersion = 13;  // PCM accepts data type versions 0-6

// The numbers the header-check step raises, with their counter and category.
struct Owned {
    uint32_t number;
    FormCounter counter;
    Category category;
};
constexpr Owned kOwned[] = {
    {1, FormCounter::dataChecksumErrors, Category::chanDataChecksumErrors},
    {2, FormCounter::dataChecksumErrors, Category::chanDataChecksumErrors},
    {3, FormCounter::dataChecksumErrors, Category::chanDataChecksumErrors},
    {6, FormCounter::hdrChecksumErrors, Category::chanHdrChecksumErrors},
    {41, FormCounter::sequenceErrors, Category::chanSequenceErrors},
    {42, FormCounter::sequenceErrors, Category::chanSequenceErrors},
    {44, FormCounter::packetLenErrors, Category::chanPacketLenErrors},
    {45, FormCounter::packetLenErrors, Category::chanPacketLenErrors},
    {46, FormCounter::dataLenErrors, Category::chanDataLenErrors},
    {47, FormCounter::dataLenErrors, Category::chanDataLenErrors},
    {48, FormCounter::consistencyErrors, Category::chanConsistencyErrors},
    {49, FormCounter::overflowErrors, Category::chanOverflowErrors},
    {50, FormCounter::consistencyErrors, Category::chanConsistencyErrors},
    {52, FormCounter::timeErrors, Category::chanRtcErrors},
    {151, FormCounter::dataVersionErrors, Category::chanConsistencyErrors},
    {158, FormCounter::packetLenErrors, Category::chanPacketLenErrors},
};

bool IsOwned(uint32_t n) {
    for (const Owned& o : kOwned)
        if (o.number == n) return true;
    return false;
}

// The lines of `log` whose numbers the header-check step owns: other
// sections' findings on the same packets do not matter here.
std::string OwnedLines(const std::string& log) {
    static const std::regex line("Error ([0-9]+):[^\r]*\r\n");
    std::string out;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), line); it != std::sregex_iterator(); ++it)
        if (IsOwned(static_cast<uint32_t>(std::stoul((*it)[1].str())))) out += it->str();
    return out;
}

std::vector<uint32_t> NumbersOf(const std::string& text) {
    static const std::regex number("Error ([0-9]+):");
    std::vector<uint32_t> out;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), number); it != std::sregex_iterator(); ++it)
        out.push_back(static_cast<uint32_t>(std::stoul((*it)[1].str())));
    return out;
}

PacketSpec Pcm(std::size_t body = 8) {
    PacketSpec s;
    s.channelId = kChannel;
    s.dataType = 0x09;
    s.dataTypeVersion = 6;
    s.checksumFromByte24 = true;
    for (std::size_t i = 0; i < body; ++i) s.body.push_back(static_cast<uint8_t>(i * 13 + 5));
    return s;
}

// A packet whose length fields say `packetLength` and `dataLength`, held in
// exactly `packetLength` bytes (zeros beyond what the spec wrote).
Bytes WithLengths(PacketSpec s, uint32_t packetLength, uint32_t dataLength) {
    s.packetLengthOverride = packetLength;
    s.dataLengthOverride = dataLength;
    Bytes b = ch10fix::BuildPacket(s);
    b.resize(packetLength, 0);
    return b;
}

// What one packet's header-check step left.
struct Outcome {
    std::string text;
    bool hdrMark = false;   // " X "
    bool dataMark = false;  // " X "
    uint32_t recorded = 0;
};

// The engine and a packet of interest on slot 2, the section called directly.
struct SectionRig {
    SectionRig() {
        vexa::EngineTestAccess::ResetModuleState();
        vexa::EngineTestAccess::Run(engine).streamRules.fileDataVersion = kCleanFileVersion;
    }
    Outcome Check(const HeldPacket& p, int slot = kSlot) {
        vexa::PacketContext ctx;
        ctx.header = p.header();
        ctx.view = p.view();
        ctx.slot = slot;
        ctx.ofInterest = true;
        std::string findings;
        ctx.findings = &findings;
        engine.Errors().BeginPacket();
        vexa::EngineTestAccess::Run(engine).listingInput = vexa::PacketListingInput{};
        ctx.channelSeen = vexa::EngineTestAccess::FrameOf(engine).ChannelSeen(slot);
        EXPECT_EQ(vexa::CheckHeader(vexa::EngineTestAccess::Run(engine), ctx, vexa::EngineTestAccess::HeaderSection(engine)),
                  vexa::SectionResult::Continue);
        const auto& in = vexa::EngineTestAccess::Run(engine).listingInput;
        EXPECT_EQ(vexa::EngineTestAccess::HeaderSection(engine).recordedDataChecksum[static_cast<std::size_t>(slot)], in.recordedDataChecksum);
        return {findings, in.hdrChecksumFailed, in.dataChecksumFailed, in.recordedDataChecksum};
    }
    vexa::ErrorAccounting& Errors() { return engine.Errors(); }

    vexa::QueueHost host;
    vexa::ValidationEngine engine{host};
};

// The frame over channels 2 and 3 with the listing on, every packet listed.
struct FrameRun {
    explicit FrameRun(int fileVersion = kCleanFileVersion, int selected = 0) : rig({2, 3}, selected) {
        vexa::EngineTestAccess::Run(*rig.engine).streamRules.fileDataVersion = fileVersion;
    }
    std::string Run(const Bytes& stream) { return OwnedLines(rig.Run(stream)); }
    uint32_t Table(uint32_t n) const { return rig.engine->Errors().errorTable[kSlot][n]; }
    rig::FrameRig rig;
};

// Each raised number once: its counter and category rose by one per
// finding, nothing else did, and the error table holds it.
void ExpectCounted(const vexa::ErrorAccounting& e, const std::vector<uint32_t>& numbers, int slot) {
    auto expected = [&](auto Owned::*field, auto value) {
        int n = 0;
        for (uint32_t number : numbers)
            for (const Owned& o : kOwned)
                if (o.number == number && o.*field == value) ++n;
        return n;
    };
    for (int c = 0; c < vexa::kFormCounters; ++c)
        EXPECT_EQ(e.CounterValue(static_cast<FormCounter>(c)),
                  static_cast<uint32_t>(expected(&Owned::counter, static_cast<FormCounter>(c))))
            << "form counter " << c;
    for (int c = 0; c < vexa::kCategories; ++c)
        EXPECT_EQ(e.Chan(static_cast<Category>(c))[static_cast<std::size_t>(slot)],
                  expected(&Owned::category, static_cast<Category>(c)))
            << "category " << c;
    for (uint32_t n : numbers) EXPECT_EQ(e.errorTable[static_cast<std::size_t>(slot)][n], 1u) << n;
}

const char* const k44 = "Error 44: Packet's length exceeded spec\r\n";
const char* const k45 = "Error 45: Packet's length is not a multiple of 4 \r\n";
const char* const k46 = "Error 46: Packet's Data length invalid\r\n";
const char* const k47 = "Error 47: Packet's Data length exceeded Packet's Length\r\n";
const char* const k48 = "Error 48: Packet's Header Version is Reserved \r\n";
const char* const k49 = "Error 49: Packet's Data Overflow flag is set\r\n";
const char* const k50 =
    "Error 50: Intra-Packet Time Stamp Type bit is set but Secondary Header Present bit is not\r\n";
const char* const k52 = "Error 52: Packet's Relative Time Count Sync Error flag is set\r\n";
const char* const k158 =
    "Error 158: Packet Length is less than length of Packet Header, Data Length and Secondary Header Length "
    "combined \r\n";

std::string E151(int version, int fileVersion) {
    return platform::Format("Error 151: Invalid Packet Data Type Version: '%d' for File Data Version: '%d'\r\n",
                            version, fileVersion);
}
// Errors 1-3: the values in 2, 4 or 8 lower-case hex digits.
std::string EData(int number, unsigned recorded, unsigned computed) {
    const int digits = number == 1 ? 2 : number == 2 ? 4 : 8;
    return platform::Format("Error %d: Packet's Data Checksum invalid; recorded is %0*x, computed is %0*x \r\n",
                            number, digits, recorded, digits, computed);
}
std::string E1(unsigned recorded, unsigned computed) { return EData(1, recorded, computed); }
std::string E2(unsigned recorded, unsigned computed) { return EData(2, recorded, computed); }
std::string E3(unsigned recorded, unsigned computed) { return EData(3, recorded, computed); }
std::string E6(unsigned recorded, unsigned computed) {
    return platform::Format(
        "Error 6: Packet's Secondary Header Checksum invalid; recorded is %04x, computed is %04x \r\n", recorded,
        computed);
}

// Little-endian sums from byte 24 up to `end`, as the packets carry them.
uint32_t Sum(const Bytes& b, std::size_t end, int width) {
    uint64_t sum = 0;
    for (std::size_t at = 24; at + static_cast<std::size_t>(width) <= end; at += static_cast<std::size_t>(width)) {
        uint32_t w = 0;
        for (int i = 0; i < width; ++i) w |= static_cast<uint32_t>(b[at + static_cast<std::size_t>(i)]) << (8 * i);
        sum += w;
    }
    return static_cast<uint32_t>(sum & (width == 1 ? 0xFF : width == 2 ? 0xFFFF : 0xFFFFFFFF));
}

struct Row {
    std::string name;
    Bytes packet;
    std::string text;  // exactly, in step order
    bool hdrMark = false;
    bool dataMark = false;
    uint32_t recorded = 0;
    int fileVersion = kCleanFileVersion;
};

// Runs each row through the section (exact-size buffer) and alone through
// the frame: the same texts, marks and recorded value both ways.
void RunRows(const std::vector<Row>& rows) {
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        SectionRig s;
        vexa::EngineTestAccess::Run(s.engine).streamRules.fileDataVersion = r.fileVersion;
        HeldPacket p(r.packet);
        ASSERT_EQ(p.size(), p.header().packetLength);
        const Outcome o = s.Check(p);
        EXPECT_EQ(o.text, r.text);
        EXPECT_EQ(o.hdrMark, r.hdrMark);
        EXPECT_EQ(o.dataMark, r.dataMark);
        EXPECT_EQ(o.recorded, r.recorded);
        ExpectCounted(s.Errors(), NumbersOf(r.text), kSlot);

        FrameRun f(r.fileVersion);
        EXPECT_EQ(f.Run(r.packet), r.text);
        const auto& in = vexa::EngineTestAccess::Run(*f.rig.engine).listingInput;
        EXPECT_EQ(in.hdrChecksumFailed, r.hdrMark);
        EXPECT_EQ(in.dataChecksumFailed, r.dataMark);
        EXPECT_EQ(in.recordedDataChecksum, r.recorded);
        for (uint32_t n : NumbersOf(r.text)) EXPECT_EQ(f.Table(n), 1u) << n;
    }
}

TEST(HeaderChecks, Lengths) {
    const PacketSpec s = Pcm();
    std::vector<Row> rows = {
        {"0x80002: 44 only", WithLengths(s, 0x80002, 12), k44},
        {"0x80002 too short for its data: 158 and 47, not 44", WithLengths(s, 0x80002, 0x80000),
         std::string(k158) + k47},
        {"0x80000 passes", WithLengths(s, 0x80000, 0x7FFE8), ""},
        {"0x7FFFE: 45", WithLengths(s, 0x7FFFE, 12), k45},
        {"data length 0: 46, never 47", WithLengths(s, 28, 0), k46},
        {"data length 0 in 25 bytes: 45 and 46", WithLengths(s, 25, 0), std::string(k45) + k46},
        {"data length 0xFFFFFFF0 in 100 bytes: 158 and 47 (64-bit sums)", WithLengths(s, 100, 0xFFFFFFF0u),
         std::string(k158) + k47},
        {"data length exactly what the packet holds", WithLengths(s, 40, 16), ""},
        {"data length one beyond: 158 and 47", WithLengths(s, 40, 17), std::string(k158) + k47},
    };
    // 30 bytes with a secondary header, a 32-bit checksum and data length 4:
    // 158, and no 47 as the overhead exceeds the packet length. The 32-bit
    // value at 24 is the zero time word, which the empty sum matches.
    PacketSpec sec = Pcm(0);
    sec.secondaryHeader = true;
    sec.checksum = Checksum::Sum32;
    rows.push_back({"30 bytes, secondary header, 32-bit, data length 4", WithLengths(sec, 30, 4), k158});
    RunRows(rows);
}

TEST(HeaderChecks, Versions) {
    auto version = [](uint8_t type, uint8_t v) {
        PacketSpec s = Pcm();
        s.dataType = type;
        s.dataTypeVersion = v;
        return ch10fix::BuildPacket(s);
    };
    std::vector<Row> rows = {
        {"PCM version 0: 48 only", version(0x09, 0), k48},
        {"version 8: 48 and 151", version(0x09, 8), k48 + E151(8, 13)},
        {"PCM version 4 under file version 7", version(0x09, 4), E151(4, 7), false, false, 0, 7},
        {"PCM version 4 under file version 13", version(0x09, 4), "", false, false, 0, 13},
        {"0x4B version 0: 48 only", version(0x4B, 0), k48, false, false, 0, 5},
        {"0x1A version 255 under file version 5: 48 only", version(0x1A, 255), k48, false, false, 0, 5},
        {"0x1A version 3 under file version 5", version(0x1A, 3), E151(3, 5), false, false, 0, 5},
        {"unknown file version 6 reads column 05", version(0x09, 3), E151(3, 6), false, false, 0, 6},
    };
    for (uint8_t v = 1; v <= 7; ++v)
        rows.push_back({"0x4B version " + std::to_string(v), version(0x4B, v), E151(v, 15), false, false, 0, 15});
    RunRows(rows);
}

TEST(HeaderChecks, Flags) {
    auto flags = [](uint8_t other, bool secondary, std::optional<uint16_t> secondarySum = {}) {
        PacketSpec s = Pcm();
        s.otherFlags = other;
        s.secondaryHeader = secondary;
        s.secondaryTime = 0x0102030405060708ull;
        s.secondaryChecksumOverride = secondarySum;
        return ch10fix::BuildPacket(s);
    };
    const Bytes good = flags(0x40, true);
    const uint16_t rightSum = ch10fix::Get16(good, 34);
    std::vector<Row> rows = {
        {"bit 4: 49", flags(0x10, false), k49},
        {"bit 6 without bit 7: 50", flags(0x40, false), k50},
        {"bit 5: 52", flags(0x20, false), k52},
        {"bits 6 and 7, secondary checksum right", good, ""},
        {"bits 6 and 7, secondary checksum wrong: 6 and the mark", flags(0x40, true, 0x1234), E6(0x1234, rightSum),
         true},
        {"bit 7 alone, secondary checksum wrong: nothing", flags(0, true, 0x1234), ""},
        {"bits 4, 5 and 6 in step order", flags(0x70, false), std::string(k49) + k50 + k52},
    };
    RunRows(rows);
}

TEST(HeaderChecks, Checksums) {
    auto with = [](Checksum c, std::size_t body, std::optional<uint32_t> recorded = {}, bool afterData = true) {
        PacketSpec s = Pcm(body);
        s.checksum = c;
        s.checksumAfterData = afterData;
        s.dataChecksumOverride = recorded;
        return ch10fix::BuildPacket(s);
    };
    std::vector<Row> rows;
    // Right and wrong of each type; the recorded value is the stored one.
    {
        const Bytes b = with(Checksum::Sum8, 7);
        const uint8_t sum = b[24 + ch10fix::Get32(b, 8)];
        rows.push_back({"8-bit right", b, "", false, false, sum});
        const Bytes bad = with(Checksum::Sum8, 7, static_cast<uint8_t>(sum + 1));
        rows.push_back({"8-bit wrong", bad, E1(static_cast<uint8_t>(sum + 1), sum), false, true,
                        static_cast<uint8_t>(sum + 1)});
    }
    {
        const Bytes b = with(Checksum::Sum16, 10);
        const uint16_t sum = ch10fix::Get16(b, b.size() - 2);
        rows.push_back({"16-bit right", b, "", false, false, sum});
        const Bytes bad = with(Checksum::Sum16, 10, 0xBEEF);
        rows.push_back({"16-bit wrong", bad, E2(0xBEEF, sum), false, true, 0xBEEF});
    }
    {
        const Bytes b = with(Checksum::Sum32, 12);
        const uint32_t sum = ch10fix::Get32(b, b.size() - 4);
        rows.push_back({"32-bit right", b, "", false, false, sum});
        const Bytes bad = with(Checksum::Sum32, 12, 0xDEADBEEF);
        rows.push_back({"32-bit wrong", bad, E3(0xDEADBEEF, sum), false, true, 0xDEADBEEF});
    }
    {
        // Recorded 0xAB where 0x12 is computed: two lower-case digits each.
        PacketSpec s = Pcm(0);
        s.body = {0x12};
        s.checksum = Checksum::Sum8;
        s.checksumAfterData = true;
        s.dataChecksumOverride = 0xAB;
        const Bytes b = ch10fix::BuildPacket(s);
        rows.push_back({"8-bit ab against 12", b,
                        "Error 1: Packet's Data Checksum invalid; recorded is ab, computed is 12 \r\n", false, true,
                        0xAB});
    }
    {
        // Filler before the 8-bit byte: the first filler byte is taken as
        // the recorded value.
        const Bytes b = with(Checksum::Sum8, 6, {}, false);
        const std::size_t at = 24 + ch10fix::Get32(b, 8);
        ASSERT_LT(at, b.size() - 1);
        rows.push_back({"8-bit behind filler", b, E1(b[at], Sum(b, at, 1)), false, true, b[at]});
    }
    {
        // An odd packet length: the last whole 16-bit word, and Error 45.
        Bytes b = with(Checksum::Sum16, 10);  // length 40, word at 38
        const uint16_t right = ch10fix::Get16(b, 38);
        b.push_back(0x77);
        ch10fix::Put32(b, 4, 41);
        ch10fix::Put16(b, 22, ch10fix::HeaderChecksum(b.data()));
        rows.push_back({"16-bit, odd length", b, k45, false, false, right});
        Bytes wrong = b;
        ch10fix::Put16(wrong, 38, static_cast<uint16_t>(right ^ 0x0100));
        rows.push_back({"16-bit, odd length, wrong", wrong, k45 + E2(right ^ 0x0100u, right), false, true,
                        right ^ 0x0100u});
    }
    {
        // Lengths that are not a multiple of 4: the last whole 32-bit word.
        for (uint32_t extra : {1u, 2u, 3u}) {
            Bytes b = with(Checksum::Sum32, 12);  // length 44, word at 40
            const uint32_t right = ch10fix::Get32(b, 40);
            b.insert(b.end(), extra, 0x99);
            ch10fix::Put32(b, 4, 44 + extra);
            ch10fix::Put16(b, 22, ch10fix::HeaderChecksum(b.data()));
            rows.push_back({"32-bit, length 44 + " + std::to_string(extra), b, k45, false, false, right});
        }
    }
    {
        // The sums start at byte 24: a secondary header is part of them.
        PacketSpec s = Pcm(8);
        s.secondaryHeader = true;
        s.secondaryTime = 0x1111222233334444ull;
        s.checksum = Checksum::Sum32;
        s.checksumFromByte24 = false;  // as a recorder summing only the data would
        const Bytes b = ch10fix::BuildPacket(s);
        const uint32_t recorded = ch10fix::Get32(b, b.size() - 4);
        rows.push_back({"32-bit summed without the secondary header", b, E3(recorded, Sum(b, b.size() - 4, 4)),
                        false, true, recorded});
    }
    RunRows(rows);
}

TEST(HeaderChecks, SeveralFindingsInOnePacket) {
    // 45, 46, 48, 49, 50, 52 and 2 in one packet: texts in step order, the
    // first five numbers in the packet's codes.
    PacketSpec s = Pcm(10);
    s.dataTypeVersion = 0;
    s.otherFlags = 0x70;
    s.checksum = Checksum::Sum16;
    s.dataChecksumOverride = 0x0BAD;
    Bytes b = ch10fix::BuildPacket(s);
    const uint32_t length = static_cast<uint32_t>(b.size()) + 2;
    b.resize(length, 0);
    ch10fix::Put32(b, 4, length);
    ch10fix::Put32(b, 8, 0);
    ch10fix::Put16(b, 22, ch10fix::HeaderChecksum(b.data()));
    const uint16_t recorded = ch10fix::Get16(b, length - 2);
    const std::string expected = std::string(k45) + k46 + k48 + k49 + k50 + k52 +
                                 E2(recorded, Sum(b, length - 2, 2));

    SectionRig rig;
    HeldPacket p(b);
    EXPECT_EQ(rig.Check(p).text, expected);
    const auto& e = rig.Errors();
    ASSERT_EQ(e.packetCodeCount, 5);
    EXPECT_EQ((std::vector<uint32_t>(e.packetCodes.begin(), e.packetCodes.end())),
              (std::vector<uint32_t>{45, 46, 48, 49, 50}));
    ExpectCounted(e, {45, 46, 48, 49, 50, 52, 2}, kSlot);

    FrameRun f;
    EXPECT_EQ(f.Run(b), expected);
}

TEST(HeaderChecks, MaxLogOneStillCountsAndMarks) {
    PacketSpec s = Pcm();
    s.secondaryHeader = true;
    s.otherFlags = 0x40;
    s.secondaryChecksumOverride = 0x4321;
    const Bytes b = ch10fix::BuildPacket(s);
    SectionRig rig;
    rig.Errors().maxSameErrorPerChannel = 1;
    HeldPacket p(b);
    const Outcome first = rig.Check(p);
    EXPECT_EQ(NumbersOf(first.text), (std::vector<uint32_t>{6}));
    const Outcome second = rig.Check(p);
    EXPECT_EQ(second.text, "");
    EXPECT_TRUE(second.hdrMark);
    EXPECT_EQ(rig.Errors().CounterValue(FormCounter::hdrChecksumErrors), 2u);
    EXPECT_EQ(rig.Errors().chanHdrChecksumErrors[kSlot], 2);
    EXPECT_EQ(rig.Errors().errorTable[kSlot][6], 2u);
    EXPECT_EQ(rig.Errors().packetCodeCount, 1);  // still among the packet's numbers
    // Another slot writes its own first one.
    EXPECT_EQ(NumbersOf(rig.Check(p, 1).text), (std::vector<uint32_t>{6}));
}

TEST(HeaderChecks, HeaderChecksumText) {
    PacketSpec s = Pcm();
    s.channelId = 0x1234;
    Bytes b = ch10fix::BuildPacket(s);
    const uint16_t computed = ch10fix::HeaderChecksum(b.data());
    ch10fix::Put16(b, 22, 0x00AB);
    auto errors = std::make_unique<vexa::ErrorAccounting>();
    std::string text = "left over";
    // The candidate's own offset, 64 bits; the values in four digits.
    EXPECT_EQ(vexa::CheckHeaderChecksum(b.data(), text, 4, 0x123456789ull, *errors), -1);
    EXPECT_EQ(text, platform::Format("Error 4: Found packet with channel ID of 4660, at offset 0x123456789, with "
                                     "invalid Header Checksum, recorded is 0x00ab, computed is 0x%04x, packet is "
                                     "skipped.\r\n",
                                     computed));
    // CountError only: the frame raises the counters when it writes the line.
    EXPECT_EQ(errors->errorTable[4][4], 1u);
    EXPECT_EQ(errors->CounterValue(FormCounter::hdrChecksumErrors), 0u);
    EXPECT_EQ(errors->chanHdrChecksumErrors[4], 0);
    // Past "MaxLog": counted, no text, still -1.
    errors->maxSameErrorPerChannel = 1;
    EXPECT_EQ(vexa::CheckHeaderChecksum(b.data(), text, 4, 0, *errors), -1);
    EXPECT_EQ(text, "");
    EXPECT_EQ(errors->errorTable[4][4], 2u);
    // A right checksum empties the text and counts nothing.
    ch10fix::Put16(b, 22, computed);
    text = "left over";
    EXPECT_EQ(vexa::CheckHeaderChecksum(b.data(), text, 4, 0, *errors), 0);
    EXPECT_EQ(text, "");
    EXPECT_EQ(errors->errorTable[4][4], 2u);
}

// Sequence numbers need the frame: only a slot that completed a packet is
// checked, against the record of the packet's data type.
TEST(HeaderChecks, Sequence) {
    auto pkt = [](uint16_t channel, uint8_t type, uint8_t seq) {
        PacketSpec s = Pcm();
        s.channelId = channel;
        s.dataType = type;
        s.dataTypeVersion = 3;
        s.sequence = seq;
        return ch10fix::BuildPacket(s);
    };
    auto sequenceLines = [](const std::string& lines) {
        static const std::regex line("Error 4[12]: [^\r]*\r\n");
        std::string out;
        for (auto it = std::sregex_iterator(lines.begin(), lines.end(), line); it != std::sregex_iterator(); ++it)
            out += it->str();
        return out;
    };
    const std::string e41 = "Error 41: Packet's Sequence number does not loop back\r\n";
    auto e42 = [](int prev) {
        return platform::Format("Error 42: Packet's Sequence jumped, previous packet is %d\r\n", prev);
    };
    struct Case {
        const char* name;
        std::vector<Bytes> packets;
        std::string text;
        int selected = 0;
    } cases[] = {
        {"255 then 0 passes", {pkt(3, 0x09, 255), pkt(3, 0x09, 0)}, ""},
        {"17 then 0: 41", {pkt(3, 0x09, 17), pkt(3, 0x09, 0)}, e41},
        {"3 then 5: 42 naming 3", {pkt(3, 0x09, 3), pkt(3, 0x09, 5)}, e42(3)},
        {"5 then 3: 42", {pkt(3, 0x09, 5), pkt(3, 0x09, 3)}, e42(5)},
        {"255 then 1: 42", {pkt(3, 0x09, 255), pkt(3, 0x09, 1)}, e42(255)},
        {"3 then 4 passes", {pkt(3, 0x09, 3), pkt(3, 0x09, 4)}, ""},
        {"a slot's first packet is not checked", {pkt(3, 0x09, 200)}, ""},
        {"other channels keep their own", {pkt(3, 0x09, 7), pkt(2, 0x09, 100), pkt(3, 0x09, 8)}, ""},
        // A slot's first packet of another data type meets a zero record.
        {"second data type against a zero record", {pkt(3, 0x09, 7), pkt(3, 0x21, 1), pkt(3, 0x21, 3)}, e42(1)},
        {"second data type, 5 against zero", {pkt(3, 0x09, 4), pkt(3, 0x21, 5)}, e42(0)},
        {"1553 formats share a record", {pkt(3, 0x19, 7), pkt(3, 0x1A, 8)}, ""},
        {"computer-generated and unlisted types share one record, Fibre Channel has its own",
         {pkt(3, 0x00, 7), pkt(3, 0x02, 8), pkt(3, 0x4B, 9), pkt(3, 0x79, 1)}, ""},
        // Time packets: their group's record, whichever channel wrote it.
        {"time packets by group", {pkt(3, 0x11, 3), pkt(2, 0x11, 9), pkt(3, 0x11, 4)}, e42(9)},
        {"time then data on one slot", {pkt(3, 0x11, 3), pkt(3, 0x09, 1)}, ""},
        {"time packets of an unselected channel are checked", {pkt(3, 0x11, 3), pkt(3, 0x11, 5)}, e42(3), 2},
    };
    for (const auto& c : cases) {
        Bytes stream;
        for (const Bytes& p : c.packets) ch10fix::Append(stream, p);
        FrameRun f(kCleanFileVersion, c.selected);
        EXPECT_EQ(sequenceLines(f.Run(stream)), c.text) << c.name;
        EXPECT_EQ(f.rig.Counter(FormCounter::sequenceErrors), NumbersOf(c.text).size()) << c.name;
        EXPECT_EQ(f.rig.engine->Errors().chanSequenceErrors[kSlot], static_cast<int32_t>(NumbersOf(c.text).size()))
            << c.name;
    }

    // The run reset empties the records.
    FrameRun f;
    f.Run(pkt(3, 0x09, 9));
    EXPECT_EQ(vexa::EngineTestAccess::HeaderSection(*f.rig.engine).previousSequence[kSlot][vexa::RecordFamilyOf(0x09)], 9);
    vexa::EngineTestAccess::ResetValidationState(*f.rig.engine);
    EXPECT_EQ(vexa::EngineTestAccess::HeaderSection(*f.rig.engine).previousSequence[kSlot][vexa::RecordFamilyOf(0x09)], 0);
}

TEST(HeaderChecks, SelectedChannelDataTypeText) {
    auto pcm = [](uint32_t mode) {
        PacketSpec s = Pcm();
        s.csdw = mode << 18;
        return ch10fix::BuildPacket(s);
    };
    struct Case {
        Bytes packet;
        const char* text;
    } cases[] = {
        {pcm(1), "Data Type: PCM - Fmt 1 - Unpacked"},
        {pcm(2), "Data Type: PCM - Fmt 1 - Packed"},
        {pcm(4), "Data Type: PCM - Fmt 1 - Throughput"},
        {pcm(3), "Data Type: PCM - Fmt 1"},
        {[] { PacketSpec s = Pcm(); s.dataType = 0x4B; return ch10fix::BuildPacket(s); }(),
         "Data Type: Undefined - 75"},
    };
    for (const auto& c : cases) {
        SectionRig rig;
        rig.engine.runConfig.selectedChannel = kChannel;
        HeldPacket p(c.packet);
        vexa::PacketContext ctx;
        ctx.header = p.header();
        ctx.view = p.view();
        ctx.slot = kSlot;
        ctx.channelSeen = vexa::EngineTestAccess::FrameOf(rig.engine).ChannelSeen(kSlot);
        vexa::NoState none;
        EXPECT_EQ(vexa::ShowSelectedDataType(vexa::EngineTestAccess::Run(rig.engine), ctx, none),
                  vexa::SectionResult::Continue);
        EXPECT_EQ(rig.engine.display.Text(vexa::DisplayText::dataType), c.text);
    }

    // Through the frame: the selected channel's first packet only.
    Bytes stream;
    ch10fix::Append(stream, pcm(2));
    ch10fix::Append(stream, pcm(1));
    PacketSpec other = Pcm();
    other.channelId = 2;
    other.dataType = 0x21;
    ch10fix::Append(stream, ch10fix::BuildPacket(other));
    FrameRun selected(kCleanFileVersion, kChannel);
    selected.Run(stream);
    EXPECT_EQ(selected.rig.engine->display.Text(vexa::DisplayText::dataType), "Data Type: PCM - Fmt 1 - Packed");
    FrameRun all;
    all.Run(stream);
    EXPECT_EQ(all.rig.engine->display.Text(vexa::DisplayText::dataType), "");  // no channel selected
}

// Exact-size packets whose length fields reach past them: nothing outside
// is read (AddressSanitizer), and what cannot be checked is marked.
TEST(PacketBounds, EightBitChecksumWithHugeDataLength) {
    PacketSpec s = Pcm();
    s.checksum = Checksum::Sum8;
    const Bytes b = WithLengths(s, 100, 0xFFFFFFF0u);
    RunRows({{"8-bit, data length 0xFFFFFFF0", b, std::string(k158) + k47, false, true, 0}});
}

TEST(PacketBounds, ShortPackets) {
    enum Kind { Sum8, Sum16, Sum32, Secondary };
    auto shortPacket = [](Kind kind, uint32_t length, uint32_t dataLength) {
        PacketSpec s = Pcm(0);
        s.csdw = std::nullopt;
        Bytes b = ch10fix::BuildPacket(s);
        b.resize(length, 0);
        ch10fix::Put32(b, 4, length);
        ch10fix::Put32(b, 8, dataLength);
        b[14] = kind == Secondary ? 0xC0 : static_cast<uint8_t>(kind + 1);
        ch10fix::Put16(b, 22, ch10fix::HeaderChecksum(b.data()));
        return b;
    };
    // Zero bytes behind the header: whatever is checked passes, so a mark
    // says that a value lay outside the packet.
    struct Case {
        Kind kind;
        uint32_t length;
        uint32_t dataLength;
        std::vector<const char*> texts;
        bool hdrMark;
        bool dataMark;
    } cases[] = {
        {Sum8, 25, 1, {k158, k47}, false, true},  // the byte at 25 is outside
        {Sum8, 26, 2, {k158, k47}, false, true},  // at 26
        {Sum8, 26, 1, {k45}, false, false},       // at 25, inside
        {Sum8, 27, 1, {k45}, false, false},
        {Sum16, 25, 1, {k158}, false, true},      // the word at 22 is before byte 24
        {Sum16, 26, 1, {k158, k47}, false, false},  // the word at 24
        {Sum16, 27, 1, {k45}, false, false},
        {Sum32, 25, 1, {k158}, false, true},
        {Sum32, 26, 1, {k158}, false, true},
        {Sum32, 27, 1, {k158}, false, true},
        {Secondary, 25, 1, {k158}, true, false},  // bytes 24-35 are not all there
        {Secondary, 26, 1, {k158}, true, false},
        {Secondary, 27, 1, {k158}, true, false},
        {Secondary, 27, 0xFFFFFFF0u, {k158}, true, false},  // no 47: the overhead exceeds the length
    };
    std::vector<Row> rows;
    for (const auto& c : cases) {
        std::string text;
        for (const char* t : c.texts) text += t;
        rows.push_back({platform::Format("kind %d, %u bytes, data length %u", c.kind, c.length, c.dataLength),
                        shortPacket(c.kind, c.length, c.dataLength), text, c.hdrMark, c.dataMark, 0});
    }
    RunRows(rows);
}

}  // namespace
