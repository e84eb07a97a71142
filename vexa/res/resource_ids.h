#pragma once
// Resource and command ids of the program.
namespace vexa::res {

inline constexpr int kIdrMainFrame = 128;  // menu, accelerators, document string, icon
inline constexpr int kIdrToolbar = 154;
inline constexpr int kIddForm = 101;
inline constexpr int kIddAbout = 100;
inline constexpr int kIddOpenFiles = 145;
inline constexpr int kIddSelectDir = 156;
inline constexpr int kIdbDirTree = 141;  // the Select Directory tree's images, 17 pixels each
inline constexpr int kIddChannelDetails = 149;
inline constexpr int kIddViewOutputFile = 153;
inline constexpr int kIddViewFiles = 158;
inline constexpr int kIdbLogo = 140;

// Controls the program's code addresses.
inline constexpr int kIdcAboutLogo = 140;
inline constexpr int kIdcAboutAppName = 1017;
inline constexpr int kIdcAboutVersion = 1021;
inline constexpr int kIdcAboutCompany = 1000;
inline constexpr int kIdcAboutUser = 1001;
inline constexpr int kIdcSystemInfo = 1025;
inline constexpr int kIdcProgramName = 1053;
inline constexpr int kIdcChannelTotal = 1055;
inline constexpr int kIdcChannelSheet = 1058;
inline constexpr int kChannelSheetColumns = 11;
inline constexpr int kIdcOutputChooser = 1071;
inline constexpr int kIdcOutputChooserOpen = 1072;
inline constexpr int kIdcOutputChooserCancel = 8;
inline constexpr int kIdcViewSelected = 1089;
inline constexpr int kIdcFileList = 1091;

inline constexpr int kIdsAppTitle = 57344;
inline constexpr int kIdsUserKey = 129;
inline constexpr int kIdsIdle = 57345;
inline constexpr int kIdsSystemInfoKey = 61204;

inline constexpr int kCmdOpenFiles = 32772;
inline constexpr int kCmdCloseFiles = 32773;
inline constexpr int kCmdViewOutputFile = 32775;
inline constexpr int kCmdViewSummaryFile = 32778;
inline constexpr int kCmdViewErrorList = 32779;
inline constexpr int kCmdValidate = 32791;
inline constexpr int kCmdStop = 32792;
inline constexpr int kCmdResetCounters = 32793;
inline constexpr int kCmdAppAbout = 57664;
inline constexpr int kCmdAppExit = 57665;
inline constexpr int kCmdViewToolbar = 59392;
inline constexpr int kCmdViewStatusBar = 59393;

// Toolbar images: one XPM per button, 16 by 15 pixels.
inline constexpr int kToolbarImageBase = 1540;

}  // namespace vexa::res

namespace ui {
struct ResourceSet;
}

namespace vexa::res {
// Every resource of the program.
const ui::ResourceSet& Resources();
}  // namespace vexa::res
