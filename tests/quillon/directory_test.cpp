#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "quillon/src/directory.h"
#include "tests/support/image_rig.h"
#include "quillon.h"
#include "quillon/src/quillon_state.h"
#include "tests/support/standin_rig.h"

namespace {

using namespace quillon;
using namespace qtest;
using stanag_image::ByteOrder;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

class DriveTest : public StandinFixture {
protected:
    void TearDown() override {
        if (server) server->Release();
        ResetStateForTests();
        StandinFixture::TearDown();
        ::unsetenv("ORVANE_INGEST_TIMEOUT_MS");
    }
    struct Listing {
        int count = 0;
        std::string names;
        std::vector<int64_t> sizes;
    };
    static Listing List(const char* drive) {
        std::vector<char> names(QUILLON_FILE_LIST_ROOM, 'x');
        std::vector<int64_t> sizes(QUILLON_MAX_FILES + 1, -77);
        Listing l;
        l.count = GetSTANAGFilesSizes(drive, names.data(), sizes.data());
        l.names = names.data();
        EXPECT_EQ(sizes[QUILLON_MAX_FILES], -77);  // never past the room
        // A drive that could not be read (-1) keeps what was listed before.
        const int listed = l.count >= 0 ? l.count : static_cast<int>(std::count(l.names.begin(), l.names.end(), ','));
        for (int i = 0; i < listed && i < QUILLON_MAX_FILES; ++i) l.sizes.push_back(sizes[static_cast<std::size_t>(i)]);
        EXPECT_EQ(std::count_if(sizes.begin(), sizes.end(), [](int64_t v) { return v != -77; }),
                  std::min(listed, QUILLON_MAX_FILES));
        return l;
    }
    static std::vector<int32_t> Counts(const std::vector<standin::LoggedRequest>& log, int32_t command) {
        std::vector<int32_t> out;
        for (const auto& r : log)
            if (r.command == command) out.push_back(r.count);
        return out;
    }
    static std::vector<int64_t> Seeks(const std::vector<standin::LoggedRequest>& log) {
        std::vector<int64_t> out;
        for (const auto& r : log)
            if (r.command == standin::kSeek) out.push_back(r.offset);
        return out;
    }
    // The walk's reads: those after the first seek (which follows the search).
    static std::vector<int32_t> WalkReads(const std::vector<standin::LoggedRequest>& log) {
        auto first = std::find_if(log.begin(), log.end(), [](const auto& r) { return r.command == standin::kSeek; });
        return Counts({first, log.end()}, standin::kRead);
    }
};

class StanagDirectory : public DriveTest {};
class StanagScan : public DriveTest {};

TEST_F(StanagDirectory, ChainReadsAlikeInEitherByteOrder) {
    AddDrive(0, Chain(ByteOrder::kLittle));
    AddDrive(1, Chain(ByteOrder::kBig));
    const std::string names = kLongName + ",second.ch10,big.ch10,fourth,last.ch10,";
    const std::vector<int64_t> sizes = {700, 1500, static_cast<int64_t>(kBigSize), 10, 3000};
    for (const char* drive : {"0", "1"}) {
        SCOPED_TRACE(drive);
        std::size_t from = server->Requests().size();
        Listing l = List(drive);
        EXPECT_EQ(l.count, 5);
        EXPECT_EQ(l.names, names);
        EXPECT_EQ(l.sizes, sizes);
        auto log = LogFrom(from);
        EXPECT_EQ(Seeks(log), (std::vector<int64_t>{5 * 512, 7 * 512, 8 * 512}));
        // block 1 (n 4) as 512 + 512, then blocks 3 and 4
        EXPECT_EQ(WalkReads(log), (std::vector<int32_t>{512, 512, 512, 512}));
        EXPECT_EQ(Counts(log, standin::kClose).size(), 1u);
    }
    ExpectNoViolations();
}

TEST_F(StanagDirectory, RestOfABlockIsReadOnlyWhenThereIsOne) {
    struct Case {
        std::size_t n;
        std::vector<int32_t> reads;
    } cases[] = {{0, {512}}, {3, {512}}, {4, {512, 512}}, {5, {512, 512}}, {9, {512, 1024}}};
    int drive = 0;
    for (const Case& c : cases) AddDrive(drive++, Many(c.n));
    drive = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        std::size_t from = server->Requests().size();
        std::string text = std::to_string(drive++);
        EXPECT_EQ(List(text.c_str()).count, static_cast<int>(c.n));
        EXPECT_EQ(WalkReads(LogFrom(from)), c.reads);
    }
}

