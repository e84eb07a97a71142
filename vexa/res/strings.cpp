// The string table and toolbar 154.
#include "vexa/res/resource_ids.h"
#include "vexa/res/startup_names.h"
#include "vexa/res/tables.h"

namespace vexa::res {
namespace {
// Command strings: the status prompt, then after "\n" the tooltip.
constexpr ui::StringEntry kStrings[] = {
    {kIdrMainFrame, "Kelvane"},
    {kIdsUserKey, kUserKey},
    {kIdsAppTitle, "Kelvane"},
    {kIdsIdle, "Ready"},
    {kIdsSystemInfoKey, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"},
    {kCmdOpenFiles, "Open Files\nOpen Source and Output Files"},
    {kCmdCloseFiles, "Close Files\nClose Source and Output Files"},
    {kCmdViewOutputFile, "View Output File\nView the Output File"},
    {kCmdViewSummaryFile, "View Summary File\nView the Summary File"},
    {kCmdViewErrorList, "View Error List\nView the Error List"},
    {kCmdValidate, "Validate\nValidate the Source Files"},
    {kCmdStop, "Stop\nStop the Validation"},
    {kCmdResetCounters, "Reset Counters\nReset the Error Counters"},
    {kCmdAppAbout, "About Kelvane\nShow the Program's Version"},
    {kCmdAppExit, "Exit\nQuit the Application"},
    {kCmdViewToolbar, "Toolbar\nShow or Hide the Toolbar"},
    {kCmdViewStatusBar, "Status Bar\nShow or Hide the Status Bar"},
};

constexpr int kButtons[] = {
    kCmdOpenFiles,   kCmdCloseFiles,     ui::kToolbarSeparator, kCmdValidate,      kCmdStop,
    kCmdResetCounters, ui::kToolbarSeparator, kCmdViewOutputFile, kCmdViewSummaryFile, kCmdViewErrorList,
};
}  // namespace

const std::span<const ui::StringEntry> kStringTable{kStrings};
const ui::ToolbarTemplate kMainToolbar{kIdrToolbar, 16, 15, kButtons, kToolbarImageBase};

}  // namespace vexa::res
