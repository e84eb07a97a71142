// Every whole packet of the sample recordings through the dispatch point
// from an exact-size heap copy (the read slot would hide an over-read),
// with the counts of the decoded text held against the packets' words.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "ch10/packet_header.h"
#include "tests/sandral/decoder_test_support.h"
#include "header_test.h"
#include "tests/sandral/sandral_test_support.h"
#include "tests/support/temp_dir.h"

namespace sandral {
namespace {

using namespace sandraltest;
using DecoderSamples = SandralFixture;

std::vector<std::string> SampleRecordings() {
    const std::string dir = ch10fix::SampleDataDir();
    std::vector<std::string> paths;
    for (const std::string& name : ch10fix::SampleRecordingNames()) paths.push_back(dir + "/" + name);
    return paths;
}

std::string BaseName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// Offsets of the whole packets: a valid header whose length fits.
std::vector<std::size_t> WholePackets(const Bytes& b) {
    std::vector<std::size_t> at;
    std::size_t p = 0;
    while (b.size() - p >= 24) {
        const uint32_t length = ch10fix::Get32(b, p + 4);
        if (check_packet_header(&b[p], b.size() - p) && length <= b.size() - p) {
            at.push_back(p);
            p += length;
        } else {
            ++p;
        }
    }
    return at;
}

struct Tally {
    long long wanted = 0, shown = 0;
};

// Node-index entries whose offset lies in the recording name a packet of
// their channel and data type there.
void CheckNodeIndex(const std::string& name, const Bytes& file, const Bytes& packet, int& checked) {
    const ch10::PacketHeader h = *ch10::PacketHeader::Decode(packet.data(), packet.size());
    const std::size_t hl = 24 + h.SecondaryHeaderLength();
    const uint32_t word = ch10fix::Get32(packet, hl);
    if (!(word >> 31)) return;
    const std::size_t count = word & 0xFFFF;
    std::size_t from = hl + 4 + (((word >> 30) & 1) ? 8 : 0);
    const std::size_t end = hl + h.dataLength;
    if (count == 0 || end > packet.size() || end <= from) return;
    const std::size_t size = (end - from) / count;
    if (size != 20 && size != 28) return;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t e = from + i * size + (size == 28 ? 16 : 8);
        const uint16_t channel = ch10fix::Get16(packet, e);
        const uint8_t type = packet[e + 2];
        uint64_t offset = ch10fix::Get32(packet, e + 4) | (uint64_t{ch10fix::Get32(packet, e + 8)} << 32);
        if (offset + 24 > file.size()) continue;
        EXPECT_EQ(ch10fix::Get16(file, offset), 0xEB25) << name << " entry at " << offset;
        EXPECT_EQ(ch10fix::Get16(file, offset + 2), channel) << name << " entry at " << offset;
        EXPECT_EQ(file[offset + 15], type) << name << " entry at " << offset;
        ++checked;
    }
}

TEST_F(DecoderSamples, EveryWholePacketDecodedWithItsCounts) {
    const auto recordings = SampleRecordings();
    if (recordings.empty()) GTEST_SKIP() << "no sample recordings";
    // Packets each check saw over every recording: 1553, ARINC, Ethernet, UDP, message, time.
    int seen[6] = {};
    for (const std::string& path : recordings) {
        ResetStateForTests();
        const std::string name = BaseName(path);
        const Bytes file = ch10fix::ReadFile(path);
        Tally msg1553;
        int nodeEntries = 0;
        for (std::size_t at : WholePackets(file)) {
            const uint32_t length = ch10fix::Get32(file, at + 4);
            const Bytes packet(file.begin() + static_cast<std::ptrdiff_t>(at),
                               file.begin() + static_cast<std::ptrdiff_t>(at + length));
            const rigs::HeldPacket held(packet);
            const ch10::PacketHeader& h = held.header();
            if (h.dataType == 0x11) update_time_reference(held.view(), h, TimeScan::DecodeStep);
            const std::string text = PrintedWhole(packet);
            const std::size_t hl = 24 + h.SecondaryHeaderLength();
            if (hl + 4 > packet.size()) continue;
            const uint32_t word = ch10fix::Get32(packet, hl);
            const std::string where = name + " @" + std::to_string(at);
            switch (h.dataType) {
                case 0x19:
                    ++seen[0];
                    msg1553.wanted += word & 0xFFFFFF;
                    msg1553.shown += Count(text, "  MSG ");
                    break;
                case 0x38:
                    ++seen[1];
                    EXPECT_EQ(Count(text, ")  HI    ") + Count(text, ")  LO    "), int(word & 0xFFFF)) << where;
                    break;
                case 0x68:
                    ++seen[2];
                    EXPECT_EQ(Count(text, "  Network ID: "), int(word & 0xFFFF)) << where;
                    break;
                case 0x69:
                    ++seen[3];
                    EXPECT_EQ(Count(text, "  Data Type: "), int(word & 0xFFFF)) << where;
                    break;
                case 0x30:
                    ++seen[4];
                    if (word & 0xFFFF) { EXPECT_EQ(Count(text, "  Subchannel ID: "), int(word & 0xFFFF)) << where; }
                    break;
                case 0x11:
                    ++seen[5];
                    if (!(word & 0x200) || name == "ethernet-8d1837f.c10") {
                        EXPECT_EQ(text.find("**Time Data Error**"), std::string::npos) << where << "\n" << text;
                    }
                    break;
                case 0x03:
                    if (name == "analog-6a6fc69.ch10" || name == "discrete-7de3e72.c10" || name == "ethernet-8d1837f.c10")
                        CheckNodeIndex(name, file, packet, nodeEntries);
                    break;
                default:
                    break;
            }
        }
        // The damaged packet of the bad recording stops its messages early.
        if (name != "c10tools-bad-f2b392a.c10") { EXPECT_EQ(msg1553.shown, msg1553.wanted) << name; }
        if (name == "analog-6a6fc69.ch10" || name == "discrete-7de3e72.c10" || name == "ethernet-8d1837f.c10") {
            EXPECT_GT(nodeEntries, 0) << name;
        }
    }
    for (int k = 0; k < 6; ++k) EXPECT_GT(seen[k], 0) << "check " << k << " saw no packet";
}

}  // namespace
}  // namespace sandral
