// One TMATS text through every service that reads a TMATS source file: the
// PCM format records (and the text written back from them), the parameter
// and channel lists into full and tiny buffers, and the measurand tables.
#include <cstdint>
#include <memory>

#include "tessin.h"
#include "tessin_state.h"
#include "tests/fuzz/fuzz_support.h"
#include "tools/tmats_dump.h"

namespace {

void Lists(const char* path) {
    static std::unique_ptr<char[]> full(new char[1 << 20]);
    char tiny[7];
    GetParametersFromTMATS(path, full.get(), 1 << 20);
    GetParametersFromTMATS(path, tiny, sizeof tiny);
    GetTMATSConfigInfo(path, full.get(), 1 << 20);
    GetTMATSConfigInfo(path, tiny, sizeof tiny);
}

void Formats(const char* path, const char* written) {
    PCM_FORMAT_INFO* formats = nullptr;
    int n = GetPCMFormatInfo(path, &formats);
    if (n > 0 && formats) WriteTMATS(written, formats, n);
    FreePCMFormatInfo();
}

void Tables(const char* path) {
    tmatsdump::ProcessedTables tables;
    tmatsdump::ProcessTables(path, tables);
    FreePCMFormatInfo();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const std::string source = fuzz::ScratchFile("services.tmt");
    static const std::string written = fuzz::ScratchFile("services_written.tmt");
    if (!fuzz::WriteBytes(source, data, size)) return 0;
    Formats(source.c_str(), written.c_str());
    Lists(source.c_str());
    Tables(source.c_str());
    tessin::ResetStateForTests();
    tessin::ReleaseTmatsRecordsForTests();
    return 0;
}
