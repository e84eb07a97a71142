// Every number the header, checksum, stream, setup-record and index checks
// own, raised once from a small fixture: its exact text, and the counter,
// category and error-table count it raises against the catalogue's columns.
// Rows run through the frame (the run hooks around it for the index checks
// at start and end); only a setup record too long for the frame is fed to
// its section directly.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <regex>
#include <set>
#include <string>

#include "tests/support/engine_test_access.h"
#include "tests/engine/checks/check_rig.h"
#include "tests/support/ch10_bodies.h"
#include "tests/support/pcm_packet_builder.h"
#include "tests/support/pcm_record_rig.h"
#include "vexa/engine/check_sections.h"
#include "vexa/engine/differs_checks.h"
#include "tests/support/engine_rig.h"
#include "platform/format.h"
#include "tests/engine/checks/stream_rig.h"

namespace {

using ch10fix::Bytes;
using ch10fix::Checksum;
using ch10fix::PacketSpec;
using vexa::Category;
using vexa::ErrorOwner;
using vexa::FormCounter;

// What a row's run left behind.
struct Outcome {
    std::string log;  // every line written, at once or with a packet
    std::shared_ptr<void> keep;
    const vexa::ErrorAccounting* errors = nullptr;
    std::function<int(uint16_t)> slotOf;  // -1: channel not in the table
};

// A recording through the frame over a TMATS of PCM channel 2 and time
// channel 3, as the processor runs it: index setup, the buffer, the end of data.
struct Scenario {
    std::vector<Bytes> packets;
    std::vector<CHAN_ENTRY> channels = {{0x09, 2, 1}, {0x11, 3, 1}};
    int fileVersion = 13;  // PCM accepts data type versions 0-6
    int tmatsRevision = 11;
    bool eventsEnabled = false;
    bool indexEnabled = false;
    // Body checks: on with the channels' records; simulated data on the
    // selected channel.
    bool bodyChecks = false;
    std::vector<PCM_CHAN_INFO> pcm = {};
    std::vector<BUS1553_CHAN_INFO> bus = {};
    int selected = 0;
    bool simulated = false;
};

// The rig with the records its TMATS points to.
struct FrameHeld {
    std::shared_ptr<rig::FrameRig> rig;
    std::vector<PCM_CHAN_INFO> pcm = {};
    std::vector<BUS1553_CHAN_INFO> bus = {};
};

Outcome ThroughFrame(const Scenario& sc) {
    auto held = std::make_shared<FrameHeld>();
    held->rig = std::make_shared<rig::FrameRig>(std::vector<uint16_t>{});
    const std::shared_ptr<rig::FrameRig>& r = held->rig;
    r->entries = sc.channels;
    r->info.Channels = r->entries.data();
    r->info.ChannelCount = static_cast<int16_t>(r->entries.size());
    r->info.EventsEnabled = sc.eventsEnabled;
    r->info.IndexEnabled = sc.indexEnabled;
    vexa::EngineTestAccess::FrameOf(*r->engine).PrefillChannelTable(&r->info);
    r->engine->runConfig.tmatsTextPath = r->dir.File("frame.log.TMATS.tmt");
    vexa::EngineTestAccess::Run(*r->engine).streamRules.fileDataVersion = sc.fileVersion;
    vexa::EngineTestAccess::Run(*r->engine).streamRules.tmatsRevision = sc.tmatsRevision;
    if (sc.bodyChecks) {
        held->pcm = sc.pcm;
        held->bus = sc.bus;
        r->info.PcmChannels = held->pcm.data();
        r->info.PcmCount = static_cast<int16_t>(held->pcm.size());
        r->info.Bus1553Channels = held->bus.data();
        r->info.Bus1553Count = static_cast<int16_t>(held->bus.size());
        vexa::EngineTestAccess::Run(*r->engine).tmatsInfo = &r->info;
        r->engine->runConfig.validateBodies = 1;
        r->engine->runConfig.selectedChannel = sc.selected;
        r->engine->runConfig.validateSimPcm = sc.simulated ? 1 : 0;
        r->engine->runConfig.validateSim1553 = sc.simulated ? 1 : 0;
    }
    vexa::CheckIndexSetup(vexa::EngineTestAccess::Run(*r->engine));
    Bytes stream;
    for (const Bytes& p : sc.packets) ch10fix::Append(stream, p);
    r->Run(stream);
    Outcome o;
    o.log = rig::ReadText(r->dir.File("frame.log"));
    o.errors = &r->engine->Errors();
    o.slotOf = [e = r->engine.get()](uint16_t channel) {
        for (int s = 0; s < vexa::EngineTestAccess::FrameOf(*e).ChannelTableCount(); ++s)
            if (vexa::EngineTestAccess::FrameOf(*e).ChannelAt(s) == channel) return s;
        return -1;
    };
    o.keep = held;
    return o;
}

// The stream sections alone on one exact-size packet.
Outcome ThroughSections(const Bytes& packet) {
    auto r = std::make_shared<streamrig::Rig>();
    r->s.tmatsRevision = 11;
    Outcome o;
    o.log = r->Feed(packet);
    o.log += r->AtOnce();
    o.errors = &r->errors;
    o.slotOf = [r = r.get()](uint16_t channel) { return r->SlotOf(channel); };
    o.keep = r;
    return o;
}

// Unpacked with intra-packet headers, both frames locked: a clean PCM word.
constexpr uint32_t kCleanPcmWord = 0x5F040000;

PacketSpec Pcm(uint16_t channel = 2) {
    PacketSpec s;
    s.channelId = channel;
    s.dataType = 0x09;
    s.csdw = kCleanPcmWord;
    s.checksumFromByte24 = true;
    for (uint8_t i = 0; i < 8; ++i) s.body.push_back(static_cast<uint8_t>(i * 29 + 3));
    return s;
}
Bytes Build(const PacketSpec& s) { return ch10fix::BuildPacket(s); }
Bytes WithSequence(uint8_t seq) {
    PacketSpec s = Pcm();
    s.sequence = seq;
    return Build(s);
}
Bytes WithVersion(uint8_t v) {
    PacketSpec s = Pcm();
    s.dataTypeVersion = v;
    return Build(s);
}
Bytes WithFlags(uint8_t flags) {
    PacketSpec s = Pcm();
    s.otherFlags = flags;
    return Build(s);
}
// Length fields as given, held in exactly `packetLength` bytes.
Bytes WithLengths(uint32_t packetLength, uint32_t dataLength) {
    PacketSpec s = Pcm();
    s.packetLengthOverride = packetLength;
    s.dataLengthOverride = dataLength;
    Bytes b = Build(s);
    b.resize(packetLength, 0);
    return b;
}

// A data checksum of `type` recorded wrong; `recorded` and `computed` are
// set from the packet as built.
Bytes BadDataChecksum(Checksum type, uint32_t& recorded, uint32_t& computed) {
    PacketSpec s = Pcm();
    s.body.resize(type == Checksum::Sum8 ? 7 : 12);
    s.checksum = type;
    s.checksumAfterData = type == Checksum::Sum8;
    const Bytes good = Build(s);
    const uint32_t dataLength = ch10fix::Get32(good, 8);
    switch (type) {
        case Checksum::Sum8: computed = good[24 + dataLength]; break;
        case Checksum::Sum16: computed = ch10fix::Get16(good, good.size() - 2); break;
        default: computed = ch10fix::Get32(good, good.size() - 4); break;
    }
    const uint32_t mask = type == Checksum::Sum8 ? 0xFF : type == Checksum::Sum16 ? 0xFFFF : 0xFFFFFFFF;
    recorded = (computed ^ 0xA5A5A5A5u) & mask;
    s.dataChecksumOverride = recorded;
    return Build(s);
}

Bytes BadSecondaryChecksum(uint16_t recorded, uint32_t& computed) {
    PacketSpec s = Pcm();
    s.secondaryHeader = true;
    s.otherFlags = 0x40;
    s.secondaryTime = 0x0102030405060708ull;
    computed = ch10fix::Get16(Build(s), 34);
    s.secondaryChecksumOverride = recorded;
    return Build(s);
}

Bytes Setup(uint16_t channel = 0, uint8_t versionByte = 0x07) { return streamrig::SetupRecord(channel, versionByte); }
// A clean IRIG-B time packet on channel 3, `second` seconds into day 1.
ch10fix::TimeSpec TimeAt(uint64_t rtc, int second = 0) {
    ch10fix::TimeSpec t;
    t.channelId = 3;
    t.rtc = rtc;
    t.seconds = second % 60;
    t.minutes = second / 60;
    return t;
}
Bytes Build(const ch10fix::TimeSpec& t) { return ch10fix::BuildPacket(ch10fix::TimePacket(t)); }
Bytes Time() { return Build(TimeAt(0)); }
Bytes RootIndex(uint64_t back) { return checkfix::BuildIndexPacket(checkfix::Root(back)); }
Bytes NodeIndex() { return checkfix::BuildIndexPacket({.node = true}); }
Bytes WithEntryCount(Bytes index, uint16_t count) {
    ch10fix::Put16(index, 24, count);
    return index;
}

struct Row {
    uint32_t number;
    // As the owning checks count it; None for 159, and for the category of 30-33.
    FormCounter counter;
    Category category;
    uint16_t channel;  // whose slot it counts on
    uint32_t count;    // its error-table count on that slot
    std::string text;  // every line of this number, in order
    std::function<Outcome()> run;
};

// Each "Error N: ...\r\n" line of `log`, by number.
std::map<uint32_t, std::string> LinesByNumber(const std::string& log) {
    // A finding's continuation lines begin with blanks.
    static const std::regex line("Error ([0-9]+):[^\r\n]*\r\n(?: [^\r\n]*\r\n)*");
    std::map<uint32_t, std::string> out;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), line); it != std::sregex_iterator(); ++it)
        out[static_cast<uint32_t>(std::stoul((*it)[1].str()))] += it->str();
    return out;
}

