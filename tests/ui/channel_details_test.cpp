// The Channel Details dialog: its sheet against a hand-written call log,
// the fill function over hand-built records, and the dialog's reading.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/ch10_fixture.h"
#include "tests/support/time_packet_builder.h"
#include "tests/support/tmats_builder.h"
#include "tests/ui/app_rig.h"
#include "tests/ui/channel_details_golden.h"
#include "vexa/res/resource_ids.h"
#include "vexa/ui/channel_details_dlg.h"
#include "vexa/ui/channel_sheet.h"

namespace {
using ch10fix::TmatsAttributes;
using uitest::AppRig;
using namespace uitest::details;
namespace res = vexa::res;

// What one showing of the dialog left: read inside the modal loop.
struct Shown {
    std::string programLabel, totalLabel;
    std::vector<std::string> calls;
    std::vector<std::string> columns;
    int gridRows = -1;
    std::map<std::pair<int, int>, std::string> cells;  // (row, column) from 1
    bool okVisible = false;
};

Shown ShowDetails(AppRig& rig, const std::string& path) {
    Shown shown;
    rig.ui.backend.AnswerModal(res::kIddChannelDetails, [&](ui::Dialog& d, ui::Driver& driver) {
        shown.programLabel = d.GetText(1053).value_or("?");
        shown.totalLabel = d.GetText(1055).value_or("?");
        const ui::Control* grid = d.Find(1058);
        if (grid != nullptr) {
            shown.calls = grid->sheetCalls;
            shown.columns = grid->columns;
            shown.gridRows = grid->gridRows;
            for (const auto& [at, text] : grid->cells) shown.cells[{at.first + 1, at.second + 1}] = text;
        }
        shown.okVisible = d.IsVisible(2);
        EXPECT_TRUE(driver.Click(d, 2));
    });
    vexa::CChannelDetailsDlg dialog(rig.Engine(), path);
    EXPECT_EQ(dialog.DoModal(), ui::kIdCancel);
    return shown;
}

TEST(ChannelDetailsGolden, SheetCallsAndCellsMatchTheHandWrittenLog) {
    AppRig rig;
    ASSERT_TRUE(rig.Start());
    const std::string path = rig.dir.File("golden.ch10");
    WriteRecording(path, ch10fix::BuildSetupPacket(GoldenTmats()));
    const std::vector<std::string> golden = GoldenCalls();
    ASSERT_FALSE(golden.empty());

    Shown shown = ShowDetails(rig, path);
    EXPECT_EQ(shown.programLabel, "Program Name: FIXTURE01");
    EXPECT_EQ(shown.totalLabel, "Total Number of Channels: 7");
    EXPECT_EQ(shown.calls, golden);
    EXPECT_EQ(shown.columns, kCaptions);
    ReplayedSheet expected = Replay(golden);
    EXPECT_EQ(shown.gridRows, expected.rows);
    EXPECT_EQ(shown.cells, expected.cells);
    EXPECT_TRUE(shown.okVisible);
    EXPECT_TRUE(rig.ui.backend.Boxes().empty());
    EXPECT_EQ(rig.ui.backend.WaitCursorDepth(), 0) << "the arrow comes back";
    ASSERT_NE(rig.Engine().TmatsInfo(), nullptr);
    EXPECT_STREQ(rig.Engine().TmatsInfo()->ProgramName, "FIXTURE01");
}

// --- the fill function over hand-built records ----------------------------

class RecordedSheet : public vexa::SheetCalls {
public:
    void SetMaxRows(int rows) override { calls.push_back("SetMaxRows " + std::to_string(rows)); }
    void SetRow(int row) override { calls.push_back("SetRow " + std::to_string(row)); }
    void SetCol(int column) override { calls.push_back("SetCol " + std::to_string(column)); }
    void SetText(const std::string& text) override { calls.push_back("SetText " + text); }
    std::vector<std::string> calls;
};

PCM_CHAN_INFO Pcm(uint16_t id, const char* link, int16_t dataMode) {
    PCM_CHAN_INFO p{};
    p.ChannelID = id;
    std::strncpy(p.DataLinkName, link, sizeof p.DataLinkName - 1);
    p.BitRate = 2500000;
    p.PolarityInverted = 0;
    p.D9Inverted = 1;
    p.WordLength = 12;
    p.LsbFirst = 0;
    p.NumFrames = 8;
    p.NumWords = 33;
    p.DataMode = dataMode;
    return p;
}

using Cells = std::vector<std::pair<int, std::string>>;  // (column, text) in call order

Cells PcmCells(uint16_t id, const char* typeName, const char* link, const char* mode) {
    return {{1, std::to_string(id)}, {2, typeName},   {3, link},       {4, "2500000"}, {5, "Normal"},
            {6, "Inverted"},         {7, "12"},       {8, "MSB First"}, {9, "8"},      {10, "33"},
            {11, mode}};
}

std::vector<std::string> Expected(int maxRows, const std::vector<Cells>& rows) {
    std::vector<std::string> calls = {"SetMaxRows " + std::to_string(maxRows)};
    int r = 0;
    for (const Cells& row : rows) {
        calls.push_back("SetRow " + std::to_string(++r));
        for (const auto& [column, text] : row) {
            calls.push_back("SetCol " + std::to_string(column));
            calls.push_back("SetText " + text);
        }
    }
    return calls;
}

TEST(ChannelDetails, FillFunctionOverHandBuiltRecords) {
    struct Case {
        const char* what;
        std::vector<CHAN_ENTRY> channels;
        std::vector<PCM_CHAN_INFO> pcm;
        bool nullChannels;
        int16_t countOverride;  // -2: the vector's size
        std::vector<std::string> expected;
    };
    const char* kPcmName = "PCM - Fmt 1";
    const Case cases[] = {
        {"clock polarity inverted, unpacked", {{9, 5, 1}}, {Pcm(5, "LINK", 1)}, false, -2,
         Expected(1, {PcmCells(5, kPcmName, "LINK", "Unpacked")})},
        {"packed", {{9, 5, 1}}, {Pcm(5, "LINK", 2)}, false, -2, Expected(1, {PcmCells(5, kPcmName, "LINK", "Packed")})},
        {"throughput", {{9, 5, 1}}, {Pcm(5, "LINK", 3)}, false, -2,
         Expected(1, {PcmCells(5, kPcmName, "LINK", "Throughput")})},
        {"data mode 0: an empty mode cell", {{9, 5, 1}}, {Pcm(5, "LINK", 0)}, false, -2,
         Expected(1, {PcmCells(5, kPcmName, "LINK", "")})},
        {"data mode 7: an empty mode cell", {{9, 5, 1}}, {Pcm(5, "LINK", 7)}, false, -2,
         Expected(1, {PcmCells(5, kPcmName, "LINK", "")})},
        {"two PCM records with one ID: the first", {{9, 5, 1}}, {Pcm(5, "FIRST", 1), Pcm(5, "SECOND", 2)}, false, -2,
         Expected(1, {PcmCells(5, kPcmName, "FIRST", "Unpacked")})},
        {"a 1553 entry sharing a PCM record's ID gets the PCM cells", {{25, 5, 1}, {9, 6, 1}}, {Pcm(5, "BUSLINK", 1)},
         false, -2, Expected(2, {PcmCells(5, "Bus 1553 - Fmt 1", "BUSLINK", "Unpacked"), {{1, "6"}, {2, kPcmName}}})},
        {"disabled entries get no row; IDs print unsigned", {{9, 5, 0}, {17, 65535, 1}, {17, 7, 0}}, {Pcm(5, "L", 1)},
         false, -2, Expected(1, {{{1, "65535"}, {2, "Time - Fmt 1"}}})},
        {"N = 0", {{9, 5, 0}}, {Pcm(5, "LINK", 1)}, false, -2, Expected(0, {})},
        {"a count of 0 over a table", {{9, 5, 1}}, {}, false, 0, Expected(0, {})},
        {"a negative count", {{9, 5, 1}}, {}, false, -1, Expected(0, {})},
        {"null Channels", {}, {}, true, 3, Expected(0, {})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<CHAN_ENTRY> channels = c.channels;
        std::vector<PCM_CHAN_INFO> pcm = c.pcm;
        CHAN_INFO info{};
        info.Channels = c.nullChannels ? nullptr : channels.data();
        info.ChannelCount = c.countOverride == -2 ? static_cast<int16_t>(channels.size()) : c.countOverride;
        info.PcmChannels = pcm.empty() ? nullptr : pcm.data();
        info.PcmCount = static_cast<int16_t>(pcm.size());
        RecordedSheet sheet;
        vexa::FillChannelSheet(&info, sheet);
        EXPECT_EQ(sheet.calls, c.expected);
    }
}

TEST(ChannelDetails, NoRecordGivesAnEmptySheet) {
    RecordedSheet sheet;
    vexa::FillChannelSheet(nullptr, sheet);
    EXPECT_EQ(sheet.calls, std::vector<std::string>{"SetMaxRows 0"});
}

TEST(ChannelDetails, LinkNameWithoutItsNulIsReadToTheFieldsEnd) {
    std::vector<CHAN_ENTRY> channels = {{9, 1, 1}};
    PCM_CHAN_INFO pcm = Pcm(1, "", 1);
    std::memset(pcm.DataLinkName, 'A', sizeof pcm.DataLinkName);
    CHAN_INFO info{};
    info.Channels = channels.data();
    info.ChannelCount = 1;
    info.PcmChannels = &pcm;
    info.PcmCount = 1;
    RecordedSheet sheet;
    vexa::FillChannelSheet(&info, sheet);
    ASSERT_GE(sheet.calls.size(), 8u);
    EXPECT_EQ(sheet.calls[7], "SetText " + std::string(sizeof pcm.DataLinkName, 'A'));
}

// --- the dialog's reading --------------------------------------------------

TEST(ChannelDetails, FailedReadsShowTheReasonAndLeaveTheSheetAlone) {
    struct Case {
        const char* what;
        // Prepares the rig; returns the source path and the expected text.
        std::function<std::pair<std::string, std::string>(AppRig&)> prepare;
    };
    const Case cases[] = {
        {"a missing file",
         [](AppRig& rig) {
             std::string path = rig.dir.File("absent.ch10");
             return std::make_pair(path, "Error reading TMATS Packet from '" + path + "'\n");
         }},
        {"a first packet that is a time packet",
         [](AppRig& rig) {
             std::string path = rig.dir.File("time-first.ch10");
             ch10fix::Bytes bytes = ch10fix::BuildTimePacket({});
             ch10fix::Append(bytes, ch10fix::BuildSetupPacket(GoldenTmats()));
             EXPECT_TRUE(ch10fix::WriteFile(path, bytes));
             return std::make_pair(path, "Error reading TMATS Packet from '" + path + "'\n");
         }},
        {"a missing external TMATS in a single-file run",
         [](AppRig& rig) {
             std::string path = rig.dir.File("good.ch10");
             WriteRecording(path, ch10fix::BuildSetupPacket(GoldenTmats()));
             std::string tmats = rig.dir.File("absent.tmt");
             rig.Engine().runConfig.inputType = 1;
             rig.Engine().runConfig.tmatsSource = tmats;
             return std::make_pair(path, "Error reading TMATS info from '" + tmats + "'\n");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AppRig rig;
        ASSERT_TRUE(rig.Start());
        // A good reading first, so that the failed one is seen to null it.
        const std::string good = rig.dir.File("first.ch10");
        WriteRecording(good, ch10fix::BuildSetupPacket(GoldenTmats()));
        ShowDetails(rig, good);
        ASSERT_NE(rig.Engine().TmatsInfo(), nullptr);
        const std::size_t boxesBefore = rig.ui.backend.Boxes().size();

        auto [path, text] = c.prepare(rig);
        Shown shown = ShowDetails(rig, path);
        ASSERT_EQ(rig.ui.backend.Boxes().size(), boxesBefore + 1);
        const ui::BoxRecord& box = rig.ui.backend.Boxes().back();
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, "Kelvane");
        EXPECT_EQ(shown.programLabel, "Program Name: ");
        EXPECT_EQ(shown.totalLabel, "Total Number of Channels: ");
        EXPECT_TRUE(shown.calls.empty()) << "not even SetMaxRows";
        EXPECT_TRUE(shown.cells.empty());
        EXPECT_EQ(shown.gridRows, 0);
        EXPECT_EQ(rig.Engine().TmatsInfo(), nullptr);
        EXPECT_EQ(rig.ui.backend.WaitCursorDepth(), 0);
    }
}

TEST(ChannelDetails, ASingleFileRunWithAnExternalTmatsShowsThatFilesChannels) {
    AppRig rig;
    ASSERT_TRUE(rig.Start());
    const std::string path = rig.dir.File("rec.ch10");
    WriteRecording(path, ch10fix::BuildSetupPacket(TmatsAttributes{{"G\\PN", "INSIDE"}, {"G\\106", "07"},
                                                                   {"R-1\\N", "1"}, {"R-1\\TK1-1", "1"},
                                                                   {"R-1\\CDT-1", "TIMEIN"}}));
    TmatsAttributes external{{"G\\PN", "OUTSIDE"}, {"G\\106", "07"}, {"R-1\\N", "2"}, {"R-1\\TK1-1", "3"},
                             {"R-1\\CDT-1", "TIMEIN"}, {"R-1\\TK1-2", "4"}, {"R-1\\CDT-2", "1553IN"}};
    const std::string tmats = rig.dir.File("outside.tmt");
    {
        std::ofstream out(tmats, std::ios::binary);
        out << external.Text();
    }
    rig.Engine().runConfig.inputType = 1;
    rig.Engine().runConfig.tmatsSource = tmats;
    Shown shown = ShowDetails(rig, path);
    EXPECT_EQ(shown.programLabel, "Program Name: OUTSIDE");
    EXPECT_EQ(shown.totalLabel, "Total Number of Channels: 2");
    EXPECT_EQ(shown.cells.at({1, 1}), "3");
    EXPECT_EQ(shown.cells.at({2, 2}), "Bus 1553 - Fmt 1");
}

TEST(ChannelDetails, EachOpeningReadsAgainIntoANewRecord) {
    AppRig rig;
    ASSERT_TRUE(rig.Start());
    const std::string path = rig.dir.File("again.ch10");
    WriteRecording(path, ch10fix::BuildSetupPacket(GoldenTmats()));
    ShowDetails(rig, path);
    const CHAN_INFO* first = rig.Engine().TmatsInfo();
    ASSERT_NE(first, nullptr);
    Shown second = ShowDetails(rig, path);
    EXPECT_NE(rig.Engine().TmatsInfo(), nullptr);
    EXPECT_NE(rig.Engine().TmatsInfo(), first);
    EXPECT_EQ(second.totalLabel, "Total Number of Channels: 7");
}

TEST(ChannelDetails, ASourcePathLongerThanThreeHundredCharactersReads) {
    AppRig rig;
    ASSERT_TRUE(rig.Start());
    std::string dir = rig.dir.Path();
    while (dir.size() < 320) dir += "/" + std::string(40, 'd');
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/long.ch10";
    ASSERT_GT(path.size(), 300u);
    WriteRecording(path, ch10fix::BuildSetupPacket(GoldenTmats()));
    vexa::CChannelDetailsDlg dialog(rig.Engine(), path);
    EXPECT_EQ(dialog.SourcePath(), path);
    Shown shown = ShowDetails(rig, path);
    EXPECT_TRUE(rig.ui.backend.Boxes().empty());
    EXPECT_EQ(shown.totalLabel, "Total Number of Channels: 7");
}

TEST(ChannelDetails, ACommentEmbeddedTmatsHasNoEnabledChannel) {
    AppRig rig;
    ASSERT_TRUE(rig.Start());
    TmatsAttributes t{{"G\\PN", "EMBEDDED"}, {"G\\106", "07"}, {"G\\DSI\\N=", "2"}, {"R-1\\N", "2"}};
    t.Add("H\\CID-1", "30").Add("G\\COM:\\ODT-1=", "PCMIN").Add("H\\CID-2", "40").Add("G\\COM:\\ODT-2=", "TIMIN");
    const std::string path = rig.dir.File("embedded.ch10");
    WriteRecording(path, ch10fix::BuildSetupPacket(t));
    Shown shown = ShowDetails(rig, path);
    EXPECT_TRUE(rig.ui.backend.Boxes().empty());
    EXPECT_EQ(shown.programLabel, "Program Name: EMBEDDED");
    EXPECT_EQ(shown.totalLabel, "Total Number of Channels: 0");
    EXPECT_EQ(shown.calls, std::vector<std::string>{"SetMaxRows 0"});
    ASSERT_NE(rig.Engine().TmatsInfo(), nullptr);
    EXPECT_EQ(rig.Engine().TmatsInfo()->ChannelCount, 2);
}

}  // namespace
