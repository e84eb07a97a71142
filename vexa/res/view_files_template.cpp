// Template 158: the list of a directory run's output or summary files.
#include "vexa/res/resource_ids.h"
#include "vexa/res/tables.h"

namespace vexa::res {
namespace {
using ui::ControlKind;
using ui::ControlTemplate;

constexpr ControlTemplate kControls[] = {
    {ControlKind::ReportList, kIdcFileList, "", 7, 7, 330, 150, ui::kMultiSelect | ui::kGroup},
    {ControlKind::PushButton, kIdcViewSelected, "&View", 344, 7, 50, 14},
    {ControlKind::PushButton, 1, "OK", 344, 25, 50, 14, ui::kDefault},
    {ControlKind::PushButton, 2, "Cancel", 344, 43, 50, 14},
};
}  // namespace

const ui::DialogTemplate kViewFilesTemplate{kIddViewFiles, "View Files", "MS Sans Serif", 8, 401, 164, kControls};

}  // namespace vexa::res
