// Menu 128 and accelerators 128 (the table is data only: no key reaches a command).
#include "vexa/res/resource_ids.h"
#include "vexa/res/tables.h"

namespace vexa::res {
namespace {
using ui::MenuItem;

constexpr MenuItem kFile[] = {
    {"&Open...", kCmdOpenFiles},
    {"&Close", kCmdCloseFiles, true},
    {},
    {"E&xit", kCmdAppExit},
};
constexpr MenuItem kTools[] = {
    {"&Validate", kCmdValidate},
    {"&STop", kCmdStop},
    {},
    {"Reset Counters", kCmdResetCounters},
};
constexpr MenuItem kView[] = {
    {"&Toolbar", kCmdViewToolbar},
    {"&Status Bar", kCmdViewStatusBar},
    {},
    {"&View Output File...", kCmdViewOutputFile},
    {"View S&ummary File...", kCmdViewSummaryFile},
    {"View Error &List...", kCmdViewErrorList},
};
constexpr MenuItem kHelp[] = {
    {"&About Kelvane...", kCmdAppAbout},
};
constexpr MenuItem kBar[] = {
    {"&File", 0, false, kFile},
    {"&Tools", 0, false, kTools},
    {"&View", 0, false, kView},
    {"&Help", 0, false, kHelp},
};

// The framework's standard editing keys, as ids it defines.
constexpr int kIdFileNew = 57600, kIdFileOpen = 57601, kIdFileSave = 57603, kIdEditUndo = 57643,
              kIdEditCut = 57635, kIdEditCopy = 57634, kIdEditPaste = 57637, kIdNextPane = 57680,
              kIdPrevPane = 57681;
constexpr uint16_t kVkBack = 0x08, kVkDelete = 0x2E, kVkInsert = 0x2D, kVkF6 = 0x75;
using ui::AccelEntry;
constexpr AccelEntry kAccel[] = {
    {ui::kCtrl | ui::kVirtKey, 'N', kIdFileNew},
    {ui::kCtrl | ui::kVirtKey, 'O', kIdFileOpen},
    {ui::kCtrl | ui::kVirtKey, 'S', kIdFileSave},
    {ui::kCtrl | ui::kVirtKey, 'Z', kIdEditUndo},
    {ui::kCtrl | ui::kVirtKey, 'X', kIdEditCut},
    {ui::kCtrl | ui::kVirtKey, 'C', kIdEditCopy},
    {ui::kCtrl | ui::kVirtKey, 'V', kIdEditPaste},
    {ui::kAlt | ui::kVirtKey, kVkBack, kIdEditUndo},
    {ui::kShift | ui::kVirtKey, kVkDelete, kIdEditCut},
    {ui::kCtrl | ui::kVirtKey, kVkInsert, kIdEditCopy},
    {ui::kShift | ui::kVirtKey, kVkInsert, kIdEditPaste},
    {ui::kVirtKey, kVkF6, kIdNextPane},
    {ui::kShift | ui::kVirtKey, kVkF6, kIdPrevPane},
};
}  // namespace

const ui::MenuTemplate kMainMenu{kIdrMainFrame, kBar};
const ui::AccelTable kMainAccelerators{kIdrMainFrame, kAccel};

}  // namespace vexa::res