void AddTimeRows(std::vector<Row>& rows);
void AddDataWordRows(std::vector<Row>& rows);
void AddMessageAndFrameRows(std::vector<Row>& rows);
void AddDiffersRows(std::vector<Row>& rows);
void AddPcmBodyRows(std::vector<Row>& rows);
void AddBus1553BodyRows(std::vector<Row>& rows);

std::vector<Row> Rows() {
    const std::string k4Format =
        "Error 4: Found packet with channel ID of 2, at offset 0x%x, with invalid Header Checksum, recorded is "
        "0x%04x, computed is 0x%04x, packet is skipped.\r\n";
    std::vector<Row> rows;
    auto frame = [](Scenario sc) { return [sc] { return ThroughFrame(sc); }; };
    auto packets = [&frame](std::vector<Bytes> p) { return frame(Scenario{std::move(p)}); };

    // --- header and checksum checks ----------------------------------------
    for (Checksum type : {Checksum::Sum8, Checksum::Sum16, Checksum::Sum32}) {
        uint32_t recorded = 0, computed = 0;
        const Bytes b = BadDataChecksum(type, recorded, computed);
        const int n = static_cast<int>(type);
        const int digits = n == 1 ? 2 : n == 2 ? 4 : 8;
        rows.push_back({static_cast<uint32_t>(n), FormCounter::dataChecksumErrors, Category::chanDataChecksumErrors,
                        2, 1,
                        platform::Format("Error %d: Packet's Data Checksum invalid; recorded is %0*x, computed is "
                                         "%0*x \r\n",
                                         n, digits, recorded, digits, computed),
                        packets({b})});
    }
    {
        // A candidate of interest behind a good packet: the frame counts and
        // writes it, at the candidate's own offset.
        const Bytes first = Build(Pcm());
        Bytes bad = Build(Pcm());
        const uint16_t computed = ch10fix::HeaderChecksum(bad.data());
        ch10fix::BreakHeaderChecksum(bad);
        rows.push_back({4, FormCounter::hdrChecksumErrors, Category::chanHdrChecksumErrors, 2, 1,
                        platform::Format(k4Format.c_str(), static_cast<unsigned>(first.size()),
                                         ch10fix::Get16(bad, 22), computed),
                        packets({first, bad})});
    }
    {
        uint32_t computed = 0;
        const Bytes b = BadSecondaryChecksum(0x1234, computed);
        rows.push_back({6, FormCounter::hdrChecksumErrors, Category::chanHdrChecksumErrors, 2, 1,
                        platform::Format("Error 6: Packet's Secondary Header Checksum invalid; recorded is 1234, "
                                         "computed is %04x \r\n",
                                         computed),
                        packets({b})});
    }
    rows.push_back({41, FormCounter::sequenceErrors, Category::chanSequenceErrors, 2, 1,
                    "Error 41: Packet's Sequence number does not loop back\r\n",
                    packets({WithSequence(17), WithSequence(0)})});
    rows.push_back({42, FormCounter::sequenceErrors, Category::chanSequenceErrors, 2, 1,
                    "Error 42: Packet's Sequence jumped, previous packet is 3\r\n",
                    packets({WithSequence(3), WithSequence(5)})});
    rows.push_back({44, FormCounter::packetLenErrors, Category::chanPacketLenErrors, 2, 1,
                    "Error 44: Packet's length exceeded spec\r\n", packets({WithLengths(0x80004, 12)})});
    rows.push_back({45, FormCounter::packetLenErrors, Category::chanPacketLenErrors, 2, 1,
                    "Error 45: Packet's length is not a multiple of 4 \r\n", packets({WithLengths(42, 12)})});
    rows.push_back({46, FormCounter::dataLenErrors, Category::chanDataLenErrors, 2, 1,
                    "Error 46: Packet's Data length invalid\r\n", packets({WithLengths(28, 0)})});
    // 47 never comes without 158 but for a packet shorter than its overhead,
    // which gives neither.
    rows.push_back({47, FormCounter::dataLenErrors, Category::chanDataLenErrors, 2, 1,
                    "Error 47: Packet's Data length exceeded Packet's Length\r\n", packets({WithLengths(40, 17)})});
    rows.push_back({48, FormCounter::consistencyErrors, Category::chanConsistencyErrors, 2, 1,
                    "Error 48: Packet's Header Version is Reserved \r\n", packets({WithVersion(0)})});
    rows.push_back({49, FormCounter::overflowErrors, Category::chanOverflowErrors, 2, 1,
                    "Error 49: Packet's Data Overflow flag is set\r\n", packets({WithFlags(0x10)})});
    rows.push_back({50, FormCounter::consistencyErrors, Category::chanConsistencyErrors, 2, 1,
                    "Error 50: Intra-Packet Time Stamp Type bit is set but Secondary Header Present bit is not\r\n",
                    packets({WithFlags(0x40)})});
    rows.push_back({52, FormCounter::timeErrors, Category::chanRtcErrors, 2, 1,
                    "Error 52: Packet's Relative Time Count Sync Error flag is set\r\n", packets({WithFlags(0x20)})});
    {
        Scenario sc{{WithVersion(4)}};
        sc.fileVersion = 7;
        rows.push_back({151, FormCounter::dataVersionErrors, Category::chanConsistencyErrors, 2, 1,
                        "Error 151: Invalid Packet Data Type Version: '4' for File Data Version: '7'\r\n",
                        frame(sc)});
    }
    rows.push_back({158, FormCounter::packetLenErrors, Category::chanPacketLenErrors, 2, 1,
                    "Error 158: Packet Length is less than length of Packet Header, Data Length and Secondary "
                    "Header Length combined \r\n",
                    packets({WithLengths(40, 17)})});

    // --- stream start and setup record -------------------------------------
    rows.push_back({30, FormCounter::invalidTimeErrors, Category::None, 2, 1,
                    "Error 30: Non Computer Generated packet occurs before IRIG packet. \r\n",
                    packets({Build(Pcm())})});
    rows.push_back({31, FormCounter::consistencyErrors, Category::None, 0, 1,
                    "Error 31: First data packet is not Computer Generated Data Format 1 Setup Record packet. \r\n",
                    packets({Time(), Setup()})});
    rows.push_back({32, FormCounter::consistencyErrors, Category::None, 5, 1,
                    "Error 32: First packet's Channel ID is not 0. \r\n", packets({Setup(5)})});
    {
        // Beyond what the frame accepts: the section on the packet's header.
        Bytes setup = Setup();
        ch10fix::Put32(setup, 4, 0x8000001);
        rows.push_back({33, FormCounter::packetLenErrors, Category::None, 0, 1,
                        "Error 33: TMATS packet is more than 134,217,728 bytes. \r\n",
                        [setup] { return ThroughSections(setup); }});
    }
    {
        Scenario sc{{Setup(0, 9)}};
        sc.tmatsRevision = 9;
        rows.push_back({80, FormCounter::consistencyErrors, Category::chanConsistencyErrors, 0, 1,
                        "Error 80: Computer generated format 1 IRIG-106 Chapter 10 Data File Version (11) is "
                        "inconsistent with the version in the TMATS (09)\r\n",
                        frame(sc)});
    }

    // --- data type against the table and the TMATS --------------------------
    {
        Scenario sc{{Time(), streamrig::Packet(2, 0x4B)}};
        sc.channels = {{0x4B, 2, 1}, {0x11, 3, 1}};
        rows.push_back({34, FormCounter::consistencyErrors, Category::chanConsistencyErrors, 2, 1,
                        "Error 34: Data type is undefined\r\n", frame(sc)});
    }
    {
        Scenario sc{{Time(), Build(Pcm())}};
        sc.channels = {{0x09, 2, 0}, {0x11, 3, 1}};
        rows.push_back({35, FormCounter::consistencyErrors, Category::chanConsistencyErrors, 2, 1,
                        "Error 35: Found packet on channel ID 2 of Data Type 9 but described in TMATS packet as "
                        "Disabled. \r\n",
                        frame(sc)});
    }
    {
        Scenario sc{{Time(), Build(Pcm())}};
        sc.channels = {{0x19, 2, 1}, {0x11, 3, 1}};
        rows.push_back({36, FormCounter::consistencyErrors, Category::chanConsistencyErrors, 2, 1,
                        "Error 36: TMATS info indicates channel ID 2 is of Data Type 25 (Bus 1553 - Fmt 1) but "
                        "Packet Header indicates Data Type is 9 (PCM - Fmt 1). \r\n",
                        frame(sc)});
    }
    rows.push_back({37, FormCounter::consistencyErrors, Category::chanConsistencyErrors, 9, 1,
                    "Error 37: Found packet on channel ID 9 of Data Type 9 but not described in TMATS packet. \r\n",
                    packets({Time(), Build(Pcm(9))})});
    rows.push_back({38, FormCounter::consistencyErrors, Category::chanConsistencyErrors, 0, 1,
                    "Error 38: This Computer Generated (TMATS/Setup Record) packet comes in after the Time Packet. "
                    "\r\n",
                    packets({Time(), Setup()})});
    {
        Scenario sc{{Setup(), streamrig::Packet(9, 0x00)}};
        sc.tmatsRevision = 9;
        rows.push_back({173, FormCounter::consistencyErrors, Category::chanConsistencyErrors, 9, 1,
                        "Error 173: Channel ID should be 0 for Computer Generated Data Types\r\n", frame(sc)});
    }
    {
        Scenario sc{{Time(), streamrig::Packet(2, 0x4F)}};
        sc.channels = {{0x4F, 2, 1}, {0x11, 3, 1}};
        rows.push_back({175, FormCounter::consistencyErrors, Category::chanConsistencyErrors, 2, 1,
                        "Error 175: Packet Data type is Reserved\r\n", frame(sc)});
    }

    // --- recording index ----------------------------------------------------
    // Root index packets on channel 0; a root at offset 0 pointing to 0 is right.
    rows.push_back({155, FormCounter::consistencyErrors, Category::chanConsistencyErrors, 0, 1,
                    "Error 155: The first computer generated root index packet does not point to itself. \r\n",
                    packets({RootIndex(4096)})});
    rows.push_back({156, FormCounter::consistencyErrors, Category::chanConsistencyErrors, 0, 1,
                    "Error 156: This computer generated root index packet does not point to the previous root "
                    "index packet. \r\n",
                    packets({RootIndex(0), RootIndex(777)})});
    {
        Scenario sc{{RootIndex(0), NodeIndex()}};
        sc.indexEnabled = true;
        rows.push_back({157, FormCounter::consistencyErrors, Category::chanConsistencyErrors, 0, 1,
                        "Error 157: The last computer generated packet is not a root index packet. \r\n", frame(sc)});
    }
    {
        Scenario sc{{Time()}};
        sc.eventsEnabled = true;
        rows.push_back({159, FormCounter::None, Category::None, 0, 0,
                        "Error 159: Recording Index needs to be enabled when Recording Events is enabled. \r\n",
                        frame(sc)});
    }
    {
        Scenario sc{{RootIndex(0)}};
        sc.indexEnabled = true;
        rows.push_back({160, FormCounter::consistencyErrors, Category::chanConsistencyErrors, 0, 1,
                        "Error 160: At least one Node Index Packet and one Root Index Packet are required when "
                        "Recording Index is enabled. \r\n",
                        frame(sc)});
    }
    rows.push_back({162, FormCounter::consistencyErrors, Category::chanConsistencyErrors, 0, 1,
                    "Error 162: This computer generated root index packet has Invalid Index Entry Count '0'. \r\n",
                    packets({WithEntryCount(RootIndex(0), 0)})});
    rows.push_back({163, FormCounter::consistencyErrors, Category::chanConsistencyErrors, 0, 1,
                    "Error 163: The total size of Root Index Data Entries is not divisible by Index Entry Count "
                    "evenly. \r\n",
                    packets({WithEntryCount(RootIndex(0), 3)})});
    rows.push_back({164, FormCounter::consistencyErrors, Category::chanConsistencyErrors, 0, 1,
                    "Error 164: Root Index Data Entry size does not equal to 24 while IPDH flag is enabled. \r\n",
                    packets({checkfix::BuildIndexPacket({.entryCount = 2, .ipdh = true})})});
    rows.push_back({165, FormCounter::consistencyErrors, Category::chanConsistencyErrors, 0, 1,
                    "Error 165: Root Index Data Entry size does not equal to 16 while IPDH flag is disabled. \r\n",
                    packets({checkfix::BuildIndexPacket({.entryCount = 2, .entryBytes = 24})})});
    rows.push_back({166, FormCounter::consistencyErrors, Category::chanConsistencyErrors, 0, 1,
                    "Error 166: Recording Index needs to be enabled with Index Packet(s). \r\n",
                    packets({RootIndex(0)})});
    AddTimeRows(rows);
    AddDataWordRows(rows);
    AddMessageAndFrameRows(rows);
    AddDiffersRows(rows);
    AddPcmBodyRows(rows);
    AddBus1553BodyRows(rows);
    return rows;
}

