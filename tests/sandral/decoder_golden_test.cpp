// Word and body text per data type, written from the formats by hand: the
// header dump (not the decoders' text) is left out of each comparison.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/sandral/decoder_test_support.h"
#include "tests/support/mil1553_builder.h"
#include "tests/sandral/sandral_test_support.h"

namespace sandral {
namespace {

using namespace sandraltest;
using DecoderGolden = SandralFixture;

struct GoldenCase {
    const char* name;
    Bytes packet;
    std::string expected;
};

void RunCases(const std::vector<GoldenCase>& cases, bool dateReference = false) {
    for (const GoldenCase& c : cases) {
        ResetStateForTests();
        SetDayOneReference(dateReference);
        EXPECT_EQ(Printed(c.packet), c.expected) << c.name;
        // The same packet held only in part: every body length from 0 on,
        // each from a buffer of exactly that size.
        for (std::size_t held = 24; held < c.packet.size(); ++held) {
            ResetStateForTests();
            SetDayOneReference(dateReference);
            const std::string cut = PrintedWhole(c.packet, held);
            const bool setup = c.packet[15] == 0x01;
            EXPECT_TRUE(setup || cut.find("PACKET HEADER:\n") != std::string::npos) << c.name << " held " << held;
        }
    }
}

const std::string kTrailer2 = "PACKET TRAILER:\n00000000 0000\n\n";

Bytes UserBody() {
    Bytes b = {0x20, 0x21, 0x7E, 0x7F};
    AddBytes(b, "ABCDEFGHIJKLMNOP");
    return b;
}

// Day 123, 12:34:56.780 in the day form; 12/25/2024 01:02:03.040 in the date form.
ch10fix::BcdTimeSpec DayTime() {
    ch10fix::BcdTimeSpec t;
    t.tensOfMs = 8, t.hundredsOfMs = 7, t.secondUnits = 6, t.secondTens = 5, t.minuteUnits = 4, t.minuteTens = 3;
    t.hourUnits = 2, t.hourTens = 1, t.dayUnits = 3, t.dayTens = 2, t.dayHundreds = 1;
    return t;
}
ch10fix::BcdTimeSpec DateTime() {
    ch10fix::BcdTimeSpec t;
    t.dateFormat = true, t.leapYear = true;
    t.tensOfMs = 4, t.secondUnits = 3, t.minuteUnits = 2, t.hourUnits = 1;
    t.dayUnits = 5, t.dayTens = 2, t.monthUnits = 2, t.monthTens = 1, t.year = 0x2024;
    return t;
}
Bytes TimePacket(const ch10fix::BcdTimeSpec& t, uint32_t otherBits) {
    ch10fix::PacketSpec s;
    s.csdw = otherBits;
    return ch10fix::BuildTimePacket(t, s);
}

TEST_F(DecoderGolden, SetupTimeUser) {
    ch10fix::BcdTimeSpec badHours = DayTime();
    badHours.hourTens = 3;
    const std::string dayWord =
        "IRIGCHANSPEC  : 0x00000011\nExtTimePresent: YES     TimeFormat   :  1 IRIG-A\n"
        "LeapYear      : 0       DateFormat    : Day Format\n\n";
    RunCases({
        {"user data: a partial last line", Packet(0x00, 0x11223344, UserBody()),
         "USER CHAN SPEC :0x11223344\n\nPACKET DATA:\n\n"
         "00000000 20 21 7E 7F 41 42 43 44 45 46 47 48 49 4A 4B 4C    .!~.ABCDEFGHIJKL\n"
         "00000010 4D 4E 4F 50" + Spaces(36) + "    MNOP" + Spaces(12) + "\n\n"},
        {"setup version 2: the word line only", Packet(0x01, 0x0B, {}, 2), "SETUP CHAN SPEC: 0x0000000B\n\n"},
        {"setup version 3", Packet(0x01, 0x30A, {}, 3),
         "SETUP CHAN SPEC: 0x0000030A\nIRIG 106 Chapter 10 Version: 0x0A (IRIG-106-13)\n"
         "TMATS Format: 1 XML       Setup Record Conf Change: 1 YES  \n\n"},
        {"time, day format", TimePacket(DayTime(), 0x11),
         dayWord + "IRIG Time: 123:12:34:56:780\n\nPACKET DATA:\n00000000 5678 1234 0123\n\n" + kTrailer2},
        {"time, date format", TimePacket(DateTime(), 0x00),
         "IRIGCHANSPEC  : 0x00000300\nExtTimePresent: NO      TimeFormat   :  0 IRIG-B\n"
         "LeapYear      : 1       DateFormat    : Day, Month, and Year Format\n\n"
         "IRIG Time: 12/25/2024 01:02:03:040\n\nPACKET DATA:\n00000000 0304 0102 1225 2024\n\n"},
        {"time, hours tens 3", TimePacket(badHours, 0x11),
         dayWord + "IRIG Time: **Time Data Error**\n\nPACKET DATA:\n00000000 5678 3234 0123\n\n" + kTrailer2},
    });
}

TEST_F(DecoderGolden, EventsAndIndexes) {
    Bytes events;
    for (auto [rtc, word] : {std::pair<int64_t, uint32_t>{1000, 0x10002005}, {2000, 0x00001007},
                             {123456789012345, 0x0FFFFFFF}}) {
        Add64(events, static_cast<uint64_t>(rtc));
        Add32(events, word);
    }
    Bytes withTime;
    Add64(withTime, 5);
    Add32(withTime, 0x12345678);
    Add32(withTime, 0x00000123);
    Add32(withTime, 0x00001001);
    Bytes root;
    Add64(root, 0x1000);
    for (auto [rtc, offset] : {std::pair<uint64_t, uint64_t>{100, 0x200}, {200, 0x400}}) {
        Add64(root, rtc);
        Add64(root, offset);
    }
    Bytes node;
    Add64(node, 7);
    Add16(node, 3);
    node.push_back(0x19);
    node.push_back(0);
    Add64(node, 0x1234);
    const std::string eventWord3 =
        "EVENT CHAN SPEC :0x80000003\n\nIntraPkt Data Hdr: 1 YES   \nEvent Entry Count: 3       \n\n";
    RunCases({
        {"three 12-byte events", Packet(0x02, 0x80000003, events),
         eventWord3 + "PACKET DATA:\nRelative Time         During Record    Event Number   Event Count\n"
                      "1000         " + Spaces(12) + "  1 YES             5             2\n"
                      "2000         " + Spaces(12) + "  0 NO             7             1\n"
                      "123456789012345" + Spaces(12) + "  0 NO             4095             65535\n\n"},
        {"one 20-byte event, day format", Packet(0x02, 0x00000001, withTime),
         "EVENT CHAN SPEC :0x00000001\n\nIntraPkt Data Hdr: 0 NO    \nEvent Entry Count: 1       \n\n"
         "PACKET DATA:\nRelative Time         Absolute Time(IPDH)            During Record    Event Number   "
         "Event Count\n"
         "5            " "  0000012312345678 123:12:34:56:780     " "   " "  0 NO             1             1\n\n"},
        {"root index with file size, 16-byte entries", Packet(0x03, 0x40000002, root),
         "INDEX CHAN SPEC  :0x40000002\n\nIndex Type       : 0 Root Index\nFile Size Present: 1 YES   \n"
         "IntraPkt Data Hdr: 0 NO    \nIndex Entry Count: 2       \n\n"
         "PACKET DATA:\nFile Entry Size: 0x1000  4096 Bytes\nRelative Time      Node/Root Offset\n"
         "100" + Spaces(15) + "0x0000000000000200\n200" + Spaces(15) + "0x0000000000000400\n\n"},
        {"node index, 20-byte entries", Packet(0x03, 0x80000001, node),
         "INDEX CHAN SPEC  :0x80000001\n\nIndex Type       : 1 Node Index\nFile Size Present: 0 NO    \n"
         "IntraPkt Data Hdr: 0 NO    \nIndex Entry Count: 1       \n\n"
         "PACKET DATA:\nRelative Time   Channel  Type  Data Packet Offset\n"
         "7" + Spaces(15) + "00003  25 1553  0x0000000000001234\n\n"},
        {"event count 0: the body as data", Packet(0x02, 0, {0x41, 0x42, 0x43, 0x44}),
         "EVENT CHAN SPEC :0x00000000\n\nIntraPkt Data Hdr: 0 NO    \nEvent Entry Count: 0       \n\n"
         "PACKET DATA:\n00000000 41 42 43 44" + Spaces(36) + "    ABCD" + Spaces(12) + "\n\n\n"},
    });
}

TEST_F(DecoderGolden, Mil1553) {
    const std::vector<ch10fix::Mil1553Message> two = {
        {10000000, 0x3E38, 0x1E32, {0x1111, 0x2222, 0x3333}, {}},
        {20000000, 0x0000, 0x0014, {1, 2, 3, 4, 5, 6, 7, 8, 9}, {}},
    };
    const std::string first =
        "  MSG 1:\n  Computed IRIG Time 001:00:00:00:999932  10000000\n"
        "  BlockStatus: 3E38  REF TIME: 0000 0098 9680  GAPTIMES: 1E32  MSGLEN: 0006\n"
        "    BID - Message from Channel B\n    ME - Message Error\n    RR - RT To RT Transfer\n"
        "    FE - Format Error\n    TM - Response Timeout\n    LE - Word Count Error\n"
        "    SE - Incorrect Sync Type Error\n    WE - Invalid Word Error\n\n"
        "     1111 2222 3333\n\n";
    const std::string second =
        "  MSG 2:\n  Computed IRIG Time 001:00:00:01:999818  20000000\n"
        "  BlockStatus: 0000  REF TIME: 0000 0131 2D00  GAPTIMES: 0014  MSGLEN: 0012\n\n"
        "     0001 0002 0003 0004 0005 0006 0007 0008\n     0009\n\n";
    const std::string word2 = "BUSCHANSPEC :  0x00000002\nTimeTagBit  :  0 Last Bit of Last Word   MsgCount    :  2       \n\n";
    SetDayOneReference();
    const std::string text = Printed(Packet(0x19, ch10fix::Mil1553Word(2), ch10fix::Mil1553Body(two)));
    const std::string decoded = word2 + "PACKET DATA:\n\n" + first + second;
    EXPECT_EQ(text.substr(0, decoded.size()), decoded);
    EXPECT_EQ(text.substr(decoded.size(), 62),
              "PACKET DATA:\n00000000 9680 0098 0000 0000 3E38 1E32 0006 1111\n") << "the re-dump follows";

    ResetStateForTests();
    SetDayOneReference();
    ch10fix::Mil1553Message past{10000000, 0, 0, {0xAAAA}, uint16_t{0x40}};
    const std::string cut = Printed(Packet(0x19, ch10fix::Mil1553Word(1, 1), ch10fix::Mil1553Body({past})));
    EXPECT_EQ(cut,
              "BUSCHANSPEC :  0x40000001\nTimeTagBit  :  1 First Bit of First Word   MsgCount    :  1       \n\n"
              "PACKET DATA:\n\n  MSG 1:\n  Computed IRIG Time 001:00:00:01:000000  10000000\n"
              "  BlockStatus: 0000  REF TIME: 0000 0098 9680  GAPTIMES: 0000  MSGLEN: 0040\n\n"
              "PACKET DATA:\n00000000 9680 0098 0000 0000 0000 0000 0040 AAAA\n\n")
        << "a message past the body: header lines only";
}

TEST_F(DecoderGolden, ArincCanDiscreteAnalog) {
    Bytes arinc;
    for (auto [iph, word] : {std::pair<uint32_t, uint32_t>{0x0120000A, 0x80}, {0x02400014, 0xFF}, {0x03800030, 0x12345601}}) {
        Add32(arinc, iph);
        Add32(arinc, word);
    }
    Bytes can, id1, id2;
    Add32(id1, 0x123);
    AddStamped(can, 10000000, 0x00030004, id1);
    Add32(id2, 0xC0000456);
    AddBytes(id2, "ABCDEFGH");
    AddStamped(can, 20000000, 0x8000000C, id2);
    Bytes discrete;
    Add64(discrete, 10000000);
    Add32(discrete, 0x12345678);
    Add64(discrete, 20000000);
    Add32(discrete, 0xABCD0001);
    Bytes analog2;
    Add32(analog2, 0x03020231);
    analog2.insert(analog2.end(), {0xAA, 0xBB, 0xCC, 0xDD});
    const std::string t1 = TimeLine("001:00:00:01:000000", "0000 0098 9680", "10000000");
    const std::string t2 = TimeLine("001:00:00:02:000000", "0000 0131 2D00", "20000000");
    RunCases({
        {"ARINC 429: labels 0x80 and 0xFF, cumulative time", Packet(0x38, 3, arinc),
         "ARINC429 CHAN SPEC :0x00000003\nNumber of Messages :3\n\nPACKET DATA:\n\n"
         "Subch   Data   Label Speed PErr FErr Gap Time  Computed IRIG Time\n"
         "   1  00000080 (001)  HI    0    0        10  001:00:00:00:000001\n"
         "   2  000000FF (377)  LO    1    0        20  001:00:00:00:000003\n"
         "   3  12345601 (200)  LO    0    1        48  001:00:00:00:000008\n\n"},
        {"CAN: length 4 and 12, extended ID with RTR", Packet(0x78, 2, can),
         "CAN 0 CHAN SPEC  :0x00000002\nMessage Count     :2       \n\nPACKET DATA:\n\n" + t1 +
             "     Message Length: 0            Subchannel: 3       \n     Format Error: NO\n     Data Error: NO\n\n"
             "     CAN Bus ID: 291     \n     Remote Transfer Request: NO\n     Use extended CAN Identifier: NO\n\n" +
             t2 +
             "     Message Length: 8            Subchannel: 0       \n     Format Error: NO\n     Data Error: YES\n\n"
             "     CAN Bus ID: 1110    \n     Remote Transfer Request: YES\n     Use extended CAN Identifier: YES\n"
             "00000000 41 42 43 44 45 46 47 48" + Spaces(24) + "    ABCDEFGH" + Spaces(8) + "\n\n\n"},
        {"discrete: length 0, two samples", Packet(0x29, 3, discrete),
         "DISCRETE CHAN SPEC : 0x00000003\n     Length        : 0  32 Bit(s)\n     Data Alignment: 1  MSB  \n"
         "     Record State  : 1  Time Interval Basis\n\nPACKET DATA:\n\n" + t1 +
             "\n       Event Data:  12345678\n\n" + t2 + "\n       Event Data:  ABCD0001\n\n"},
        {"analog: Same 0 TotChan 2", Packet(0x21, 0x03020131, analog2),
         "ANALOG CHAN SPEC :0x03020131\nSame        :  0       Factor      :  3=1/8   TotChan     :  2       \n"
         "SubChan     :  1       Length      :  12      Mode        :  1 UpkLsb\n\n"
         "ANALOG CHAN SPEC :0x03020231\nSame        :  0       Factor      :  3=1/8   TotChan     :  2       \n"
         "SubChan     :  2       Length      :  12      Mode        :  1 UpkLsb\n\n"
         "PACKET DATA:\n00000000 BBAA DDCC\n\n"},
        {"analog: Same 1 TotChan 3", Packet(0x21, 0x10030000, {1, 0, 2, 0}),
         "ANALOG CHAN SPEC :0x10030000\nSame        :  1       Factor      :  0=1/1   TotChan     :  3       \n"
         "SubChan     :  0       Length      :  0       Mode        :  0 Packed\n\nPACKET DATA:\n00000000 0001 0002\n\n"},
    });
}

TEST_F(DecoderGolden, MessagesAndFrames) {
    Bytes two, invalid, fibre;
    AddStamped(two, 10000000, 0x00050003, {'a', 'b', 'c'});
    AddStamped(two, 20000000, 0x40000001, {'z'});
    AddStamped(invalid, 10000000, 0x00000064, {1, 2, 3, 4});
    AddStamped(fibre, 10000000, 0x10016003, {'x', 'y', 'z'});
    AddStamped(fibre, 20000000, 0x00000000, {});
    const std::string t1 = TimeLine("001:00:00:01:000000", "0000 0098 9680", "10000000");
    const std::string t2 = TimeLine("001:00:00:02:000000", "0000 0131 2D00", "20000000");
    RunCases({
        {"two standard messages, odd length", Packet(0x30, 2, two),
         "MESSAGE CHAN SPEC :0x00000002\nType :  0 Complete Message(s}      Message Counter :   2\n\n"
         "PACKET DATA:\n\n" + t1 +
             "  Subchannel ID: 5       Data Length: 3       \n  Format Error: NO       Data Error: NO      \n\n"
             "00000000 61 62 63" + Spaces(39) + "    abc" + Spaces(13) + "\n\n" + t2 +
             "  Subchannel ID: 0       Data Length: 1       \n  Format Error: YES      Data Error: NO      \n\n"
             "00000000 7A" + Spaces(45) + "    z" + Spaces(15) + "\n\n" + kTrailer2},
        {"invalid intra-packet header", Packet(0x30, 1, invalid),
         "MESSAGE CHAN SPEC :0x00000001\nType :  0 Complete Message(s}      Message Counter :   1\n\n"
         "PACKET DATA:\n\nInvalid Intra-Packet Header\n"
         "  Subchannel ID: 0       Data Length: 100     \n  Format Error: NO       Data Error: NO      \n"
         "00000000 01 02 03 04" + Spaces(36) + "    ...." + Spaces(12) + "\n\n"},
        {"Fibre Channel: odd frame length, frame length 0", Packet(0x79, 0x10000002, fibre),
         "FCH 0 CHAN SPEC  :0x10000002\nFrame Count      :2       \nFormat           :Reserved\n\n"
         "PACKET DATA:\n\n" + t1 +
             "     Frame Length: 3       \n     Start of Frame: 6 - Normal Class-3     End of Frame: 1 - Terminate\n"
             "     Topology: Passive     Content: Complete Data Frame\n"
             "     Stripped Mode: Non-stripped Mode. Complete Fibre Channel Frame is present.\n"
             "     Overrun Error: No\n     CRC Error: No\n     Framing Error: No\n\n"
             "00000000 78 79 7A" + Spaces(39) + "    xyz" + Spaces(13) + "\n\n" + t2 +
             "     Frame Length: 0       \n     Start of Frame: 0 - Connect Class-1     End of Frame: 0 - Normal\n"
             "     Topology: Passive     Content: Complete Data Frame\n"
             "     Stripped Mode:Stripped Mode. Only Fibre Channel Data Payload is present.\n"
             "     Overrun Error: No\n     CRC Error: No\n     Framing Error: No\n\n"},
        {"default row 0x60: no word line, the word dumped", Packet(0x60, 0x04030201, {5, 6, 7, 8}),
         "PACKET DATA:\n00000000 0201 0403 0605 0807\n\n"},
    });
}

Bytes Pcm(bool secondaryTime) {
    ch10fix::PacketSpec s;
    s.dataType = 0x09;
    if (secondaryTime) {
        s.secondaryHeader = true;
        s.otherFlags = 0x40;
        s.csdw = 0x40200000;
        Add32(s.body, 0x11112222);
        Add32(s.body, 0x33334444);
        Add32(s.body, 0x00002000);
    } else {
        s.csdw = 0x40000000;
        for (uint16_t w : {0x1111, 0x2222, 0x3333, 0x0000, 0xC123, 0x0000}) Add16(s.body, w);
    }
    return ch10fix::BuildPacket(s);
}

TEST_F(DecoderGolden, PcmUartAnd1394) {
    const std::string pcmLines = "IntraPktHdr :  1 YES   MABegPacket :  0 NO    MIBegPacket :  0 NO    \n";
    const std::string t1 = TimeLine("001:00:00:01:000000", "0000 0098 9680", "10000000");
    const std::string t2 = TimeLine("001:00:00:02:000000", "0000 0131 2D00", "20000000");
    Bytes uartStamped, uartPlain, ieee0, ieee1;
    AddStamped(uartStamped, 10000000, 0x80020003, {'a', 'b', 'c'});
    Add32(uartPlain, 0x00010002);
    AddBytes(uartPlain, "hi");
    Add64(ieee0, 10000000);
    for (uint32_t w : {0x00002710u, 5u, 0x800000C7u, 0x02000010u}) {
        for (int k = 3; k >= 0; --k) ieee0.push_back(static_cast<uint8_t>(w >> (8 * k)));
    }
    AddStamped(ieee1, 10000000, 3, {'a', 'b', 'c'});
    AddStamped(ieee1, 20000000, 1, {'z'});
    RunCases({
        {"PCM, intra-packet header of three time words, layout 0", Pcm(false),
         "PCMCHANSPEC :  0x40000000\n" + pcmLines +
             "LockStMinFrm:  0       LockStMajFrm:  0       Alignment   :  0 16    \nMode        :  0       \n"
             "SysOffset   :  0       \n\nINTRA PACKET HEADER:\n"
             "TimeLo      :  0x1111  TimeMid     :  0x2222  TimeHi      :  0x3333\n"
             "LockSt      :  0xC LCK Reserved     : 0x123\n\n"
             "PACKET DATA:\n00000000 1111 2222 3333 0000 C123 0000\n\n"},
        {"PCM, time in the secondary header, layout 1", Pcm(true),
         "Optional Packet Secondary Header:\nTIME (LSLW) :  0x00000000  TIME (MSLW) :  0x00000000\n"
         "Reserved    :  0x0000    ChkSum      :  0     \n\n"
         "PCMCHANSPEC :  0x40200000\n" + pcmLines +
             "LockStMinFrm:  0       LockStMajFrm:  0       Alignment   :  1 32    \nMode        :  0       \n"
             "SysOffset   :  0       \n\n"
             "TIME (LSLW) :  0x11112222  TIME (MSLW) :  0x33334444  LockSt      :  0x2 CHK\n\n"
             "PACKET DATA:\n00000000 1111 2222 3333 4444 0000 2000\n\n"},
        {"UART with stamps", Packet(0x50, 0x80000000, uartStamped),
         "UART CHAN SPEC :0x80000000\nIntra-Packet Header:1 YES   \n\nPACKET DATA:\n\n" + t1 +
             "  Subchannel Number: 2\n  Data Length: 3\n  Parity Error: YES\n\n"
             "00000000 61 62 63" + Spaces(39) + "    abc" + Spaces(13) + "\n\n"},
        {"UART without stamps", Packet(0x50, 0, uartPlain),
         "UART CHAN SPEC :0x00000000\nIntra-Packet Header:0 NO    \n\nPACKET DATA:\n\n"
         "  Subchannel Number: 1\n  Data Length: 2\n  Parity Error: NO\n\n"
         "00000000 68 69" + Spaces(42) + "    hi" + Spaces(14) + "\n\n" + kTrailer2},
        {"1394 format 0, body type 2, ID 10,000", Packet(0x58, 0x40000001, ieee0),
         "1394 CHAN SPEC      : 0x40000001\nPacket Body Type    : Type  2       \nSynchronization Code: 0       \n"
         "Transaction Count   : 1       \n\nPACKET DATA:\n\n"
         "  Computed IRIG Time 001:00:00:01:000000  (0000 0098 9680)  10000000\n\n"
         "Message ID: 10000    (00002710)\nSecurity (Reserved): 5       \n"
         "VMC: 1         BusID: 3         Node ID: 7       \nPriority: 2            Message Length: 16      \n\n"
         "00000000 00 00 27 10 00 00 00 05 80 00 00 C7 02 00 00 10    ..'.............\n\n"},
        {"1394 format 1, odd lengths", Packet(0x59, 2, ieee1),
         "1394 CHAN SPEC    : 0x00000002\nIntra-Packet Count: 2       \n\nPACKET DATA:\n\n" + t1 +
             "00000000 61 62 63" + Spaces(39) + "    abc" + Spaces(13) + "\n\n" + t2 + "00000000 7A" + Spaces(45) +
             "    z" + Spaces(15) + "\n\n" + kTrailer2},
    });
    // The ID range is inclusive at both ends.
    for (auto [id, lines] : {std::pair<uint32_t, int>{9999, 0}, {10000, 1}, {200000, 1}, {200001, 0}}) {
        Bytes body = ieee0;
        for (int k = 0; k < 4; ++k) body[8 + static_cast<std::size_t>(k)] = static_cast<uint8_t>(id >> (8 * (3 - k)));
        EXPECT_EQ(Count(Printed(Packet(0x58, 0x40000001, body)), "Message ID: "), lines) << id;
    }
}

TEST_F(DecoderGolden, EthernetUdp16ppAndProgramTypes) {
    const std::string t1 = TimeLine("001:00:00:01:000000", "0000 0098 9680", "10000000");
    const std::string t2 = TimeLine("001:00:00:02:000000", "0000 0131 2D00", "20000000");
    Bytes frame, udp, pp, f35, f22;
    AddStamped(frame, 10000000, 0x43014004, {'W', 'X', 'Y', 'Z'});
    const std::string frameLines = "  Network ID: 1         Speed: 3 - 1 Gbit\n  Data Length: 4        Frame Error: YES\n";
    const std::string errorLine = "  Data Length Error: YES    CRC Error: NO    Frame CRC Error: NO\n";
    const std::string frameData = "\n00000000 57 58 59 5A" + Spaces(36) + "    WXYZ" + Spaces(12) + "\n\n";
    for (auto [stamp, info, link, ports, data] :
         {std::tuple<uint64_t, uint32_t, uint32_t, uint32_t, std::string>{10000000, 0x00020000, 0x1A, 0x13881770, "ok"},
          {20000000, 0x00000101, 0xFFFF, 0, ""}}) {
        Add64(udp, stamp);
        Add32(udp, info);
        Add32(udp, link);
        Add32(udp, stamp == 10000000 ? 0x0A000001 : 0);
        Add32(udp, stamp == 10000000 ? 0x0A000002 : 0);
        Add32(udp, ports);
        AddBytes(udp, data);
    }
    Add64(pp, 0xABCD000000989680ull);
    Add16(pp, 0xE048);
    Add16(pp, 4);
    Add16(pp, 0x1234);
    Add16(pp, 0x5678);
    Add64(pp, 20000000);
    Add16(pp, 0);
    Add16(pp, 2);
    Add16(pp, 0x9ABC);
    Add16(f35, 7);
    f35.push_back(35);
    f35.push_back(0);
    Add32(f35, 16);
    Add32(f35, 0xDEADBEEF);
    Add32(f35, 3);
    AddBytes(f35, "F35");
    f35.push_back(0);
    Add16(f22, 2);
    f22.push_back(22);
    f22.push_back(0);
    Add64(f22, 10000000);
    Add32(f22, 0x8002000C);
    for (uint16_t w : {0x1111, 0x2222, 0xAAAA, 0xBBBB, 0xC0C0, 0xC1C1}) Add16(f22, w);
    Add64(f22, 2ull << 32);
    Add32(f22, 12);
    f22.resize(f22.size() + 12, 0);
    const std::string messageWord0 =
        "MESSAGE CHAN SPEC :0x00000000\nType :  0 Complete Message(s}      Message Counter :   0\n\nPACKET DATA:\n\n";
    RunCases({
        {"Ethernet version 5", Packet(0x68, 1, frame, 5),
         "ETHERNET CHAN SPEC :0x00000001\nNumber of Frames :  1\n\nPACKET DATA:\n\n" + t1 + frameLines + frameData},
        {"Ethernet version 6", Packet(0x68, 1, frame, 6),
         "ETHERNET CHAN SPEC :0x00000001\nNumber of Frames :  1\n\nPACKET DATA:\n\n" + t1 + frameLines + errorLine +
             frameData},
        {"Ethernet version 7", Packet(0x68, 1, frame, 7),
         "ETHERNET CHAN SPEC :0x00000001\nNumber of Frames :  1\n"
         "Time Tag: First bit of the MAC frame MAC destination address (0)\n\nPACKET DATA:\n\n" + t1 + frameLines +
             errorLine + frameData},
        {"UDP/ARINC-664 data types 0 and 1", Packet(0x69, 0x001C0002, udp),
         "UDP/ARINC-664 CHAN SPEC :0x001C0002\nIPH Length              :28\nNumber of Messages      :2\n\n"
         "PACKET DATA:\n\n" + t1 +
             "  Data Type: UDP/ARINC-664     Data Length: 2            Frame Error: NO\n"
             "     Virtual Link: 1A      \n     Source IP: 0A000001   Source Port: 5000    \n"
             "     Dest IP: 0A000002   Dest Port:6000    \n\n"
             "00000000 6F 6B" + Spaces(42) + "    ok" + Spaces(14) + "\n\n" + t2 +
             "  Data Type: Simulated Data     Data Length: 0            Frame Error: YES\n"
             "     Virtual Link: FFFF    \n     Source IP: 00000000   Source Port: 0       \n"
             "     Dest IP: 00000000   Dest Port:0       \n\n\n" + kTrailer2},
        {"16PP194: two messages, every status line", Packet(0x1A, 2, pp),
         "16PPCHANSPEC : 0x00000002\n   MsgCount    :  2       \n\nPACKET DATA:\n\n"
         "  MSG 1:\n  Computed IRIG Time 001:00:00:01:000000  10000000\n"
         "  BlockStatus: E048  REF TIME: 0000 0098 9680  MSGLEN: 0004\n"
         "    TE - Transaction Error\n    RE - Master Reset detected on\n    TM - Message Time Out\n"
         "    SE - Status Word Missing\n    EE - Missing Echo Word\n\n     1234 5678\n\n"
         "  MSG 2:\n  Computed IRIG Time 001:00:00:02:000000  20000000\n"
         "  BlockStatus: 0000  REF TIME: 0000 0131 2D00  MSGLEN: 0002\n\n     9ABC\n\n" + kTrailer2},
        {"type 35", Packet(0x30, 0, f35),
         messageWord0 + "F-35 Program Specific Data Word (Type 35), Packet Count:    7\n"
                        "ASM Header:       16 (00000010)      Security Word: DEADBEEF\nData Length:        3\n\n"
                        "00000000 46 33 35" + Spaces(39) + "    F35" + Spaces(13) + "\n\n"},
        {"type 22 with a bad second time", Packet(0x30, 0, f22),
         messageWord0 + "F-22 FOR Program Specific Data Word (Type 22), Sub-Packet Count:    2\n\n"
                        "Sub-Packet 1 Data:\n\n"
                        "  Computed IRIG Time: 001:00:00:01:000000  (0000 0098 9680)  10000000\n\n"
                        "  F22 Status Word:\n"
                        "   FIFO Error: YES         CRC Error:  NO        Symbol Error:  NO  Framing Error:  NO\n"
                        "   BOT before EOT:  NO     Frame Overflow:  NO   Parity Error:  NO  Data Error:  NO\n"
                        "   Special Handling:  NO   Invalid Packet: YES   Invalid Msg Sequence:  NO\n\n"
                        "  Payload Length:    12\n\n"
                        "  F22 FOR Message PI Bus Header:\n   FNIU Header MSW 2222\n   FNIU Header LSW 1111\n"
                        "     PI Header A AAAA\n     PI Header B BBBB\n     PI Header C0 C0C0\n     PI Header C1 C1C1\n"
                        "00000000 AA AA BB BB C0 C0 C1 C1" + Spaces(24) + "    ........" + Spaces(8) + "\n\n"
                        "Sub-Packet 2 Data:\n\nTime seems to be bad.  Printing out rest of packet in raw format\n\n"
                        "00000000 00 00 00 00 02 00 00 00 0C 00 00 00 00 00 00 00    ................\n"
                        "00000010 00 00 00 00 00 00 00 00" + Spaces(24) + "    ........" + Spaces(8) + "\n\n"},
    });
}

TEST_F(DecoderGolden, AbsoluteTimesUnderADateReference) {
    Bytes event, node, root;
    for (Bytes* b : {&event, &node, &root}) {
        Add64(*b, 9);
        Add32(*b, 0x01020304);
        Add32(*b, 0x20241225);
    }
    Add32(event, 0x00002003);
    Add16(node, 0x0010);
    node.push_back(0x09);
    node.push_back(0);
    Add64(node, 0x40);
    Add64(root, 0x40);
    const std::string absolute = "2024122501020304";
    RunCases(
        {
            {"20-byte event", Packet(0x02, 1, event),
             "EVENT CHAN SPEC :0x00000001\n\nIntraPkt Data Hdr: 0 NO    \nEvent Entry Count: 1       \n\n"
             "PACKET DATA:\nRelative Time         Absolute Time(IPDH)            During Record    Event Number   "
             "Event Count\n9            " "  " + absolute + " 12/25/2024 01:02:03:040 " +
                 "  0 NO             3             2\n\n"},
            {"28-byte node entry", Packet(0x03, 0x80000001, node),
             "INDEX CHAN SPEC  :0x80000001\n\nIndex Type       : 1 Node Index\nFile Size Present: 0 NO    \n"
             "IntraPkt Data Hdr: 0 NO    \nIndex Entry Count: 1       \n\n"
             "PACKET DATA:\nRelative Time         Absolute Time(IPDH)              Channel  Type    Data Packet Offset\n"
             "9            " "  " + absolute + " 12/25/2024 01:02:03:040 " + "00016   9 PCM   0x0000000000000040\n\n"},
            {"24-byte root entry", Packet(0x03, 0x00000001, root),
             "INDEX CHAN SPEC  :0x00000001\n\nIndex Type       : 0 Root Index\nFile Size Present: 0 NO    \n"
             "IntraPkt Data Hdr: 0 NO    \nIndex Entry Count: 1       \n\n"
             "PACKET DATA:\nRelative Time              Absolute Time(IPDH)                Node/Root Offset\n"
             "9" + Spaces(14) + " " + absolute + "  12/25/2024 01:02:03:040    0x0000000000000040\n\n"},
        },
        true);
}

}  // namespace
}  // namespace sandral
