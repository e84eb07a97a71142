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

// The dialog, checked once it has been drawn and has stayed drawn for a few
// ticks, then ended through the toolkit's Escape as a user would.
class CheckedDetails : public vexa::CChannelDetailsDlg {
public:
    CheckedDetails(vexa::ValidationEngine& engine, const std::string& path, std::function<void(ui::WxWindow&)> check)
        : vexa::CChannelDetailsDlg(engine, path), check_(std::move(check)) {
        ticks_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
    }
    bool OnInitDialog() override {
        vexa::CChannelDetailsDlg::OnInitDialog();
        std::thread([this] { ui::PostToUi(this, [this] { ticks_.Start(50); }); }).join();
        return true;
    }
    bool ran = false;

private:
    void Tick() {
        auto& impl = static_cast<ui::WxBackend*>(ui::CurrentBackend())->Impl();
        ui::WxWindow* w = impl.Find(this);
        if (w == nullptr) return;
        settled_ = impl.Ready(*w) ? settled_ + 1 : 0;
        if (settled_ < 4 && ++waited_ < 200) return;
        ticks_.Stop();
        ran = settled_ >= 4;
        EXPECT_TRUE(ran) << "the dialog was never drawn";
        if (ran) check_(*w);
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = WXK_ESCAPE;
        key.SetEventObject(w->top);
        w->top->ProcessWindowEvent(key);
    }
    std::function<void(ui::WxWindow&)> check_;
    wxTimer ticks_;
    int settled_ = 0;
    int waited_ = 0;
};

// The dialog's window as a PNG under the build folder, for people to look at.
void TakePicture(const std::string& png) {
    const std::string xwd = png + ".xwd";
    ch10fix::ProgramRun shot = ch10fix::RunProgram({"/bin/sh", WINDOW_SHOT, "Channel_Details", xwd});
    ASSERT_EQ(shot.ExitCode(), 0) << shot.err;
    ch10fix::ProgramRun conv = ch10fix::RunProgram(
        {"/bin/sh", "-c", "xwdtopnm \"$0\" 2>/dev/null | pnmtopng > \"$1\"", xwd, png});
    ASSERT_EQ(conv.ExitCode(), 0) << conv.err;
    std::remove(xwd.c_str());
    EXPECT_GT(std::filesystem::file_size(png), 2000u) << png;
    std::printf("picture: %s\n", png.c_str());
}

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
            ASSERT_EQ(ch10fix::RunProgram({"/bin/mkdir", "-p", UI_SMOKE_DIR}).ExitCode(), 0);
            TakePicture(std::string(UI_SMOKE_DIR) + "/channel-details.png");
        });
        dialog.DoModal();
        EXPECT_TRUE(dialog.ran);
        EXPECT_EQ(checkedCells, expected.rows * 11);
    }
}

}  // namespace