// --- time, channel words and differs-from-previous ---------------------------

// A scenario whose TMATS declares `channel` with `type` beside the time channel 3.
std::function<Outcome()> Declared(std::vector<Bytes> packets, uint8_t type, uint16_t channel) {
    Scenario sc{std::move(packets)};
    sc.channels = {{type, channel, 1}, {0x11, 3, 1}};
    return [sc] { return ThroughFrame(sc); };
}

Bytes Spec(const PacketSpec& s) { return ch10fix::BuildPacket(s); }
PacketSpec Typed(uint16_t channel, uint8_t type, uint32_t csdw, uint64_t rtc = 0) {
    PacketSpec s;
    s.channelId = channel;
    s.dataType = type;
    s.csdw = csdw;
    s.rtc = rtc;
    s.body.assign(8, 0);
    return s;
}
Bytes PcmWord(uint32_t csdw) {
    PacketSpec s = Pcm();
    s.csdw = csdw;
    return Build(s);
}
std::string TimeText(uint32_t n, const char* text) { return "Error " + std::to_string(n) + ": " + text + "\r\n"; }

void AddTimeRows(std::vector<Row>& rows) {
    const auto invalid = FormCounter::invalidTimeErrors;
    const auto time = Category::chanTimeErrors;
    auto one = [&](uint32_t n, std::function<void(ch10fix::TimeSpec&)> edit, const char* text) {
        ch10fix::TimeSpec t = TimeAt(0);
        edit(t);
        rows.push_back({n, invalid, time, 3, 1, TimeText(n, text), Declared({Build(t)}, 0x09, 2)});
    };
    one(15, [](auto& t) { t.format = 6; }, "Time Packet's Time Format (FMT) is undefined");
    one(16, [](auto& t) { t.monthDay = true, t.month = 13; }, "Time in Time Packet is out of range");
    one(17, [](auto& t) { t.monthDay = true, t.month = 4, t.day = 31; }, "Time in Time Packet has invalid date");
    one(18, [](auto& t) { t.monthDay = true, t.month = 2, t.day = 29; },
        "Time in Time Packet is invalid for non leap year");
    one(19, [](auto& t) { t.monthDay = true, t.leapYear = true, t.month = 2, t.day = 30; },
        "Time in Time Packet has invalid date");
    one(25, [](auto& t) { t.hours = 24; }, "Time in Time Packet is out of range");
    one(26, [](auto& t) { t.day = 366; }, "Time in Time Packet invalid for non leap year");
    one(27, [](auto& t) { t.milliseconds = 500; }, "Time in Time Packet is not on 1 second time mark");
    one(28, [](auto& t) { t.format = 1, t.milliseconds = 250; }, "Time in Time Packet is not on 10th second time mark");
    one(152, [](auto& t) { t.reservedDate = 1; },
        "Time Packet's Reserved bits (11-10) in Date Format (DATE) field are not zero filled ");
    one(153, [](auto& t) { t.source = 3; }, "Time Packet's Time Source (SRC) is undefined");
    one(154, [](auto& t) { t.reservedHigh = 1; }, "Time Packet's RESERVED field (31-12) is not zero filled ");

    // Spacing: a second packet just outside each format's window (tolerance 5).
    struct Spacing {
        uint32_t n;
        uint8_t format;
        uint64_t ticks;
        int ms;
        const char* name;
    };
    for (const Spacing& sp : {Spacing{12, 0, 10000051, 1000, "IRIG-B"}, Spacing{13, 1, 1000050, 100, "IRIG-A"},
                              Spacing{14, 2, 100050, 10, "IRIG-G"}}) {
        ch10fix::TimeSpec a = TimeAt(50000000), b = TimeAt(50000000 + sp.ticks);
        a.format = b.format = sp.format;
        b.milliseconds = sp.ms % 1000;
        b.seconds = sp.ms / 1000;
        rows.push_back({sp.n, invalid, time, 3, 1,
                        platform::Format("Error %u: Time Packet's Relative Time Count invalid for %s, previous "
                                         "packet is 50000000, difference is %llu (in 10th microsec)\r\n",
                                         sp.n, sp.name, static_cast<unsigned long long>(sp.ticks)),
                        Declared({Build(a), Build(b)}, 0x09, 2)});
    }
    rows.push_back({51, invalid, time, 3, 1, TimeText(51, "Time in Time Packet reversed"),
                    Declared({Build(TimeAt(50000000, 5)), Build(TimeAt(60000000, 5))}, 0x09, 2)});
    // The counter of a channel one tick back, with no time channel yet.
    {
        PacketSpec a = Pcm(), b = Pcm();
        a.rtc = 1000, b.rtc = 999, b.sequence = 1;
        rows.push_back({133, invalid, time, 2, 1, TimeText(133, "Packet's Relative Time Count reversed"),
                        Declared({Build(a), Build(b)}, 0x09, 2)});
    }
    // More than a second behind the highest counter, with a time channel.
    {
        PacketSpec a = Pcm(), b = Pcm();
        a.rtc = 100000000, b.rtc = 89999999, b.sequence = 1;
        rows.push_back({5, invalid, time, 2, 1,
                        "Error 5: current packet's Relative Time Counter of: 89999999, (time diff = -10000001) \r\n"
                        "         is more than one second before previous packet's Relative Time Counter of: "
                        "100000000\r\n",
                        Declared({Time(), Build(a), Build(b)}, 0x09, 2)});
    }
}

