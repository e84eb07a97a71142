// The script hook: ORVANE_UI_SCRIPT names a file of steps that run on a timer
// inside the loop, modal loops too, so that a headless X server can be
// driven and photographed. A failed or timed-out step ends the program with
// status 3.
#include <spawn.h>
#include <sys/wait.h>

#include <wx/grid.h>
#include <wx/timer.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ui/wx.h"
#include "wx_impl.h"

extern char** environ;

namespace ui {
namespace {

constexpr auto kWaitLimit = std::chrono::seconds(30);

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

bool ParseId(const std::vector<std::string>& words, int& id) {
    if (words.size() != 2) return false;
    char* end = nullptr;
    long v = std::strtol(words[1].c_str(), &end, 10);
    if (end == words[1].c_str() || *end != '\0' || v < 0 || v > 0xFFFF) return false;
    id = static_cast<int>(v);
    return true;
}

// The program's status, -1 when it could not be started or did not exit.
int RunChild(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::fflush(stdout);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

class ScriptRunner : public wxTimer {
public:
    ScriptRunner(WxBackendImpl& impl, std::vector<std::string> lines) : impl_(impl), lines_(std::move(lines)) {
        command_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            if (Frame* f = impl_.MainFrame()) f->DispatchCommand(pendingCommand_);
        });
    }

    void Notify() override {
        if (next_ >= lines_.size()) return Stop();
        std::vector<std::string> words = Words(lines_[next_]);
        if (words.empty() || words[0][0] == '#') {
            ++next_;
            return;
        }
        if (!stepStart_) stepStart_ = std::chrono::steady_clock::now();
        bool done = false;
        std::string why;
        if (!Step(words, done, why)) Fail(lines_[next_], why);
        if (!done && std::chrono::steady_clock::now() - *stepStart_ > kWaitLimit) Fail(lines_[next_], "timed out");
        if (done) {
            ++next_;
            stepStart_.reset();
        }
    }

private:
    bool Step(const std::vector<std::string>& w, bool& done, std::string& why);

    [[noreturn]] void Fail(const std::string& line, const std::string& why) {
        std::printf("ui-script: failed: %s (%s)\n", line.c_str(), why.c_str());
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(3);
    }

    void Say(const std::string& text) {
        std::printf("ui-script: %s\n", text.c_str());
        std::fflush(stdout);
    }

    // A window counts as shown once it has stayed ready over a few ticks:
    // GTK draws on its frame clock after the first paint event.
    bool Settled(bool ready, WxWindow*) {
        settledTicks_ = ready ? settledTicks_ + 1 : 0;
        if (settledTicks_ < 4) return false;
        settledTicks_ = 0;
        return true;
    }

    // The innermost modal dialog, else the main frame's view.
    Window* Target() {
        if (Dialog* d = impl_.TopModal()) return d;
        Frame* frame = impl_.MainFrame();
        return frame != nullptr ? static_cast<Window*>(frame->View()) : nullptr;
    }

