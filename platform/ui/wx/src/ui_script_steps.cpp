// The script's steps, one handler each, found by the step's name in one
// table that also gives the words each step takes.
#include <spawn.h>
#include <sys/wait.h>

#include <wx/grid.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "ui_script.h"

extern char** environ;

namespace ui {
namespace {

// A step's words and, for the steps that name a control, dialog or
// command, the id in its second word.
struct StepArgs {
    const std::vector<std::string>& words;
    int id = 0;
};

using StepHandler = bool (*)(ScriptRunner& runner, const StepArgs& args, bool& done, std::string& why);

bool ParseId(const std::string& word, int& id) {
    char* end = nullptr;
    long v = std::strtol(word.c_str(), &end, 10);
    if (end == word.c_str() || *end != '\0' || v < 0 || v > 0xFFFF) return false;
    id = static_cast<int>(v);
    return true;
}

// The words from `from` on, one blank between each.
std::string Rest(const std::vector<std::string>& words, std::size_t from) {
    std::string text = words[from];
    for (std::size_t i = from + 1; i < words.size(); ++i) text += " " + words[i];
    return text;
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

bool WaitFrame(ScriptRunner& r, const StepArgs&, bool& done, std::string&) {
    WxBackendImpl& impl = r.Impl();
    WxWindow* f = impl.MainFrame() != nullptr ? impl.Find(impl.MainFrame()) : nullptr;
    done = r.Settled(f != nullptr && impl.Ready(*f));
    if (done) r.Say("wait-frame");
    return true;
}

bool Title(ScriptRunner& r, const StepArgs&, bool& done, std::string& why) {
    if (r.Impl().MainWxFrame() == nullptr) return why = "no frame", false;
    r.Say("title " + Utf8(r.Impl().MainWxFrame()->GetTitle()));
    return done = true;
}

bool Command(ScriptRunner& r, const StepArgs& a, bool& done, std::string& why) {
    Frame* frame = r.Impl().MainFrame();
    if (frame == nullptr || !frame->UpdateCommand(a.id).enabled) return why = "command not available", false;
    r.Say("command " + a.words[1]);
    r.DispatchLater(a.id);
    return done = true;
}

bool WaitDialog(ScriptRunner& r, const StepArgs& a, bool& done, std::string&) {
    Dialog* d = r.Impl().TopModal();
    WxWindow* dw = r.Impl().TopModalWx();
    done = r.Settled(d != nullptr && d->TemplateId() == a.id && dw != nullptr && r.Impl().Ready(*dw));
    if (done) r.Say("wait-dialog " + a.words[1]);
    return true;
}

bool Press(ScriptRunner& r, const StepArgs& a, bool& done, std::string& why) {
    Dialog* d = r.Impl().TopModal();
    if (d == nullptr || d->Find(a.id) == nullptr || !d->Find(a.id)->Usable()) return why = "no such button", false;
    r.Say("press " + a.words[1]);
    d->ButtonClicked(a.id);
    r.Impl().EndModalIfEnded(*d);
    return done = true;
}

bool Click(ScriptRunner& r, const StepArgs& a, bool& done, std::string& why) {
    Window* target = r.Target();
    Control* c = target != nullptr ? target->Find(a.id) : nullptr;
    if (c == nullptr || !c->Usable()) return why = "no such control", false;
    r.Say("click " + a.words[1]);
    // As a user's click: a check box toggles, a radio button is set.
    if (c->kind == ControlKind::CheckBox) target->SetCheck(a.id, !c->checked);
    if (c->kind == ControlKind::Radio) target->SetCheck(a.id, true);
    target->ButtonClicked(a.id);
    if (Dialog* d = r.Impl().TopModal(); d == target) r.Impl().EndModalIfEnded(*d);
    return done = true;
}

bool Select(ScriptRunner& r, const StepArgs& a, bool& done, std::string& why) {
    const std::string text = Rest(a.words, 2);
    Window* target = r.Target();
    const int index = target != nullptr ? target->ComboFind(a.id, text) : -1;
    if (index < 0) return why = "no such entry", false;
    r.Say("select " + a.words[1] + " " + text);
    target->ComboSelect(a.id, index);
    target->RaiseNotify(Notify::SelChange, a.id);
    return done = true;
}

bool AnswerFile(ScriptRunner& r, const StepArgs& a, bool& done, std::string&) {
    const std::string path = Rest(a.words, 1);
    r.Impl().scriptedFile = path;
    r.Say("answer-file " + path);
    return done = true;
}

bool WaitStatus(ScriptRunner& r, const StepArgs& a, bool& done, std::string&) {
    const std::string text = Rest(a.words, 1);
    Frame* frame = r.Impl().MainFrame();
    const auto& panes = frame != nullptr ? frame->GetStatusBar().panes : std::vector<std::string>{};
    done = !panes.empty() && panes[0] == text;
    if (done) r.Say("wait-status " + text);
    return true;
}

bool Read(ScriptRunner& r, const StepArgs& a, bool& done, std::string& why) {
    Window* target = r.Target();
    auto text = target != nullptr ? target->GetText(a.id) : std::nullopt;
    if (!text) return why = "no such control", false;
    r.Say("read " + a.words[1] + " " + *text);
    return done = true;
}

// The top modal dialog's toolkit control of the layer's id, or none.
wxWindow* ModalControl(ScriptRunner& r, int id) {
    WxWindow* dw = r.Impl().TopModalWx();
    if (dw == nullptr) return nullptr;
    auto it = dw->controls.find(id);
    return it != dw->controls.end() ? it->second : nullptr;
}

bool Shown(ScriptRunner& r, const StepArgs& a, bool& done, std::string& why) {
    wxWindow* ctl = ModalControl(r, a.id);
    if (ctl == nullptr) return why = "no such control", false;
    r.Say("shown " + a.words[1] + (ctl->IsShown() ? " yes" : " no"));
    return done = true;
}

bool Grid(ScriptRunner& r, const StepArgs& a, bool& done, std::string& why) {
    wxWindow* ctl = ModalControl(r, a.id);
    if (ctl == nullptr) return why = "no such control", false;
    auto* grid = dynamic_cast<wxGrid*>(ctl);
    if (grid == nullptr) return why = "not a grid", false;
    const std::string& name = a.words[1];
    r.Say("grid " + name + " rows " + std::to_string(grid->GetNumberRows()));
    for (int c = 0; c < grid->GetNumberCols(); ++c)
        r.Say("grid " + name + " caption " + std::to_string(c + 1) + " " + Utf8(grid->GetColLabelValue(c)));
    // Cells counted from 1, as the sheet counts them.
    for (int row = 0; row < grid->GetNumberRows(); ++row)
        for (int c = 0; c < grid->GetNumberCols(); ++c)
            r.Say("grid " + name + " cell " + std::to_string(row + 1) + " " + std::to_string(c + 1) + " " +
                  Utf8(grid->GetCellValue(row, c)));
    return done = true;
}

bool Sleep(ScriptRunner& r, const StepArgs& a, bool& done, std::string&) {
    long ms = std::strtol(a.words[1].c_str(), nullptr, 10);
    done = r.StepAge() >= std::chrono::milliseconds(ms);
    if (done) r.Say("sleep " + a.words[1]);
    return true;
}

bool Run(ScriptRunner& r, const StepArgs& a, bool& done, std::string& why) {
    r.Say("run " + Rest(a.words, 1));
    int status = RunChild(std::vector<std::string>(a.words.begin() + 1, a.words.end()));
    if (status != 0) return why = "status " + std::to_string(status), false;
    return done = true;
}

constexpr std::size_t kAny = std::numeric_limits<std::size_t>::max();

// Each step: its name, the number of words it takes (the name included),
// whether its second word is an id, and its handler.
struct StepKind {
    std::string_view name;
    std::size_t leastWords;
    std::size_t mostWords;
    bool idSecond;
    StepHandler handler;
};

constexpr std::array<StepKind, 14> kSteps{{
    {"wait-frame", 1, kAny, false, WaitFrame},
    {"title", 1, kAny, false, Title},
    {"command", 2, 2, true, Command},
    {"wait-dialog", 2, 2, true, WaitDialog},
    {"press", 2, 2, true, Press},
    {"click", 2, 2, true, Click},
    {"select", 3, kAny, true, Select},
    {"answer-file", 2, kAny, false, AnswerFile},
    {"wait-status", 2, kAny, false, WaitStatus},
    {"read", 2, 2, true, Read},
    {"grid", 2, 2, true, Grid},
    {"shown", 2, 2, true, Shown},
    {"sleep", 2, 2, false, Sleep},
    {"run", 2, kAny, false, Run},
}};

}  // namespace

bool RunStep(ScriptRunner& runner, const std::vector<std::string>& words, bool& done, std::string& why) {
    for (const StepKind& kind : kSteps) {
        if (kind.name != words[0] || words.size() < kind.leastWords || words.size() > kind.mostWords) continue;
        StepArgs args{words};
        if (kind.idSecond && !ParseId(words[1], args.id)) continue;
        return kind.handler(runner, args, done, why);
    }
    return why = "unknown step", false;
}

}  // namespace ui
