#include "platform/ui/app.h"

#include "platform/ui/backend.h"
#include "platform/ui/post_queue.h"
#include "ui_state.h"

namespace ui {

App::App(const ResourceSet& resources, std::vector<std::string> args)
    : resources_(resources), args_(std::move(args)) {
    State().app = this;
    SetPostsAccepted(true);
}

App::~App() {
    CloseMainWindow();
    if (State().app == this) State().app = nullptr;
}

int App::Run() {
    Backend* b = CurrentBackend();
    int status = (b != nullptr && frame_ != nullptr) ? b->RunLoop(*this) : 1;
    SetPostsAccepted(false);
    return status;
}

bool App::NewDocument() {
    if (!template_.makeDocument || !template_.makeFrame || !template_.makeView) return false;
    auto doc = template_.makeDocument();
    if (!doc || !doc->OnNewDocument()) return false;
    auto frame = template_.makeFrame();
    if (!frame) return false;
    CreateStruct cs;
    if (!frame->PreCreateWindow(cs)) return false;
    frame->SetStyle(cs.style);
    frame->Bounds() = Rect{cs.x, cs.y, cs.cx, cs.cy};
    frame->SetMenu(template_.resourceId);
    frame->SetDocument(doc.get());
    frame->MarkCreated();
    if (frame->OnCreate(cs) == -1) {
        frame->Destroy();
        return false;
    }
    auto view = template_.makeView();
    const DialogTemplate* form = view ? resources_.Dialog(view->TemplateId()) : nullptr;
    if (form == nullptr) {
        frame->Destroy();
        return false;
    }
    view->SetParentFrame(frame.get());
    view->CreateControls(*form);
    frame->SetView(view.get());
    doc_ = std::move(doc);
    frame_ = std::move(frame);
    view_ = std::move(view);
    view_->OnInitialUpdate();
    return true;
}

void App::CloseMainWindow() {
    // The view goes first: its destroy hooks may still reach the frame.
    if (view_) view_->Destroy();
    if (frame_) {
        frame_->SetView(nullptr);
        frame_->Destroy();
    }
    view_.reset();
    frame_.reset();
    doc_.reset();
}

App* CurrentApp() { return State().app; }

const ResourceSet& CurrentResources() {
    static const ResourceSet empty{};
    App* app = CurrentApp();
    return app != nullptr ? app->Resources() : empty;
}

}  // namespace ui
