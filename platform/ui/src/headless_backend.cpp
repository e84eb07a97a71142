#include "platform/ui/app.h"
#include "platform/ui/headless.h"
#include "platform/ui/post_queue.h"
#include "platform/ui/services.h"
#include "ui_state.h"

namespace ui {

HeadlessBackend::HeadlessBackend() {
    ResetUiState();
    SetBackend(this);
    SetUiThread();
}

HeadlessBackend::~HeadlessBackend() {
    if (CurrentBackend() == this) ResetUiState();
}

void HeadlessBackend::Fail(const std::string& what) {
    failures_.push_back(what);
    if (onFailure) onFailure(what);
}

void HeadlessBackend::AnswerModal(int templateId, std::function<void(Dialog&, Driver&)> answer) {
    modalAnswers_[templateId] = std::move(answer);
}

void HeadlessBackend::AnswerFileDialog(
    std::function<std::optional<std::vector<std::string>>(const FileDialogRequest&)> answer) {
    fileAnswer_ = std::move(answer);
}

int HeadlessBackend::RunLoop(App& app) {
    Driver driver(*this);
    driver.Idle();
    if (session_) session_(driver);
    // Work the session left queued still runs while the window is open.
    while (app.MainFrame() != nullptr && driver.Pump() > 0) driver.Idle();
    if (app.MainFrame() != nullptr) {
        Fail("the session ended with the main window open");
        return 1;
    }
    return 0;
}

int HeadlessBackend::RunModal(Dialog& dialog) {
    auto it = modalAnswers_.find(dialog.TemplateId());
    if (it == modalAnswers_.end()) {
        Fail("no answer for dialog " + std::to_string(dialog.TemplateId()));
        dialog.EndDialog(kIdCancel);
        return kIdCancel;
    }
    auto answer = it->second;
    modalStack_.push_back(dialog.TemplateId());
    Driver driver(*this);
    answer(dialog, driver);
    modalStack_.pop_back();
    if (!dialog.Ended()) {
        Fail("dialog " + std::to_string(dialog.TemplateId()) + " was left open");
        dialog.EndDialog(kIdCancel);
    }
    return dialog.EndCode();
}

int HeadlessBackend::ShowMessageBox(Window* owner, const std::string& text, const std::string& caption, Icon icon,
                                    Buttons buttons) {
    BoxRecord box{owner, text, caption, icon, buttons, windowsAlive_};
    boxes_.push_back(box);
    return boxAnswer_ ? boxAnswer_(box) : kIdOk;
}

std::optional<std::vector<std::string>> HeadlessBackend::ShowFileDialog(const FileDialogRequest& request) {
    fileDialogs_.push_back(request);
    if (!fileAnswer_) {
        Fail("no answer for file dialog \"" + request.title + "\"");
        return std::nullopt;
    }
    return fileAnswer_(request);
}

}  // namespace ui
