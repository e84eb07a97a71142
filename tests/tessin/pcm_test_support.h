#pragma once
// Calls of GetPCMFormatInfo on attribute lists, for the PCM record tests.
#include <string>

#include "tests/tessin/services_test_support.h"
#include "tessin.h"
#include "tessin_state.h"

namespace servicestest {

struct PcmCall {
    int result = -2;
    PCM_FORMAT_INFO* formats = nullptr;
    std::string error;
    tessin::PcmResult* owner() const { return tessin::State().services.current.get(); }
    const BUS_INFO* bus(std::size_t i) const {
        return owner() && i < owner()->buses.size() ? &owner()->buses[i] : nullptr;
    }
};

// One format of 64 words x 16 frames, 16-bit words, and one measurand.
inline ch10fix::TmatsAttributes BaseFormat() {
    return {{"G\\PN", "PROG"},          {"G\\OD", "01-02-2020"},     {"P-1\\DLN", "FMT1"},
            {"P-1\\TF", "ONE"},         {"P-1\\F1", "16"},           {"P-1\\MF\\N", "16"},
            {"P-1\\MF1", "64"},         {"P-1\\MF2", "1024"},        {"P-1\\MF4", "16"},
            {"P-1\\MF5", "1110101110010000"}, {"D-1\\DLN", "FMT1"}, {"C-1\\DCN", "M1"}};
}

class PcmTest : public ServicesTest {
protected:
    PcmCall Call(const ch10fix::TmatsAttributes& a, bool asRecording = false) {
        std::string path = Write("call.tmt", a, asRecording);
        PcmCall c;
        c.result = GetPCMFormatInfo(path.c_str(), &c.formats);
        c.error = GetErrMsg();
        return c;
    }
};

}  // namespace servicestest
