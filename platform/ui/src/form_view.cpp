#include "platform/ui/app.h"
#include "platform/ui/backend.h"
#include "platform/ui/frame.h"

namespace ui {

Size FormView::FormSize() const {
    const DialogTemplate* tmpl = CurrentResources().Dialog(templateId_);
    if (tmpl == nullptr) return {};
    Rect r = DialogToPixels(0, 0, tmpl->cx, tmpl->cy);
    return {r.cx, r.cy};
}

void FormView::ResizeParentToFit(bool shrinkOnly) {
    if (frame_ == nullptr) return;
    Size form = FormSize();
    Rect& b = frame_->Bounds();
    if (shrinkOnly) {
        if (form.cx < b.cx) b.cx = form.cx;
        if (form.cy < b.cy) b.cy = form.cy;
    } else {
        b.cx = form.cx;
        b.cy = form.cy;
    }
    if (Backend* backend = CurrentBackend()) backend->Changed(*frame_, 0);
}

}  // namespace ui
