// ExportData over an arbitrary _M.DAT sample file. The input's first bytes
// choose the rows (where they start against the file's time base, their
// interval and number); the rest is the sample file. A second parameter
// reads the same file from its second sample on, and a third has no file.
#include <cstdint>
#include <string>

#include <sys/stat.h>

#include "tessin.h"
#include "tessin_state.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr int64_t kDay = 86400000000LL;
constexpr int kHeaderBytes = 152;

std::string TimeText(int64_t us) {
    char text[40];
    std::snprintf(text, sizeof text, "%03lld:%02lld:%02lld:%02lld:%06lld", static_cast<long long>(us / kDay),
                  static_cast<long long>(us / 3600000000LL % 24), static_cast<long long>(us / 60000000LL % 60),
                  static_cast<long long>(us / 1000000LL % 60), static_cast<long long>(us % 1000000LL));
    return text;
}

// The file's time base when it holds one, kept inside the year.
int64_t TimeBase(const uint8_t* data, std::size_t size) {
    if (size < 144) return kDay;
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = v << 8 | data[136 + i];
    int64_t base = static_cast<int64_t>(v);
    return base >= 0 && base < 366 * kDay ? base : kDay;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const std::string folder = fuzz::ScratchFile("in");
    static const std::string list = fuzz::ScratchFile("list.txt");
    static const std::string out = fuzz::ScratchFile("out.csv");
    static const bool made = [] {
        ::mkdir(folder.c_str(), 0700);
        ::mkdir((folder + "/list").c_str(), 0700);
        const char names[] = "FUZZ\nSHIFTED\nABSENT\n";
        return fuzz::WriteBytes(list, reinterpret_cast<const uint8_t*>(names), sizeof names - 1);
    }();
    if (!made) return 0;
    fuzz::Input in(data, size);
    const int32_t from = static_cast<int32_t>(in.U32());
    const int interval = static_cast<int>(in.U32() % 5000000) + (in.Byte() & 1 ? 0 : 1);
    const int rows = in.Byte();  // few rows: every row is flushed on its own
    const uint8_t* file = in.Data();
    const std::size_t fileSize = in.Size();
    fuzz::WriteBytes(folder + "/list/FUZZ_M.DAT", file, fileSize);
    // The same header with the samples moved by one.
    std::string shifted(reinterpret_cast<const char*>(file), fileSize < kHeaderBytes ? fileSize : kHeaderBytes);
    if (fileSize > kHeaderBytes + 16) shifted.append(reinterpret_cast<const char*>(file) + kHeaderBytes + 16,
                                                     fileSize - kHeaderBytes - 16);
    fuzz::WriteBytes(folder + "/list/SHIFTED_M.DAT", reinterpret_cast<const uint8_t*>(shifted.data()),
                     shifted.size());
    int64_t start = TimeBase(file, fileSize) + from;
    if (start < 0) start = 0;
    const int64_t end = start + static_cast<int64_t>(rows) * (interval > 0 ? interval : 1);
    ExportData(folder.c_str(), out.c_str(), TimeText(start).c_str(), TimeText(end).c_str(), interval,
               list.c_str());
    tessin::ResetStateForTests();
    return 0;
}
