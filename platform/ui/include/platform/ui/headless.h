#pragma once
// The headless back end: windows live only in the model. Tests and the
// display-less run answer its dialogs and boxes and drive it as a user would.
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/backend.h"
#include "platform/ui/dialog.h"
#include "platform/ui/frame.h"

namespace ui {

class Driver;

struct BoxRecord {
    Window* owner = nullptr;
    std::string text;
    std::string caption;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    int windowsAlive = 0;  // windows that existed when the box was shown
};

class HeadlessBackend : public Backend {
public:
    // Installs itself as the back end on the calling (UI) thread.
    HeadlessBackend();
    ~HeadlessBackend() override;
    HeadlessBackend(const HeadlessBackend&) = delete;
    HeadlessBackend& operator=(const HeadlessBackend&) = delete;

    void SetScreenSize(Size s) { screen_ = s; }
    void SetDialogBaseUnits(Size s) { baseUnits_ = s; }
    // A seam for tests: the named bar cannot be created.
    void FailBar(BarKind kind) { failBar_[static_cast<int>(kind)] = true; }

    // Answers: a modal dialog by template id (the answer acts through the
    // driver and must end it), file dialogs, boxes (default: OK, recorded).
    void AnswerModal(int templateId, std::function<void(Dialog&, Driver&)> answer);
    void AnswerFileDialog(std::function<std::optional<std::vector<std::string>>(const FileDialogRequest&)> answer);
    void AnswerBoxes(std::function<int(const BoxRecord&)> answer) { boxAnswer_ = std::move(answer); }
    // What the program's loop does (the user's session); the loop then
    // pumps until the main window is closed or nothing is left to do.
    void SetSession(std::function<void(Driver&)> session) { session_ = std::move(session); }

    // Unanswered dialogs and refused expectations; each also goes to `onFailure`.
    std::function<void(const std::string&)> onFailure;
    const std::vector<std::string>& Failures() const { return failures_; }
    void Fail(const std::string& what);

    const std::vector<BoxRecord>& Boxes() const { return boxes_; }
    const std::vector<FileDialogRequest>& FileDialogs() const { return fileDialogs_; }
    // Template ids of the open modal dialogs, innermost last.
    const std::vector<int>& ModalStack() const { return modalStack_; }
    int WindowsAlive() const { return windowsAlive_; }
    int WaitCursorDepth() const { return waitCursor_; }

    void Created(Window&) override { ++windowsAlive_; }
    void Destroyed(Window&) override { --windowsAlive_; }
    bool CreateBar(Frame&, BarKind kind) override { return !failBar_[static_cast<int>(kind)]; }
    int RunLoop(App& app) override;
    int RunModal(Dialog& dialog) override;
    int ShowMessageBox(Window* owner, const std::string& text, const std::string& caption, Icon icon,
                       Buttons buttons) override;
    std::optional<std::vector<std::string>> ShowFileDialog(const FileDialogRequest& request) override;
    Size ScreenSize() const override { return screen_; }
    Size DialogBaseUnits() const override { return baseUnits_; }
    void WaitCursor(bool on) override { waitCursor_ += on ? 1 : -1; }

private:
    Size screen_{1280, 1024};
    Size baseUnits_{6, 13};
    bool failBar_[2] = {false, false};
    std::map<int, std::function<void(Dialog&, Driver&)>> modalAnswers_;
    std::function<std::optional<std::vector<std::string>>(const FileDialogRequest&)> fileAnswer_;
    std::function<int(const BoxRecord&)> boxAnswer_;
    std::function<void(Driver&)> session_;
    std::vector<std::string> failures_;
    std::vector<BoxRecord> boxes_;
    std::vector<FileDialogRequest> fileDialogs_;
    std::vector<int> modalStack_;
    int windowsAlive_ = 0;
    int waitCursor_ = 0;
};

// The user's hands: each action raises exactly one notification, and what a
// user could not do (a disabled or hidden control, a disabled command) is
// refused with false.
class Driver {
public:
    explicit Driver(HeadlessBackend& backend) : backend_(backend) {}

    bool Click(Window& w, int id);
    bool Type(Window& w, int id, const std::string& text);
    bool SelectCombo(Window& w, int id, int index);
    bool DropDown(Window& w, int id);
    bool SelectListRow(Window& w, int id, int row, bool addToSelection = false);
    bool ExpandTree(Window& w, int id, TreeHandle item);
    bool SelectTree(Window& w, int id, TreeHandle item);
    bool Focus(Window& w, int id);
    void Escape(Dialog& d) { d.PressEscape(); }
    void Enter(Dialog& d) { d.PressEnter(); }

    // A menu item or toolbar button of the main frame.
    bool Command(int id);
    std::vector<MenuEntry> OpenMenu(int index);
    bool ChooseMenu(int index, int id);
    void Idle();
    // Fires a timer that is set; false otherwise.
    bool FireTimer(Window& w, int id);
    int Pump();
    int PumpWait(std::chrono::milliseconds timeout);

    Frame* MainFrame() const;
    HeadlessBackend& Backend() { return backend_; }

private:
    Control* Usable(Window& w, int id);
    HeadlessBackend& backend_;
};

}  // namespace ui
