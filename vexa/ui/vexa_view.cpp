#include "vexa/ui/vexa_view.h"

#include "vexa/res/resource_ids.h"

namespace vexa {

CVexaView::CVexaView() : ui::FormView(res::kIddForm) {}

void CVexaView::OnInitialUpdate() {
    if (ui::Frame* frame = ParentFrame()) frame->RecalcLayout();
    ResizeParentToFit(true);
}

}  // namespace vexa
