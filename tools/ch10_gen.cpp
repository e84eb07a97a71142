// ch10-gen OUTPUT [--size BYTES [--packet-bytes N]]: writes the sample
// recording, or with --size a stream of about that many bytes (setup record,
// a time packet every second, 1553 and PCM packets of 4-64 KiB, or of about
// N bytes each).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sample_recording.h"
#include "tool_usage.h"

namespace {
const char kUsage[] = "usage: ch10-gen OUTPUT [--size BYTES [--packet-bytes N]]\n";
}

int main(int argc, char** argv) {
    if (tools::HelpAsked(argc, argv)) return tools::ShowUsage(kUsage, true);
    const bool sized = (argc == 4 || (argc == 6 && std::strcmp(argv[4], "--packet-bytes") == 0)) &&
                       std::strcmp(argv[2], "--size") == 0;
    // An option where the output's name goes is a mistyped call, not a name.
    if ((argc != 2 && !sized) || argv[1][0] == '-') return tools::ShowUsage(kUsage, false);
    const std::string out = argv[1];
    if (sized) {
        ch10gen::StreamOptions options;
        if (argc == 6) {
            char* end = nullptr;
            unsigned long bytes = std::strtoul(argv[5], &end, 0);
            if (!end || *end || bytes < 64 || bytes > 0x80000) {
                std::fprintf(stderr, "ch10-gen: bad packet size %s\n", argv[5]);
                return 2;
            }
            options.packetBytes = static_cast<uint32_t>(bytes);
        }
        char* end = nullptr;
        unsigned long long size = std::strtoull(argv[3], &end, 0);
        if (!end || *end || size == 0) {
            std::fprintf(stderr, "ch10-gen: bad size %s\n", argv[3]);
            return 2;
        }
        if (!ch10gen::WriteStream(out, size, 1, options)) {
            std::fprintf(stderr, "ch10-gen: cannot write %s\n", out.c_str());
            return 1;
        }
        return 0;
    }
    if (!ch10fix::WriteFile(out, ch10gen::SampleRecording())) {
        std::fprintf(stderr, "ch10-gen: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("%s: sample recording written\n", out.c_str());
    return 0;
}
