#pragma once
// Packet specs with meaningful channel-specific words and bodies: time
// packets, MIL-STD-1553 packets from messages, Ethernet frames and analog
// subchannel words.
#include <cstdint>
#include <optional>
#include <vector>

#include "tests/support/ch10_fixture.h"

namespace ch10fix {

// A time packet (0x11); the fields are written as BCD digits unless a raw
// word overrides them.
struct TimeSpec {
    uint16_t channelId = 1;
    uint64_t rtc = 0;
    uint8_t format = 0;  // 0 IRIG-B, 1 IRIG-A, 2 IRIG-G, ...
    uint8_t source = 1;
    bool leapYear = false;
    bool monthDay = false;
    uint8_t reservedDate = 0;   // bits 10-11
    uint32_t reservedHigh = 0;  // bits 12-31
    int day = 1;    // of year, or of month in the month/day form
    int month = 1;  // month/day form
    int year = 2024;
    int hours = 0, minutes = 0, seconds = 0, milliseconds = 0;
    std::optional<uint32_t> csdwRaw, word0Raw, word1Raw;
};
uint32_t TimeCsdw(const TimeSpec& t);
uint32_t TimeWord0(const TimeSpec& t);
uint32_t TimeWord1(const TimeSpec& t);
PacketSpec TimePacket(const TimeSpec& t);

// One MIL-STD-1553 message: its 14-byte intra-packet header and data.
struct BusMessage {
    uint64_t stamp = 0;
    uint16_t blockStatus = 0;
    uint16_t gapTimes = 0;
    uint16_t dataBytes = 4;                // data written after the header
    std::optional<uint16_t> lengthField;  // what the header says; default dataBytes
};
// A 1553 packet (0x19) of `messages`; the count in the data word is the
// number of messages unless overridden.
PacketSpec Bus1553Packet(uint16_t channelId, uint64_t rtc, const std::vector<BusMessage>& messages,
                         std::optional<uint32_t> count = std::nullopt);
// `n` messages stamped from `firstStamp` on, 10 ticks apart.
std::vector<BusMessage> RisingMessages(uint64_t firstStamp, int n);

// One Ethernet frame: its 12-byte intra-packet header and data, padded to
// an even length.
struct EthernetFrame {
    uint64_t stamp = 0;
    uint8_t speed = 0;
    uint8_t content = 0;
    uint16_t dataBytes = 64;
};
PacketSpec EthernetPacket(uint16_t channelId, uint64_t rtc, const std::vector<EthernetFrame>& frames,
                          std::optional<uint16_t> count = std::nullopt);

// An analog subchannel word.
struct AnalogWord {
    uint8_t mode = 0;
    uint8_t length = 0;
    uint8_t subchan = 1;
    uint8_t totchan = 1;
    uint8_t factor = 0;
    bool same = false;
};
uint32_t AnalogWordValue(const AnalogWord& w);
// An analog packet (0x21): the first word is the data word, the others
// follow, then `samples` bytes of data.
PacketSpec AnalogPacket(uint16_t channelId, const std::vector<AnalogWord>& words, std::size_t samples = 8);

}  // namespace ch10fix
