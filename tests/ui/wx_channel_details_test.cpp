// Channel Details under the wx back end in this process: the real wxGrid
// holds the captions and the cells the hand-written call log leaves.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "platform/ui/app.h"
#include "platform/ui/post_queue.h"
#include "platform/ui/wx.h"
#include "platform/ui/wx/src/wx_impl.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/channel_details_golden.h"
#include "tests/ui/wx_settled_rig.h"
#include "vexa/engine/queue_host.h"
#include "vexa/engine/validation_engine.h"
#include "vexa/res/resource_ids.h"
#include "vexa/ui/channel_details_dlg.h"

#include <wx/grid.h>
#include <wx/timer.h>

namespace {
using namespace uitest::details;

class ResourcesApp : public ui::App {
public:
    ResourcesApp() : ui::App(vexa::res::Resources(), {}) {}
    ui::InitResult InitInstance() override { return ui::InitResult::Ok; }
};

// The dialog, checked once it has been drawn, then ended through Escape.
class CheckedDetails : public vexa::CChannelDetailsDlg {
public:
    CheckedDetails(vexa::ValidationEngine& engine, const std::string& path, std::function<void(ui::WxWindow&)> check)
        : vexa::CChannelDetailsDlg(engine, path), settled_(*this, std::move(check)) {}
    bool OnInitDialog() override {
        vexa::CChannelDetailsDlg::OnInitDialog();
        std::thread([this] { ui::PostToUi(this, [this] { settled_.Start(); }); }).join();
        return true;
    }
    bool Ran() const { return settled_.ran; }

private:
    uitest::SettledCheck settled_;
};

TEST(UiWxChannelDetails, TheGridHoldsTheCellsOfTheHandWrittenLog) {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') GTEST_SKIP() << "no X display";
    static int argc = 1;
    static char name[] = "wx_channel_details_tests";
    static char* argv[] = {name, nullptr};
    std::unique_ptr<ui::WxToolkit> toolkit = ui::WxToolkit::Start(argc, argv);
    ASSERT_NE(toolkit, nullptr);
    {
        ui::WxBackend backend;
        ResourcesApp app;
        ch10fix::TempDir dir;
        const std::string path = dir.File("golden.ch10");
        WriteRecording(path, ch10fix::BuildSetupPacket(GoldenTmats()));
        const ReplayedSheet expected = Replay(GoldenCalls());
        ASSERT_GT(expected.rows, 0);
        vexa::QueueHost host;
        vexa::ValidationEngine engine(host);
        int checkedCells = 0;
        CheckedDetails dialog(engine, path, [&](ui::WxWindow& w) {
            auto it = w.controls.find(vexa::res::kIdcChannelSheet);
            ASSERT_NE(it, w.controls.end());
            auto* grid = dynamic_cast<wxGrid*>(it->second);
            ASSERT_NE(grid, nullptr);
            EXPECT_FALSE(grid->IsEditable());
            ASSERT_EQ(grid->GetNumberCols(), static_cast<int>(kCaptions.size()));
            for (int c = 0; c < grid->GetNumberCols(); ++c)
                EXPECT_EQ(ui::Utf8(grid->GetColLabelValue(c)), kCaptions[static_cast<std::size_t>(c)]);
            ASSERT_EQ(grid->GetNumberRows(), expected.rows);
            for (int r = 0; r < grid->GetNumberRows(); ++r)
                for (int c = 0; c < grid->GetNumberCols(); ++c) {
                    auto cell = expected.cells.find({r + 1, c + 1});
                    EXPECT_EQ(ui::Utf8(grid->GetCellValue(r, c)), cell == expected.cells.end() ? "" : cell->second)
                        << "row " << r + 1 << ", column " << c + 1;
                    ++checkedCells;
                }
            uitest::TakePicture(WINDOW_SHOT, "Channel Details", std::string(UI_SMOKE_DIR) + "/channel-details.png");
        });
        dialog.DoModal();
        EXPECT_TRUE(dialog.Ran());
        EXPECT_EQ(checkedCells, expected.rows * 11);
    }
}

}  // namespace
