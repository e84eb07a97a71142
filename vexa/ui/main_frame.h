#pragma once
// The main frame: fixed size, toolbar 154 and the status bar.
#include "platform/ui/frame.h"

namespace vexa {

class CMainFrame : public ui::Frame {
public:
    bool PreCreateWindow(ui::CreateStruct& cs) override;
    int OnCreate(const ui::CreateStruct& cs) override;
};

}  // namespace vexa
