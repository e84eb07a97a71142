// Every export of the library with an allocation refused at each point of
// its work in turn, by an exception that is not std::bad_alloc (as
// std::vector::reserve throws for a length it will not take): the call
// returns, with its failure value or its normal result, and the next call
// is unharmed.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/tessin/pcm_test_support.h"
#include "tests/tessin/sample_file_writer.h"
#include "tessin.h"

namespace {

// Allocations left before the refusal; -1 while no refusal is armed.
long gAllocationsLeft = -1;
bool gRefused = false;

}  // namespace

void* operator new(std::size_t size) {
    if (gAllocationsLeft >= 0 && gAllocationsLeft-- == 0) {
        gRefused = true;
        throw std::length_error("refused by the test");
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
// Every plain form goes through the one above, so that each block is freed
// by the allocator that made it (a sanitizer's runtime brings its own).
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return ::operator new(size, tag); }
// Out of line: inlined into a caller, a free() of a block from this file's
// operator new reads to the compiler as a mismatched pair.
[[gnu::noinline]] static void FreeBlock(void* p) noexcept { std::free(p); }
void operator delete(void* p) noexcept { FreeBlock(p); }
void operator delete(void* p, std::size_t) noexcept { FreeBlock(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { FreeBlock(p); }
void operator delete[](void* p) noexcept { FreeBlock(p); }
void operator delete[](void* p, std::size_t) noexcept { FreeBlock(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { FreeBlock(p); }

namespace {

using namespace servicestest;

struct Export {
    const char* name;
    std::function<int64_t()> call;
    int64_t failure;
};

class CBoundary : public PcmTest {
protected:
    // Refuses the k-th allocation for k = 0, 1, ... until a call completes
    // without reaching it.
    void Sweep(const Export& e) {
        SCOPED_TRACE(e.name);
        const int64_t normal = e.call();
        for (long k = 0;; ++k) {
            gRefused = false;
            gAllocationsLeft = k;
            int64_t result = e.call();
            gAllocationsLeft = -1;
            if (!gRefused) {
                EXPECT_EQ(result, normal);
                return;
            }
            if (result != normal) { EXPECT_EQ(result, e.failure) << "refused at allocation " << k; }
            ASSERT_EQ(e.call(), normal) << "after the refusal at allocation " << k;
        }
    }

    ch10fix::TmatsAttributes Source() {
        ch10fix::TmatsAttributes a = BaseFormat();
        a.Add("R-1\\N", "1").Add("R-1\\TK1-1", "3").Add("R-1\\CHE-1", "T").Add("R-1\\CDT-1", "PCMIN");
        a.Add("R-1\\PDLN-1", "FMT1").Add("D-1\\MN\\N-1", "1").Add("D-1\\MN-1-1", "M1");
        a.Add("D-1\\MF-1-1", "5").Add("D-1\\MFM-1-1", "FW").Add("C-1\\MN1", "FIRST");
        a.Add("B-1\\DLN", "BUS").Add("B-1\\BNA-1", "B").Add("B-1\\BT-1", "1553").Add("B-1\\MN-1-1-1", "BM");
        return a;
    }
};

TEST_F(CBoundary, TmatsServices) {
    std::string path = Write("source.tmt", Source());
    std::string text = ch10fix::ReadText(path);
    std::vector<char> buf(4096);
    PCM_FORMAT_INFO* formats = nullptr;
    ASSERT_EQ(GetPCMFormatInfo(path.c_str(), &formats), 1) << GetErrMsg();
    std::vector<PCM_FORMAT_INFO> kept(formats, formats + 1);  // WriteTMATS' input outlives the result
    std::string written = dir_.File("written.tmt");
    const Export exports[] = {
        {"GetPCMFormatInfo",
         [&] {
             PCM_FORMAT_INFO* f = nullptr;
             int r = GetPCMFormatInfo(path.c_str(), &f);
             return int64_t{r} * 10 + FreePCMFormatInfo();
         },
         -10},
        {"GetParametersFromTMATS", [&] { return GetParametersFromTMATS(path.c_str(), buf.data(), 4096); }, -1},
        {"GetTMATSConfigInfo", [&] { return GetTMATSConfigInfo(path.c_str(), buf.data(), 4096); }, -1},
        {"ProcessTMATS",
         [&] {
             uint64_t r = ProcessTMATS(path.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr, nullptr);
             FreePCMFormatInfo();
             return static_cast<int64_t>(r);
         },
         int64_t{0xFFFFFFFF}},
        {"process_tmats_packet",
         [&] {
             char error[512] = "";
             return int64_t{process_tmats_packet(text.c_str(), static_cast<int>(text.size()), error, nullptr) !=
                            nullptr};
         },
         0},
    };
    for (const Export& e : exports) Sweep(e);
    // Kept from a result that is still the library's: WriteTMATS reads it.
    Sweep({"WriteTMATS", [&] { return int64_t{WriteTMATS(written.c_str(), kept.data(), 1)}; }, -1});
    EXPECT_EQ(FreePCMFormatInfo(), 0);
}

TEST_F(CBoundary, ExportData) {
    ::mkdir(dir_.File("in").c_str(), 0755);
    ::mkdir(dir_.File("in/list").c_str(), 0755);
    exporttest::SampleFile f;
    f.timeBase = 86400000000LL;
    f.samples = {{0, 1}, {1000000, 2}};
    ASSERT_TRUE(exporttest::WriteSampleFile(dir_.File("in/list/P_M.DAT"), f));
    std::string list = WriteText("list.txt", "P\nQ\n");
    std::string out = dir_.File("out.csv");
    std::string in = dir_.File("in");
    Sweep({"ExportData",
           [&] {
               return int64_t{ExportData(in.c_str(), out.c_str(), "001:00:00:00:000000",
                                         "001:00:00:02:000000", 1000000, list.c_str())};
           },
           -1});
}

TEST_F(CBoundary, RecordingInput) {
    std::string plain = WriteText("plain.ch10", std::string(64, 'x'));
    std::string set = dir_.File("D0000001.ch10");
    WriteText("D0000001.ch10", std::string(32, 'a'));
    WriteText("D0000002.ch10", std::string(32, 'b'));
    for (const std::string& path : {plain, set}) {
        Sweep({path.c_str(),
               [&] {
                   // Any call's failure is the sequence's; a descriptor lost
                   // to a refusal would show as a changed handle.
                   int64_t size = iSize(path.c_str(), 0);
                   int h = iOpen(path.c_str(), 0);
                   char buf[80];
                   int64_t at = h >= 0 ? iGoto(h, 8, 0, 0) : -1;
                   int got = h >= 0 ? iRead(h, buf, sizeof buf) : -1;
                   if (h >= 0) iClose(h);
                   if (size < 0 || h < 0 || at < 0 || got < 0) return int64_t{-1};
                   return h * int64_t{1000000000} + size * 1000000 + at * 1000 + got;
               },
               -1});
    }
}

}  // namespace
