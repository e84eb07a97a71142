#include "tests/support/ch10_fixture.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace ch10fix {

uint16_t Get16(const Bytes& b, std::size_t at) {
    return static_cast<uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}
uint32_t Get32(const Bytes& b, std::size_t at) {
    return static_cast<uint32_t>(Get16(b, at)) | (static_cast<uint32_t>(Get16(b, at + 2)) << 16);
}
void Put16(Bytes& b, std::size_t at, uint16_t v) {
    b.at(at) = static_cast<uint8_t>(v);
    b.at(at + 1) = static_cast<uint8_t>(v >> 8);
}
void Put32(Bytes& b, std::size_t at, uint32_t v) {
    Put16(b, at, static_cast<uint16_t>(v));
    Put16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

uint16_t HeaderChecksum(const uint8_t* header) {
    uint16_t sum = 0;
    for (int w = 0; w < 11; ++w) sum = static_cast<uint16_t>(sum + (header[2 * w] | (header[2 * w + 1] << 8)));
    return sum;
}

uint16_t SecondaryHeaderChecksum(const uint8_t* secondary) {
    uint16_t sum = 0;
    for (int w = 0; w < 5; ++w)
        sum = static_cast<uint16_t>(sum + (secondary[2 * w] | (secondary[2 * w + 1] << 8)));
    return sum;
}

namespace {

std::size_t ChecksumBytes(Checksum c) {
    switch (c) {
        case Checksum::Sum8: return 1;
        case Checksum::Sum16: return 2;
        case Checksum::Sum32: return 4;
        default: return 0;
    }
}

uint32_t DataLength(const PacketSpec& spec) {
    return static_cast<uint32_t>((spec.csdw ? 4 : 0) + spec.body.size());
}

std::size_t HeadersSize(const PacketSpec& spec) {
    return kHeaderSize + (spec.secondaryHeader ? kSecondaryHeaderSize : 0);
}

uint32_t Sum(const Bytes& p, std::size_t from, std::size_t to, Checksum c) {
    uint32_t sum = 0;
    switch (c) {
        case Checksum::Sum8:
            for (std::size_t i = from; i < to; ++i) sum = (sum + p[i]) & 0xFF;
            break;
        case Checksum::Sum16:
            for (std::size_t i = from; i + 2 <= to; i += 2)
                sum = (sum + Get16(p, i)) & 0xFFFF;
            break;
        case Checksum::Sum32:
            for (std::size_t i = from; i + 4 <= to; i += 4) sum += Get32(p, i);
            break;
        default: break;
    }
    return sum;
}

}  // namespace

uint32_t NaturalPacketLength(const PacketSpec& spec) {
    std::size_t length = HeadersSize(spec) + DataLength(spec) + ChecksumBytes(spec.checksum);
    return static_cast<uint32_t>((length + 3) & ~std::size_t{3});
}

Bytes BuildPacket(const PacketSpec& spec) {
    const uint32_t dataLength = DataLength(spec);
    const uint32_t packetLength = NaturalPacketLength(spec);
    Bytes p(packetLength, 0);

    uint8_t flags = static_cast<uint8_t>((spec.otherFlags & ~0x83) | (spec.secondaryHeader ? 0x80 : 0) |
                                         static_cast<uint8_t>(spec.checksum));
    Put16(p, 0, kSync);
    Put16(p, 2, spec.channelId);
    Put32(p, 4, packetLength);
    Put32(p, 8, dataLength);
    p[12] = spec.dataTypeVersion;
    p[13] = spec.sequence;
    p[14] = flags;
    p[15] = spec.dataType;
    for (int i = 0; i < 6; ++i) p[16 + i] = static_cast<uint8_t>(spec.rtc >> (8 * i));

    std::size_t at = kHeaderSize;
    if (spec.secondaryHeader) {
        for (int i = 0; i < 8; ++i) p[at + i] = static_cast<uint8_t>(spec.secondaryTime >> (8 * i));
        Put16(p, at + 10, SecondaryHeaderChecksum(&p[at]));
        at += kSecondaryHeaderSize;
    }
    if (spec.csdw) {
        Put32(p, at, *spec.csdw);
        at += 4;
    }
    std::copy(spec.body.begin(), spec.body.end(), p.begin() + static_cast<std::ptrdiff_t>(at));

    const std::size_t sumFrom = spec.checksumFromByte24 ? kHeaderSize : HeadersSize(spec);
    std::size_t checksumAt = packetLength - ChecksumBytes(spec.checksum);
    if (spec.checksum == Checksum::Sum8 && spec.checksumAfterData) checksumAt = HeadersSize(spec) + dataLength;
    if (spec.checksum != Checksum::None) {
        uint32_t sum = spec.dataChecksumOverride ? *spec.dataChecksumOverride
                                                 : Sum(p, sumFrom, checksumAt, spec.checksum);
        switch (spec.checksum) {
            case Checksum::Sum8: p[checksumAt] = static_cast<uint8_t>(sum); break;
            case Checksum::Sum16: Put16(p, checksumAt, static_cast<uint16_t>(sum)); break;
            case Checksum::Sum32: Put32(p, checksumAt, sum); break;
            default: break;
        }
    }

    if (spec.secondaryHeader && spec.secondaryChecksumOverride) Put16(p, kHeaderSize + 10, *spec.secondaryChecksumOverride);
    Put16(p, 22, HeaderChecksum(p.data()));
    bool headerChanged = false;
    if (spec.syncOverride) { Put16(p, 0, *spec.syncOverride); headerChanged = true; }
    if (spec.packetLengthOverride) { Put32(p, 4, *spec.packetLengthOverride); headerChanged = true; }
    if (spec.dataLengthOverride) { Put32(p, 8, *spec.dataLengthOverride); headerChanged = true; }
    if (spec.flagsOverride) { p[14] = *spec.flagsOverride; headerChanged = true; }
    if (headerChanged && spec.rechecksumAfterOverrides) Put16(p, 22, HeaderChecksum(p.data()));
    if (spec.headerChecksumOverride) Put16(p, 22, *spec.headerChecksumOverride);
    return p;
}

void BreakSync(Bytes& packet) { Put16(packet, 0, 0xEB24); }
void BreakHeaderChecksum(Bytes& packet) { Put16(packet, 22, static_cast<uint16_t>(Get16(packet, 22) + 1)); }
void Truncate(Bytes& packet, std::size_t length) {
    if (length < packet.size()) packet.resize(length);
}

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

bool WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

Bytes ReadFile(const std::string& path) {
    // In blocks: byte-wise iteration costs seconds per megabyte under the sanitizers.
    std::ifstream f(path, std::ios::binary);
    Bytes out;
    char block[65536];
    while (f.read(block, sizeof block) || f.gcount() > 0)
        out.insert(out.end(), block, block + f.gcount());
    return out;
}

std::string ReadText(const std::string& path) {
    const Bytes bytes = ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> WriteSegmentSet(const std::string& dir, const std::string& stem,
                                         const std::string& extension, const Bytes& bytes,
                                         const std::vector<std::size_t>& sizes) {
    std::vector<std::string> paths;
    std::size_t at = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        std::size_t n = (i + 1 == sizes.size()) ? bytes.size() - std::min(at, bytes.size())
                                                : std::min(sizes[i], bytes.size() - std::min(at, bytes.size()));
        char number[24];
        std::snprintf(number, sizeof number, "%03zu", i);
        std::string path = dir + "/" + stem + number + extension;
        Bytes part(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                   bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
        if (!WriteFile(path, part)) return {};
        paths.push_back(path);
        at += n;
    }
    return paths;
}

std::vector<std::string> WriteSegmentSet(const std::string& dir, const std::string& stem,
                                         const std::string& extension, const Bytes& bytes,
                                         std::size_t segmentSize) {
    std::vector<std::size_t> sizes;
    std::size_t count = segmentSize == 0 ? 1 : std::max<std::size_t>(1, (bytes.size() + segmentSize - 1) / segmentSize);
    sizes.assign(count, segmentSize);
    return WriteSegmentSet(dir, stem, extension, bytes, sizes);
}

}  // namespace ch10fix
