// Setup word: the recording's standard revision and the TMATS form.
#include "decoder_text.h"
#include "decoders.h"

namespace sandral::decoders {

namespace {

const char* RevisionName(unsigned v) {
    switch (v) {
        case 7: return "IRIG-106-07";
        case 8: return "IRIG-106-09";
        case 9: return "IRIG-106-11";
        case 10: return "IRIG-106-13";
        case 11: return "IRIG-106-15";
        default: return "RESERVED";
    }
}

}  // namespace

std::size_t PrintSetupWord(const PrintArgs& a) {
    const uint32_t w = a.word;
    if (a.header.dataTypeVersion < 3) {
        a.out.Printf("%s0x%08X\n\n", "SETUP CHAN SPEC: ", w);
        return 4;
    }
    a.out.Printf("%s0x%08X\n%s%02X (%-10s)\n%s%-8s%30s%-8s\n\n", "SETUP CHAN SPEC: ", w,
                 "IRIG 106 Chapter 10 Version: 0x", w & 0xFF, RevisionName(w & 0xFF), "TMATS Format:",
                 (w >> 9) & 1 ? " 1 XML" : " 0 ASCII", "Setup Record Conf Change:", (w >> 8) & 1 ? " 1 YES" : " 0 NO");
    return 4;
}

}  // namespace sandral::decoders
