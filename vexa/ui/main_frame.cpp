#include "vexa/ui/main_frame.h"

#include "platform/ui/services.h"
#include "vexa/res/resource_ids.h"

namespace vexa {

bool CMainFrame::PreCreateWindow(ui::CreateStruct& cs) {
    if (!ui::Frame::PreCreateWindow(cs)) return false;
    // No sizing border and no maximise box: the frame keeps the form's size.
    cs.style = ui::kCaption | ui::kSysMenu | ui::kMinimizeBox | ui::kAddToTitle;
    ui::Size screen = ui::ScreenSize();
    cs.cx = screen.cx;
    cs.cy = screen.cy;
    cs.x = screen.cx;
    cs.y = screen.cy;
    return true;
}

int CMainFrame::OnCreate(const ui::CreateStruct& cs) {
    if (ui::Frame::OnCreate(cs) == -1) return -1;
    if (!CreateToolbar(res::kIdrToolbar)) return -1;
    if (!CreateStatusBar({"", "CAP", "NUM", "SCRL"})) return -1;
    return 0;
}

}  // namespace vexa
