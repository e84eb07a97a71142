#pragma once
// Time packets (data type 0x11, format 1) with BCD time data, every digit
// settable, in the day-of-year or the day-month-year form.
#include <cstdint>

#include "tests/support/ch10_fixture.h"

namespace ch10fix {

struct BcdTimeSpec {
    bool dateFormat = false;  // word bit 9: day, month and year
    bool leapYear = false;    // word bit 8
    // Digits as they go into the words; values above 9 are written as given
    // (within their bit fields) so that bad digits can be built.
    unsigned tensOfMs = 0, hundredsOfMs = 0;
    unsigned secondUnits = 0, secondTens = 0;
    unsigned minuteUnits = 0, minuteTens = 0;
    unsigned hourUnits = 0, hourTens = 0;
    unsigned dayUnits = 1, dayTens = 0, dayHundreds = 0;  // day of year, or day of month
    unsigned monthUnits = 1, monthTens = 0;               // date form only
    uint16_t year = 0x2024;                               // W3 as written (date form)
};

// W0, W1, W2 and, in the date form, W3 of the time data.
inline Bytes BcdTimeData(const BcdTimeSpec& t) {
    const uint16_t w0 = static_cast<uint16_t>((t.tensOfMs & 0xF) | (t.hundredsOfMs & 0xF) << 4 |
                                              (t.secondUnits & 0xF) << 8 | (t.secondTens & 0x7) << 12);
    const uint16_t w1 = static_cast<uint16_t>((t.minuteUnits & 0xF) | (t.minuteTens & 0x7) << 4 |
                                              (t.hourUnits & 0xF) << 8 | (t.hourTens & 0x3) << 12);
    uint16_t w2 = static_cast<uint16_t>((t.dayUnits & 0xF) | (t.dayTens & 0xF) << 4);
    if (t.dateFormat) w2 = static_cast<uint16_t>(w2 | (t.monthUnits & 0xF) << 8 | (t.monthTens & 0x1) << 12);
    else w2 = static_cast<uint16_t>(w2 | (t.dayHundreds & 0x3) << 8);
    Bytes b(t.dateFormat ? 8 : 6, 0);
    Put16(b, 0, w0);
    Put16(b, 2, w1);
    Put16(b, 4, w2);
    if (t.dateFormat) Put16(b, 6, t.year);
    return b;
}

inline uint32_t BcdTimeWord(const BcdTimeSpec& t, uint32_t otherBits = 0) {
    return otherBits | (t.dateFormat ? 0x200u : 0) | (t.leapYear ? 0x100u : 0);
}

// A whole time packet: header fields from `spec` (data type, word and body
// are replaced).
inline Bytes BuildTimePacket(const BcdTimeSpec& t, PacketSpec spec = {}) {
    spec.dataType = 0x11;
    spec.csdw = BcdTimeWord(t, spec.csdw.value_or(0) & ~0x300u);
    spec.body = BcdTimeData(t);
    return BuildPacket(spec);
}

}  // namespace ch10fix
