// The time-data decoder's checks, and every value-name table of the word
// printers with a value past its names.
#include <gtest/gtest.h>

#include <string>

#include "tests/sandral/decoder_test_support.h"
#include "decoders/decoders.h"
#include "tests/sandral/sandral_test_support.h"

namespace sandral {
namespace {

using namespace sandraltest;

TEST(TimeDataDecoder, ChecksOneAtATime) {
    const struct {
        const char* name;
        uint32_t a, b;
        bool date;
        int errors;
        const char* text;  // checked when there is no error
    } cases[] = {
        {"valid day", 0x12345678, 0x0123, false, 0, "123:12:34:56:780"},
        {"valid date", 0x01020304, 0x20241225, true, 0, "12/25/2024 01:02:03:040"},
        {"ms tens digit", 0x0000000A, 0x0001, false, 1, nullptr},
        {"ms hundreds digit (and ms above 999)", 0x000000A0, 0x0001, false, 2, nullptr},
        {"second units", 0x00000A00, 0x0001, false, 1, nullptr},
        {"second tens (and seconds above 59)", 0x00006000, 0x0001, false, 2, nullptr},
        {"minute units", 0x000A0000, 0x0001, false, 1, nullptr},
        {"minute tens (and minutes above 59)", 0x00600000, 0x0001, false, 2, nullptr},
        {"hour units", 0x0A000000, 0x0001, false, 1, nullptr},
        {"hour tens (and hours above 23)", 0x30000000, 0x0001, false, 2, nullptr},
        {"hours 24", 0x24000000, 0x0001, false, 1, nullptr},
        {"hours 24, date form", 0x24000000, 0x20240101, true, 1, nullptr},
        {"day 367", 0, 0x0367, false, 1, nullptr},
        {"day 366", 0, 0x0366, false, 0, "366:00:00:00:000"},
        {"day form reads only bits 9-0", 0, 0xFFFFFC01, false, 0, "001:00:00:00:000"},
        {"day units in the date form", 0, 0x2024010A, true, 1, nullptr},
        {"day tens 4 (and day above 31)", 0, 0x20240140, true, 2, nullptr},
        {"day 32", 0, 0x20240132, true, 1, nullptr},
        {"month units", 0, 0x20240A01, true, 1, nullptr},
        {"month 13", 0, 0x20241301, true, 1, nullptr},
        {"year units", 0, 0x200A0101, true, 1, nullptr},
        {"year tens", 0, 0x20A00101, true, 1, nullptr},
        {"year hundreds", 0, 0x2A000101, true, 1, nullptr},
        {"year 3001", 0, 0x30010101, true, 1, nullptr},
        {"year 3000", 0, 0x30000101, true, 0, "01/01/3000 00:00:00:000"},
    };
    for (const auto& c : cases) {
        const auto r = decoders::decode_time_data({c.a, c.b, c.date});
        EXPECT_EQ(r.errors, c.errors) << c.name;
        EXPECT_EQ(r.text, c.text ? std::string(c.text) : std::string("**Time Data Error**")) << c.name;
    }
    // Every digit F: the longest texts, which the error text replaces.
    for (bool date : {false, true}) {
        const auto r = decoders::decode_time_data({0xFFFFFFFF, 0xFFFFFFFF, date});
        EXPECT_GT(r.errors, 0);
        EXPECT_EQ(r.text, "**Time Data Error**");
    }
}

TEST(TimeDataDecoder, TimeDataLengths) {
    const struct {
        uint32_t word;
        std::size_t bytes;
        const char* shown;
    } cases[] = {
        {0x000, 6, "IRIG Time: 123:12:34:56:780\n"},
        {0x000, 5, "IRIG Time: **Time Data Error**\n"},
        {0x200, 8, "IRIG Time: 12/25/2024 01:02:03:040\n"},
        {0x200, 7, "IRIG Time: **Time Data Error**\n"},
        {0x000, 0, "IRIG Time: **Time Data Error**\n"},
    };
    for (const auto& c : cases) {
        ResetStateForTests();
        Bytes data;
        if (c.word & 0x200) {
            Add32(data, 0x01020304);
            Add32(data, 0x20241225);
        } else {
            Add32(data, 0x12345678);
            Add32(data, 0x0123);
        }
        data.resize(c.bytes);
        const std::string text = Printed(Packet(0x11, c.word, data));
        EXPECT_NE(text.find(c.shown), std::string::npos) << c.bytes << " bytes:\n" << text;
    }
}

TEST(DecoderValueNames, EveryTableWithAValuePastItsNames) {
    const struct {
        uint8_t code;
        uint32_t word;
        uint8_t version;
        const char* line;
    } cases[] = {
        {0x01, 0x07, 3, "0x07 (IRIG-106-07)"}, {0x01, 0x08, 3, "0x08 (IRIG-106-09)"},
        {0x01, 0x09, 3, "0x09 (IRIG-106-11)"}, {0x01, 0x0A, 3, "0x0A (IRIG-106-13)"},
        {0x01, 0x0B, 3, "0x0B (IRIG-106-15)"}, {0x01, 0x0C, 3, "0x0C (RESERVED  )"},
        {0x01, 0x06, 3, "0x06 (RESERVED  )"},  {0x01, 0x0C, 2, "SETUP CHAN SPEC: 0x0000000C\n\n"},
        {0x11, 0x00, 6, "TimeFormat   :  0 IRIG-B\n"}, {0x11, 0x10, 6, "TimeFormat   :  1 IRIG-A\n"},
        {0x11, 0x20, 6, "TimeFormat   :  2 IRIG-G\n"}, {0x11, 0x30, 6, "TimeFormat   :  3 Internal RT Clock\n"},
        {0x11, 0x40, 6, "TimeFormat   :  4 UTC Time from GPS\n"}, {0x11, 0x50, 6, "TimeFormat   :  5 Native GPS\n"},
        {0x11, 0x60, 6, "TimeFormat   :  6\n"}, {0x11, 0x01, 6, "ExtTimePresent: YES "},
        {0x19, 0x00000000, 6, "TimeTagBit  :  0 Last Bit of Last Word   "},
        {0x19, 0x40000000, 6, "TimeTagBit  :  1 First Bit of First Word   "},
        {0x19, 0x80000000, 6, "TimeTagBit  :  2 Last Bit of First CmdWd   "},
        {0x19, 0xC0FFFFFF, 6, "TimeTagBit  :  3 Reserved   MsgCount    :  16777215\n"},
        {0x1A, 0xFFFFFFFF, 6, "16PPCHANSPEC : 0xFFFFFFFF\n   MsgCount    :  -1      \n\n"},
        {0x09, 0x00000000, 6, "LockStMinFrm:  0       LockStMajFrm:  0       Alignment   :  0 16    \n"},
        {0x09, 0x0E200000, 6, "LockStMinFrm:  3 LCK   LockStMajFrm:  2 CHK   Alignment   :  1 32    \n"},
        {0x09, 0x01000000, 6, "LockStMajFrm:  1       "}, {0x09, 0x04000000, 6, "LockStMinFrm:  1       "},
        {0x09, 0x00040000, 6, "Mode        :  1 Unpacked\n"}, {0x09, 0x00080000, 6, "Mode        :  2 Packed\n"},
        {0x09, 0x000C0000, 6, "Mode        :          \n"}, {0x09, 0x00100000, 6, "Mode        :  4 ThruPut\n"},
        {0x09, 0x0003FFFF, 6, "SysOffset   :  262143  \n"},
        {0x09, 0x70000000, 6, "IntraPktHdr :  1 YES   MABegPacket :  1 YES   MIBegPacket :  1 YES   \n"},
        {0x21, 0x00010000, 6, "Factor      :  0=1/1   "}, {0x21, 0x0F010003, 6, "Factor      :  15=1/32768"},
        {0x21, 0x01010001, 6, "Mode        :  1 UpkLsb\n"}, {0x21, 0x01010002, 6, "Mode        :  2 Reserv\n"},
        {0x21, 0x01010003, 6, "Mode        :  3 UpkMsb\n"}, {0x21, 0x01010000, 6, "Mode        :  0 Packed\n"},
        {0x30, 0x00010000, 6, "Type :  1 Beginning of Message      "}, {0x30, 0x00020000, 6, "Type :  2 End of Message      "},
        {0x30, 0x00030000, 6, "Type :  3 Middle of Message      "},
        {0x40, 0x00000000, 2, "Emb Time    :  0 NO    \n\n\n\n"},
        {0x40, 0x03000000, 3, "Payload Type:  H.264 MP@L3   \n\n"},
        {0x40, 0x04000000, 3, "Payload Type:  Reserved      \n\n"},
        {0x40, 0x00800000, 4, "Payload Type:  MPEG-2 MP@ML  Byte Align:    1 Big Endian   \n\n"},
        {0x40, 0x01000000, 4, "Payload Type:  H.264 MP@L2.1 Byte Align:    0 Little Endian\n\n"},
        {0x40, 0x02000000, 4, "Payload Type:  H.264 MP@L2.2 "},
        {0x41, 0x003FFFFF, 6, "PacketCount :  4095    Type        :  1 Prog  Mode        :  1 Var   Emb Time    :  1 YES   \n"
                              "EPL         :  f       IntraPktHdr :  1 YES   SCR/RTC Sync:  1 YES   KLV Metadata:  1 YES   \n\n"},
        {0x42, 0x00000000, 6, "Encode Prof :  0        IntraPktHdr :  0 NO    "},
        {0x42, 0x03C00000, 6, "Encoding Lvl:  15 5.1   Aud Encd Typ:  0 ISO/IEC 13818-3 Audio  \n\n"},
        {0x42, 0x04400000, 6, "Encoding Lvl:  1 1b     Aud Encd Typ:  1 ISO/IEC 13818-7 AAC    \n\n"},
        {0x48, 0x0FFFFFFF, 6, "Length      :  134217727IntraPktHdr :  1 YES   \n\n"
                              "Parts         : Packet does not contain first or last segment of image\n"},
        {0x48, 0x50000000, 6, "Parts         : Packet contains first segment of image\n"
                              "Sum           : Packet contains one complete image\n\n"},
        {0x48, 0xA0000000, 6, "Parts         : Packet contains last segment of image\n"
                              "Sum           : Packet contains multiple complete images\n\n"},
        {0x48, 0xF0000000, 6, "Parts         : Packet contains both first and last segments of image\n"
                              "Sum           : Packet contains multiple incomplete images\n\n"},
        {0x48, 0x00000000, 6, "Sum           : Packet contains less than one complete image\n\n"},
        {0x49, 0x00000000, 3, "IMAGE 0 CHAN SPEC :0x00000000\nIntraPktHdr :  0 NO    \n\n"
                              "Format        : MIL-STD-2500 National Imagery Transmission Format\n"},
        {0x49, 0x00800000, 3, "Format        : JPEG File Interchange Format\n"},
        {0x49, 0x01000000, 3, "Format        : JPEG 2000 (ISO/IEC 15444-1)\n"},
        {0x49, 0x01800000, 3, "Format        : Portable Network Graphics Format\n"},
        {0x49, 0x02000000, 3, "Format        : Reserved\n"},
        {0x49, 0x00000003, 2, "Format        : Portable Network Graphics Format\n"},
        {0x49, 0x00800000, 2, "Format        : Reserved\n"},
        {0x70, 0x80000000, 6, "TSPI 0 CHAN SPEC  :0x80000000\nIntraPktTimeStamp : 1 YES   \n\nType         : NMEA 0183\n"},
        {0x70, 0x08000000, 6, "Type         : NMEA 0183-HS\n"}, {0x70, 0x10000000, 6, "Type         : NMEA 2000\n"},
        {0x70, 0x18000000, 6, "Type         : RTCM SC104\n"}, {0x70, 0x20000000, 6, "Type         : Reserved\n"},
        {0x71, 0x00000000, 6, "Content         : TSPI Data Only (No Static Data or Pod ID)\n"},
        {0x71, 0x20000000, 6, "Content         : Contains 'Pod ID' and 'Static Data'\n"},
        {0x71, 0x40000000, 6, "Content         : Reserved\n"},
        {0x72, 0x00000000, 6, "Format         : Kadena Interim Training System (KITS) Recording Formats\n"},
        {0x72, 0x40000000, 6, "Format         : P5 Combat Training System (CTS) Recording Formats\n"},
        {0x72, 0x48000000, 6, "Format         : Reserved\n"},
        {0x29, 0x000000F8, 6, "     Length        : 31 31 Bit(s)\n     Data Alignment: 0  LSB  \n"
                              "     Record State  : 0  State Change\n\n"},
        {0x50, 0x80000000, 6, "UART CHAN SPEC :0x80000000\nIntra-Packet Header:1 YES   \n\n"},
        {0x58, 0xFE00FFFF, 6, "1394 CHAN SPEC      : 0xFE00FFFF\nPacket Body Type    : Type  7       \n"
                              "Synchronization Code: 15      \nTransaction Count   : 65535   \n\n"},
        {0x59, 0x0000FFFF, 6, "1394 CHAN SPEC    : 0x0000FFFF\nIntra-Packet Count: 65535   \n\n"},
        {0x68, 0x00000003, 5, "ETHERNET CHAN SPEC :0x00000003\nNumber of Frames :  3\n\n"},
        {0x68, 0x00000003, 6, "ETHERNET CHAN SPEC :0x00000003\nNumber of Frames :  3\n\n"},
        {0x68, 0x00000000, 7, "Time Tag: First bit of the MAC frame MAC destination address (0)\n\n"},
        {0x68, 0x02000000, 7, "Time Tag: Last bit of the MAC frame check sequence (1)\n\n"},
        {0x68, 0x04000000, 7, "Time Tag: First bit of the MAC frame payload data (2)\n\n"},
        {0x68, 0x06000000, 7, "Time Tag: Last bit of the MAC frame payload data (3)\n\n"},
        {0x68, 0x0E000000, 7, "Time Tag: Reserved (7)\n\n"},
        {0x69, 0x001C0002, 6, "UDP/ARINC-664 CHAN SPEC :0x001C0002\nIPH Length              :28\n"
                              "Number of Messages      :2\n\n"},
        {0x78, 0x0000FFFF, 6, "CAN 0 CHAN SPEC  :0x0000FFFF\nMessage Count     :65535   \n\n"},
        {0x79, 0x00000000, 6, "Format           :0 - FC-PH Physical Layer ANSI X3T11 Project 755-D\n\n"},
        {0x79, 0x10000000, 6, "Format           :Reserved\n\n"},
        {0x38, 0x0000FFFF, 6, "ARINC429 CHAN SPEC :0x0000FFFF\nNumber of Messages :65535\n\n"},
        {0x03, 0xE0000000, 6, "Index Type       : 1 Node Index\nFile Size Present: 1 YES   \nIntraPkt Data Hdr: 1 YES   \n"},
    };
    for (const auto& c : cases) {
        ResetStateForTests();
        const std::string text = Printed(Packet(c.code, c.word, {}, c.version));
        EXPECT_NE(text.find(c.line), std::string::npos)
            << "code " << int(c.code) << " word " << std::hex << c.word << ":\n" << text;
    }
}

}  // namespace
}  // namespace sandral
