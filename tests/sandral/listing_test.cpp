// What a listing shows: header blocks, delta times, dumps, packets of types
// without decoders, partial packets and a whole listing, against texts
// written from the formats.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "dumps.h"
#include "header_printer.h"
#include "tests/support/held_packet_rig.h"
#include "tests/sandral/recording_builder.h"
#include "tests/sandral/sandral_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/time_packet_builder.h"
#include "time_reference.h"
#include "tests/support/tmats_builder.h"

namespace sandral {
namespace {

using ch10fix::Bytes;
using sandraltest::Recording;
using SandralListing = sandraltest::SandralFixture;

std::string Golden(const std::string& name) {
    return sandraltest::ReadText(std::string(SANDRAL_GOLDEN_DIR) + "/" + name);
}

// Text-mode conversion: an LF not preceded by CR becomes CR LF.
std::string WithCrLf(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

OutputSink& MemorySink() {
    OutputSink& out = State().browse.outputStream;
    out.UseMemory();
    return out;
}

TEST_F(SandralListing, DumpsGolden) {
    OutputSink& out = MemorySink();
    for (int layout : {0, 1, 2}) {
        for (std::size_t n : {0, 2, 7, 16, 17, 18}) {
            auto held = std::make_unique<uint8_t[]>(n ? n : 1);  // exact size: a read past it is seen
            for (std::size_t i = 0; i < n; ++i) held[i] = static_cast<uint8_t>(i + 1);
            dump_words(out, held.get(), n, layout);
        }
    }
    for (std::size_t n : {24, 36}) {
        auto held = std::make_unique<uint8_t[]>(n);
        for (std::size_t i = 0; i < n; ++i) held[i] = static_cast<uint8_t>(i + 1);
        dump_header(out, held.get(), n);
    }
    EXPECT_EQ(out.Text(), Golden("dumps.txt"));
}

// One line of a packet's header block.
std::string HeaderLine(const ch10fix::PacketSpec& spec, const std::string& label) {
    sandral::ResetStateForTests();
    OutputSink& out = MemorySink();
    const rigs::HeldPacket held(ch10fix::BuildPacket(spec));
    print_packet_header(out, held.header());
    const std::string& text = out.Text();
    const auto at = text.find(label);
    if (at == std::string::npos) return "(none)";
    return text.substr(at, text.find('\n', at) + 1 - at);
}

TEST_F(SandralListing, HeaderLines) {
    struct Case {
        const char* name;
        std::function<void(ch10fix::PacketSpec&)> set;
        const char* label;
        const char* line;
    };
    auto flags = [](uint8_t f) { return [f](ch10fix::PacketSpec& s) { s.flagsOverride = f; }; };
    auto type = [](uint8_t t) { return [t](ch10fix::PacketSpec& s) { s.dataType = t; }; };
    auto lengths = [](uint32_t data, uint32_t packet) {
        return [=](ch10fix::PacketSpec& s) {
            s.dataLengthOverride = data;
            s.packetLengthOverride = packet;
        };
    };
    const Case cases[] = {
        {"bit 7", flags(0x80), "SECOND", "SECOND HDR  :  YES     TIME SOURCE :  PktHdr 48-Bit Ref Time  \n"},
        {"bit 6", flags(0x40), "SECOND", "SECOND HDR  :  NO      TIME SOURCE :  Pkt Secondary Hdr Time  \n"},
        {"bits 6+7 format 0", flags(0xC0), "SECOND",
         "SECOND HDR  :  YES     TIME SOURCE :  Pkt Secondary Hdr Time  Time Fmt: Ch4 48-bit\n"},
        {"bits 6+7 format 1", flags(0xC4), "SECOND",
         "SECOND HDR  :  YES     TIME SOURCE :  Pkt Secondary Hdr Time  Time Fmt: IEEE 1588\n"},
        {"bits 6+7 format 2", flags(0xC8), "SECOND",
         "SECOND HDR  :  YES     TIME SOURCE :  Pkt Secondary Hdr Time  Time Fmt: ERTC\n"},
        {"bits 6+7 format 3", flags(0xCC), "SECOND",
         "SECOND HDR  :  YES     TIME SOURCE :  Pkt Secondary Hdr Time  Time Fmt: UNK\n"},
        {"bit 5", flags(0x20), "REFTIME", "REFTIME ERR :  1       OVERFLOW ERR:  0       CHKSUM IND  :  NO CHK  \n"},
        {"bit 4", flags(0x10), "REFTIME", "REFTIME ERR :  0       OVERFLOW ERR:  1       CHKSUM IND  :  NO CHK  \n"},
        {"checksum 1", flags(0x01), "REFTIME", "REFTIME ERR :  0       OVERFLOW ERR:  0       CHKSUM IND  :  8Bit    \n"},
        {"checksum 2", flags(0x02), "REFTIME", "REFTIME ERR :  0       OVERFLOW ERR:  0       CHKSUM IND  :  16Bit   \n"},
        {"checksum 3", flags(0x03), "REFTIME", "REFTIME ERR :  0       OVERFLOW ERR:  0       CHKSUM IND  :  32Bit   \n"},
        {"25 1553", type(25), "Type", "Type        :  25 1553 TimeLo      :  0x0000  TimeMid     :  0x0000\n"},
        {"114 ACTTS", type(114), "Type", "Type        :  114 ACTTSTimeLo      :  0x0000  TimeMid     :  0x0000\n"},
        {"4 UNK", type(4), "Type", "Type        :  4 UNK   TimeLo      :  0x0000  TimeMid     :  0x0000\n"},
        {"255 UNK", type(255), "Type", "Type        :  255 UNK TimeLo      :  0x0000  TimeMid     :  0x0000\n"},
        {"efficiency 61.1111", lengths(22, 36), "Packet's Data", "Packet's Data Efficiency : 61.1111\n"},
        {"efficiency 100", lengths(36, 36), "Packet's Data", "Packet's Data Efficiency : 100\n"},
        {"efficiency above 100", lengths(72, 36), "Packet's Data", "Packet's Data Efficiency : 200\n"},
        {"efficiency in exponent form", lengths(0xFFFFFFF0, 36), "Packet's Data",
         "Packet's Data Efficiency : 1.19305e+10\n"},
        {"data length 0xFFFFFFF0", lengths(0xFFFFFFF0, 36), "DataLen",
         "DataLen     :  -16     Ver         :  6       Seq         :  0       \n"},
        {"counter 2^48 - 1", [](ch10fix::PacketSpec& s) { s.rtc = 0xFFFFFFFFFFFFull; }, "Packet's Relative",
         "Packet's Relative Time Counter : 281474976710655\n"},
        {"counter words", [](ch10fix::PacketSpec& s) { s.rtc = 0xFFFFFFFFFFFFull; }, "Type",
         "Type        :  0 USER  TimeLo      :  0xFFFF  TimeMid     :  0xFFFF\n"},
        {"no reference: time 0, no delta", [](ch10fix::PacketSpec& s) { s.dataType = 9; }, "Computed",
         "Computed IRIG Time: 000:00:00:00:000000\n"},
        {"setup: no computed time", type(1), "Computed", "(none)"},
    };
    for (const Case& c : cases) {
        ch10fix::PacketSpec spec;
        spec.body.assign(8, 0);
        c.set(spec);
        EXPECT_EQ(HeaderLine(spec, c.label), c.line) << c.name;
    }
}

TEST_F(SandralListing, PacketsOfTypesWithoutDecoders) {
    ch10fix::PacketSpec p1;
    p1.channelId = 0x10, p1.dataType = 0x04, p1.sequence = 1, p1.rtc = 0x1234, p1.csdw = 0x04030201;
    p1.body = {0, 1, 2, 3, 4, 5, 6, 7};
    ch10fix::PacketSpec p2;
    p2.channelId = 0x11, p2.dataType = 0x60, p2.sequence = 2, p2.otherFlags = 0x44, p2.rtc = 0xABCDEF012345;
    p2.secondaryHeader = true, p2.secondaryTime = 0x1122334455667788, p2.checksum = ch10fix::Checksum::Sum16;
    p2.csdw = 0xA0B0C0D0, p2.body = {0xAA, 0xBB, 0xCC, 0xDD, 0xEE};
    ch10fix::PacketSpec p3;
    p3.channelId = 0x12, p3.dataType = 0x4A, p3.sequence = 3, p3.checksum = ch10fix::Checksum::Sum8;
    p3.csdw = 0x11111111;
    for (uint8_t b = 0xF0; b < 0xFC; ++b) p3.body.push_back(b);
    Recording rec;
    rec.Packet(ch10fix::BuildPacket(p1)).Packet(ch10fix::BuildPacket(p2)).Packet(ch10fix::BuildPacket(p3));
    ch10fix::TempDir dir;
    ch10fix::WriteFile(dir.File("rec.ch10"), rec.bytes);
    EXPECT_EQ(sandraltest::ListPackets(dir.File("rec.ch10")), Golden("no_decoder_packets.txt"));

    Recording tail;
    tail.Packet(ch10fix::BuildPacket(p1)).Garbage(1).Garbage(1, 0x25).Garbage(1, 0xEB);
    tail.Garbage(1, 1).Garbage(1, 2).Garbage(1, 3);
    ch10fix::WriteFile(dir.File("tail.ch10"), tail.bytes);
    sandral::ResetStateForTests();
    EXPECT_EQ(sandraltest::ListPackets(dir.File("tail.ch10")), Golden("sub_header_tail.txt"));
}

// Setup, time, two packets half a second apart, one of a group that has no
// time packet, and a cut last packet.
Bytes ListingRecording() {
    Bytes out = ch10fix::BuildSetupPacket(std::string("G\\PN:E2E;\r\nG\\106:07;\r\n"));
    ch10fix::PacketSpec time;
    time.channelId = 1, time.sequence = 1;
    ch10fix::Append(out, ch10fix::BuildTimePacket({}, time));
    auto pcm = [](uint16_t channel, uint8_t seq, uint64_t rtc, Bytes body) {
        ch10fix::PacketSpec s;
        s.channelId = channel, s.dataType = 0x09, s.sequence = seq, s.rtc = rtc, s.body = std::move(body);
        return ch10fix::BuildPacket(s);
    };
    ch10fix::Append(out, pcm(2, 1, 5000000, {1, 2, 3, 4}));
    ch10fix::Append(out, pcm(2, 2, 10000000, {5, 6, 7, 8}));
    ch10fix::Append(out, pcm(0x2003, 1, 0, {9, 9, 9, 9}));
    Bytes body;
    for (uint8_t i = 0; i < 40; ++i) body.push_back(i);
    Bytes last = pcm(2, 3, 20000000, body);
    last.resize(30);
    ch10fix::Append(out, last);
    return out;
}

TEST_F(SandralListing, WholeListing) {
    ch10fix::TempDir dir;
    ch10fix::WriteFile(dir.File("rec.ch10"), ListingRecording());
    CHAN_INFO record{};
    record.SourceBits = 3;  // channel 0x2003 is in group 1
    const std::string name = dir.File("list_1.txt");

    SetGroupBits(&record);
    State().browse.outputFileName = name;
    EXPECT_EQ(sandraltest::ListPackets(dir.File("rec.ch10")), Golden("listing.txt")) << "as written";
    EXPECT_EQ(sandraltest::ReadText(dir.File("list_tmats")), Golden("listing_tmats.txt"));

    sandral::ResetStateForTests();
    ::unlink(dir.File("list_tmats").c_str());
    SetGroupBits(&record);
    BrowseState& b = State().browse;
    b.outputFileName = name;
    ASSERT_TRUE(b.outputStream.OpenFile(name));
    sandraltest::ListPackets(dir.File("rec.ch10"));
    b.outputStream.Close();
    EXPECT_EQ(sandraltest::ReadText(name), WithCrLf(Golden("listing.txt"))) << "CR LF throughout";
    EXPECT_EQ(sandraltest::ReadText(dir.File("list_tmats")), Golden("listing_tmats.txt"));
}

TEST_F(SandralListing, DegenerateHeadersInExactBuffers) {
    auto lengthOne = [] {
        ch10fix::PacketSpec s;
        s.packetLengthOverride = 1;
        return ch10fix::BuildPacket(s);
    };
    auto thirtyWithBit7 = [] {
        ch10fix::PacketSpec s;
        s.flagsOverride = 0x80;
        s.packetLengthOverride = 30;
        s.body.assign(4, 0x77);
        return ch10fix::BuildPacket(s);
    };
    auto dataLengthTwo = [] {
        ch10fix::PacketSpec s;
        s.dataType = 0x04;  // no word printer: the body starts at the word
        s.dataLengthOverride = 2;
        return ch10fix::BuildPacket(s);
    };
    const struct {
        const char* name;
        Bytes packet;
        std::size_t held;
        std::vector<std::string> shown;  // in this order
        bool secondaryBlock;
    } cases[] = {
        {"length 1: 24 header bytes, no body", lengthOne(), 24,
         {"PACKET HEADER:\n00000000 EB25 0000 0001 ", "\n00000010 0000 0000 0000 ", "\n\nPACKET DATA:\n\n"}, false},
        {"length 30 with bit 7: 30 header bytes, no secondary block", thirtyWithBit7(), 30,
         {"PACKET HEADER:\n", " 0000 0000 7777\n\nPACKET DATA:\n\n"}, false},
        {"data length 2: 2 body bytes, 2 trailer bytes", dataLengthTwo(), 28,
         {"PACKET DATA:\n00000000 0000\n\nPACKET TRAILER:\n00000000 0000\n\n"}, false},
    };
    for (const auto& c : cases) {
        sandral::ResetStateForTests();
        OutputSink& out = MemorySink();
        const rigs::HeldPacket held(c.packet, c.held);
        print_packet_body(out, held.data(), held.size(), held.header());
        const std::string& text = out.Text();
        std::size_t at = 0;
        for (const std::string& piece : c.shown) {
            at = text.find(piece, at);
            ASSERT_NE(at, std::string::npos) << c.name << ": " << piece << " in\n" << text;
        }
        EXPECT_EQ(text.find("Secondary") != std::string::npos, c.secondaryBlock) << c.name;
        EXPECT_EQ(sandraltest::Count(text, "PACKET HEADER:"), 1) << c.name;
    }

    ch10fix::TempDir dir;
    sandral::ResetStateForTests();
    State().browse.outputFileName = dir.File("s_1.txt");
    OutputSink& out = MemorySink();
    ch10fix::PacketSpec setup;
    setup.dataType = 1;
    setup.csdw = 7;
    setup.body = {'A', ':', '1', ';', 'B', ':', '2', ';'};
    setup.dataLengthOverride = 0xFFFFFFF0;
    const rigs::HeldPacket held(ch10fix::BuildPacket(setup));
    print_packet_body(out, held.data(), held.size(), held.header());
    EXPECT_EQ(out.Text(),
              "SETUP CHAN SPEC: 0x00000007\n"
              "IRIG 106 Chapter 10 Version: 0x07 (IRIG-106-07)\n"
              "TMATS Format: 0 ASCII     Setup Record Conf Change: 0 NO   \n\n"
              "A:1;\r\nB:2;\r\n")
        << "the word line, then the text cut to the packet";
}

}  // namespace
}  // namespace sandral
