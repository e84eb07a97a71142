#pragma once
// The form view on template 101 that fills the main frame. It owns the run
// controller, is its host, and shows the controller's snapshot.
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/frame.h"
#include "tessin/recording_input.h"
#include "vexa/engine/engine_host.h"

namespace vexa {

class CVexaApp;
class ValidationEngine;

inline constexpr int kFormTimerId = 995;
inline constexpr unsigned kFormTimerPeriodMs = 500;

class CVexaView : public ui::FormView, public EngineHost {
public:
    explicit CVexaView(tessin::RecordingInput& input = tessin::LibraryInput());
    // Writes "MaxLog" back, then the controller ends a live run, joins its
    // threads and deletes the temporary TMATS log.
    ~CVexaView() override;

    void OnInitialUpdate() override;

    // The host: posts are dropped once the view is gone.
    void PostMessageBox(std::string text) override;
    void PostBox(std::string text, std::string caption, BoxIcon icon) override;
    void Post(std::function<void()> fn) override;
    std::string WindowTitle() const override { return title_; }
    void RunEnded(const RunEnd& end) override;

    ValidationEngine& Controller() { return *engine_; }
    // The last run's end, once one has ended.
    const std::optional<RunEnd>& LastRunEnd() const { return lastRunEnd_; }

    // One snapshot into the form's controls.
    void RefreshForm();
    void OnViewErrorList();
    // Open: the run is ended, then "Open Files" decides.
    void OnFileOpen();
    // The run's outputs and summaries as the last confirmed Open Files named
    // them: a directory run's list, a Space Delimited run's chooser, or the file.
    void OnViewOutputFile();
    void OnViewSummaryFile();

private:
    void MapCommands();
    void MapUpdates();
    // Runs `fn` as a handler: the form is refreshed after it.
    std::function<void()> Handler(std::function<void()> fn);

    CVexaApp* app_;
    std::string title_;
    std::optional<RunEnd> lastRunEnd_;
    std::unique_ptr<ValidationEngine> engine_;
};

}  // namespace vexa
