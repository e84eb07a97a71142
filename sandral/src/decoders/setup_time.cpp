// Setup and time words.
#include <cstdio>

#include "decoder_text.h"
#include "decoders.h"

namespace sandral::decoders {

namespace {

const char* RevisionName(unsigned v) {
    switch (v) {
        case 7: return "IRIG-106-07";
        case 8: return "IRIG-106-09";
        case 9: return "IRIG-106-11";
        case 10: return "IRIG-106-13";
        case 11: return "IRIG-106-15";
        default: return "RESERVED";
    }
}

const char* const kTimeSources[] = {"%d IRIG-B", "%d IRIG-A", "%d IRIG-G", "%d Internal RT Clock",
                                    "%d UTC Time from GPS", "%d Native GPS"};

}  // namespace

std::size_t PrintSetupWord(const PrintArgs& a) {
    const uint32_t w = a.word;
    if (a.header.dataTypeVersion < 3) {
        a.out.Printf("%s0x%08X\n\n", "SETUP CHAN SPEC: ", w);
        return 4;
    }
    a.out.Printf("%s0x%08X\n%s%02X (%-10s)\n%s%-8s%30s%-8s\n\n", "SETUP CHAN SPEC: ", w,
                 "IRIG 106 Chapter 10 Version: 0x", w & 0xFF, RevisionName(w & 0xFF), "TMATS Format:",
                 (w >> 9) & 1 ? " 1 XML" : " 0 ASCII", "Setup Record Conf Change:", (w >> 8) & 1 ? " 1 YES" : " 0 NO");
    return 4;
}

std::size_t PrintTimeWord(const PrintArgs& a) {
    const uint32_t w = a.word;
    const unsigned source = (w >> 4) & 0xF;
    char sourceText[32];
    std::snprintf(sourceText, sizeof sourceText, source < 6 ? kTimeSources[source] : "%d", static_cast<int>(source));
    const bool date = (w >> 9) & 1;
    a.out.Printf("%-16s0x%08X\n%-16s%-8s%-16s%s\n%-16s%-8d%-16s%s\n\n", "IRIGCHANSPEC  :", w, "ExtTimePresent:",
                 YesNo(w & 1), "TimeFormat   :", sourceText, "LeapYear      :", static_cast<int>((w >> 8) & 1),
                 "DateFormat    :", date ? "Day, Month, and Year Format" : "Day Format");
    const ch10::PacketView body = a.Body();
    std::string text;
    if (body.size() < (date ? 8u : 6u)) {
        text = "**Time Data Error**";
    } else {
        text = decode_time_data({body.U32OrZeros(0), body.U32OrZeros(4), date}).text;
    }
    a.out.Printf("IRIG Time: %s\n\n", text.c_str());
    return 4;
}

}  // namespace sandral::decoders
