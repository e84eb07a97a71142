// Template 156: the Select Directory dialog.
#include "vexa/res/resource_ids.h"
#include "vexa/res/tables.h"

namespace vexa::res {
namespace {
using ui::ControlKind;
using ui::ControlTemplate;

constexpr ControlTemplate kControls[] = {
    {ControlKind::Static, 1086, "Blar blar blar...", 7, 7, 206, 18},
    {ControlKind::Tree, 1085, "", 7, 28, 206, 150},
    {ControlKind::PushButton, 1, "OK", 106, 184, 50, 14, ui::kDefault | ui::kDisabled | ui::kGroup},
    {ControlKind::PushButton, 2, "Cancel", 163, 184, 50, 14},
};
}  // namespace

const ui::DialogTemplate kSelectDirTemplate{kIddSelectDir, "Select Directory", "MS Sans Serif", 8, 220, 205, kControls};

}  // namespace vexa::res