void AddDataWordRows(std::vector<Row>& rows) {
    const auto consistency = FormCounter::consistencyErrors;
    const auto cons = Category::chanConsistencyErrors;
    auto text = [](uint32_t n, const std::string& t) { return "Error " + std::to_string(n) + ": " + t + "\r\n"; };
    constexpr uint32_t kUnpacked = 1u << 18, kPacked = 1u << 19, kThroughput = 1u << 20, kIph = 1u << 30;
    constexpr uint32_t kLocked = 0xFu << 24;
    struct PcmRow {
        uint32_t n;
        uint32_t word;
        const char* text;
    };
    for (const PcmRow& r : {
             PcmRow{53, kIph | kLocked, "Channel Spec's Mode does not indicate any Data Mode "},
             PcmRow{54, kUnpacked | kThroughput | kLocked, "Channel Spec's Mode indicate more than one Data Mode "},
             PcmRow{55, kPacked | kIph | 0xDu << 24,
                    "Channel Spec's Major Lock Status indicates no status (i.e. reserved status) "},
             PcmRow{56, kPacked | kIph | 0x3u << 24,
                    "Channel Spec's Minor Lock Status indicates no status (i.e. reserved status) "},
             PcmRow{57, kPacked | kIph | 0xEu << 24,
                    "Channel Spec's Lock Status indicates Major Frame Check (after losing Lock)"},
             PcmRow{58, kPacked | kIph | 0xBu << 24,
                    "Channel Spec's Lock Status indicates Minor Frame Check (after losing Lock)"},
             PcmRow{59, kThroughput | kIph, "Intra-Packet Header bit is set for Throughput Data Mode"},
             PcmRow{60, kUnpacked | kLocked, "Intra-Packet Header bit is not set for Unpacked Data Mode"},
             PcmRow{61, kPacked | kLocked, "Intra-Packet Header bit is not set for Packed Data Mode"},
         })
        rows.push_back({r.n, consistency, cons, 2, 1, text(r.n, r.text), Declared({PcmWord(r.word)}, 0x09, 2)});

    // MIL-STD-1553 on channel 5.
    constexpr uint64_t kRtc = 5000000;
    auto bus = [&](std::vector<ch10fix::BusMessage> m, std::optional<uint32_t> count = std::nullopt) {
        return Declared({Time(), Spec(ch10fix::Bus1553Packet(5, kRtc, m, count))}, 0x19, 5);
    };
    const auto three = ch10fix::RisingMessages(kRtc, 3);
    auto sameMicrosecond = three;
    sameMicrosecond[1].stamp = sameMicrosecond[0].stamp + 1;
    rows.push_back({62, FormCounter::invalidTimeErrors, Category::chanTimeErrors, 5, 1,
                    "Error 62: Bus message time reversed at message   2 \r\n", bus(sameMicrosecond)});
    const auto msgCount = Category::chanPacketDataErrors;
    rows.push_back({63, FormCounter::dataErrors, msgCount, 5, 1,
                    text(63, "Bus Message Count is greater than actual messages"), bus(three, 4u)});
    rows.push_back({64, FormCounter::dataErrors, msgCount, 5, 1,
                    text(64, "Bus Message Count is less than actual messages"), bus(three, 2u)});
    rows.push_back({169, FormCounter::invalidTimeErrors, Category::chanTimeErrors, 5, 1,
                    text(169, "The time of the first bus message in a 1553 packet is less than the relative time "
                              "counter in the packet header"),
                    bus(ch10fix::RisingMessages(kRtc - 10, 1))});

    // Analog on channel 6.
    auto analog = [&](std::vector<ch10fix::AnalogWord> w) { return Declared({Time(), Spec(ch10fix::AnalogPacket(6, w))}, 0x21, 6); };
    auto sub = [](uint8_t subchan, uint8_t totchan, uint8_t factor = 0) {
        ch10fix::AnalogWord w;
        w.subchan = subchan, w.totchan = totchan, w.factor = factor;
        return w;
    };
    auto withMode = sub(2, 2);
    withMode.mode = 1;
    auto withSame = sub(2, 2);
    withSame.same = true;
    auto sameFactor = sub(1, 1, 1);
    sameFactor.same = true;
    rows.push_back({69, consistency, cons, 6, 1,
                    "Error 69: on Sub Channel number 2: (MODE = 1) MODE is not the same as MODE of the first channel "
                    "in Channel Spec Word \r\n",
                    analog({sub(1, 2), withMode})});
    rows.push_back({70, consistency, cons, 6, 1,
                    "Error 70: on Sub Channel number 2: (TOTCHAN = 3) TOTCHAN is not the same as TOTCHAN of the first "
                    "channel in Channel Spec Word \r\n",
                    analog({sub(1, 2), sub(2, 3)})});
    rows.push_back({71, consistency, cons, 6, 1,
                    "Error 71: on Sub Channel number 3: (SUBCHAN = 2) SUBCHAN number is not in ascending order in "
                    "Channel Spec Word \r\n",
                    analog({sub(1, 3), sub(3, 3), sub(2, 3)})});
    rows.push_back({72, consistency, cons, 6, 1,
                    "Error 72: on Sub Channel number 4: (TOTCHAN = 4, SUBCHAN = 3), number of TOTCHAN is greater "
                    "than last SUBCHAN number in Channel Spec Word \r\n",
                    analog({sub(1, 4), sub(2, 4), sub(3, 4), sub(3, 4)})});
    rows.push_back({168, consistency, cons, 6, 1, text(168, "The FACTOR bit is not zero when the SAME bit is set "),
                    analog({sameFactor})});
    rows.push_back({170, consistency, cons, 6, 1, text(170, "at least one FACTOR to be zero in Channel Spec Word "),
                    analog({sub(1, 2, 1), sub(2, 2, 1)})});
    rows.push_back({171, consistency, cons, 6, 1,
                    "Error 171: on Sub Channel number 2: SAME has to be zero when SAME of the first channel is zero "
                    "in Channel Spec Word \r\n",
                    analog({sub(1, 2), withSame})});

}

