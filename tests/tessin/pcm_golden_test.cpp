// A hand-written TMATS of two formats, two buses and their conversions,
// against a dump written by hand; the same TMATS as a recording's setup
// packet gives the same dump.
#include <gtest/gtest.h>

#include <string>

#include "tests/tessin/pcm_test_support.h"
#include "tools/tmats_dump.h"

namespace {

using namespace servicestest;

const std::string kGolden = TMATS_GOLDEN_DIR;

class PcmGolden : public PcmTest {
protected:
    std::string DumpOf(const std::string& path) {
        PCM_FORMAT_INFO* formats = nullptr;
        int n = GetPCMFormatInfo(path.c_str(), &formats);
        EXPECT_EQ(n, 2) << path;
        EXPECT_STREQ(GetErrMsg(), "");
        const tessin::PcmResult* owner = tessin::State().services.current.get();
        if (n != 2 || !owner) return {};
        std::string dump = tmatsdump::DumpFormats(formats, n) +
                           tmatsdump::DumpBuses(owner->buses.data(), static_cast<int>(owner->buses.size()), formats);
        EXPECT_EQ(FreePCMFormatInfo(), 0);
        return dump;
    }
};

TEST_F(PcmGolden, RecordsMatchTheHandWrittenDump) {
    std::string expected = ch10fix::ReadText(kGolden + "/pcm_golden.dump");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(DumpOf(kGolden + "/pcm_golden.tmt"), expected);

    std::string text = ch10fix::ReadText(kGolden + "/pcm_golden.tmt");
    ch10fix::Bytes bytes = ch10fix::BuildSetupPacket(text);
    ch10fix::PacketSpec time;
    time.dataType = 0x11;
    time.body.assign(8, 0);
    ch10fix::Append(bytes, ch10fix::BuildPacket(time));
    std::string recording = dir_.File("golden.ch10");
    ASSERT_TRUE(ch10fix::WriteFile(recording, bytes));
    EXPECT_EQ(DumpOf(recording), expected);
}

}  // namespace
