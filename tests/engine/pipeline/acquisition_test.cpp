// The TMATS acquisition over real recordings and TMATS files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "tests/support/engine_rig.h"
#include "tests/support/temp_dir.h"
#include "vexa/engine/tmats_acquisition.h"

namespace {

namespace fs = std::filesystem;
using ch10fix::Bytes;

struct Acquirer {
    Acquirer() { config.inputHandle = -1; }
    vexa::CRunConfig config;
    vexa::TmatsAcquisition acquisition;
    std::string message;
    CHAN_INFO* Acquire(const std::string& source, const std::string& prefix = "") {
        message.clear();
        return acquisition.ReadTmatsInfo(config, 0, source, prefix, &message);
    }
};

std::vector<uint16_t> ChannelIds(const CHAN_INFO* info) {
    std::vector<uint16_t> ids;
    for (int i = 0; i < info->ChannelCount; ++i) ids.push_back(info->Channels[i].ChannelID);
    return ids;
}

Bytes Recording(const std::vector<uint16_t>& ids, const std::string& revision = "07") {
    Bytes b = ch10fix::BuildSetupPacket(rig::Tmats(ids, revision));
    ch10fix::Append(b, rig::Packet(ids.empty() ? 1 : ids[0], 0x09, 64));
    return b;
}

TEST(Acquisition, SourcesAndTheirFailures) {
    ch10fix::TempDir dir;
    const std::string good = dir.File("good.ch10");
    ch10fix::WriteFile(good, Recording({2, 3}));
    Bytes timeFirst = rig::Packet(1, 0x11, 8);  // a setup record behind it does not count
    ch10fix::Append(timeFirst, Recording({2, 3}));
    ch10fix::WriteFile(dir.File("time.ch10"), timeFirst);
    ch10fix::WriteFile(dir.File("empty.ch10"), {});
    const std::string external = dir.File("ext.tmt");
    std::ofstream(external, std::ios::binary) << rig::Tmats({7, 8, 9}).Text();
    std::ofstream(dir.File("empty.tmt"), std::ios::binary).flush();
    // Linux paths do not fit the old 512-byte message buffer.
    const std::string longMissing = dir.Path() + "/" + std::string(600, 'n') + ".ch10";

    struct Case {
        const char* name;
        std::string source;
        std::string tmats;  // "" internal
        int inputType;
        std::optional<std::vector<uint16_t>> channels;  // nullopt: the acquisition fails
        std::string message;
    } cases[] = {
        {"setup record first", good, "", 1, std::vector<uint16_t>{2, 3}, ""},
        {"time packet first", dir.File("time.ch10"), "", 1, std::nullopt,
         "Error reading TMATS Packet from '" + dir.File("time.ch10") + "'\n"},
        {"empty recording", dir.File("empty.ch10"), "", 1, std::nullopt,
         "Error reading TMATS Packet from '" + dir.File("empty.ch10") + "'\n"},
        {"missing recording, long path", longMissing, "", 1, std::nullopt,
         "Error reading TMATS Packet from '" + longMissing + "'\n"},
        {"external file", good, external, 1, std::vector<uint16_t>{7, 8, 9}, ""},
        {"external file given as internal", good, vexa::kUseInternalTmats, 1, std::vector<uint16_t>{2, 3}, ""},
        {"missing external file", good, dir.File("none.tmt"), 1, std::nullopt,
         "Error reading TMATS info from '" + dir.File("none.tmt") + "'\n"},
        {"empty external file", good, dir.File("empty.tmt"), 1, std::nullopt,
         "Error reading TMATS info from '" + dir.File("empty.tmt") + "'\n"},
        {"external file in a directory run", good, external, 0, std::vector<uint16_t>{2, 3}, ""},
        {"missing external file in a directory run", good, dir.File("none.tmt"), 0, std::vector<uint16_t>{2, 3},
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Acquirer a;
        a.config.tmatsSource = c.tmats;
        a.config.inputType = c.inputType;
        CHAN_INFO* info = a.Acquire(c.source, dir.File("out.log"));
        EXPECT_EQ(a.config.inputHandle.load(), -1);  // nothing left open
        if (!c.channels) {
            EXPECT_EQ(info, nullptr);
            EXPECT_EQ(a.message, c.message);
            continue;
        }
        ASSERT_NE(info, nullptr) << a.message;
        EXPECT_EQ(a.acquisition.LastInfo(), info);
        EXPECT_EQ(ChannelIds(info), *c.channels);
        EXPECT_EQ(a.acquisition.DataTypeRowCount(), 33);
        // The log sits at the prefix, glued on, and holds the library's text.
        const std::string log = a.acquisition.LogPath();
        EXPECT_EQ(log.rfind(dir.File("out.logfn"), 0), 0u) << log;
        EXPECT_EQ(log.size(), dir.File("out.logfn").size() + 6);
        EXPECT_TRUE(fs::exists(log));
    }
}

TEST(Acquisition, RevisionsOutsideTheKnownOnesBecomeSeven) {
    ch10fix::TempDir dir;
    struct Case {
        const char* revision;
        int kept;
    } cases[] = {{"04", 4}, {"07", 7}, {"08", 7}, {"09", 9}, {"10", 7}, {"13", 13}, {"14", 7}, {"15", 15}, {"17", 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.revision);
        const std::string path = dir.File(std::string("r") + c.revision + ".ch10");
        ch10fix::WriteFile(path, Recording({2}, c.revision));
        Acquirer a;
        a.config.inputType = 1;
        CHAN_INFO* info = a.Acquire(path);
        ASSERT_NE(info, nullptr) << a.message;
        EXPECT_EQ(info->IrigRevision, std::stoi(c.revision));  // the record keeps what the TMATS says
        EXPECT_EQ(a.acquisition.Revision(), c.kept);
        EXPECT_EQ(a.acquisition.VersionInfoText(),
                  "IRIG 106 Data File Version: NA, TMATS Version: " + std::string(c.kept < 10 ? "0" : "") +
                      std::to_string(c.kept));
    }
}

TEST(Acquisition, TemporaryLogPaths) {
    ch10fix::TempDir dir;
    const std::string source = dir.File("s.ch10");
    ch10fix::WriteFile(source, Recording({2}));
    std::string first;
    {
        Acquirer a;
        a.config.inputType = 1;
        // Empty prefix: the temporary directory, then the same path again.
        ASSERT_NE(a.Acquire(source), nullptr) << a.message;
        first = a.acquisition.LogPath();
        EXPECT_EQ(fs::path(first).parent_path(), fs::temp_directory_path());
        EXPECT_EQ(fs::path(first).filename().string().rfind("fn", 0), 0u);
        std::ofstream(first, std::ios::app) << "STALE MARK";
        ASSERT_NE(a.Acquire(source), nullptr) << a.message;
        EXPECT_EQ(a.acquisition.LogPath(), first);
        EXPECT_EQ(rig::ReadText(first).find("STALE MARK"), std::string::npos);

        // A prefix makes a new name there and deletes the earlier log; an
        // empty prefix then keeps that one.
        ASSERT_NE(a.Acquire(source, dir.File("x.log")), nullptr) << a.message;
        const std::string second = a.acquisition.LogPath();
        EXPECT_NE(second, first);
        EXPECT_FALSE(fs::exists(first));
        EXPECT_TRUE(fs::exists(second));
        ASSERT_NE(a.Acquire(source), nullptr) << a.message;
        EXPECT_EQ(a.acquisition.LogPath(), second);

        // A failed acquisition leaves the log alone; deleting it twice is harmless.
        EXPECT_EQ(a.Acquire(dir.File("missing.ch10")), nullptr);
        EXPECT_TRUE(fs::exists(second));
        a.acquisition.DeleteLog();
        a.acquisition.DeleteLog();
        EXPECT_FALSE(fs::exists(second));
        ASSERT_NE(a.Acquire(source), nullptr) << a.message;
        first = a.acquisition.LogPath();
        EXPECT_EQ(first, second);
        EXPECT_TRUE(fs::exists(first));
    }
    EXPECT_FALSE(fs::exists(first));  // the acquisition's end deletes its log
}

}  // namespace
