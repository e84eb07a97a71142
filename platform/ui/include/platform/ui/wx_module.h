#pragma once
// The wxWidgets back end as a module of its own. The program loads it only
// to open a window, so a run without one maps no toolkit library. The
// module takes the window layer from the program that loads it.

extern "C" {

// The program's side of a windowed run, called with the toolkit started and
// the back end installed; `argv` holds the arguments the toolkit left,
// without the program's name. Returns the exit status.
typedef int (*UiWxProgram)(void* context, int argc, char** argv);

// The module's one entry: the program's run on a real display. Returns the
// program's status, or one of the negative statuses below.
int ui_wx_run(int argc, char** argv, UiWxProgram program, void* context);

}  // extern "C"

namespace ui {

inline constexpr const char* kWxModuleName = "libvexa_wx.so";
inline constexpr const char* kWxModuleEntry = "ui_wx_run";
inline constexpr int kWxNoDisplay = -1;   // no display could be opened
inline constexpr int kWxBadScript = -2;   // ORVANE_UI_SCRIPT names a file that cannot be read
inline constexpr int kWxFailed = -3;      // the back end failed with an exception

}  // namespace ui
