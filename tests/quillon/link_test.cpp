#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "quillon/src/ingest_link.h"
#include "quillon/src/quillon_state.h"
#include "tests/support/standin_rig.h"

namespace {

using namespace quillon;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;
using namespace std::chrono_literals;

constexpr int kDeviceBytes = 4096;

std::vector<uint8_t> DeviceBytes() { return stanag_image::PatternBytes(7, 0, kDeviceBytes); }

class IngestLink : public qtest::StandinFixture {
protected:
    void SetUp() override {
        StandinFixture::SetUp();
        AddDevice(qtest::DriveName(0), DeviceBytes());
    }
    void TearDown() override {
        server->Release();
        ResetStateForTests();
        StandinFixture::TearDown();
        ::unsetenv("ORVANE_INGEST_TIMEOUT_MS");
    }
    int32_t Open() {
        int32_t handle = -7;
        EXPECT_TRUE(link::OpenDev(qtest::DriveName(0).c_str(), &handle));
        return handle;
    }
};

TEST_F(IngestLink, RequestsAreEncodedAsTheProtocolSays) {
    for (int32_t first : {0, 7}) {
        SCOPED_TRACE(first);
        firstHandle = first;
        TearDown();
        SetUp();

        int32_t handle = Open();
        EXPECT_EQ(handle, first);  // 0 is a handle like any other
        EXPECT_EQ(link::GetDevBlockSize(handle), 512);
        for (int64_t offset : {int64_t{0}, int64_t{0x80000000}, int64_t{0x100000200}}) link::SeekDev(handle, offset);
        link::SeekDev(handle, 100);
        std::vector<uint8_t> got(300, 0xEE);
        EXPECT_EQ(link::ReadDev(handle, got.data(), 200), 200);
        std::vector<uint8_t> want = stanag_image::PatternBytes(7, 100, 200);
        EXPECT_TRUE(std::equal(want.begin(), want.end(), got.begin()));
        EXPECT_EQ(got[200], 0xEE);
        link::CloseDev(handle);

        struct Want {
            int32_t command, handle, count;
            int64_t offset;
            std::string path;
        } wants[] = {
            {1, 0, 0, 0, qtest::DriveName(0)},
            {4, first, 0, 0, ""},
            {5, first, 0, 0, ""},
            {5, first, 0, 0x80000000, ""},
            {5, first, 0, 0x100000200, ""},
            {5, first, 0, 100, ""},
            {3, first, 200, 0, ""},
            {2, first, 0, 0, ""},
        };
        auto log = Log();
        ASSERT_EQ(log.size(), std::size(wants));
        for (std::size_t i = 0; i < log.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(log[i].command, wants[i].command);
            if (wants[i].command != 1) {
                EXPECT_EQ(log[i].handle, wants[i].handle);
            }
            EXPECT_EQ(log[i].path, wants[i].path);
            EXPECT_EQ(log[i].count, wants[i].count);
            EXPECT_EQ(log[i].offset, wants[i].offset);
            EXPECT_EQ(log[i].origin, 0);
        }
        ExpectNoViolations();
    }
}

TEST_F(IngestLink, FailedStatusGivesEachOperationsFailureValue) {
    int32_t handle = Open();
    {
        standin::Faults refused;
        refused.open_failures = -1;
        standin::Faults noHandle;  // status 0, yet "none" for a handle
        noHandle.open_handle = -1;
        struct Case {
            const char* what;
            standin::Faults faults;
            std::string device;
        } cases[] = {
            {"refused", refused, qtest::DriveName(0)},
            {"unknown device", {}, "//./PHYSICALDRIVE9"},
            {"handle -1", noHandle, qtest::DriveName(0)},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            server->SetFaults(c.faults);
            int32_t other = 55;
            EXPECT_FALSE(link::OpenDev(c.device.c_str(), &other));
            EXPECT_EQ(other, -1);
        }
        server->SetFaults({});
    }
    {
        standin::Faults f;
        f.block_size_status = 3;
        server->SetFaults(f);
        EXPECT_EQ(link::GetDevBlockSize(handle), 512);
        server->SetFaults({});
        EXPECT_EQ(link::GetDevBlockSize(handle + 100), 512);  // a handle the server does not know
    }
    {
        standin::Faults f;
        f.read_fail_from = 1;
        server->SetFaults(f);
        std::vector<uint8_t> got(64, 0xEE);
        EXPECT_EQ(link::ReadDev(handle, got.data(), 64), link::kReadFailed);
        EXPECT_TRUE(std::all_of(got.begin(), got.end(), [](uint8_t b) { return b == 0xEE; }));
    }
    {
        standin::Faults f;
        f.close_status = 2;
        server->SetFaults(f);
        CaptureStdout();
        link::CloseDev(handle);
        EXPECT_EQ(GetCapturedStdout(), "CloseDev: Unsuccessful\n");
        server->SetFaults({});
        CaptureStdout();
        link::CloseDev(handle + 100);
        EXPECT_EQ(GetCapturedStdout(), "CloseDev: Unsuccessful\n");
        CaptureStdout();
        link::CloseDev(handle);
        EXPECT_EQ(GetCapturedStdout(), "CloseDev: Successful\n");
    }
}

TEST_F(IngestLink, OverReportedCountsAreClamped) {
    int32_t handle = Open();
    struct Case {
        std::optional<int32_t> override_;
        int32_t extra;
        int32_t ask;
        int32_t want;
    } cases[] = {
        {std::nullopt, 1, 100, 100},  // asked + 1
        {70000, 0, 100, 100},
        {70000, 0, 65536, 65536},  // past the device's end the data area carries zeros
        {70000, 0, 65540, 65540},
        {-5, 0, 100, link::kReadFailed},  // says nothing of where the device stands
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ask);
        standin::Faults f;
        f.count_override = c.override_;
        f.count_extra = c.extra;
        server->SetFaults(f);
        link::SeekDev(handle, 0);
        std::vector<uint8_t> got(static_cast<std::size_t>(c.ask) + 16, 0xEE);
        int32_t n = link::ReadDev(handle, got.data(), c.ask);
        EXPECT_EQ(n, c.want);
        EXPECT_TRUE(std::all_of(got.begin() + c.ask, got.end(), [](uint8_t b) { return b == 0xEE; }));
        if (n > 0) {
            auto want = stanag_image::PatternBytes(7, 0, static_cast<std::size_t>(std::min(n, kDeviceBytes)));
            EXPECT_TRUE(std::equal(want.begin(), want.end(), got.begin()));
        }
    }
}

