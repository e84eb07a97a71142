// tmats-client: asks the shipped libtessin for its TMATS services, as an
// outside program does, and prints what they return.
//   pcm FILE       the PCM format records
//   params FILE    the measurand list
//   channels FILE  the recorder channel list
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tessin.h"
#include "tmats_dump.h"

namespace {

constexpr int kListBuffer = 1 << 20;

int Usage() {
    std::fprintf(stderr, "usage: tmats-client pcm|params|channels TMATS-FILE\n");
    return 2;
}

int Pcm(const char* path) {
    PCM_FORMAT_INFO* formats = nullptr;
    int result = GetPCMFormatInfo(path, &formats);
    std::printf("GetPCMFormatInfo=%d\nGetErrMsg=%s\n", result, GetErrMsg());
    if (result > 0) std::fputs(tmatsdump::DumpFormats(formats, result).c_str(), stdout);
    std::printf("FreePCMFormatInfo=%d\n", FreePCMFormatInfo());
    return 0;
}

int List(const char* name, int (*service)(const char*, char*, int), const char* path) {
    std::vector<char> buf(kListBuffer);
    int result = service(path, buf.data(), kListBuffer);
    std::printf("%s=%d\n", name, result);
    if (result < 0) {
        std::printf("GetErrMsg=%s\n", GetErrMsg());
        return 1;
    }
    std::printf("%s\n", buf.data());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    std::string command = argv[1];
    if (argc == 3 && command == "pcm") return Pcm(argv[2]);
    if (argc == 3 && command == "params") return List("GetParametersFromTMATS", GetParametersFromTMATS, argv[2]);
    if (argc == 3 && command == "channels") return List("GetTMATSConfigInfo", GetTMATSConfigInfo, argv[2]);
    return Usage();
}
