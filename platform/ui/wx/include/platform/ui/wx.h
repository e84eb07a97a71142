#pragma once
// The window layer on wxWidgets: the toolkit's start and end, and the back
// end that mirrors the layer's windows as real ones. No wx header leaks here.
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/backend.h"

namespace ui {

// The toolkit for the life of this object. GTK takes its own options out of
// the argument vector; wx's command-line parser is never used.
class WxToolkit {
public:
    // Nothing when no display can be opened.
    static std::unique_ptr<WxToolkit> Start(int& argc, char** argv);
    ~WxToolkit();
    WxToolkit(const WxToolkit&) = delete;
    // The arguments GTK left, without the program's name.
    std::vector<std::string> Args() const;
    WxToolkit& operator=(const WxToolkit&) = delete;

private:
    WxToolkit() = default;
};

class WxBackendImpl;

// The back end on a started toolkit; it installs itself on construction and
// marks the calling thread as the UI thread.
class WxBackend : public Backend {
public:
    WxBackend();
    ~WxBackend() override;

    void Created(Window& window) override;
    void Changed(Window& window, int controlId) override;
    void Destroyed(Window& window) override;
    bool CreateBar(Frame& frame, BarKind kind) override;
    int RunLoop(App& app) override;
    int RunModal(Dialog& dialog) override;
    int ShowMessageBox(Window* owner, const std::string& text, const std::string& caption, Icon icon,
                       Buttons buttons) override;
    std::optional<std::vector<std::string>> ShowFileDialog(const FileDialogRequest& request) override;
    void WakeForPosts() override;
    Size ScreenSize() const override;
    Size DialogBaseUnits() const override;
    void WaitCursor(bool on) override;
    void TimerSet(Window& window, int id, unsigned periodMs) override;
    void TimerKilled(Window& window, int id) override;

    WxBackendImpl& Impl() { return *impl_; }

private:
    std::unique_ptr<WxBackendImpl> impl_;
};

// Starts the script that ORVANE_UI_SCRIPT names, if any; false when the file
// cannot be read (the caller ends with status 3).
bool StartUiScriptFromEnvironment(WxBackend& backend);
// Stops the script before the back end and the toolkit go.
void StopUiScript();

}  // namespace ui
