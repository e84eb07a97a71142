// The dispatch point: which word printer runs, where the body starts and in
// which layout it is dumped; and packets whose lengths lie, each decoded
// from a heap copy of exactly its length so that an over-read shows.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tests/sandral/decoder_test_support.h"
#include "dispatch.h"
#include "tests/sandral/sandral_test_support.h"

namespace sandral {
namespace {

using namespace sandraltest;
using DecoderDispatch = SandralFixture;
using DecoderBounds = SandralFixture;

// Body 01 02 03 ... 10 after the word A1A2A3A4: the dump's first line says
// where the body started and in which layout.
TEST_F(DecoderDispatch, WordPrinterAndBodyPerCode) {
    const std::string body0 = "PACKET DATA:\n00000000 0201 0403 ";  // layout 0 from the body
    const std::string decoded = "PACKET DATA:\n\n";                   // a body printer
    const struct {
        uint8_t code;
        uint32_t word;
        const char* firstLine;  // nullptr: no word line
        std::string body;
    } cases[] = {
        {0x00, 0, "USER CHAN SPEC :", decoded},
        {0x02, 0, "EVENT CHAN SPEC :", "PACKET DATA:\n00000000 01 02 03"},
        {0x03, 0, "INDEX CHAN SPEC  :", "PACKET DATA:\n00000000 01 02 03"},
        {0x09, 0, "PCMCHANSPEC :", body0},
        {0x09, 0x00200000, "PCMCHANSPEC :", "PACKET DATA:\n00000000 0403 0201 0807 0605 0C0B 0A09 100F 0E0D\n"},
        {0x11, 0, "IRIGCHANSPEC  :", body0},
        {0x19, 0, "BUSCHANSPEC :", decoded + "PACKET DATA:\n00000000 0201 0403"},
        {0x1A, 0, "16PPCHANSPEC :", decoded},
        {0x21, 0x00010000, "ANALOG CHAN SPEC :", body0},
        {0x29, 0, "DISCRETE CHAN SPEC : ", decoded},
        {0x30, 0, "MESSAGE CHAN SPEC :", decoded},
        {0x38, 0, "ARINC429 CHAN SPEC :", decoded},
        {0x40, 0, "VIDEO CHAN SPEC :", body0},
        {0x40, 0x00800000, "VIDEO CHAN SPEC :", "PACKET DATA:\n00000000 0102 0304 "},
        {0x41, 0, "VIDEO CHAN SPEC :", "PACKET DATA:\n00000000 0102 0304 "},
        {0x42, 0, "VIDEO CHAN SPEC :", "PACKET DATA:\n00000000 0102 0304 "},
        {0x48, 0, "IMAGE 0 CHAN SPEC :", body0},
        {0x49, 0, "IMAGE 0 CHAN SPEC :", body0},
        {0x50, 0, "UART CHAN SPEC :", decoded},
        {0x58, 0, "1394 CHAN SPEC      : ", decoded},
        {0x59, 0, "1394 CHAN SPEC    : ", decoded},
        {0x68, 0, "ETHERNET CHAN SPEC :", decoded},
        {0x69, 0, "UDP/ARINC-664 CHAN SPEC :", decoded},
        {0x70, 0, "TSPI 0 CHAN SPEC  :", body0},
        {0x71, 0, "TSPI 1 CHAN SPEC  :", body0},
        {0x72, 0, "TSPI 2 CHAN SPEC  :", body0},
        {0x78, 0, "CAN 0 CHAN SPEC  :", decoded},
        {0x79, 0, "FCH 0 CHAN SPEC  :", decoded},
        {0x04, 0xA4A3A2A1, nullptr, "PACKET DATA:\n00000000 A2A1 A4A3 0201 0403"},
        {0x4A, 0xA4A3A2A1, nullptr, "PACKET DATA:\n00000000 A2A1 A4A3 0201 0403"},
        {0x60, 0xA4A3A2A1, nullptr, "PACKET DATA:\n00000000 A2A1 A4A3 0201 0403"},
        {0xFF, 0xA4A3A2A1, nullptr, "PACKET DATA:\n00000000 A2A1 A4A3 0201 0403"},
    };
    Bytes body;
    for (uint8_t i = 1; i <= 16; ++i) body.push_back(i);
    for (const auto& c : cases) {
        ResetStateForTests();
        const std::string text = Printed(Packet(c.code, c.word, body));
        if (c.firstLine) EXPECT_EQ(text.rfind(c.firstLine, 0), 0u) << int(c.code) << ":\n" << text;
        else EXPECT_EQ(text.rfind("PACKET DATA:", 0), 0u) << int(c.code) << ":\n" << text;
        EXPECT_NE(text.find(c.body), std::string::npos) << int(c.code) << ":\n" << text;
        EXPECT_EQ(DecoderTable()[c.code].wordPrinter != nullptr, c.firstLine != nullptr) << int(c.code);
    }
    // Setup packets: the word line, then the text (no dumps).
    const std::string setup = Printed(Packet(0x01, 0, {'A', ':', '1', ';'}));
    EXPECT_EQ(setup.find("PACKET"), std::string::npos) << setup;
}

TEST_F(DecoderDispatch, AnalogWordsBeforeTheBody) {
    const struct {
        const char* name;
        uint32_t word;
        Bytes body;
        std::size_t packetLength;  // 0: as built
        int words;
        const char* dump;
        std::optional<uint32_t> dataLength = std::nullopt;
    } cases[] = {
        {"count 0: no word, the dump from the header's end", 0x00000000, {1, 0, 2, 0}, 0, 0,
         "PACKET DATA:\n00000000 0000 0000 0001 0002\n"},
        {"Same: one word whatever the count", 0x10050000, {1, 0, 2, 0}, 0, 1, "PACKET DATA:\n00000000 0001 0002\n"},
        {"count 2: two words", 0x00020000, {1, 0, 2, 0, 3, 0, 4, 0}, 0, 2, "PACKET DATA:\n00000000 0003 0004\n"},
        {"count 255 in a 40-byte packet: the four words there", 0x00FF0000, Bytes(12, 0x11), 40, 4,
         "PACKET DATA:\n\n"},
        {"data length 2: the word lies in the trailer", 0x00010000, {1, 0, 2, 0}, 0, 0,
         "PACKET DATA:\n00000000 0000\n\nPACKET TRAILER:\n00000000 0001 0001 0002\n", 2u},
    };
    for (const auto& c : cases) {
        ResetStateForTests();
        ch10fix::PacketSpec s;
        s.dataType = 0x21;
        s.csdw = c.word;
        s.body = c.body;
        s.dataLengthOverride = c.dataLength;
        const Bytes packet = ch10fix::BuildPacket(s);
        if (c.packetLength) { ASSERT_EQ(packet.size(), c.packetLength); }
        const std::string text = Printed(packet);
        EXPECT_EQ(Count(text, "ANALOG CHAN SPEC :"), c.words) << c.name << ":\n" << text;
        EXPECT_NE(text.find(c.dump), std::string::npos) << c.name << ":\n" << text;
    }
}

// Every code with words and bodies from a fixed seed, bodies of all-ones
// (counts and lengths at their field maximum) and structured bodies cut at
// every length: no over-read, and every call writes its text.
TEST_F(DecoderBounds, EveryCodeEveryLength) {
    std::mt19937 random(17);
    std::vector<uint8_t> codes;
    for (int c = 0; c < 256; ++c)
        if (DecoderTable()[c].wordPrinter) codes.push_back(static_cast<uint8_t>(c));
    codes.push_back(0x04);
    codes.push_back(0x60);
    for (uint8_t code : codes) {
        std::vector<std::pair<uint32_t, Bytes>> bodies;
        for (int k = 0; k < 24; ++k) {
            Bytes b(random() % 65);
            for (auto& x : b) x = static_cast<uint8_t>(random());
            bodies.emplace_back(static_cast<uint32_t>(random()), b);
        }
        bodies.emplace_back(0xFFFFFFFF, Bytes(64, 0xFF));
        bodies.emplace_back(0x0000FFFF, Bytes(64, 0xFF));
        Bytes stamped;
        AddStamped(stamped, 10000000, 0x00000006, {1, 2, 3, 4, 5, 6});
        AddStamped(stamped, 20000000, 0x00000003, {7, 8, 9});
        bodies.emplace_back(2, stamped);
        for (const auto& [word, full] : bodies) {
            for (std::size_t n = 0; n <= full.size(); ++n) {
                ResetStateForTests();
                const Bytes body(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
                const std::string text = PrintedWhole(Packet(code, word, body, static_cast<uint8_t>(random() % 8)));
                ASSERT_FALSE(text.empty()) << int(code);
                if (code != 0x01) { ASSERT_NE(text.find("PACKET HEADER:\n"), std::string::npos) << int(code); }
            }
        }
    }
}

TEST_F(DecoderBounds, LyingRows) {
    // Sub-packets 12 + payload apart: the second and third begin inside
    // the bytes the one before reads as its bus header.
    Bytes type22;
    Add16(type22, 3);
    type22.push_back(22);
    type22.push_back(0);
    for (uint32_t payload : {0u, 2u, 0x1FFFFu}) {
        Add64(type22, 10000000);
        Add32(type22, payload);
        if (payload == 2) Add16(type22, 0x7777);
    }
    type22.resize(type22.size() + 12, 0x55);
    Bytes type35(16, 0);
    type35[2] = 35;
    ch10fix::Put32(type35, 12, 0xFFFFFFFF);
    Bytes event20(20, 0xFF);
    const struct {
        const char* name;
        uint8_t code;
        uint32_t word;
        Bytes body;
        const char* shown;
    } cases[] = {
        {"type 22 payloads 0, 2 and 0x1FFFF", 0x30, 0, type22, "Sub-Packet 3 Data:"},
        {"type 35 length past the body", 0x30, 0, type35, "Data Length:       -1\n\n\n"},
        {"1553 count 0xFFFFFF, length 0xFFFF", 0x19, 0xFFFFFF, Bytes(20, 0xFF), "MSGLEN: FFFF\n"},
        {"16PP194 count past the messages", 0x1A, 0xFFFFFFFF, Bytes(20, 0xFF), "MSGLEN: FFFF\n"},
        {"ARINC count past the entries", 0x38, 0xFFFF, Bytes(20, 0xFF), "(377)"},
        {"event with an all-F absolute time", 0x02, 1, event20, "**Time Data Error**"},
        {"index count past the entries", 0x03, 0xC000FFFF, Bytes(20, 0xFF), "File Entry Size: 0xFFFFFFFFFFFFFFFF"},
        {"1394 format 0 body type 2 with 4 bytes", 0x58, 0x40000000, Bytes(4, 0xFF), "PACKET DATA:\n\n00000000 FF"},
        {"UART without stamps, length past the body", 0x50, 0, Bytes(8, 0xFF), "  Data Length: 65535\n"},
        {"UDP length past the body", 0x69, 0, Bytes(30, 0xFF), "Data Length: 65535   "},
        {"Ethernet length past the body", 0x68, 0, Bytes(14, 0xFF), "  Data Length: 16383   "},
        {"Fibre Channel length past the body", 0x79, 0, Bytes(14, 0xFF), "     Frame Length: 4095    \n"},
        {"CAN length 15", 0x78, 0, Bytes(18, 0xFF), "     Message Length: 11      "},
        {"CAN length 0", 0x78, 0, Bytes(16, 0), "     Message Length: -4      "},
        {"PCM intra-packet header cut", 0x09, 0x40000000, Bytes(9, 0xFF), "SysOffset   :  0       \n\nPACKET"},
        {"discrete tail", 0x29, 0, Bytes(13, 0xFF), "00000000 FF    "},
    };
    for (const auto& c : cases) {
        ResetStateForTests();
        const std::string text = PrintedWhole(Packet(c.code, c.word, c.body));
        EXPECT_NE(text.find(c.shown), std::string::npos) << c.name << ":\n" << text;
    }
}

// Header fields that contradict each other reach the dispatch point too.
TEST_F(DecoderBounds, LengthsThatLie) {
    auto spec = [](uint8_t code) {
        ch10fix::PacketSpec s;
        s.dataType = code;
        s.csdw = 0x00FF0003;
        s.body = Bytes(16, 0xFF);
        return s;
    };
    for (int c = 0; c < 256; ++c) {
        const auto code = static_cast<uint8_t>(c);
        // Setup packets print only their word and text: nothing when neither is there.
        if ((!DecoderTable()[code].wordPrinter && code != 0x04) || code == 0x01) continue;
        ch10fix::PacketSpec shortData = spec(code);
        shortData.dataLengthOverride = 2;
        ch10fix::PacketSpec longData = spec(code);
        longData.dataLengthOverride = 0x7FFFFFF0;
        ch10fix::PacketSpec noWord = spec(code);
        noWord.packetLengthOverride = 26;
        ch10fix::PacketSpec secondary = spec(code);
        secondary.flagsOverride = 0x80;
        for (const auto& [name, s, held] : {std::tuple{"data length below 4", shortData, SIZE_MAX},
                                            std::tuple{"data length past the packet", longData, SIZE_MAX},
                                            std::tuple{"packet length below hl + 4", noWord, std::size_t{26}},
                                            std::tuple{"bit 7 with 30 bytes", secondary, std::size_t{30}}}) {
            ResetStateForTests();
            const std::string text = PrintedWhole(ch10fix::BuildPacket(s), held);
            EXPECT_FALSE(text.empty()) << name << " " << c;
        }
    }
}

}  // namespace
}  // namespace sandral
