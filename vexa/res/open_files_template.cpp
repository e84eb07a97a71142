// Template 145: the Open Files dialog.
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
constexpr auto R = ControlKind::Radio;
constexpr auto C = ControlKind::CheckBox;
constexpr auto L = ControlKind::Combo;
constexpr uint32_t DL = ui::kDropDownList;
constexpr uint32_t OFF = ui::kDisabled;
constexpr uint32_t NUM = ui::kDigitsOnly;

constexpr ControlTemplate kControls[] = {
    {R, 1095, "Open &Disk", 7, 7, 60, 10, ui::kGroup},
    {R, 1094, "Open &RMM", 72, 7, 60, 10},

    {R, 1083, "&Source Dir:", 7, 24, 58, 10, ui::kGroup},
    {L, 1022, "", 68, 22, 232, 14, DL | OFF},
    {B, 1025, "...", 302, 22, 22, 14, OFF},
    {R, 1084, "S&ource File:", 7, 40, 58, 10},
    {L, 1016, "", 68, 38, 232, 14, DL | OFF},
    {B, 1023, "...", 302, 38, 22, 14, OFF},
    {S, -1, "&TMATS File:", 17, 56, 48, 9},
    {L, 1028, "", 68, 54, 232, 14, DL | OFF},
    {B, 1029, "...", 302, 54, 22, 14, OFF},
    {S, -1, "&Output Dir:", 17, 72, 48, 9},
    {L, 1026, "", 68, 70, 232, 14, DL},
    {B, 1027, "...", 302, 70, 22, 14},
    {S, -1, "O&utput File:", 17, 88, 48, 9},
    {E, 1085, "", 68, 86, 232, 13},
    {S, -1, "&Validate:", 17, 104, 48, 9},
    {L, 1042, "", 68, 102, 180, 14, DL},
    {B, 1052, "D&etails", 252, 102, 48, 13},

    {G, -1, "Packet Data Validation", 7, 122, 315, 72},
    {C, 1059, "Validate Format of &Packet Data", 14, 133, 200, 10},
    {C, 1061, "Validate Simulated PC&M Channels", 14, 145, 200, 10},
    {C, 1067, "Validate Simulated &1553 Bus Channels", 14, 157, 200, 10},
    {S, 1064, "Max &Number of an Error Type per Packet:", 14, 171, 160, 9},
    {E, 1062, "", 176, 169, 30, 13, NUM},
    {S, 1065, "Max Num&ber of an Error Type per Channel:", 14, 184, 160, 9},
    {E, 1063, "", 176, 182, 30, 13, NUM},

    {G, -1, "Time Error Tolerance (msec)", 7, 198, 150, 44},
    {S, -1, "&Intra-packet:", 14, 211, 80, 9},
    {E, 1071, "", 100, 209, 40, 13, NUM},
    {S, -1, "Time Packet &Relative:", 14, 226, 84, 9},
    {E, 1069, "", 100, 224, 40, 13, NUM},

    {G, -1, "Ouput File Format", 162, 198, 160, 44},
    {C, 1051, "Output &all Packets Info", 169, 209, 140, 10},
    {R, 1075, "&Verbose", 169, 224, 60, 10, ui::kGroup},
    {R, 1076, "Space &Delimited", 234, 224, 80, 10},

    {S, -1, "Max Number of the Same Error per Channel:", 7, 250, 180, 9},
    {E, 1074, "", 190, 248, 40, 13, NUM},
    {S, -1, "(0 for no limit)", 234, 250, 80, 9},

    {B, 1, "OK", 214, 268, 50, 14, ui::kDefault | ui::kGroup},
    {B, 2, "Cancel", 272, 268, 50, 14},
};
}  // namespace

const ui::DialogTemplate kOpenFilesTemplate{kIddOpenFiles, "Open Files", "MS Sans Serif", 8, 330, 290, kControls};

}  // namespace vexa::res
