// The script hook's runner: reads the script, takes one step per tick and
// ends the program when a step fails or waits too long.
#include "ui_script.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/ui/wx.h"
#include "wx_state.h"

namespace ui {
namespace {

constexpr auto kWaitLimit = std::chrono::seconds(30);

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

}  // namespace

ScriptRunner::ScriptRunner(WxBackendImpl& impl, std::vector<std::string> lines)
    : impl_(impl), lines_(std::move(lines)) {
    command_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        if (Frame* f = impl_.MainFrame()) f->DispatchCommand(pendingCommand_);
    });
}

void ScriptRunner::Notify() {
    if (next_ >= lines_.size()) return Stop();
    std::vector<std::string> words = Words(lines_[next_]);
    if (words.empty() || words[0][0] == '#') {
        ++next_;
        return;
    }
    if (!stepStart_) stepStart_ = std::chrono::steady_clock::now();
    bool done = false;
    std::string why;
    if (!RunStep(*this, words, done, why)) Fail(lines_[next_], why);
    if (!done && std::chrono::steady_clock::now() - *stepStart_ > kWaitLimit) Fail(lines_[next_], "timed out");
    if (done) {
        ++next_;
        stepStart_.reset();
    }
}

void ScriptRunner::Fail(const std::string& line, const std::string& why) {
    std::printf("ui-script: failed: %s (%s)\n", line.c_str(), why.c_str());
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(3);
}

void ScriptRunner::Say(const std::string& text) {
    std::printf("ui-script: %s\n", text.c_str());
    std::fflush(stdout);
}

bool ScriptRunner::Settled(bool ready) {
    settledTicks_ = ready ? settledTicks_ + 1 : 0;
    if (settledTicks_ < 4) return false;
    settledTicks_ = 0;
    return true;
}

Window* ScriptRunner::Target() {
    if (Dialog* d = impl_.TopModal()) return d;
    Frame* frame = impl_.MainFrame();
    return frame != nullptr ? static_cast<Window*>(frame->View()) : nullptr;
}

void ScriptRunner::DispatchLater(int commandId) {
    pendingCommand_ = commandId;
    command_.StartOnce(1);
}

std::chrono::steady_clock::duration ScriptRunner::StepAge() const {
    return stepStart_ ? std::chrono::steady_clock::now() - *stepStart_ : std::chrono::steady_clock::duration{};
}

bool StartUiScriptFromEnvironment(WxBackend& backend) {
    WxState().script.reset();
    const char* path = std::getenv("ORVANE_UI_SCRIPT");
    if (path == nullptr || *path == '\0') return true;
    std::ifstream in(path);
    if (!in) {
        std::printf("ui-script: failed: cannot read %s\n", path);
        return false;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    WxState().script = std::make_unique<ScriptRunner>(backend.Impl(), std::move(lines));
    WxState().script->Start(50);
    return true;
}

void StopUiScript() { WxState().script.reset(); }

}  // namespace ui
