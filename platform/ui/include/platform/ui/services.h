#pragma once
// Boxes, file dialogs and the other services the program calls.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/backend.h"

namespace ui {

// Caption "" takes string 57344. Only the UI thread shows boxes.
int MessageBox(Window* owner, const std::string& text, const std::string& caption, Icon icon,
               Buttons buttons = Buttons::Ok);
// The application's caption; an OK box without an icon gets the warning icon.
int AppMessageBox(const std::string& text, Icon icon = Icon::None, Buttons buttons = Buttons::Ok);
std::optional<std::vector<std::string>> OpenFileDialog(
    const std::string& title, const std::vector<std::pair<std::string, std::string>>& filters,
    const std::string& directory);
Size ScreenSize();

// The busy cursor while it lives.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Marks the calling thread as the UI thread.
void SetUiThread();
bool OnUiThread();

}  // namespace ui
