// TSPI formats 0-2: word lines only.
#include "decoder_text.h"
#include "decoders.h"

namespace sandral::decoders {

namespace {

const char* const kTypes0[] = {"Type         : NMEA 0183\n", "Type         : NMEA 0183-HS\n",
                               "Type         : NMEA 2000\n", "Type         : RTCM SC104\n"};
const char* const kContents1[] = {"Content         : TSPI Data Only (No Static Data or Pod ID)\n",
                                  "Content         : Contains 'Pod ID' and 'Static Data'\n"};
const char* const kFormats2[] = {
    "Format         : Kadena Interim Training System (KITS) Recording Formats\n",
    "Format         : Alpena KITS (AKITS) Recording Formats\n",
    "Format         : USAF Europe Rangeless Interim Training System (URITS) Recording Formats\n",
    "Format         : Alaska ACTS Upgrade (AAU) Recording Formats\n",
    "Format         : Goldwater Range Mission and Debriefing System (GRMDS) Recording Formats\n",
    "Format         : P4RC Recording Formats\n",
    "Format         : Nellis ACTS Range Security Initiative (NACTS RSI) Recording Formats\n",
    "Format         : P4RC+P5 CTS Participant Subsystem (PS) Recording Formats\n",
    "Format         : P5 Combat Training System (CTS) Recording Formats\n"};

void StampLine(const PrintArgs& a, const char* label) {
    a.out.Printf("%s0x%08X\n%-20s%-8s\n\n", label, a.word, "IntraPktTimeStamp :", YesNoNumbered(a.word >> 31));
}

}  // namespace

std::size_t PrintTspi0Word(const PrintArgs& a) {
    StampLine(a, "TSPI 0 CHAN SPEC  :");
    const unsigned v = (a.word >> 27) & 0xF;
    a.out.Write(v < 4 ? kTypes0[v] : "Type         : Reserved\n");
    return 4;
}

std::size_t PrintTspi1Word(const PrintArgs& a) {
    StampLine(a, "TSPI 1 CHAN SPEC  :");
    const unsigned v = (a.word >> 29) & 3;
    a.out.Write(v < 2 ? kContents1[v] : "Content         : Reserved\n");
    return 4;
}

std::size_t PrintTspi2Word(const PrintArgs& a) {
    StampLine(a, "TSPI 2 CHAN SPEC  :");
    const unsigned v = (a.word >> 27) & 0xF;
    a.out.Write(v < 9 ? kFormats2[v] : "Format         : Reserved\n");
    return 4;
}

}  // namespace sandral::decoders
