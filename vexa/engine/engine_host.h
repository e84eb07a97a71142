#pragma once
// The engine's way to the user interface. Every call returns at once: a
// message box is posted to the user-interface thread and never waited for,
// so the processor thread can go on.
#include <string>

namespace vexa {

class EngineHost {
public:
    virtual ~EngineHost() = default;
    // Shows `text` in a message box on the user-interface thread.
    virtual void PostMessageBox(std::string text) = 0;
};

// A host that shows nothing (tests and runs without a window).
class SilentEngineHost final : public EngineHost {
public:
    void PostMessageBox(std::string) override {}
};

}  // namespace vexa