void AddMessageAndFrameRows(std::vector<Row>& rows) {
    const auto consistency = FormCounter::consistencyErrors;
    const auto cons = Category::chanConsistencyErrors;
    auto text = [](uint32_t n, const std::string& t) { return "Error " + std::to_string(n) + ": " + t + "\r\n"; };
    constexpr uint64_t kRtc = 5000000;
    // Message on channel 7, ARINC 429 on 8, IEEE 1394 on 9.
    auto message = [&](uint32_t word) { return Declared({Time(), Spec(Typed(7, 0x30, word))}, 0x30, 7); };
    rows.push_back({135, consistency, cons, 7, 1,
                    text(135, "TYPE indicates this is Complete Message but COUNTER indicates number of messages is 0 "),
                    message(0)});
    rows.push_back({136, consistency, cons, 7, 1,
                    text(136, "TYPE indicates this is beginning of a Segmented Message but COUNTER is not equal to 1 "),
                    message(1u << 16 | 2)});
    rows.push_back({137, consistency, cons, 7, 1,
                    text(137, "TYPE indicates this is not the beginning of a long message but COUNTER is equal to 1 "),
                    message(3u << 16 | 1)});
    rows.push_back({138, FormCounter::dataLenErrors, Category::chanDataLenErrors, 8, 1,
                    text(138, "Packet's Data length does not match with Message Count in Channel Specific Data Word "),
                    Declared({Time(), Spec(Typed(8, 0x38, 2))}, 0x38, 8)});
    rows.push_back({148, consistency, cons, 9, 1, text(148, "Packet Body Type is undefined "),
                    Declared({Time(), Spec(Typed(9, 0x58, 3u << 29))}, 0x58, 9)});
    rows.push_back({149, consistency, cons, 9, 1, text(149, "Packet Body Type does not agree with Transaction Count "),
                    Declared({Time(), Spec(Typed(9, 0x58, 1u << 29 | 2))}, 0x58, 9)});

    // Ethernet on channel 4: a frame 1 us before the packet's counter.
    auto frame = [](int64_t ticks, uint8_t speed, uint8_t content) {
        ch10fix::EthernetFrame f;
        f.stamp = static_cast<uint64_t>(static_cast<int64_t>(kRtc) + ticks);
        f.speed = speed, f.content = content;
        return f;
    };
    auto ethernet = [&](ch10fix::EthernetFrame f) {
        return Declared({Time(), Spec(ch10fix::EthernetPacket(4, kRtc, {f}))}, 0x68, 4);
    };
    rows.push_back({8, FormCounter::timeErrors, Category::chanRtcErrors, 4, 1,
                    "Error 8: Packet's Relative Time Counter deviates from Intra-Packet Time Stamp: 4999990\r\n",
                    ethernet(frame(-10, 0, 0))});
    rows.push_back({132, consistency, cons, 4, 1, text(132, "undefined Captured Data Content format"),
                    ethernet(frame(0, 0, 2))});
    rows.push_back({139, consistency, cons, 4, 1, text(139, "invalid Ethernet Speed"), ethernet(frame(0, 5, 0))});
}

