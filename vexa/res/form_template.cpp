// Template 101: the main form.
#include "vexa/res/resource_ids.h"
#include "vexa/res/tables.h"

namespace vexa::res {
namespace {
using ui::ControlKind;
using ui::ControlTemplate;
constexpr auto S = ControlKind::Static;
constexpr auto G = ControlKind::GroupBox;
constexpr auto E = ControlKind::Edit;
constexpr auto B = ControlKind::PushButton;
constexpr auto I = ControlKind::IconButton;
constexpr uint32_t RO = ui::kReadOnly;

// Error boxes: label above a read-only box, seven to a row.
#define ERR_BOX(col, row, label, id)                                  \
    {S, -1, label, 12 + (col) * 58, 158 + (row) * 34, 54, 9},         \
    {E, id, "", 12 + (col) * 58, 168 + (row) * 34, 54, 12, RO}

constexpr ControlTemplate kControls[] = {
    {G, -1, "Configuration", 6, 4, 418, 62},
    {S, 1004, "Source File:", 12, 14, 406, 9},
    {S, 1006, "Output:", 12, 25, 406, 9},
    {S, 1092, "", 12, 36, 406, 9},
    {S, 1019, "", 12, 49, 200, 9},
    {S, 1029, "", 218, 49, 200, 9},

    {G, -1, "Progress", 6, 70, 418, 76},
    {S, -1, "IRIG Time:", 12, 82, 46, 9},
    {E, 1037, "", 60, 80, 150, 12, RO},
    {S, -1, "Rel Time:", 218, 82, 40, 9},
    {E, 1008, "", 260, 80, 120, 12, RO},
    // The selected channel's column starts hidden, as after an all-channel Open.
    {S, -1, "All Channels:", 110, 96, 80, 9},
    {S, 1032, "Selected Channel:", 260, 96, 80, 9, ui::kHidden},
    {S, -1, "Packet Count:", 12, 108, 90, 9},
    {E, 1026, "", 110, 106, 120, 12, RO},
    {E, 1030, "", 260, 106, 120, 12, RO | ui::kHidden},
    {S, -1, "Packet Sequence:", 12, 120, 90, 9},
    {E, 1010, "", 110, 118, 120, 12, RO},
    {E, 1034, "", 260, 118, 120, 12, RO | ui::kHidden},
    {S, -1, "Packet Efficiency:", 12, 132, 90, 9},
    {E, 1012, "", 110, 130, 120, 12, RO},
    {E, 1035, "", 260, 130, 120, 12, RO | ui::kHidden},

    {G, -1, "Error Count", 6, 148, 418, 78},
    ERR_BOX(0, 0, "TMATS", 1059),
    ERR_BOX(1, 0, "Sync", 1047),
    ERR_BOX(2, 0, "Sequence", 1048),
    ERR_BOX(3, 0, "Packet Len", 1049),
    ERR_BOX(4, 0, "Data Len", 1050),
    ERR_BOX(5, 0, "Data Error", 1051),
    ERR_BOX(6, 0, "Time Count", 1052),
    ERR_BOX(0, 1, "Data Overflow", 1053),
    ERR_BOX(1, 1, "Consistency", 1061),
    ERR_BOX(2, 1, "Sim Data Err", 1062),
    ERR_BOX(3, 1, "Invalid Time", 1025),
    ERR_BOX(4, 1, "Hdr Chksum", 1041),
    ERR_BOX(5, 1, "Data Chksum", 1065),
    ERR_BOX(6, 1, "Data Version", 1066),

    {B, 1069, "&Validate", 12, 232, 60, 14},
    {B, 1070, "&Stop", 78, 232, 60, 14},
    {B, 1068, "&Reset", 144, 232, 60, 14},
    // Icon buttons without the visible style: no menu, toolbar or visible control reaches them.
    {I, 1024, "", 300, 232, 20, 14, ui::kHidden},
    {I, 1013, "", 322, 232, 20, 14, ui::kHidden},
    {I, 1014, "", 344, 232, 20, 14, ui::kHidden},
    {I, 1015, "", 366, 232, 20, 14, ui::kHidden},
    {I, 1016, "", 388, 232, 20, 14, ui::kHidden},
};
#undef ERR_BOX
}  // namespace

const ui::DialogTemplate kFormTemplate{kIddForm, "", "MS Sans Serif", 8, 430, 252, kControls};

}  // namespace vexa::res
