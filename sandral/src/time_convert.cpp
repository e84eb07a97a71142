#include "time_convert.h"

#include <cstdio>

namespace sandral {

namespace {

unsigned Bits(uint16_t w, int high, int low) { return (w >> low) & ((1u << (high - low + 1)) - 1); }

// Hours, minutes, seconds and tens of milliseconds, common to both forms.
double TimeOfDayUsec(const BcdTime& t) {
    return Bits(t.w1, 13, 12) * 36000000000.0 + Bits(t.w1, 11, 8) * 3600000000.0 +
           Bits(t.w1, 6, 4) * 600000000.0 + Bits(t.w1, 3, 0) * 60000000.0 + Bits(t.w0, 14, 12) * 10000000.0 +
           Bits(t.w0, 11, 8) * 1000000.0 + Bits(t.w0, 7, 4) * 100000.0 + Bits(t.w0, 3, 0) * 10000.0;
}

// Month numbers reach 19 in the BCD field, so the rule, not a table.
int DaysBeforeMonth(int month, bool leap) {
    int days = 0;
    for (int m = 1; m < month; ++m) {
        days += 31;
        if (m == 2) days -= leap ? 2 : 3;
        if (m == 4 || m == 6 || m == 9 || m == 11) days -= 1;
    }
    return days;
}

}  // namespace

double irig_time_to_usec(uint32_t csdw, const BcdTime& t) {
    if ((csdw & 0x200) == 0) {
        return Bits(t.w2, 9, 8) * 8640000000000.0 + Bits(t.w2, 7, 4) * 864000000000.0 +
               Bits(t.w2, 3, 0) * kUsecPerDay + TimeOfDayUsec(t);
    }
    const int month = static_cast<int>(Bits(t.w2, 12, 12) * 10 + Bits(t.w2, 11, 8));
    const int day = static_cast<int>(Bits(t.w2, 7, 4) * 10 + Bits(t.w2, 3, 0));
    const int before = DaysBeforeMonth(month, (csdw & 0x100) != 0);
    return static_cast<double>(day + before) * kUsecPerDay + TimeOfDayUsec(t);
}

double rtc_ticks_to_usec(int64_t ticks) {
    int64_t usec = ticks / 10;
    if (ticks >= 0 && ticks % 10 >= 5) ++usec;
    return static_cast<double>(usec);
}

double packet_rtc_to_usec(const ch10::PacketHeader& header) {
    // The counter is 48 bits: exact in a double and in int64.
    return rtc_ticks_to_usec(static_cast<int64_t>(header.relativeTime & 0xFFFFFFFFFFFFull));
}

char* put_usec_time(char* o, double usec) {
    int64_t t;
    if (!(usec > -9.2e18 && usec < 9.2e18)) t = 0;  // NaN and values past int64 would be undefined
    else t = static_cast<int64_t>(usec);
    const int64_t days = t / 86400000000LL;
    t %= 86400000000LL;
    const int64_t hours = t / 3600000000LL;
    t %= 3600000000LL;
    const int64_t minutes = t / 60000000LL;
    t %= 60000000LL;
    const int64_t seconds = t / 1000000LL;
    t %= 1000000LL;
    const int64_t millis = t / 1000;
    const int64_t micros = t % 1000;
    // Every message of a listing has a time: digits by hand on the common
    // path, printf for negative pieces and days past 999.
    if (usec >= 0 && days <= 999) {
        auto put = [o](int at, int64_t v, int digits) {
            for (int i = digits - 1; i >= 0; --i, v /= 10) o[at + i] = static_cast<char>('0' + v % 10);
        };
        put(0, days, 3);
        o[3] = ':';
        put(4, hours, 2);
        o[6] = ':';
        put(7, minutes, 2);
        o[9] = ':';
        put(10, seconds, 2);
        o[12] = ':';
        put(13, millis, 3);
        put(16, micros, 3);
        return o + 19;
    }
    const int n = std::snprintf(o, kUsecTimeRoom, "%03lld:%02lld:%02lld:%02lld:%03lld%03lld",
                                static_cast<long long>(days), static_cast<long long>(hours),
                                static_cast<long long>(minutes), static_cast<long long>(seconds),
                                static_cast<long long>(millis), static_cast<long long>(micros));
    return o + (n < 0 ? 0 : n < static_cast<int>(kUsecTimeRoom) ? n : static_cast<int>(kUsecTimeRoom) - 1);
}

std::string format_usec_time(double usec) {
    char text[kUsecTimeRoom];
    return std::string(text, put_usec_time(text, usec));
}

void split_bcd_time(const BcdTime& t, bool dateFormat, PlayerStatus* status) {
    if (!status) return;
    int32_t* d = status->timeDigits;
    d[0] = static_cast<int32_t>(Bits(t.w2, 3, 0) + Bits(t.w2, 7, 4) * 10 + (dateFormat ? 0 : Bits(t.w2, 9, 8) * 100));
    d[1] = static_cast<int32_t>(Bits(t.w1, 11, 8));
    d[2] = static_cast<int32_t>(Bits(t.w1, 3, 0));
    d[3] = static_cast<int32_t>(Bits(t.w0, 11, 8));
    d[4] = 0;
    d[5] = static_cast<int32_t>(Bits(t.w2, 7, 4));
    d[6] = static_cast<int32_t>(Bits(t.w1, 13, 12));
    d[7] = static_cast<int32_t>(Bits(t.w1, 6, 4));
    d[8] = static_cast<int32_t>(Bits(t.w0, 14, 12));
    d[9] = static_cast<int32_t>(Bits(t.w0, 3, 0));
    d[10] = static_cast<int32_t>(Bits(t.w0, 7, 4));
    d[11] = 0;
}

}  // namespace sandral