TEST_F(IngestLink, ConnectsOnceAndSaysSo) {
    CaptureStdout();
    int32_t a = Open();
    int32_t b = Open();
    EXPECT_EQ(GetCapturedStdout(), "Opened a channel to ParvellServer\n");
    EXPECT_NE(a, b);
    EXPECT_EQ(server->Connections(), 1);
}

TEST_F(IngestLink, AbsentServerIsTriedAgainOnEveryOpen) {
    server->Stop();
    for (int i = 0; i < 2; ++i) {
        CaptureStdout();
        int32_t handle = 5;
        EXPECT_FALSE(link::OpenDev(qtest::DriveName(0).c_str(), &handle));
        EXPECT_EQ(handle, -1);
        EXPECT_EQ(GetCapturedStdout(),
                  "ClientTCPOpen: Couldn't connect to STREAM interface.\n"
                  "Can't open a channel to ParvellServer\n");
    }
    ASSERT_TRUE(server->Start());
    CaptureStdout();
    Open();
    EXPECT_EQ(GetCapturedStdout(), "Opened a channel to ParvellServer\n");
}

TEST_F(IngestLink, NoServiceEntryAndNoOverride) {
    ::unsetenv("ORVANE_PORT_ParvellControl");
    CaptureStdout();
    int32_t handle = 5;
    EXPECT_FALSE(link::OpenDev(qtest::DriveName(0).c_str(), &handle));
    EXPECT_EQ(GetCapturedStdout(), "Failed to Allocate Socket; Exiting!\n");
    EXPECT_EQ(handle, -1);
    EXPECT_EQ(server->Connections(), 0);
}

TEST_F(IngestLink, RepliesInOneBytePiecesGiveTheSameResults) {
    // The pattern holds '*' bytes, some right before a piece boundary: the
    // reply is still taken whole.
    auto device = DeviceBytes();
    ASSERT_NE(std::find(device.begin(), device.begin() + 1000, '*'), device.begin() + 1000);
    int32_t handle = Open();
    standin::Faults f;
    f.reply_piece = 1;
    server->SetFaults(f);
    EXPECT_EQ(link::GetDevBlockSize(handle), 512);
    link::SeekDev(handle, 0);
    std::vector<uint8_t> got(1000);
    EXPECT_EQ(link::ReadDev(handle, got.data(), 1000), 1000);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), device.begin()));
    EXPECT_EQ(link::ReadDev(handle, got.data(), 1000), 1000);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), device.begin() + 1000));
    CaptureStdout();
    link::CloseDev(handle);
    EXPECT_EQ(GetCapturedStdout(), "CloseDev: Successful\n");
}

