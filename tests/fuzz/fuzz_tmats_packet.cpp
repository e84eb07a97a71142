// process_tmats_packet over an arbitrary setup-record packet or TMATS text,
// handed over in a buffer of exactly its size, with and without a log.
#include <climits>
#include <cstdint>
#include <memory>

#include "tessin.h"
#include "tessin_state.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const std::string log = fuzz::ScratchFile("tmats_packet.log");
    if (size > INT_MAX) return 0;
    // A fresh copy, so that a read past the end meets the allocation's edge.
    std::unique_ptr<char[]> text(new char[size ? size : 1]);
    for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>(data[i]);
    char errorText[80] = {};
    const bool withLog = size > 0 && (data[size - 1] & 1);
    process_tmats_packet(text.get(), static_cast<int>(size), errorText, withLog ? log.c_str() : nullptr);
    tessin::ResetStateForTests();
    tessin::ReleaseTmatsRecordsForTests();
    return 0;
}