TEST_F(StanagDirectory, OpenCodes) {
    AddDrive(0, Basic());
    AddRefusedDrive(1);
    AddDrive(2, NoDirectory(3));
    AddDrive(3, DirectoryAfter(1000));
    AddDrive(4, DirectoryAfter(999));
    AddImage("//./E:", Basic());
    const std::string over(33, '1');
    struct Case {
        const char* drive;
        int code;
        const char* device;  // opened, or nullptr: nothing sent
        bool closed;         // a CloseDev follows a failed search
    } cases[] = {
        {"", kBadDriveSpec, nullptr, false},
        {"#", kBadDriveSpec, nullptr, false},
        {over.c_str(), kBadDriveSpec, nullptr, false},
        {nullptr, kBadDriveSpec, nullptr, false},
        {"1", kDeviceNotOpened, "//./PHYSICALDRIVE1", false},
        {"2", kNoDirectory, "//./PHYSICALDRIVE2", true},
        {"3", kNoDirectory, "//./PHYSICALDRIVE3", true},
        {"4", kOpened, "//./PHYSICALDRIVE4", false},
        {"E", kOpened, "//./E:", false},
        {"0", kOpened, "//./PHYSICALDRIVE0", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.drive ? c.drive : "NULL");
        std::size_t from = server->Requests().size();
        CaptureStdout();
        EXPECT_EQ(OpenSTANAGDrive(c.drive), c.code);
        std::string out = GetCapturedStdout();
        auto log = LogFrom(from);
        if (c.code == kBadDriveSpec) {
            EXPECT_EQ(out, "Error in Device Spec\n");
            EXPECT_TRUE(log.empty());
            continue;
        }
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log[0].command, standin::kOpen);
        EXPECT_EQ(log[0].path, c.device);
        EXPECT_EQ(Counts(log, standin::kClose).size(), c.closed ? 1u : 0u);
        if (c.code == kOpened) {
            EXPECT_NE(out.find("OpenDev successful - nFileBlockSize = 512\n"), std::string::npos);
            // A second open while one is open: 4, nothing sent.
            std::size_t before = server->Requests().size();
            EXPECT_EQ(OpenSTANAGDrive("0"), kAlreadyOpen);
            EXPECT_EQ(server->Requests().size(), before);
            EXPECT_EQ(CloseSTANAGDrive(), 0);
        }
    }
    EXPECT_EQ(server->OpenHandles(), 0);
    ExpectNoViolations();
}

TEST_F(StanagDirectory, FailedOpenNeverListsThePreviousDrive) {
    AddDrive(0, Basic());
    AddDrive(1, NoDirectory(3));
    Listing basic = List("0");
    EXPECT_EQ(basic.count, 2);
    EXPECT_EQ(basic.names, "Beta.CH10,alpha.ch10,");
    EXPECT_EQ(basic.sizes, (std::vector<int64_t>{static_cast<int64_t>(kBetaSize), 100}));
    Listing none = List("1");
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(none.names, "");

    std::vector<char> names(QUILLON_FILE_LIST_ROOM, 'x');
    EXPECT_EQ(GetSTANAGFiles("0", names.data()), 2);
    EXPECT_STREQ(names.data(), "Beta.CH10,alpha.ch10,");
    EXPECT_EQ(GetSTANAGFiles("9", names.data()), -1);  // unknown to the server: not read
    EXPECT_STREQ(names.data(), "");
    EXPECT_EQ(server->OpenHandles(), 0);
}

// A server that stops answering, or cuts the link, at each stage of a
// listing: the drive could not be read, in bounded time.
TEST_F(StanagDirectory, SilentOrCutServerLeavesTheDriveUnread) {
    ::setenv("ORVANE_INGEST_TIMEOUT_MS", "200", 1);
    AddDrive(0, Chain(ByteOrder::kLittle));  // h 5: six search reads, then the walk
    struct Stage {
        const char* what;
        standin::Trigger at;
    } stages[] = {
        {"open", {1, standin::kOpen}},
        {"block size", {1, standin::kBlockSize}},
        {"search", {3, standin::kRead}},
        {"seek to the directory", {1, standin::kSeek}},
        {"first directory block", {7, standin::kRead}},
        {"rest of the block", {8, standin::kRead}},
        {"seek along the chain", {2, standin::kSeek}},
        {"next block of the chain", {9, standin::kRead}},
    };
    for (const Stage& stage : stages) {
        for (bool cut : {false, true}) {
            SCOPED_TRACE(std::string(stage.what) + (cut ? ", cut" : ", silent"));
            standin::Faults f;
            (cut ? f.disconnect_before : f.hold_reply) = stage.at;
            server->SetFaults(f);
            CaptureStdout();
            EXPECT_EQ(List("0").count, -1);
            GetCapturedStdout();
            server->Release();
        }
    }
    server->SetFaults({});
    EXPECT_EQ(List("0").count, 5);  // the next listing connects afresh
}

