#pragma once
// The seam a back end implements. The model keeps every state and rule; a
// back end mirrors creation, changes and destruction, reports user actions
// to the model, runs the loops and shows boxes and file dialogs.
#include <optional>

#include "platform/ui/window.h"
#include <string>
#include <utility>
#include <vector>

namespace ui {

class App;
class Dialog;
class Frame;
class Window;

enum class Icon { None, Information, Warning, Error, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

struct Size {
    int cx = 0, cy = 0;
};

struct FileDialogRequest {
    std::string title;
    std::vector<std::pair<std::string, std::string>> filters;  // description, pattern
    std::string directory;
};

enum class BarKind { Toolbar, StatusBar };

class Backend {
public:
    virtual ~Backend() = default;

    virtual void Created(Window&) {}
    virtual void Changed(Window&, int /*controlId*/) {}
    virtual void Destroyed(Window&) {}
    // False when the bar cannot be created.
    virtual bool CreateBar(Frame&, BarKind) { return true; }

    // Runs the program's loop until the main window closes; the exit status.
    virtual int RunLoop(App& app) = 0;
    // Runs a modal dialog until it ends; the end code.
    virtual int RunModal(Dialog& dialog) = 0;
    virtual int ShowMessageBox(Window* owner, const std::string& text, const std::string& caption, Icon icon,
                               Buttons buttons) = 0;
    // The chosen paths; nothing when cancelled.
    virtual std::optional<std::vector<std::string>> ShowFileDialog(const FileDialogRequest& request) = 0;
    // A post is waiting; wakes the UI thread (from any thread).
    virtual void WakeForPosts() {}

    virtual Size ScreenSize() const = 0;
    // Pixels of 4 horizontal and 8 vertical dialog units.
    virtual Size DialogBaseUnits() const = 0;
    virtual void WaitCursor(bool /*on*/) {}

    // A window's timer was set (again: the new period holds) or killed,
    // killed also when its window is destroyed. A back end with its own clock
    // fires it through Window::RaiseTimer on the UI thread; one without
    // leaves firing to its driver.
    virtual void TimerSet(Window&, int /*id*/, unsigned /*periodMs*/) {}
    virtual void TimerKilled(Window&, int /*id*/) {}
};

// The back end in use (none: every call that needs one fails safely).
void SetBackend(Backend* backend);
Backend* CurrentBackend();

// Dialog units to pixels by the back end's base units.
Rect DialogToPixels(int x, int y, int cx, int cy);

}  // namespace ui
