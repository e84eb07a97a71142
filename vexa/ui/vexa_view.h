#pragma once
// The form view on template 101 that fills the main frame.
#include "platform/ui/frame.h"

namespace vexa {

class CVexaView : public ui::FormView {
public:
    CVexaView();
    // Fits the frame to the form (shrinking only).
    void OnInitialUpdate() override;
};

}  // namespace vexa
