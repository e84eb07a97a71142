#pragma once
// For tests of a real dialog under the wx back end: a check run once the
// dialog has been drawn and has stayed drawn for a few ticks, then the end
// through the toolkit's Escape as a user's; and a picture of a window.
#include <gtest/gtest.h>

#include <wx/timer.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "platform/ui/dialog.h"
#include "platform/ui/wx.h"
#include "platform/ui/wx/src/wx_impl.h"
#include "tests/support/program_run.h"

namespace uitest {

class SettledCheck {
public:
    SettledCheck(ui::Dialog& d, std::function<void(ui::WxWindow&)> check) : dialog_(d), check_(std::move(check)) {
        ticks_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
    }
    // From the dialog's OnInitDialog.
    void Start() { ticks_.Start(50); }
    bool ran = false;

private:
    void Tick() {
        auto& impl = static_cast<ui::WxBackend*>(ui::CurrentBackend())->Impl();
        ui::WxWindow* w = impl.Find(&dialog_);
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
    ui::Dialog& dialog_;
    std::function<void(ui::WxWindow&)> check_;
    wxTimer ticks_;
    int settled_ = 0;
    int waited_ = 0;
};

// Lets the toolkit handle what the X server sends until `done` holds;
// false when `timeout` passes first.
template <typename Pred>
bool YieldUntil(Pred done, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        wxYield();
        wxMilliSleep(5);
    }
    return true;
}

// The top-level window titled `title` as the PNG `png`, for people to look
// at; `shotScript` dumps a window by its title.
inline void TakePicture(const std::string& shotScript, const std::string& title, const std::string& png) {
    std::filesystem::create_directories(std::filesystem::path(png).parent_path());
    const std::string xwd = png + ".xwd";
    std::string shotTitle = title;
    for (char& ch : shotTitle)
        if (ch == ' ') ch = '_';
    ch10fix::ProgramRun shot = ch10fix::RunProgram({"/bin/sh", shotScript, shotTitle, xwd});
    ASSERT_EQ(shot.ExitCode(), 0) << shot.err;
    ch10fix::ProgramRun conv =
        ch10fix::RunProgram({"/bin/sh", "-c", "xwdtopnm \"$0\" 2>/dev/null | pnmtopng > \"$1\"", xwd, png});
    ASSERT_EQ(conv.ExitCode(), 0) << conv.err;
    std::filesystem::remove(xwd);
    EXPECT_GT(std::filesystem::file_size(png), 2000u) << png;
    std::printf("picture: %s\n", png.c_str());
}

}  // namespace uitest