TEST_F(IngestLink, BrokenExchangeClosesTheLinkUntilTheNextOpen) {
    int32_t handle = Open();
    standin::Faults f;
    f.short_reply = {1, standin::kRead};
    f.short_reply_bytes = 100;
    f.after_short = standin::AfterShortReply::kClose;
    server->SetFaults(f);
    std::vector<uint8_t> got(512, 0xEE);
    CaptureStdout();
    EXPECT_EQ(link::ReadDev(handle, got.data(), 512), link::kReadFailed);
    EXPECT_EQ(GetCapturedStdout(), "Socket Closed\nError in ReadFromTALMORServ\n");
    EXPECT_EQ(got[0], 0xEE);

    // Later exchanges fail without reaching the server (and the process
    // survives the dead peer) ...
    std::size_t before = server->Requests().size();
    CaptureStdout();
    EXPECT_EQ(link::GetDevBlockSize(handle), 512);
    EXPECT_EQ(link::ReadDev(handle, got.data(), 512), link::kReadFailed);
    const std::string refused = "WriteToTALMORServ: Socket send error = " + std::to_string(ENOTCONN) +
                                "\nError in WriteToTALMORServ\n";
    EXPECT_EQ(GetCapturedStdout(), refused + refused);
    EXPECT_EQ(server->Requests().size(), before);

    // ... until an open connects afresh.
    CaptureStdout();
    int32_t again = Open();
    EXPECT_EQ(GetCapturedStdout(), "Opened a channel to ParvellServer\n");
    EXPECT_EQ(server->Connections(), 2);
    EXPECT_EQ(link::ReadDev(again, got.data(), 512), 512);
}

// The server stops answering in the middle of one exchange of each command.
TEST_F(IngestLink, SilentServerFailsTheExchangeAtTheTimeOut) {
    ::setenv("ORVANE_INGEST_TIMEOUT_MS", "200", 1);  // read when the link connects
    int32_t handle = Open();
    EXPECT_EQ(State().link.timeoutMs, 200);
    std::vector<uint8_t> got(64, 0xEE);
    struct Case {
        int32_t command;
        std::function<bool(int32_t)> failed;  // the operation's failure value came back
    } cases[] = {
        {standin::kOpen,
         [](int32_t) {
             int32_t other = 3;
             return !link::OpenDev(qtest::DriveName(0).c_str(), &other) && other == -1;
         }},
        {standin::kBlockSize, [](int32_t h) { return link::GetDevBlockSize(h) == 512; }},
        {standin::kRead, [&got](int32_t h) { return link::ReadDev(h, got.data(), 64) == link::kReadFailed; }},
        {standin::kSeek, [](int32_t h) { return link::SeekDev(h, 100), true; }},
        {standin::kClose, [](int32_t h) { return link::CloseDev(h), true; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(standin::CommandName(c.command));
        standin::Faults f;
        f.hold_reply = {1, c.command};
        server->SetFaults(f);
        CaptureStdout();
        EXPECT_TRUE(c.failed(handle));
        // A close whose exchange failed says nothing of its own.
        EXPECT_EQ(GetCapturedStdout(), "Socket recv return code = " + std::to_string(EAGAIN) +
                                           "\nError in ReadFromTALMORServ\n");
        EXPECT_TRUE(server->WaitForHold(0ms));  // the server is still silent
        EXPECT_EQ(State().link.fd.load(), -1);
        EXPECT_EQ(got[0], 0xEE);
        server->Release();
        server->SetFaults({});
        CaptureStdout();
        handle = Open();
        EXPECT_EQ(GetCapturedStdout(), "Opened a channel to ParvellServer\n");
    }
    EXPECT_EQ(server->Connections(), 6);
}

TEST(IngestLinkParts, TimeOutSetting) {
    struct Case {
        const char* text;
        int want;
    } cases[] = {
        {nullptr, 10000}, {"", 10000}, {"250", 250}, {"1", 1}, {"0", 10000}, {"-5", 10000},
        {"12ms", 10000},  {" 250", 10000}, {"2147483647", 2147483647}, {"2147483648", 10000},
    };
    for (const Case& c : cases) EXPECT_EQ(link::IngestTimeoutMs(c.text), c.want) << (c.text ? c.text : "null");
}

TEST(IngestLinkParts, ReadReplyDecoding) {
    struct Case {
        int32_t status;
        int32_t count;
        int32_t asked;
        int32_t want;
    } cases[] = {
        {0, 100, 100, 100},     {0, 40, 100, 40},     {0, 0, 100, 0},     {0, 101, 100, 100},
        {0, 70000, 65536, 65536}, {0, 70000, 70000, 65540}, {0, -1, 100, link::kReadFailed},
        {0, INT32_MIN, 100, link::kReadFailed}, {1, 100, 100, link::kReadFailed}, {-1, 0, 100, link::kReadFailed},
        {0, 100, -3, 0},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> reply(kExchangeBlockSize, 0);
        standin::PutLe32(reply, link::kReplyStatus, c.status);
        standin::PutLe32(reply, link::kReplyCount, c.count);
        EXPECT_EQ(link::DecodeReadReply(reply.data(), c.asked), c.want)
            << c.status << " " << c.count << " " << c.asked;
    }
}

}  // namespace
