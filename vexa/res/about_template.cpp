// Template 100: the About box.
#include "vexa/res/resource_ids.h"
#include "vexa/res/tables.h"

namespace vexa::res {
namespace {
using ui::ControlKind;
using ui::ControlTemplate;

constexpr ControlTemplate kControls[] = {
    {ControlKind::BitmapStatic, 140, "", 7, 7, 57, 142, ui::kHidden, 140},
    {ControlKind::Static, 1017, "Talmor", 72, 7, 170, 12, ui::kHidden},
    {ControlKind::Static, -1, "Kelvane", 72, 22, 170, 9},
    {ControlKind::Static, 1021, "Version 3.5", 72, 34, 170, 9},
    {ControlKind::Static, -1, "This product is licensed to:", 72, 50, 170, 9},
    {ControlKind::Static, -1, "", 72, 60, 170, 1},  // the black frame under the caption
    {ControlKind::Static, 1000, "", 72, 64, 170, 9},
    {ControlKind::PushButton, 1, "OK", 252, 7, 50, 14, ui::kDefault | ui::kGroup},
    {ControlKind::PushButton, 1025, "System Info", 252, 26, 50, 14},
    {ControlKind::Static, -1, "Warning: this program is protected by copyright law and international treaties.",
     72, 120, 230, 9},
    {ControlKind::Static, -1, "Unauthorised copying or distribution may result in severe penalties.", 72, 132,
     230, 9},
};
}  // namespace

const ui::DialogTemplate kAboutTemplate{kIddAbout, "About Kelvane", "MS Sans Serif", 8, 310, 156, kControls};

}  // namespace vexa::res
