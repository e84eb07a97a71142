// tmats-client: asks the shipped libtessin for its TMATS services, as an
// outside program does, and prints what they return.
//   pcm FILE       the PCM format records
//   params FILE    the measurand list
//   channels FILE  the recorder channel list
//   process FILE   the measurand tables' counts and the channel configuration file
//   write FILE OUT the PCM formats of FILE written as a TMATS text at OUT
//   export FOLDER OUT START END INTERVAL LIST  sample files into a CSV
#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tessin.h"
#include "tmats_dump.h"

namespace {

constexpr int kListBuffer = 1 << 20;

int Usage() {
    std::fprintf(stderr,
                 "usage: tmats-client pcm|params|channels|process TMATS-FILE | write TMATS-FILE OUT |\n"
                 "       export FOLDER OUT START END INTERVAL-US LIST\n");
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

std::string ConfigName(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ".cfg";
    return path.substr(0, dot) + ".cfg";
}

int Process(const char* path) {
    tmatsdump::ProcessedTables t;
    uint64_t result = tmatsdump::ProcessTables(path, t);
    std::printf("ProcessTMATS=%" PRIu64 "\n", result);
    if (result == UINT64_C(0xFFFFFFFF)) {
        std::printf("GetErrMsg=%s\n", GetErrMsg());
        return 1;
    }
    std::printf("measurands=%d samples=%d locations=%d definitions=%d formats=%d buses=%d\n", t.listCount,
                t.sampleCount, t.measruCount, t.measCount, t.formatCount, t.busCount);
    for (int i = 0; i < t.measCount; ++i)
        std::printf("%s %c %s\n", t.meas[i].Name, t.meas[i].ConversionType, t.meas[i].Join ? t.meas[i].Join->Text : "");
    std::ifstream cfg(ConfigName(path), std::ios::binary);
    std::ostringstream text;
    text << cfg.rdbuf();
    std::printf("%s", text.str().c_str());
    std::printf("FreePCMFormatInfo=%d\n", FreePCMFormatInfo());
    return 0;
}

int Write(const char* path, const char* out) {
    PCM_FORMAT_INFO* formats = nullptr;
    int count = GetPCMFormatInfo(path, &formats);
    std::printf("GetPCMFormatInfo=%d\n", count);
    if (count < 1) {
        std::printf("GetErrMsg=%s\n", GetErrMsg());
        FreePCMFormatInfo();
        return 1;
    }
    int result = WriteTMATS(out, formats, count);
    std::printf("WriteTMATS=%d\n", result);
    if (result != 0) std::printf("GetErrMsg=%s\n", GetErrMsg());
    FreePCMFormatInfo();
    return result == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    std::string command = argv[1];
    if (argc == 3 && command == "pcm") return Pcm(argv[2]);
    if (argc == 3 && command == "params") return List("GetParametersFromTMATS", GetParametersFromTMATS, argv[2]);
    if (argc == 3 && command == "channels") return List("GetTMATSConfigInfo", GetTMATSConfigInfo, argv[2]);
    if (argc == 3 && command == "process") return Process(argv[2]);
    if (argc == 4 && command == "write") return Write(argv[2], argv[3]);
    if (argc == 8 && command == "export") {
        int result = ExportData(argv[2], argv[3], argv[4], argv[5], std::atoi(argv[6]), argv[7]);
        std::printf("ExportData=%d\n", result);
        if (result != 0) std::printf("GetErrMsg=%s\n", GetErrMsg());
        return result == 0 ? 0 : 1;
    }
    return Usage();
}