    WxBackendImpl& impl_;
    wxTimer command_;
    int pendingCommand_ = 0;
    int settledTicks_ = 0;
    std::vector<std::string> lines_;
    size_t next_ = 0;
    std::optional<std::chrono::steady_clock::time_point> stepStart_;
};

bool ScriptRunner::Step(const std::vector<std::string>& w, bool& done, std::string& why) {
    const std::string& op = w[0];
    int id = 0;
    if (op == "wait-frame") {
        WxWindow* f = impl_.MainFrame() != nullptr ? impl_.Find(impl_.MainFrame()) : nullptr;
        done = Settled(f != nullptr && impl_.Ready(*f), f);
        if (done) Say("wait-frame");
        return true;
    }
    if (op == "title") {
        if (impl_.MainWxFrame() == nullptr) return why = "no frame", false;
        Say("title " + Utf8(impl_.MainWxFrame()->GetTitle()));
        return done = true;
    }
    if (op == "command" && ParseId(w, id)) {
        Frame* frame = impl_.MainFrame();
        if (frame == nullptr || !frame->UpdateCommand(id).enabled) return why = "command not available", false;
        Say("command " + w[1]);
        // From a timer of its own: a modal loop the command opens must
        // leave this one free to fire.
        pendingCommand_ = id;
        command_.StartOnce(1);
        return done = true;
    }
    if (op == "wait-dialog" && ParseId(w, id)) {
        Dialog* d = impl_.TopModal();
        WxWindow* dw = impl_.TopModalWx();
        done = Settled(d != nullptr && d->TemplateId() == id && dw != nullptr && impl_.Ready(*dw), dw);
        if (done) Say("wait-dialog " + w[1]);
        return true;
    }
    if (op == "press" && ParseId(w, id)) {
        Dialog* d = impl_.TopModal();
        if (d == nullptr || d->Find(id) == nullptr || !d->Find(id)->Usable()) return why = "no such button", false;
        Say("press " + w[1]);
        d->ButtonClicked(id);
        impl_.EndModalIfEnded(*d);
        return done = true;
    }
    if (op == "click" && ParseId(w, id)) {
        Window* target = Target();
        Control* c = target != nullptr ? target->Find(id) : nullptr;
        if (c == nullptr || !c->Usable()) return why = "no such control", false;
        Say("click " + w[1]);
        // As a user's click: a check box toggles, a radio button is set.
        if (c->kind == ControlKind::CheckBox) target->SetCheck(id, !c->checked);
        if (c->kind == ControlKind::Radio) target->SetCheck(id, true);
        target->ButtonClicked(id);
        if (Dialog* d = impl_.TopModal(); d == target) impl_.EndModalIfEnded(*d);
        return done = true;
    }
    if (op == "select" && w.size() >= 3 && ParseId({w[0], w[1]}, id)) {
        std::string text = w[2];
        for (size_t i = 3; i < w.size(); ++i) text += " " + w[i];
        Window* target = Target();
        const int index = target != nullptr ? target->ComboFind(id, text) : -1;
        if (index < 0) return why = "no such entry", false;
        Say("select " + w[1] + " " + text);
        target->ComboSelect(id, index);
        target->RaiseNotify(Notify::SelChange, id);
        return done = true;
    }
    if (op == "answer-file" && w.size() >= 2) {
        std::string path = w[1];
        for (size_t i = 2; i < w.size(); ++i) path += " " + w[i];
        impl_.scriptedFile = path;
        Say("answer-file " + path);
        return done = true;
    }
    if (op == "wait-status" && w.size() >= 2) {
        std::string text = w[1];
        for (size_t i = 2; i < w.size(); ++i) text += " " + w[i];
        Frame* frame = impl_.MainFrame();
        const auto& panes = frame != nullptr ? frame->GetStatusBar().panes : std::vector<std::string>{};
        done = !panes.empty() && panes[0] == text;
        if (done) Say("wait-status " + text);
        return true;
    }
    if (op == "read" && ParseId(w, id)) {
        Window* target = Target();
        auto text = target != nullptr ? target->GetText(id) : std::nullopt;
        if (!text) return why = "no such control", false;
        Say("read " + w[1] + " " + *text);
        return done = true;
    }
    if ((op == "grid" || op == "shown") && ParseId(w, id)) {
        WxWindow* dw = impl_.TopModalWx();
        wxWindow* ctl = nullptr;
        if (dw != nullptr)
            if (auto it = dw->controls.find(id); it != dw->controls.end()) ctl = it->second;
        if (ctl == nullptr) return why = "no such control", false;
        if (op == "shown") {
            Say("shown " + w[1] + (ctl->IsShown() ? " yes" : " no"));
            return done = true;
        }
        auto* grid = dynamic_cast<wxGrid*>(ctl);
        if (grid == nullptr) return why = "not a grid", false;
        Say("grid " + w[1] + " rows " + std::to_string(grid->GetNumberRows()));
        for (int c = 0; c < grid->GetNumberCols(); ++c)
            Say("grid " + w[1] + " caption " + std::to_string(c + 1) + " " + Utf8(grid->GetColLabelValue(c)));
        // Cells counted from 1, as the sheet counts them.
        for (int r = 0; r < grid->GetNumberRows(); ++r)
            for (int c = 0; c < grid->GetNumberCols(); ++c)
                Say("grid " + w[1] + " cell " + std::to_string(r + 1) + " " + std::to_string(c + 1) + " " +
                    Utf8(grid->GetCellValue(r, c)));
        return done = true;
    }
    if (op == "sleep" && w.size() == 2) {
        long ms = std::strtol(w[1].c_str(), nullptr, 10);
        done = std::chrono::steady_clock::now() - *stepStart_ >= std::chrono::milliseconds(ms);
        if (done) Say("sleep " + w[1]);
        return true;
    }
    if (op == "run" && w.size() >= 2) {
        std::string line = "run";
        for (size_t i = 1; i < w.size(); ++i) line += " " + w[i];
        Say(line);
        int status = RunChild(std::vector<std::string>(w.begin() + 1, w.end()));
        if (status != 0) return why = "status " + std::to_string(status), false;
        return done = true;
    }
    return why = "unknown step", false;
}

struct ScriptState {
    std::unique_ptr<ScriptRunner> runner;
};

ScriptState& Script() {
    static ScriptState state;
    return state;
}

}  // namespace

bool StartUiScriptFromEnvironment(WxBackend& backend) {
    Script().runner.reset();
    const char* path = std::getenv("ORVANE_UI_SCRIPT");
    if (path == nullptr || *path == '\0') return true;
    std::ifstream in(path);
    if (!in) {
        std::printf("ui-script: failed: cannot read %s\n", path);
        return false;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    Script().runner = std::make_unique<ScriptRunner>(backend.Impl(), std::move(lines));
    Script().runner->Start(50);
    return true;
}

void StopUiScript() { Script().runner.reset(); }

}  // namespace ui
