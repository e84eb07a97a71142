#pragma once
// The script hook's runner: ORVANE_UI_SCRIPT names a file of steps that run
// on a timer inside the loop, modal loops too, so that a headless X server
// can be driven and photographed. A failed or timed-out step ends the
// program with status 3.
#include <wx/timer.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "wx_impl.h"

namespace ui {

class ScriptRunner : public wxTimer {
public:
    ScriptRunner(WxBackendImpl& impl, std::vector<std::string> lines);
    void Notify() override;

    // What the steps work with.
    WxBackendImpl& Impl() { return impl_; }
    void Say(const std::string& text);
    // A window counts as shown once it has stayed ready over a few ticks:
    // GTK draws on its frame clock after the first paint event.
    bool Settled(bool ready);
    // The innermost modal dialog, else the main frame's view.
    Window* Target();
    // Dispatches the main frame's command from a timer of its own: a modal
    // loop the command opens must leave this one free to fire.
    void DispatchLater(int commandId);
    // How long the current step has been running.
    std::chrono::steady_clock::duration StepAge() const;

private:
    [[noreturn]] void Fail(const std::string& line, const std::string& why);

    WxBackendImpl& impl_;
    wxTimer command_;
    int pendingCommand_ = 0;
    int settledTicks_ = 0;
    std::vector<std::string> lines_;
    size_t next_ = 0;
    std::optional<std::chrono::steady_clock::time_point> stepStart_;
};

// Carries out one step's words (the first one names the step): `done` once
// the step has finished, else it is tried again on the next tick; false with
// `why` when the step fails.
bool RunStep(ScriptRunner& runner, const std::vector<std::string>& words, bool& done, std::string& why);

}  // namespace ui
