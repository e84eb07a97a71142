#pragma once
// Where a window's controls go once the toolkit has told their natural
// sizes: no control smaller than its text needs, each centred on its
// template row, a label on the row of the field it names, and the rows
// below moved down (and the window grown) by what the rows above gained.
#include <vector>

#include "platform/ui/backend.h"
#include "platform/ui/window.h"

namespace ui {

enum class LayoutKind {
    Text,   // a fixed text, check box or radio: names the field to its right
    Field,  // an edit or a combo
    Box,    // a group box: stretches over what it holds
    Other,  // buttons, lists, trees, grids, images
};

struct LayoutItem {
    LayoutKind kind = LayoutKind::Other;
    Rect at;           // from the template, in pixels
    Size natural;      // the toolkit's size for the control's text
    bool combo = false;      // the template height is the open list; closed, it sits at the top
    bool widen = false;      // never narrower than its text (labels, buttons, checks, radios)
};

struct LayoutInput {
    std::vector<LayoutItem> items;
    Size window;  // the template's client size, in pixels
};

struct LayoutResult {
    std::vector<Rect> at;  // one for each item, in the same order
    Size window;
};

LayoutResult LayOut(const LayoutInput& in);

}  // namespace ui