void AddDiffersRows(std::vector<Row>& rows) {
    const auto consistency = FormCounter::consistencyErrors;
    const auto cons = Category::chanConsistencyErrors;
    // Two packets of `type` on `channel` whose words are `first` and `second`.
    auto pair = [](uint16_t channel, uint8_t type, uint32_t first, uint32_t second) {
        PacketSpec a = Typed(channel, type, first, 1000), b = Typed(channel, type, second, 2000);
        b.sequence = 1;
        return Declared({Time(), Spec(a), Spec(b)}, type, channel);
    };
    // Every row of the field table, flipping the field's lowest bit.
    for (const vexa::DiffersRow& r : vexa::DiffersTable()) {
        const uint32_t bit = r.mask & (~r.mask + 1);
        const uint8_t type = ch10::Code(r.firstType);
        if (type == 0x11) {
            ch10fix::TimeSpec a = TimeAt(50000000), b = TimeAt(60000000, 1);
            b.csdwRaw = ch10fix::TimeCsdw(a) ^ bit;
            if (r.number == 40) b.word1Raw = 0x0101;  // 1 January in the month/day form
            rows.push_back({r.number, consistency, cons, 3, 1, r.text, Declared({Build(a), Build(b)}, 0x09, 2)});
            continue;
        }
        // Body type 2 leaves the transaction count free.
        const uint32_t base = type == 0x58 ? 2u << 29 : type == 0x09 ? kCleanPcmWord : 0u;
        const uint16_t channel = static_cast<uint16_t>(10 + (&r - vexa::DiffersTable().data()) % 5);
        rows.push_back({r.number, consistency, cons, channel, 1, r.text, pair(channel, type, base, base ^ bit)});
    }
    {
        PacketSpec a = Pcm(), b = Pcm();
        b.dataType = 0x30;  // another record: compared with an empty one
        b.csdw = 1;
        rows.push_back({73, consistency, cons, 2, 1, "Error 73: Packet's Data Type differs from previous packet\r\n",
                        Declared({Time(), Build(a), Build(b)}, 0x09, 2)});
        PacketSpec c = Pcm();
        c.checksum = Checksum::Sum16;
        c.sequence = 1;
        rows.push_back({74, consistency, cons, 2, 1,
                        "Error 74: Packet's Data Checksum Type differs from previous packet\r\n",
                        Declared({Time(), Build(a), Build(c)}, 0x09, 2)});
    }
    rows.push_back({86, consistency, cons, 7, 1,
                    "Error 86: TYPE of last packet indicates it was the end of a long message but TYPE of this packet "
                    "indicates it is middle or end of message \r\n",
                    pair(7, 0x30, 2u << 16 | 2, 3u << 16 | 3)});
    rows.push_back({87, consistency, cons, 7, 1,
                    "Error 87: TYPE of last packet indicates it was the start or middle of a long message but TYPE "
                    "of this packet indicates it is complete or start of message \r\n",
                    pair(7, 0x30, 1u << 16 | 1, 1)});
    rows.push_back({88, consistency, cons, 7, 1,
                    "Error 88: TYPE of current packet indicates it is the end or middle of a long message but COUNTER "
                    "of this packet is not equal to COUNTER of last message plus 1 \r\n",
                    pair(7, 0x30, 1u << 16 | 1, 3u << 16 | 3)});
    rows.push_back({176, consistency, cons, 13, 1,
                    "Error 176: Reserved field in Channel Specific Data Word is non-zero value.\r\n",
                    pair(13, 0x50, 1, 1)});
    rows.push_back({161, consistency, cons, 9, 1,
                    "Error 161: Packet Body Type is 0 or 1 and Transaction Count differs from previous packet\r\n",
                    pair(9, 0x58, 1u << 29 | 1, 1u << 29 | 2)});
}

// --- body checks ---------------------------------------------------------------

constexpr uint16_t kPcmSync = ch10fix::kTestPcmSync;
constexpr uint64_t kPcmPeriod = ch10fix::kTestPcmPeriod;

PCM_CHAN_INFO PcmRecord() { return ch10fix::TestPcmRecord(2); }
PCM_CHAN_INFO CountingDown() {
    PCM_CHAN_INFO r = PcmRecord();
    r.IDCDirection = 1;
    r.IDCInitialValue = 3;
    r.IDCEndValue = 0;
    return r;
}
PCM_CHAN_INFO WithoutFid() {
    PCM_CHAN_INFO r = PcmRecord();
    r.NumFrames = 1;
    return r;
}

// Frames of channel 2, each `kPcmPeriod` after the last unless given.
struct PcmFrameSpec {
    uint16_t fid = 0;
    uint16_t status = ch10fix::kPcmInLock;
    uint64_t stamp = 0;  // 0: 1000 + the frame's index x the period
    std::vector<uint16_t> words = {};  // empty: sync, FID, 0, 0
};
Bytes PcmBody(const std::vector<PcmFrameSpec>& frames, uint32_t csdw = ch10fix::kPcmUnpacked | ch10fix::kPcmIph |
                                                                        ch10fix::kPcmMi) {
    ch10fix::PcmPacket p;
    p.channelId = 2;
    p.csdw = csdw;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const PcmFrameSpec& f = frames[i];
        p.frames.push_back({f.stamp ? f.stamp : 1000 + i * kPcmPeriod, f.status,
                            f.words.empty() ? std::vector<uint16_t>{kPcmSync, f.fid, 0, 0} : f.words});
    }
    return Build(ch10fix::PcmPacketSpec(p));
}

void AddPcmBodyRows(std::vector<Row>& rows) {
    const auto data = FormCounter::dataErrors;
    const auto packetData = Category::chanPacketDataErrors;
    auto run = [](std::vector<Bytes> packets, PCM_CHAN_INFO record = PcmRecord(), bool simulated = false) {
        Scenario sc{{Time()}};
        for (Bytes& b : packets) sc.packets.push_back(std::move(b));
        sc.bodyChecks = true;
        sc.pcm = {record};
        sc.selected = simulated ? 2 : 0;
        sc.simulated = simulated;
        return [sc] { return ThroughFrame(sc); };
    };
    auto text = [](uint32_t n, const char* rest) { return platform::Format("Error %u: at frame ", n) + rest + " \r\n"; };
    // The MI and MA findings each end their packet's share of messages.
    const std::string packetNotice =
        "   *** The occurrence of this error type met the limit in this packet, message output is suppressed for "
        "remaining of packet data...\r\n";
    const uint16_t notLocked = 0xB000;  // major InLock, minor 2: neither InLock nor reserved

    // A first frame whose sync is wrong, locked, with MI set.
    const auto badSync = run({PcmBody({{.words = {0x1234, 0, 0, 0}}})});
    rows.push_back({90, data, packetData, 2, 1,
                    text(90, "1: Sync pattern does not match, recorded is 1234, TMATS info is fe6b"), badSync});
    rows.push_back({91, data, packetData, 2, 1, text(91, "1: Sync pattern does not match but Channel Spec's MI bit is set") + packetNotice,
                    badSync});
    rows.push_back({92, data, packetData, 2, 1, text(92, "1: Sync pattern does not match but Channel Spec's MA bit is set") + packetNotice,
                    run({PcmBody({{.words = {0x1234, 0, 0, 0}}},
                                 ch10fix::kPcmUnpacked | ch10fix::kPcmIph | ch10fix::kPcmMi | ch10fix::kPcmMa)})});
    rows.push_back({93, data, packetData, 2, 1,
                    text(93, "1: Sync pattern does not match but IPH's Major Lock Status is InLock"), badSync});
    rows.push_back({94, data, packetData, 2, 1,
                    text(94, "1: Sync pattern does not match but IPH's Minor Lock Status is InLock"), badSync});
    rows.push_back({95, data, packetData, 2, 1,
                    text(95, "1: Sync pattern found at begin of packet data but Channel Spec's MI bit is not set") + packetNotice,
                    run({PcmBody({{}}, ch10fix::kPcmUnpacked | ch10fix::kPcmIph)})});
    rows.push_back({99, data, packetData, 2, 1, text(99, "1: IPH's Major Lock Status is Reserved"),
                    run({PcmBody({{.status = 0xD000}})})});
    rows.push_back({100, data, packetData, 2, 1, text(100, "1: IPH's Minor Lock Status is Reserved"),
                    run({PcmBody({{.status = 0x3000}})})});
    const auto outOfBound = run({PcmBody({{.fid = 7}})});
    rows.push_back({101, data, packetData, 2, 1, text(101, "1: FID = 7, FID is out of bound"), outOfBound});
    rows.push_back({102, data, packetData, 2, 1,
                    text(102, "1: FID = 7, FID is out of bound but IPH's Minor Lock Status is InLock"), outOfBound});

    // The sequence rules, each over two frames: up from the end value, up
    // within the count, then the same counting down.
    struct Sequence {
        uint32_t first;
        PCM_CHAN_INFO record;
        uint16_t from, wrong, right;
    };
    for (const Sequence& q : {Sequence{103, PcmRecord(), 3, 1, 0}, Sequence{106, PcmRecord(), 0, 2, 1},
                              Sequence{109, CountingDown(), 0, 1, 3}, Sequence{112, CountingDown(), 3, 1, 2}}) {
        const auto wrong = run({PcmBody({{.fid = q.from}, {.fid = q.wrong}})}, q.record);
        rows.push_back({q.first, data, packetData, 2, 1,
                        platform::Format("Error %u: at frame 2: FID = %u, FID is out of sequence \r\n", q.first, q.wrong),
                        wrong});
        rows.push_back({q.first + 1, data, packetData, 2, 1,
                        platform::Format("Error %u: at frame 2: FID = %u, FID is out of sequence but Minor Lock Status "
                                         "is InLock \r\n", q.first + 1, q.wrong),
                        wrong});
        rows.push_back({q.first + 2, data, packetData, 2, 1,
                        platform::Format("Error %u: at frame 2, FID = %u: FID is in sequence but Minor Lock Status is "
                                         "not InLock \r\n", q.first + 2, q.right),
                        run({PcmBody({{.fid = q.from}, {.fid = q.right, .status = notLocked}})}, q.record)});
    }

    // Frame times: the second frame 1000 ticks late, beyond the 50 of the
    // default tolerance.
    const std::vector<PcmFrameSpec> late = {{.fid = 0}, {.fid = 1, .stamp = 1000 + kPcmPeriod + 1000}};
    rows.push_back({96, data, packetData, 2, 1,
                    "Error 96: at frame position 2: Frame Relative Time Count recorded (12000), \r\n  differs from "
                    "time computed (based on TMATS info) (11000) , delta = (1000) (all expressed in 10th of "
                    "microsecond) \r\n",
                    run({PcmBody(late)}, WithoutFid())});
    rows.push_back({115, data, packetData, 2, 1,
                    "Error 115: at frame position 2: Frame ID = 1, Frame Relative Time Count recorded (12000), \r\n  "
                    "differs from time computed (based on TMATS info) (11000), delta = (1000) (all expressed in 10th "
                    "of microsecond) \r\n",
                    run({PcmBody(late)})});
    const std::vector<PcmFrameSpec> highBits = {{.stamp = 1ull << 48 | 1000}};
    rows.push_back({97, data, packetData, 2, 1,
                    text(97, "1: Bits 31-16 of MSLW IntraPacket TimeStamp are not zero filled = 0x0001"),
                    run({PcmBody(highBits)}, WithoutFid())});
    rows.push_back({116, data, packetData, 2, 1,
                    text(116, "1: FID = 0, Bits 31-16 of MSLW IntraPacket TimeStamp are not zero filled = 0x0001"),
                    run({PcmBody(highBits)})});
    // Two frames 500,001 ticks apart at a period of 500,000: the span is
    // 1,000,002 ticks.
    PCM_CHAN_INFO slow = PcmRecord();
    slow.BitRate = 1280;
    rows.push_back({118, FormCounter::invalidTimeErrors, Category::chanTimeErrors, 2, 1,
                    "Error 118: Packet contains more than 100 milliseconds worth of data (                 100 "
                    "milsec) \r\n",
                    run({PcmBody({{.fid = 0, .stamp = 1000}, {.fid = 1, .stamp = 501001}})}, slow)});

    // Simulated words: from 0 without a frame ID; from the word after it with one.
    rows.push_back({98, FormCounter::simDataErrors, Category::chanSimDataErrors, 2, 1,
                    text(98, "1: Simulated value is out of order, recorded is 5, computed is 0"),
                    run({PcmBody({{.words = {kPcmSync, 5, 6, 7}}})}, WithoutFid(), true)});
    rows.push_back({117, FormCounter::simDataErrors, Category::chanSimDataErrors, 2, 1,
                    text(117, "1: FID = 0, Simulated value is out of order, recorded is c, computed is b"),
                    run({PcmBody({{.words = {kPcmSync, 0, 10, 12}}})}, PcmRecord(), true)});
}

