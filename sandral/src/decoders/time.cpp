// Time packets: the word, the BCD time-data decoder, and the absolute
// times of event and index entries.
#include <cstdio>

#include "../sandral_state.h"
#include "decoder_text.h"
#include "decoders.h"

namespace sandral::decoders {

namespace {

const char* const kTimeSources[] = {"%d IRIG-B", "%d IRIG-A", "%d IRIG-G", "%d Internal RT Clock",
                                    "%d UTC Time from GPS", "%d Native GPS"};

unsigned Bits(uint32_t v, int high, int low) { return (v >> low) & ((1u << (high - low + 1)) - 1); }

}  // namespace

TimeDataResult decode_time_data(const TimeDataInput& in) {
    const uint32_t a = in.a, b = in.b;
    const unsigned msTens = Bits(a, 3, 0), msHundreds = Bits(a, 7, 4);
    const unsigned secUnits = Bits(a, 11, 8), secTens = Bits(a, 14, 12);
    const unsigned minUnits = Bits(a, 19, 16), minTens = Bits(a, 22, 20);
    const unsigned hourUnits = Bits(a, 27, 24), hourTens = Bits(a, 29, 28);
    const unsigned ms = msTens * 10 + msHundreds * 100, sec = secUnits + secTens * 10;
    const unsigned min = minUnits + minTens * 10, hours = hourUnits + hourTens * 10;
    int errors = (msTens > 9) + (secUnits > 9) + (minUnits > 9) + (hourUnits > 9) + (msHundreds > 9) +
                 (secTens > 5) + (minTens > 5) + (hourTens > 2);
    // All-F digits give 25 characters in the date form: room for more.
    char text[64];
    if (in.dateFormat) {
        const unsigned dayUnits = Bits(b, 3, 0), dayTens = Bits(b, 7, 4);
        const unsigned monthUnits = Bits(b, 11, 8), monthTens = Bits(b, 12, 12);
        const unsigned y0 = Bits(b, 19, 16), y1 = Bits(b, 23, 20), y2 = Bits(b, 27, 24), y3 = Bits(b, 29, 28);
        const unsigned month = monthUnits + monthTens * 10, day = dayUnits + dayTens * 10;
        const unsigned year = y0 + y1 * 10 + y2 * 100 + y3 * 1000;
        std::snprintf(text, sizeof text, "%02u/%02u/%04u %02u:%02u:%02u:%03u", month, day, year, hours, min, sec, ms);
        errors += (dayUnits > 9) + (dayTens > 3) + (monthUnits > 9) + (y0 > 9) + (y1 > 9) + (y2 > 9) + (month > 12) +
                  (day > 31) + (year > 3000) + (hours > 23);
    } else {
        const unsigned day = Bits(b, 3, 0) + Bits(b, 7, 4) * 10 + Bits(b, 9, 8) * 100;
        std::snprintf(text, sizeof text, "%03u:%02u:%02u:%02u:%03u", day, hours, min, sec, ms);
        errors += (day > 366) + (hours > 23);
    }
    errors += (min > 59) + (sec > 59) + (ms > 999);
    return {errors ? std::string("**Time Data Error**") : std::string(text), errors};
}

bool ReferenceDateFormat() {
    const TimeState& t = State().time;
    return t.timeRefValid[t.currentGroup] && (t.timeRefCsdw[t.currentGroup] & 0x200) != 0;
}

void PrintAbsoluteTime(OutputSink& out, const ch10::PacketView& entry, std::size_t at, bool rootLayout) {
    const bool date = ReferenceDateFormat();
    const auto text = decode_time_data({*entry.U32(at), *entry.U32(at + 4), date}).text;
    out.Printf(rootLayout ? " %04X%04X%04X%04X  %-20s " : "  %04X%04X%04X%04X %-20s ", *entry.U16(at + 6),
               *entry.U16(at + 4), *entry.U16(at + 2), *entry.U16(at), text.c_str());
    if (!date) out.Write("   ");
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
