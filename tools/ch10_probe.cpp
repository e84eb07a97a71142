// ch10-probe PATH: reads a recording through tessin's input calls, prints its
// size and the first packet's header, and, when the recording starts with a
// setup record, validates its TMATS and prints the validation log.
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/files.h"

#include "tessin.h"

namespace {
uint32_t Le(const uint8_t* p, int n) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ch10-probe RECORDING\n");
        return 2;
    }
    int64_t size = iSize(argv[1], 0);
    int handle = iOpen(argv[1], 0);
    if (handle < 0) {
        std::fprintf(stderr, "ch10-probe: cannot open %s\n", argv[1]);
        return 1;
    }
    std::vector<uint8_t> buf(0xFC000);
    int n = iRead(handle, buf.data(), static_cast<int>(buf.size()));
    iClose(handle);
    std::printf("Recording: %s\nSize: %" PRId64 " bytes\n", argv[1], size);
    if (n < 24) {
        std::printf("No complete packet header in the first read (%d bytes).\n", n);
        return 1;
    }
    const uint8_t* h = buf.data();
    uint64_t rtc = Le(h + 16, 4) | (static_cast<uint64_t>(Le(h + 20, 2)) << 32);
    std::printf("First packet header:\n");
    std::printf("  Sync:              0x%04X\n", Le(h, 2));
    std::printf("  Channel ID:        %u\n", Le(h + 2, 2));
    std::printf("  Packet length:     %u\n", Le(h + 4, 4));
    std::printf("  Data length:       %u\n", Le(h + 8, 4));
    std::printf("  Data type version: 0x%02X\n", h[12]);
    std::printf("  Sequence number:   %u\n", h[13]);
    std::printf("  Packet flags:      0x%02X\n", h[14]);
    std::printf("  Data type:         0x%02X\n", h[15]);
    std::printf("  Relative time:     %" PRIu64 "\n", rtc);
    std::printf("  Header checksum:   0x%04X\n", Le(h + 22, 2));
    if (h[15] != 0x01) {
        std::printf("The first packet is not a setup record: no TMATS to validate.\n");
        return 0;
    }

    // The whole first read goes in, as the validator passes it.
    std::string logPath = platform::MakeTempFile("ch10-probe-tmats");
    char errorText[80] = "";
    CHAN_INFO* info = process_tmats_packet(reinterpret_cast<const char*>(buf.data()), n, errorText,
                                           logPath.empty() ? nullptr : logPath.c_str());
    std::ifstream in(logPath, std::ios::binary);
    std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    platform::RemoveFile(logPath);
    std::printf("\nTMATS validation log:\n");
    std::fwrite(log.data(), 1, log.size(), stdout);
    if (!info) {
        std::printf("TMATS validation failed: %s", errorText);
        return 1;
    }
    std::printf("TMATS: %d channels, %d findings\n", info->ChannelCount, info->FindingCount);
    return 0;
}