// One 1553 message of channel 4: stamp, block status, gaps, words and the
// length field (default: the words' bytes).
struct BusMessageSpec {
    uint64_t stamp = 1000;
    uint16_t status = 0;
    uint16_t gaps = 40;  // GAP1 4 us
    std::vector<uint16_t> words = {0x0801, 0x0800};  // mode code 1 of RT 1 without data, and the status word
    int length = -1;
};
Bytes BusBody(const std::vector<BusMessageSpec>& messages) {
    PacketSpec s;
    s.channelId = 4;
    s.dataType = 0x19;
    s.rtc = 1000;
    s.csdw = static_cast<uint32_t>(messages.size());
    auto put16 = [&s](uint32_t v) {
        s.body.push_back(static_cast<uint8_t>(v));
        s.body.push_back(static_cast<uint8_t>(v >> 8));
    };
    for (const BusMessageSpec& m : messages) {
        for (int k = 0; k < 4; ++k) put16(static_cast<uint32_t>(m.stamp >> (16 * k)));
        put16(m.status);
        put16(m.gaps);
        put16(m.length >= 0 ? static_cast<uint32_t>(m.length) : static_cast<uint32_t>(2 * m.words.size()));
        for (uint16_t w : m.words) put16(w);
    }
    return Build(s);
}

void AddBus1553BodyRows(std::vector<Row>& rows) {
    const auto data = FormCounter::dataErrors;
    const auto packetData = Category::chanPacketDataErrors;
    auto run = [](std::vector<BusMessageSpec> messages, bool simulated = false) {
        Scenario sc{{Time(), BusBody(messages)}};
        sc.channels = {{0x09, 2, 1}, {0x11, 3, 1}, {0x19, 4, 1}};
        sc.bodyChecks = true;
        sc.bus = {BUS1553_CHAN_INFO{4, 1, "BUS"}};
        sc.selected = simulated ? 4 : 0;
        sc.simulated = simulated;
        return [sc] { return ThroughFrame(sc); };
    };
    const auto allBits = run({{.status = 0x1000 | 0x400 | 0x200 | 0x20 | 0x10 | 0x8}});
    const char* lines[] = {"ME - Message Error", "FE - Format", "TM - Response Timeout", "LE - Word Count",
                           "SE - Incorrect Sync Type", "WE - Invalid Word"};
    for (uint32_t n = 119; n <= 124; ++n)
        rows.push_back({n, data, packetData, 4, 1, platform::Format("Error %u: %s \r\n", n, lines[n - 119]), allBits});
    rows.push_back({125, data, packetData, 4, 1,
                    "Error 125: at message 1, Message Gap Time 1 of 34 10th of microsec is out of bus 1553B spec "
                    "limits (4-12 microsec) \r\n",
                    run({{.gaps = 34}})});
    // RT to RT: five words for one data word.
    rows.push_back({126, data, packetData, 4, 1,
                    "Error 126: at message 1, Message Gap Time 2 of 20 10th of microsec is out of bus 1553B spec "
                    "limits (4-12 microsec) \r\n",
                    run({{.status = 0x800, .gaps = 20 << 8 | 40, .words = {0x0801, 0x0C21, 0x0800, 7, 0x0800}}})});
    const auto shortMessage = run({{.words = {0x0801}, .length = 2}});
    rows.push_back({127, data, packetData, 4, 1,
                    "Error 127: at message 1, expected byte count of 4 is greater than recorded byte count of 2 \r\n",
                    shortMessage});
    rows.push_back({172, FormCounter::None, Category::None, 4, 0,
                    "Error 172: Block Status is not indicating an error in the message \r\n", shortMessage});
    rows.push_back({128, data, packetData, 4, 1,
                    "Error 128: at message 1, expected byte count of 4 is less than recorded byte count of 6 \r\n",
                    run({{.words = {0x0801, 0x0800, 0}}})});
    rows.push_back({129, data, packetData, 4, 1,
                    "Error 129: at message 1, Bits 31-16 of MSLW IntraPacket TimeStamp are not zero filled = 0x0001 "
                    "\r\n",
                    run({{.stamp = 1ull << 48 | 1000}})});
    // BC to RT 1, subaddress 1, two data words: 5, then 7 where 6 was due.
    rows.push_back({131, FormCounter::simDataErrors, Category::chanSimDataErrors, 4, 1,
                    "Error 131: at message 1, Simulated value is out of order, recorded is 7, computed is 6 \r\n  "
                    "Message 1 (BC-RT): \r\n  0822 0005 0007 0800 \r\n",
                    run({{.words = {0x0822, 5, 7, 0x0800}}}, true)});
    // The first message starts 440 ticks before its stamp (gap, two words,
    // no second gap); the last ends at its stamp a second later.
    rows.push_back({11, FormCounter::invalidTimeErrors, Category::chanTimeErrors, 4, 1,
                    "Error 11: Packet contains more than 100 milliseconds worth of data (                 100 "
                    "milsec) \r\n",
                    run({{.stamp = 1000}, {.stamp = 1001000}})});
}

