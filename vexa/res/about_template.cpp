// Template 100: the About box.
#include "vexa/res/resource_ids.h"
#include "vexa/res/tables.h"

namespace vexa::res {
namespace {
using ui::ControlKind;
using ui::ControlTemplate;

constexpr ControlTemplate kControls[] = {
    {ControlKind::BitmapStatic, kIdcAboutLogo, "", 7, 7, 75, 175, ui::kHidden, kIdbLogo},
    {ControlKind::Static, kIdcAboutAppName, "Talmor", 90, 7, 150, 14, ui::kHidden},
    {ControlKind::Static, -1, "Kelvane", 90, 24, 150, 9},
    {ControlKind::Static, kIdcAboutVersion, "Version 3.5", 90, 36, 150, 9},
    {ControlKind::Static, -1, "This product is licensed to:", 90, 54, 150, 9},
    {ControlKind::GroupBox, -1, "", 90, 63, 150, 30},  // the black frame round the user and company lines
    {ControlKind::Static, kIdcAboutUser, "", 95, 68, 140, 9},
    {ControlKind::Static, kIdcAboutCompany, "", 95, 80, 140, 9},
    {ControlKind::PushButton, 1, "OK", 248, 7, 50, 14, ui::kDefault | ui::kGroup},
    {ControlKind::PushButton, kIdcSystemInfo, "System Info", 248, 26, 50, 14},
    {ControlKind::Static, -1, "Warning: this program is protected by copyright law and international treaties.",
     90, 140, 208, 20},
    {ControlKind::Static, -1, "Unauthorised copying or distribution may result in severe penalties.", 90, 162,
     208, 20},
};
}  // namespace

const ui::DialogTemplate kAboutTemplate{kIddAbout, "About Kelvane", "MS Sans Serif", 8, 305, 200, kControls};

}  // namespace vexa::res
