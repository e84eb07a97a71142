// Template 153: the chooser among a Space Delimited run's files.
#include "vexa/res/resource_ids.h"
#include "vexa/res/tables.h"

namespace vexa::res {
namespace {
using ui::ControlKind;
using ui::ControlTemplate;

constexpr ControlTemplate kControls[] = {
    {ControlKind::Static, -1, "Output file:", 7, 9, 44, 9},
    {ControlKind::Combo, kIdcOutputChooser, "", 53, 7, 230, 120, ui::kSorted | ui::kGroup},
    {ControlKind::PushButton, kIdcOutputChooserOpen, "OK", 290, 7, 50, 14, ui::kDefault},
    {ControlKind::PushButton, 8, "Cancel", 290, 25, 50, 14},
};
}  // namespace

const ui::DialogTemplate kViewOutputTemplate{kIddViewOutputFile, "View Output Files", "MS Sans Serif", 8, 347, 46,
                                             kControls};

}  // namespace vexa::res
