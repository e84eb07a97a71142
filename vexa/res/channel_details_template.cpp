// Template 149: Channel Details, with the sheet's column captions as the
// sheet's own data.
#include <string_view>

#include "vexa/res/resource_ids.h"
#include "vexa/res/tables.h"

namespace vexa::res {
namespace {
using ui::ControlKind;
using ui::ControlTemplate;

constexpr std::string_view kSheetColumns[] = {
    "Channel ID",     "Data Type",      "Data Source ID", "Bit Rate",
    "Polarity",       "Clock Polarity", "Word Length",    "Data Alignment",
    "# Minor Frames", "Words per Minor Frame", "Data Mode",
};
static_assert(std::size(kSheetColumns) == kChannelSheetColumns);

constexpr ControlTemplate kControls[] = {
    {ControlKind::Static, 1053, "Program Name: ", 7, 7, 200, 9},
    {ControlKind::Static, 1055, "Total Number of Channels: ", 7, 19, 200, 9},
    {ControlKind::Static, 1077, "", 215, 7, 60, 9, ui::kHidden},
    {ControlKind::Static, 1078, "", 215, 19, 60, 9, ui::kHidden},
    {ControlKind::Static, 1056, "", 280, 7, 60, 9, ui::kHidden},
    {ControlKind::Static, 1057, "", 280, 19, 60, 9, ui::kHidden},
    {ControlKind::Static, 1054, "", 345, 7, 60, 9, ui::kHidden},
    {ControlKind::Grid, kIdcChannelSheet, "", 7, 33, 466, 180, 0, 0, kSheetColumns},
    {ControlKind::PushButton, 2, "OK", 211, 220, 58, 14, ui::kDefault | ui::kGroup},
};
}  // namespace

const ui::DialogTemplate kChannelDetailsTemplate{kIddChannelDetails, "Channel Details", "MS Sans Serif", 8, 480,
                                                 241, kControls};

}  // namespace vexa::res
