#include "header_test.h"

#include "ch10/packet_header.h"

namespace sandral {

bool check_packet_header(const uint8_t* header, std::size_t bytesHeld) {
    if (!header || bytesHeld < ch10::kPacketHeaderSize) return false;
    if (ch10::ReadLe16(header) != ch10::kPacketSync) return false;
    const uint32_t length = ch10::ReadLe32(header + 4);
    if (length == 0 || length > 0x80000) return false;
    return ch10::ComputeHeaderChecksum(header) == ch10::ReadLe16(header + 22);
}

uint64_t parse_hex_offset(const char* text) {
    if (!text) return 0;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text += 2;
    uint64_t value = 0;
    for (; *text; ++text) {
        const char c = *text;
        unsigned digit;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        else return 0;
        value = value * 16 + digit;
    }
    return value;
}

}  // namespace sandral
