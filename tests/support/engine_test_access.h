#pragma once
// The tests' way into the run controller: the frame, the run context, the
// section states and the hooks that stand in for parts of a run. The engine
// befriends this class; the program never uses it.
#include <functional>

#include "vexa/engine/check_sections.h"
#include "vexa/engine/engine_state.h"
#include "vexa/engine/frame.h"
#include "vexa/engine/run_context.h"
#include "vexa/engine/validation_engine.h"

namespace vexa {

class EngineTestAccess {
public:
    static Frame& FrameOf(ValidationEngine& e) { return *e.frame_; }
    static RunContext& Run(ValidationEngine& e) { return e.run_; }
    static HeaderSectionState& HeaderSection(ValidationEngine& e) {
        return e.frame_->Sections().Of<HeaderSectionState>();
    }
    // A validator in place of the frame.
    static void SetValidator(ValidationEngine& e, std::function<int(Frame&)> validator) {
        e.validator_ = std::move(validator);
    }
    // Told of every run hook as it is called, on whatever thread calls it.
    // Set before Open.
    static void SetRunHookProbe(ValidationEngine& e, std::function<void(ValidationEngine::RunHook)> probe) {
        e.runHookProbe_ = std::move(probe);
    }
    // The run flag: cleared first by whoever ends a run.
    static bool Running(const ValidationEngine& e) { return e.runFlag_.load() != 0; }
    // Both threads of the current file have returned.
    static bool WorkersDone(const ValidationEngine& e) { return e.WorkersDone(); }
    // Back to an empty work area with the run flag set (frame tests).
    static void BeginFrameTest(ValidationEngine& e) {
        e.run_.runPacketCount = 0;
        e.frame_->EmptyWorkArea();
        e.InstallBodyChecks();
        e.runFlag_ = 1;
    }
    // The processor's append-and-validate step for one buffer.
    static BufferOutcome AppendAndValidate(ValidationEngine& e, int status, int count, const uint8_t* buffer,
                                           const std::function<void()>& release) {
        return e.AppendAndValidate(status, count, buffer, release);
    }
    static void ResetValidationState(ValidationEngine& e) { e.ResetValidationState(); }
    // The engine's module-wide state as at start.
    static void ResetModuleState() { Engine().ResetForTests(); }
    static const EngineBodyChecks& BodyChecksOf(const ValidationEngine& e) { return *e.bodyChecks_; }
};

}  // namespace vexa
