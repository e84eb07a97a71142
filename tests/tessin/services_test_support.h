#pragma once
// Helpers of the TMATS services tests: source files and a fixture that
// keeps the utilities log in a temporary directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/ch10_fixture.h"
#include "tests/support/temp_dir.h"
#include "tessin_state.h"
#include "tests/support/tmats_builder.h"
#include "tests/tessin/tmats_rig.h"

namespace servicestest {

constexpr std::size_t kMinimumSource = 512;

// The attributes as a text file padded past 512 bytes with line breaks after
// the last ';', or as a recording: the setup packet, then a time packet.
inline bool WriteTmatsFile(const std::string& path, const ch10fix::TmatsAttributes& attributes,
                           bool asRecording) {
    std::string text = attributes.Text();
    if (!asRecording) {
        if (text.size() <= kMinimumSource) text.append(kMinimumSource + 2 - text.size(), '\n');
        return ch10fix::WriteFile(path, ch10fix::Bytes(text.begin(), text.end()));
    }
    ch10fix::Bytes bytes = ch10fix::BuildSetupPacket(text);
    ch10fix::PacketSpec time;
    time.dataType = 0x11;
    time.body.assign(bytes.size() < kMinimumSource ? kMinimumSource : 8, 0);
    ch10fix::Append(bytes, ch10fix::BuildPacket(time));
    return ch10fix::WriteFile(path, bytes);
}

inline std::string LogPath(const ch10fix::TempDir& dir) { return dir.File("TMATSUtils.log"); }

class ServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TESSIN_LOG_DIR", dir_.Path().c_str(), 1);
        tessin::ResetStateForTests();
    }
    void TearDown() override {
        tessin::ResetStateForTests();
        ::unsetenv("TESSIN_LOG_DIR");
    }
    std::string Write(const std::string& name, const ch10fix::TmatsAttributes& a, bool asRecording = false) {
        std::string path = dir_.File(name);
        EXPECT_TRUE(WriteTmatsFile(path, a, asRecording));
        return path;
    }
    std::string WriteText(const std::string& name, const std::string& text) {
        std::string path = dir_.File(name);
        EXPECT_TRUE(ch10fix::WriteFile(path, ch10fix::Bytes(text.begin(), text.end())));
        return path;
    }
    std::string Log() const { return ch10fix::ReadText(LogPath(dir_)); }
    ch10fix::TempDir dir_;
};

}  // namespace servicestest
