#pragma once
// The engine's way to the user interface. Every call returns at once: a
// message box is posted to the user-interface thread and never waited for,
// so the processor thread can go on.
#include <functional>
#include <string>

namespace vexa {

enum class BoxIcon { None, Error, Warning, Information };

// How a validation run ended, as the user interface learns it.
struct RunEnd {
    // "Validation completed" was shown (a run whose next file's TMATS
    // failed ends without it).
    bool completed = false;
    // Why processing stopped early without a box ("Error reading input
    // file, processing stopped" after a failed read, "Error writing
    // validation output, processing stopped" after a failed write); empty
    // when it did not.
    std::string quietEnd;
    bool directoryRun = false;
    int filesValidated = 0;  // files whose data was read to its end
    int filesTotal = 0;
};

class EngineHost {
public:
    virtual ~EngineHost() = default;
    // Shows `text` in a message box on the user-interface thread.
    virtual void PostMessageBox(std::string text) = 0;
    // The same with a caption ("" for the program's title) and an icon.
    virtual void PostBox(std::string text, std::string caption, BoxIcon icon) {
        (void)caption;
        (void)icon;
        PostMessageBox(std::move(text));
    }
    // Runs `fn` later on the user-interface thread. A host that drives runs
    // must queue it; this default, for hosts that never run threads, calls
    // it at once.
    virtual void Post(std::function<void()> fn) { fn(); }
    // The main window's title, for the log header.
    virtual std::string WindowTitle() const { return "Kelvane"; }
    // On the user-interface thread, once per run.
    virtual void RunEnded(const RunEnd& end) { (void)end; }
};

// A host that shows nothing (tests and runs without a window).
class SilentEngineHost final : public EngineHost {
public:
    void PostMessageBox(std::string) override {}
};

}  // namespace vexa
