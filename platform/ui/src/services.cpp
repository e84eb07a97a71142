#include "platform/ui/services.h"

#include <cstdio>
#include <cstdlib>

#include "platform/ui/app.h"
#include "ui_state.h"

namespace ui {
namespace {
constexpr int kIdsAppTitle = 57344;

void RequireUiThread(const char* what) {
    UiState& s = State();
    if (s.uiThread != std::thread::id{} && s.uiThread != std::this_thread::get_id()) {
        std::fprintf(stderr, "ui: %s called off the UI thread\n", what);
        std::abort();
    }
}
}  // namespace

void SetUiThread() { State().uiThread = std::this_thread::get_id(); }

bool OnUiThread() {
    UiState& s = State();
    return s.uiThread == std::thread::id{} || s.uiThread == std::this_thread::get_id();
}

int MessageBox(Window* owner, const std::string& text, const std::string& caption, Icon icon, Buttons buttons) {
    RequireUiThread("MessageBox");
    Backend* b = CurrentBackend();
    if (b == nullptr) return kIdCancel;
    std::string title = caption.empty() ? std::string(CurrentResources().String(kIdsAppTitle)) : caption;
    return b->ShowMessageBox(owner, text, title, icon, buttons);
}

int AppMessageBox(const std::string& text, Icon icon, Buttons buttons) {
    if (buttons == Buttons::Ok && icon == Icon::None) icon = Icon::Warning;
    App* app = CurrentApp();
    Window* owner = (app != nullptr) ? app->MainFrame() : nullptr;
    return MessageBox(owner, text, "", icon, buttons);
}

std::optional<std::vector<std::string>> OpenFileDialog(
    const std::string& title, const std::vector<std::pair<std::string, std::string>>& filters,
    const std::string& directory) {
    RequireUiThread("OpenFileDialog");
    Backend* b = CurrentBackend();
    if (b == nullptr) return std::nullopt;
    return b->ShowFileDialog(FileDialogRequest{title, filters, directory});
}

Size ScreenSize() {
    Backend* b = CurrentBackend();
    return b != nullptr ? b->ScreenSize() : Size{};
}

WaitCursor::WaitCursor() {
    if (Backend* b = CurrentBackend()) b->WaitCursor(true);
}

WaitCursor::~WaitCursor() {
    if (Backend* b = CurrentBackend()) b->WaitCursor(false);
}

}  // namespace ui