TEST_F(StanagDirectory, WalkEndsAtItsBounds) {
    AddDrive(0, Many(230));
    AddDrive(1, Many(10));
    AddDrive(2, Loop());

    Listing many = List("0");
    EXPECT_EQ(many.count, QUILLON_MAX_FILES);
    EXPECT_EQ(many.names.size(), 227u * 5);
    EXPECT_EQ(many.names.substr(many.names.size() - 5), "F226,");

    // The rest of the 10-entry block fails: the drive could not be read, and
    // the 4 entries of its first block stay listed.
    standin::Faults f;
    f.read_fail_from = 3;  // search, first block, rest
    server->SetFaults(f);
    Listing rest = List("1");
    EXPECT_EQ(rest.count, -1);
    EXPECT_EQ(rest.names, "F000,F001,F002,F003,");
    server->SetFaults({});

    std::size_t from = server->Requests().size();
    Listing loop = List("2");
    EXPECT_EQ(loop.count, 2);
    EXPECT_EQ(loop.names, "one,two,");
    EXPECT_EQ(WalkReads(LogFrom(from)), (std::vector<int32_t>{512, 512}));
}

TEST_F(StanagDirectory, ReportedBlockSizes) {
    AddDrive(0, Basic());
    struct Case {
        std::optional<int32_t> forced;
        int32_t status;
        const char* print;
        int code;
    } cases[] = {
        {0, 0, "OpenDev successful - nFileBlockSize = 512\n", kOpened},
        {-1, 0, "OpenDev successful - nFileBlockSize = 512\n", kOpened},
        {std::nullopt, 9, "OpenDev successful - nFileBlockSize = 512\n", kOpened},
        {70000, 0, "OpenDev successful - nFileBlockSize = 70000\n", kNoDirectory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.print);
        standin::Faults f;
        f.forced_block_size = c.forced;
        f.block_size_status = c.status;
        server->SetFaults(f);
        std::size_t from = server->Requests().size();
        CaptureStdout();
        EXPECT_EQ(OpenSTANAGDrive("0"), c.code);
        CloseSTANAGDrive();
        std::string out = GetCapturedStdout();
        EXPECT_NE(out.find(c.print), std::string::npos) << out;
        auto log = LogFrom(from);
        if (c.code == kNoDirectory) {
            EXPECT_TRUE(Counts(log, standin::kRead).empty());  // no block of that size asked
            EXPECT_EQ(Counts(log, standin::kClose).size(), 1u);
        } else {
            EXPECT_EQ(WalkReads(log), (std::vector<int32_t>{512}));
        }
    }
}

TEST_F(StanagScan, StopsAtTheFirstDriveThatCannotBeOpened) {
    AddDrive(0, Basic());
    AddRefusedDrive(1);
    AddDrive(2, Chain(ByteOrder::kLittle));
    std::vector<char> drives(QUILLON_DRIVE_LIST_ROOM, 'x');
    std::vector<char> volumes(QUILLON_VOLUME_LIST_ROOM, 'x');
    EXPECT_EQ(GetSTANAGDrives(drives.data()), 1);
    EXPECT_STREQ(drives.data(), "0 ");
    EXPECT_EQ(GetSTANAGDrivesVolumeNames(drives.data(), volumes.data()), 1);
    EXPECT_STREQ(drives.data(), "0 ");
    EXPECT_STREQ(volumes.data(), "TESTVOL ");
    for (const auto& r : Log(standin::kOpen)) EXPECT_NE(r.path, DriveName(2));
}

TEST_F(StanagScan, ListsOnlyDrivesWithADirectory) {
    AddDrive(0, NoDirectory(3));
    AddDrive(1, Chain(ByteOrder::kBig));
    AddRefusedDrive(2);
    AddDrive(3, Basic());
    std::vector<char> drives(QUILLON_DRIVE_LIST_ROOM, 'x');
    std::vector<char> volumes(QUILLON_VOLUME_LIST_ROOM, 'x');
    EXPECT_EQ(GetSTANAGDrivesVolumeNames(drives.data(), volumes.data()), 1);
    EXPECT_STREQ(drives.data(), "1 ");
    EXPECT_EQ(std::string(volumes.data()), kFullVolume + " ");
    for (const auto& r : Log(standin::kOpen)) EXPECT_NE(r.path, DriveName(3));
}

TEST_F(StanagScan, ClosesEveryDeviceAndCachesBlockSizes) {
    AddDrive(0, Basic());
    AddDrive(1, NoDirectory(3));
    AddImage("//./E:", Basic());
    std::vector<char> drives(QUILLON_DRIVE_LIST_ROOM);
    EXPECT_EQ(GetSTANAGDrives(drives.data()), 1);
    EXPECT_EQ(Log(standin::kOpen).size(), 3u);  // 0, 1, and 2 which the server does not know
    EXPECT_EQ(Log(standin::kClose).size(), 2u);
    EXPECT_EQ(server->OpenHandles(), 0);

    // Drive 0's size now comes from the cache; a letter still asks the server.
    standin::Faults f;
    f.forced_block_size = 4096;
    server->SetFaults(f);
    server->ClearLog();
    EXPECT_EQ(List("0").count, 2);
    EXPECT_TRUE(Log(standin::kBlockSize).empty());
    CaptureStdout();
    EXPECT_EQ(List("E").count, 0);  // 4096-byte blocks find no directory
    EXPECT_NE(GetCapturedStdout().find("nFileBlockSize = 4096"), std::string::npos);
    EXPECT_EQ(Log(standin::kBlockSize).size(), 1u);
}

}  // namespace
