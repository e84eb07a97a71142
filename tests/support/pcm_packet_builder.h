#pragma once
// PCM format 1 packets from a frame description: each frame's intra-packet
// header (stamp, status) and its 16-bit words in transmission order, padded
// to the frame's data size; with 32-bit alignment the halves of every 32-bit
// word are exchanged as a recorder stores them.
#include <cstdint>
#include <vector>

#include "tests/support/ch10_fixture.h"

namespace ch10fix {

constexpr uint32_t kPcmUnpacked = 1u << 18, kPcmPacked = 1u << 19, kPcmAlign32 = 1u << 21;
constexpr uint32_t kPcmMi = 1u << 28, kPcmMa = 1u << 29, kPcmIph = 1u << 30;
// Intra-packet status with major and minor lock both InLock.
constexpr uint16_t kPcmInLock = 0xF000;

struct PcmFrame {
    uint64_t stamp = 0;
    uint16_t status = kPcmInLock;
    std::vector<uint16_t> words;
};

struct PcmPacket {
    uint16_t channelId = 3;
    uint32_t csdw = kPcmUnpacked | kPcmIph | kPcmMi;
    std::size_t frameDataBytes = 8;  // the step less the intra-packet header
    std::vector<PcmFrame> frames;
    uint64_t rtc = 0;
    uint8_t otherFlags = 0;
};

inline PacketSpec PcmPacketSpec(const PcmPacket& p) {
    const bool align32 = (p.csdw & kPcmAlign32) != 0;
    Bytes body;
    auto add16 = [&body](uint16_t v) {
        body.push_back(static_cast<uint8_t>(v));
        body.push_back(static_cast<uint8_t>(v >> 8));
    };
    for (const PcmFrame& f : p.frames) {
        for (int i = 0; i < 4; ++i) add16(static_cast<uint16_t>(f.stamp >> (16 * i)));
        add16(f.status);
        if (align32) add16(0);
        std::vector<uint16_t> data(p.frameDataBytes / 2, 0);
        for (std::size_t i = 0; i < f.words.size(); ++i) {
            const std::size_t at = align32 ? (i ^ 1) : i;
            if (at < data.size()) data[at] = f.words[i];
        }
        for (uint16_t w : data) add16(w);
        if (p.frameDataBytes % 2) body.push_back(0);
    }
    PacketSpec spec;
    spec.channelId = p.channelId;
    spec.dataType = 0x09;
    spec.csdw = p.csdw;
    spec.rtc = p.rtc;
    spec.otherFlags = p.otherFlags;
    spec.body = std::move(body);
    return spec;
}

}  // namespace ch10fix