// Form counters and categories as the catalogue derives them from the error
// table: every number counted, by its columns.
void ExpectCountersFromTheCatalogue(const vexa::ErrorAccounting& e) {
    std::array<uint64_t, vexa::kFormCounters> counters{};
    std::array<std::array<int64_t, vexa::kChannelSlots>, vexa::kCategories> categories{};
    for (uint32_t n = 1; n <= vexa::kErrorNumbers; ++n) {
        const vexa::ErrorInfo& info = *vexa::FindError(n);
        for (std::size_t slot = 0; slot < vexa::kChannelSlots; ++slot) {
            const uint32_t times = e.errorTable[slot][n];
            if (!times) continue;
            EXPECT_EQ(info.status, vexa::ErrorStatus::Counted) << "Error " << n << " is in the table";
            // The rows raise at most one time finding of a body check per
            // packet, so a once-per-packet counter rises as often as the table.
            if (info.feed == vexa::CounterFeed::Direct || info.feed == vexa::CounterFeed::OncePerPacket)
                counters[static_cast<std::size_t>(info.counter)] += times;
            if (info.category != Category::None) categories[static_cast<std::size_t>(info.category)][slot] += times;
        }
    }
    // 1553 messages whose block status shows an error count into the packet
    // data errors without a number of their own.
    for (std::size_t slot = 0; slot < vexa::kChannelSlots; ++slot)
        categories[static_cast<std::size_t>(Category::chanPacketDataErrors)][slot] += e.chanBlockStatusErrors[slot];
    // Packet data and simulation data errors reach their counters as sums
    // of the slots' categories.
    for (std::size_t slot = 0; slot < vexa::kChannelSlots; ++slot) {
        counters[static_cast<std::size_t>(FormCounter::dataErrors)] += static_cast<uint64_t>(e.chanPacketDataErrors[slot]);
        counters[static_cast<std::size_t>(FormCounter::simDataErrors)] += static_cast<uint64_t>(e.chanSimDataErrors[slot]);
    }
    for (int c = 0; c < vexa::kFormCounters; ++c)
        EXPECT_EQ(e.CounterValue(static_cast<FormCounter>(c)), counters[static_cast<std::size_t>(c)])
            << "form counter " << c;
    for (int c = 0; c < vexa::kCategories; ++c)
        for (std::size_t slot = 0; slot < vexa::kChannelSlots; ++slot)
            EXPECT_EQ(e.Chan(static_cast<Category>(c))[slot], categories[static_cast<std::size_t>(c)][slot])
                << "category " << c << ", slot " << slot;
}

bool OwnedHere(ErrorOwner o) {
    return o == ErrorOwner::Header || o == ErrorOwner::StreamIndex || o == ErrorOwner::Time ||
           o == ErrorOwner::DataWord || o == ErrorOwner::PreviousPacket || o == ErrorOwner::PcmBody ||
           o == ErrorOwner::Bus1553Body;
}

const std::vector<Row>& AllRows() {
    static const std::vector<Row> rows = Rows();
    return rows;
}

std::set<uint32_t> RowNumbers() {
    std::set<uint32_t> numbers;
    for (const Row& row : AllRows()) numbers.insert(row.number);
    return numbers;
}

// A failing row names its number.
void PrintTo(const Row& row, std::ostream* out) { *out << "Error " << row.number; }

std::string RowName(const testing::TestParamInfo<Row>& info) {
    std::string name = "Error" + std::to_string(info.param.number);
    // A number given two rows still names each of its cases apart.
    const std::vector<Row>& rows = AllRows();
    for (std::size_t i = 0; i < info.index; ++i)
        if (rows[i].number == info.param.number) return name + "_row" + std::to_string(info.index);
    return name;
}

class FindingCoverage : public testing::TestWithParam<Row> {};

TEST_P(FindingCoverage, RaisedAgainstTheCatalogue) {
    const Row& row = GetParam();
    const vexa::ErrorInfo& info = *vexa::FindError(row.number);
    EXPECT_EQ(static_cast<int>(row.counter), static_cast<int>(info.counter)) << "form counter";
    EXPECT_EQ(static_cast<int>(row.category), static_cast<int>(info.category)) << "category";
    EXPECT_EQ(row.count == 0, info.status == vexa::ErrorStatus::WrittenUncounted);

    const Outcome o = row.run();
    const auto lines = LinesByNumber(o.log);
    const auto it = lines.find(row.number);
    EXPECT_NE(it, lines.end()) << "not raised";
    EXPECT_EQ(it == lines.end() ? std::string() : it->second, row.text) << o.log;
    std::set<uint32_t> alongside;  // every number the fixture raised
    for (const auto& [n, text] : lines) alongside.insert(n);

    const int slot = o.slotOf(row.channel);
    ASSERT_GE(slot, 0);
    const vexa::ErrorAccounting& e = *o.errors;
    EXPECT_EQ(e.errorTable[static_cast<std::size_t>(slot)][row.number], row.count);
    uint32_t total = 0;
    for (const auto& bySlot : e.errorTable) total += bySlot[row.number];
    EXPECT_EQ(total, row.count) << "on other slots";
    // The row's own counter and category rose by its count at least; the
    // whole set of counters is what the catalogue makes of the table.
    if (row.counter != FormCounter::None) {
        EXPECT_GE(e.CounterValue(row.counter), row.count);
    }
    if (row.category != Category::None) {
        EXPECT_GE(e.Chan(row.category)[static_cast<std::size_t>(slot)], static_cast<int32_t>(row.count));
    }
    if (info.busIndex >= 0) {
        EXPECT_EQ(e.bus1553ErrorCounts[static_cast<std::size_t>(slot)][static_cast<std::size_t>(info.busIndex)],
                  row.count) << "bus count";
    }
    ExpectCountersFromTheCatalogue(e);
    for (uint32_t n = 1; n <= vexa::kErrorNumbers; ++n)
        for (const auto& bySlot : e.errorTable)
            if (bySlot[n]) alongside.insert(n);

    // Whatever else the fixture raised belongs to other checks.
    const std::set<uint32_t> rowNumbers = RowNumbers();
    for (uint32_t n : alongside) {
        if (!rowNumbers.count(n)) {
            EXPECT_FALSE(OwnedHere(vexa::FindError(n)->owner)) << "Error " << n;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryOwnedNumber, FindingCoverage, testing::ValuesIn(AllRows()), RowName);

// The rows are the numbers the catalogue gives these checks, one each.
TEST(FindingCoverageRows, OneForEachNumberTheCatalogueGivesTheseChecks) {
    std::set<uint32_t> catalogued;
    for (const vexa::ErrorInfo& info : vexa::kErrorCatalogue)
        if (OwnedHere(info.owner)) catalogued.insert(info.number);
    std::map<uint32_t, int> rowsOf;
    for (const Row& row : AllRows()) ++rowsOf[row.number];
    for (const auto& [n, rows] : rowsOf) {
        EXPECT_EQ(rows, 1) << "Error " << n << ": one row per number";
    }
    EXPECT_EQ(AllRows().size(), catalogued.size());
    EXPECT_EQ(RowNumbers(), catalogued);
}

}  // namespace
