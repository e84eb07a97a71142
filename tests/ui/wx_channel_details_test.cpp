// Channel Details under the wx back end in this process: the real wxGrid
// holds the captions and the cells the hand-written call log leaves.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

#include "platform/ui/app.h"
#include "platform/ui/post_queue.h"
#include "platform/ui/wx.h"
#include "platform/ui/wx/src/wx_impl.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/channel_details_golden.h"
#include "vexa/engine/queue_host.h"
#include "vexa/engine/validation_engine.h"
#include "vexa/res/resource_ids.h"
#include "vexa/ui/channel_details_dlg.h"

#include <wx/grid.h>

namespace {
using namespace uitest::details;

class ResourcesApp : public ui::App {
public:
    ResourcesApp() : ui::App(vexa::res::Resources(), {}) {}
    ui::InitResult InitInstance() override { return ui::InitResult::Ok; }
};

// The dialog, checked from a post once its modal loop runs, then ended
// through the toolkit's Escape as a user would.
class CheckedDetails : public vexa::CChannelDetailsDlg {
public:
    CheckedDetails(vexa::ValidationEngine& engine, const std::string& path, std::function<void(ui::WxWindow&)> check)
        : vexa::CChannelDetailsDlg(engine, path), check_(std::move(check)) {}
    bool OnInitDialog() override {
        vexa::CChannelDetailsDlg::OnInitDialog();
        std::thread([this] { ui::PostToUi(this, [this] { Run(); }); }).join();
        return true;
    }
    bool ran = false;

private:
    void Run() {
        ran = true;
        auto& impl = static_cast<ui::WxBackend*>(ui::CurrentBackend())->Impl();
        ui::WxWindow* w = impl.Find(this);
        ASSERT_NE(w, nullptr);
        check_(*w);
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = WXK_ESCAPE;
        key.SetEventObject(w->top);
        w->top->ProcessWindowEvent(key);
    }
    std::function<void(ui::WxWindow&)> check_;
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
        });
        dialog.DoModal();
        EXPECT_TRUE(dialog.ran);
        EXPECT_EQ(checkedCells, expected.rows * 11);
    }
}

}  // namespace
