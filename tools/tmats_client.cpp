// tmats-client pcm FILE: asks the shipped libtessin for the PCM format
// records of a TMATS file, as an outside program does, and prints them.
#include <cstdio>
#include <cstring>
#include <string>

#include "tessin.h"
#include "tmats_dump.h"

int main(int argc, char** argv) {
    if (argc != 3 || std::strcmp(argv[1], "pcm") != 0) {
        std::fprintf(stderr, "usage: tmats-client pcm TMATS-FILE\n");
        return 2;
    }
    PCM_FORMAT_INFO* formats = nullptr;
    int result = GetPCMFormatInfo(argv[2], &formats);
    std::printf("GetPCMFormatInfo=%d\nGetErrMsg=%s\n", result, GetErrMsg());
    if (result > 0) std::fputs(tmatsdump::DumpFormats(formats, result).c_str(), stdout);
    std::printf("FreePCMFormatInfo=%d\n", FreePCMFormatInfo());
    return 0;
}
