// ch10-gen OUTPUT [--size BYTES]: writes the sample recording, or with
// --size a stream of about that many bytes (setup record, a time packet
// every second, 1553 and PCM packets of 4-64 KiB).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sample_recording.h"

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--size") == 0)) {
        std::fprintf(stderr, "usage: ch10-gen OUTPUT [--size BYTES]\n");
        return 2;
    }
    const std::string out = argv[1];
    if (argc == 4) {
        char* end = nullptr;
        unsigned long long size = std::strtoull(argv[3], &end, 0);
        if (!end || *end || size == 0) {
            std::fprintf(stderr, "ch10-gen: bad size %s\n", argv[3]);
            return 2;
        }
        if (!ch10gen::WriteStream(out, size)) {
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
