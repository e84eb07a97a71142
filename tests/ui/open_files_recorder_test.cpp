// "Open &RMM": recorder drives listed through the drives interface, with a
// fake that fills the whole documented room and with libquillon.so over the
// ingest stand-in.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "quillon.h"
#include "tests/support/image_rig.h"
#include "tests/support/standin_rig.h"
#include "tests/ui/open_files_rig.h"
#include "vexa/ui/open_files_lists.h"

namespace {
using uitest::OpenRig;
using uitest::SetupRecord;
using vexa::COpenFilesDlg;

// Answers as the library does, writing every byte of the room the library
// documents, so a short buffer is an overrun the sanitizer sees.
class FakeDrives : public vexa::RecorderDrives {
public:
    std::string drives;
    std::string volumes;
    std::map<std::string, std::vector<std::pair<std::string, int64_t>>> files;
    std::vector<std::string> asked;
    int closes = 0;

    void CloseDrive() override { ++closes; }
    int DrivesVolumeNames(char* driveList, char* volumeList) override {
        Fill(driveList, QUILLON_DRIVE_LIST_ROOM, drives);
        Fill(volumeList, QUILLON_VOLUME_LIST_ROOM, volumes);
        return static_cast<int>(std::count(drives.begin(), drives.end(), ' '));
    }
    int FilesSizes(const char* drive, char* fileList, int64_t* sizes) override {
        asked.emplace_back(drive);
        std::string list;
        const auto& listed = files[drive];
        for (const auto& f : listed) list += f.first + ",";
        Fill(fileList, QUILLON_FILE_LIST_ROOM, list);
        for (int i = 0; i < QUILLON_MAX_FILES; ++i)
            sizes[i] = static_cast<std::size_t>(i) < listed.size() ? listed[static_cast<std::size_t>(i)].second : -1;
        return static_cast<int>(listed.size());
    }

private:
    static void Fill(char* out, std::size_t room, const std::string& text) {
        std::memset(out, 0, room);
        std::memcpy(out, text.data(), std::min(text.size(), room - 1));
    }
};

std::vector<std::string> Entries(const ui::Window& w, int id) {
    std::vector<std::string> out;
    for (int i = 0; i < w.ComboCount(id); ++i) out.push_back(w.ComboEntry(id, i));
    return out;
}

TEST(OpenFilesRecorder, DriveEntriesSkipDriveZeroAndReadTwoDigits) {
    struct Case {
        const char* drives;
        const char* volumes;
        std::vector<std::string> entries;
    } cases[] = {
        {"0 1 3 12 ", "SYS VOL1 VOL3 V12 ", {"1:  VOL1", "3:  VOL3", "12:  V12"}},
        {"0 ", "SYS ", {}},
        {"", "", {}},
        {"4 ", "", {"4:  "}},
        {"99 ", "LAST ", {"99:  LAST"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.drives);
        std::vector<std::string> texts;
        for (const auto& e : vexa::RecorderDriveEntries(c.drives, c.volumes)) texts.push_back(e.text);
        EXPECT_EQ(texts, c.entries);
    }
    EXPECT_EQ(vexa::RecorderFileNames("a.ch10,B.CH10,", 227), (std::vector<std::string>{"a.ch10", "B.CH10"}));
    EXPECT_EQ(vexa::RecorderFileNames("a,b,c,", 2), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(vexa::RecorderFileNames("a,cut", 227), std::vector<std::string>{"a"});
}

TEST(OpenFilesRecorder, DrivesFilesAndSizes) {
    OpenRig rig;
    FakeDrives fake;
    fake.drives = "0 1 3 12 ";
    fake.volumes = "SYS VOL1 VOL3 V12 ";
    fake.files["1"] = {{"one.ch10", 100}};
    for (int i = 0; i < QUILLON_MAX_FILES; ++i)
        fake.files["12"].push_back({"F" + std::to_string(1000 + i) + ".ch10", 4096 + i});
    vexa::UiState().recorderDrives = &fake;
    rig.SetUser("InputType", "1");
    ASSERT_TRUE(rig.Start());
    rig.Run([&](COpenFilesDlg& d, ui::Driver& driver) {
        ASSERT_TRUE(d.IsEnabled(1094));
        ASSERT_TRUE(driver.Click(d, 1094));
        vexa::CRunConfig& config = rig.E().runConfig;
        EXPECT_EQ(fake.closes, 1);
        EXPECT_EQ(Entries(d, 1022), (std::vector<std::string>{"1:  VOL1", "3:  VOL3", "12:  V12"}));
        EXPECT_EQ(*d.GetText(1022), "1:  VOL1");
        EXPECT_EQ(Entries(d, 1016), std::vector<std::string>{"one.ch10"});
        EXPECT_EQ(config.sourceIsRecorder, 1);
        EXPECT_EQ(config.recorderDrive, 0);
        EXPECT_TRUE(d.GetCheck(1083));
        EXPECT_FALSE(d.GetCheck(1095));
        EXPECT_TRUE(d.IsEnabled(1095));

        // A file further down, then another drive: the index starts again.
        ASSERT_TRUE(driver.SelectCombo(d, 1022, 2));
        EXPECT_EQ(fake.asked.back(), "12");
        EXPECT_EQ(config.recorderDrive, 11);
        ASSERT_EQ(config.sourceFiles.size(), static_cast<std::size_t>(QUILLON_MAX_FILES));
        ASSERT_EQ(config.recorderFileSizes.size(), config.sourceFiles.size());
        for (std::size_t i = 0; i < config.sourceFiles.size(); ++i)
            EXPECT_EQ(config.recorderFileSizes[i], fake.files["12"][i].second) << config.sourceFiles[i];
        d.Enable(1016, true);
        ASSERT_TRUE(driver.SelectCombo(d, 1016, 226));
        EXPECT_EQ(config.currentFileIndex, 226);
        ASSERT_TRUE(driver.SelectCombo(d, 1022, 0));
        EXPECT_EQ(config.currentFileIndex, 0);
        EXPECT_EQ(config.recorderDrive, 0);
        EXPECT_EQ(config.sourceFiles, std::vector<std::string>{"one.ch10"});
        EXPECT_EQ(config.recorderFileSizes, std::vector<int64_t>{100});

        // Back to the disk: the drive's files go.
        ASSERT_TRUE(driver.Click(d, 1095));
        EXPECT_EQ(config.sourceIsRecorder, 0);
        EXPECT_EQ(d.ComboCount(1016), 0);
        EXPECT_FALSE(d.GetCheck(1094));
    });
}

// Only drive 0 after a scan of a disk directory: nothing is listed, and OK
// opens no local file, neither the scan's nor one named like a drive file.
TEST(OpenFilesRecorder, NoDrivesAfterADirectoryScan) {
    OpenRig rig;
    FakeDrives fake;
    fake.drives = "0 ";
    fake.volumes = "SYS ";
    vexa::UiState().recorderDrives = &fake;
    const std::string source = rig.dir.File("src");
    std::filesystem::create_directories(source);
    rig.Write("src/local.ch10", SetupRecord({{3, "PCMIN"}}));
    rig.SetUser("InputType", "0");
    rig.SetUser("SourceDir1", source);
    rig.SetUser("OutputDir1", rig.dir.Path());
    ASSERT_TRUE(rig.Start());
    rig.E().runConfig.RescanSourceDir(source + "/*");
    ASSERT_EQ(rig.E().runConfig.sourceFiles.size(), 1u);
    std::size_t before = 0;
    rig.Run([&](COpenFilesDlg& d, ui::Driver& driver) {
        ASSERT_TRUE(driver.Click(d, 1094));
        EXPECT_EQ(d.ComboCount(1022), 0);
        EXPECT_EQ(d.ComboCount(1016), 0);
        EXPECT_TRUE(rig.E().runConfig.sourceFiles.empty());
        EXPECT_EQ(rig.E().runConfig.recorderDrive, -1);
        before = rig.ui.backend.Boxes().size();
        ASSERT_TRUE(driver.Click(d, ui::kIdOk));
        driver.Pump();
        EXPECT_FALSE(d.Ended());
    });
    EXPECT_EQ(rig.BoxTexts(before), std::vector<std::string>{"Can't find source file(s)."});
    EXPECT_EQ(rig.E().runConfig.inputHandle.load(), -1);
    EXPECT_FALSE(std::filesystem::exists(rig.dir.File("validate.log")));
}

// A source directory "1:x" stored by an earlier recorder run enters the
// recorder mode as the dialog opens.
TEST(OpenFilesRecorder, StoredDriveEntryEntersRecorderMode) {
    OpenRig rig;
    FakeDrives fake;
    fake.drives = "0 2 ";
    fake.volumes = "SYS TWO ";
    fake.files["2"] = {{"t.ch10", 10}};
    vexa::UiState().recorderDrives = &fake;
    rig.SetUser("SourceDir1", "1:x");
    ASSERT_TRUE(rig.Start());
    rig.Run([&](COpenFilesDlg& d, ui::Driver&) {
        EXPECT_TRUE(d.GetCheck(1094));
        EXPECT_EQ(rig.E().runConfig.sourceIsRecorder, 1);
        EXPECT_EQ(Entries(d, 1022), std::vector<std::string>{"2:  TWO"});
        EXPECT_EQ(rig.E().runConfig.recorderDrive, 1);
    });
}

// The real library over the stand-in: drives 1 and 3 hold directories;
// drive 3's recording opens as type 103 and validates.
class OpenFilesRecorderStandin : public qtest::StandinFixture {
protected:
    static stanag_image::ImageSpec Drive(const std::string& volume, const std::vector<std::string>& names,
                                         const ch10fix::Bytes& recording) {
        stanag_image::ImageSpec spec;
        spec.h = 1;
        spec.volume = volume;
        stanag_image::DirBlock block;
        for (const auto& name : names) {
            stanag_image::Entry e;
            e.name = name;
            e.content = stanag_image::Content::Bytes(recording);
            block.entries.push_back(e);
        }
        spec.chain = {block};
        return spec;
    }
    void SetUp() override {
        StandinFixture::SetUp();
        recording = SetupRecord({{3, "PCMIN"}, {7, "1553IN"}});
        for (uint8_t seq : {0, 1, 2}) {
            ch10fix::PacketSpec p;
            p.channelId = 3;
            p.dataType = 0x09;
            p.sequence = seq;
            p.body.assign(200, seq);
            ch10fix::Append(recording, ch10fix::BuildPacket(p));
        }
        AddImage(qtest::DriveName(0), qtest::NoDirectory());
        AddDrive(1, Drive("FIRST", {"a.ch10"}, recording));
        AddImage(qtest::DriveName(2), qtest::NoDirectory());
        AddDrive(3, Drive("THIRD", {"T1.ch10", "T2.ch10"}, recording));
    }
    ch10fix::Bytes recording;
};

TEST_F(OpenFilesRecorderStandin, DriveThreeRunsAsType103) {
    struct Case {
        const char* what;
        const char* inputType;
        std::vector<std::string> logs;  // in the dialog's output directory
    } cases[] = {
        {"one file", "1", {"validate.log"}},
        {"the drive as a directory", "0", {"T1.log", "T2.log"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpenRig rig;
        const std::string out = rig.dir.File("out");
        std::filesystem::create_directories(out);
        rig.SetUser("InputType", c.inputType);
        rig.SetUser("OutputDir1", out);
        ASSERT_TRUE(rig.Start());
        const std::string hiveBefore = ch10fix::ReadText(rig.reg.UserFile());
        rig.ui.backend.AnswerModal(vexa::res::kIddOpenFiles, [&](ui::Dialog& d, ui::Driver& driver) {
            ASSERT_TRUE(driver.Click(d, 1094));
            ASSERT_EQ(Entries(d, 1022), (std::vector<std::string>{"1:  FIRST", "3:  THIRD"}));
            ASSERT_TRUE(driver.SelectCombo(d, 1022, 1));
            EXPECT_EQ(Entries(d, 1016), (std::vector<std::string>{"T1.ch10", "T2.ch10"}));
            EXPECT_EQ(rig.E().runConfig.SourceInputType(), 103);
            ASSERT_TRUE(driver.Click(d, ui::kIdOk));
            driver.Pump();
            EXPECT_TRUE(d.Ended()) << (rig.BoxTexts().empty() ? "" : rig.BoxTexts().back());
            if (!d.Ended()) driver.Click(d, ui::kIdCancel);
        });
        ASSERT_TRUE(rig.ui.driver.Command(vexa::res::kCmdOpenFiles));
        ASSERT_TRUE(rig.E().streamState.filesOpen);
        ASSERT_TRUE(rig.ui.driver.Command(vexa::res::kCmdValidate));
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!rig.View().LastRunEnd() && std::chrono::steady_clock::now() < until)
            rig.ui.driver.PumpWait(std::chrono::milliseconds(20));
        ASSERT_TRUE(rig.View().LastRunEnd());
        EXPECT_TRUE(rig.View().LastRunEnd()->completed);
        EXPECT_EQ(rig.View().LastRunEnd()->filesValidated, static_cast<int>(c.logs.size()));
        for (const auto& log : c.logs) {
            const std::string text = ch10fix::ReadText(out + "/" + log);
            EXPECT_NE(text.find("Channel 3"), std::string::npos) << log << ":\n" << text;
        }
        // From the recorder only the tolerances are kept.
        std::string hiveAfter = ch10fix::ReadText(rig.reg.UserFile());
        EXPECT_EQ(rig.User("InputType"), c.inputType);
        EXPECT_EQ(rig.User("Input1"), "<none>");
        EXPECT_EQ(rig.User(vexa::kTimePacketToleranceValue), "5");
        EXPECT_NE(hiveAfter, hiveBefore);
        rig.E().CloseFiles();
    }
    ExpectNoViolations();
}

}  // namespace
