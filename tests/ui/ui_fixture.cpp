#include "tests/ui/ui_fixture.h"

namespace uitest {
namespace {
using ui::ControlKind;
using ui::ControlTemplate;

constexpr std::string_view kListColumns[] = {"Name", "Size", "Date"};
constexpr std::string_view kGridColumns[] = {"Channel", "Type"};

constexpr ControlTemplate kEvery[] = {
    {ControlKind::Static, kStatic, "Static", 4, 4, 60, 9},
    {ControlKind::GroupBox, kGroup, "Group", 4, 14, 200, 100},
    {ControlKind::BitmapStatic, kBitmap, "", 4, 120, 20, 20, 0, 140},
    {ControlKind::IconStatic, kIconStatic, "", 30, 120, 20, 20, 0, 128},
    {ControlKind::PushButton, kButton, "Button", 60, 120, 50, 14, ui::kDefault},
    {ControlKind::IconButton, kIconButton, "", 120, 120, 20, 14, 0, 131},
    {ControlKind::CheckBox, kCheck, "Check", 8, 24, 60, 10},
    {ControlKind::Radio, kRadio, "Radio", 8, 36, 60, 10, ui::kGroup},
    {ControlKind::Edit, kEdit, "", 8, 48, 80, 12},
    {ControlKind::Edit, kDigits, "", 8, 62, 80, 12, ui::kDigitsOnly},
    {ControlKind::Edit, kReadOnly, "", 8, 76, 80, 12, ui::kReadOnly},
    {ControlKind::Combo, kDropList, "", 100, 24, 90, 60, ui::kDropDownList | ui::kSorted},
    {ControlKind::Combo, kEditCombo, "", 100, 40, 90, 60},
    {ControlKind::ReportList, kList, "", 210, 4, 120, 60, ui::kMultiSelect, 0, kListColumns},
    {ControlKind::Tree, kTree, "", 210, 70, 120, 60},
    {ControlKind::Grid, kGrid, "", 210, 140, 120, 60, 0, 0, kGridColumns},
    {ControlKind::PushButton, kHiddenButton, "Hidden", 60, 140, 50, 14, ui::kHidden},
    {ControlKind::PushButton, kDisabledButton, "Disabled", 120, 140, 50, 14, ui::kDisabled},
    {ControlKind::PushButton, 1, "OK", 280, 210, 50, 14},
    {ControlKind::PushButton, 2, "Cancel", 220, 210, 50, 14},
};

constexpr ControlTemplate kNoCancel[] = {
    {ControlKind::Edit, kEdit, "", 8, 8, 80, 12},
    {ControlKind::PushButton, kButton8, "Cancel", 100, 8, 50, 14},
    {ControlKind::PushButton, kButton, "Open", 100, 26, 50, 14},
};

constexpr ControlTemplate kInner[] = {
    {ControlKind::PushButton, 1, "OK", 8, 8, 50, 14, ui::kDefault},
};

constexpr ui::DialogTemplate kEveryTemplate{kTestTemplate, "Every Control", "MS Sans Serif", 8, 340, 230, kEvery};
constexpr ui::DialogTemplate kNoCancelDialog{kNoCancelTemplate, "No Cancel", "MS Sans Serif", 8, 160, 50, kNoCancel};
constexpr ui::DialogTemplate kInnerDialog{kInnerTemplate, "Inner", "MS Sans Serif", 8, 70, 30, kInner};

constexpr ui::MenuItem kFile[] = {{"&Act", 5001}, {"&Other", 5002}, {}, {"E&xit", ui::kIdAppExit}};
constexpr ui::MenuItem kBar[] = {{"&File", 0, false, kFile}};
constexpr ui::MenuTemplate kMenu{1, kBar};
constexpr int kButtons[] = {5001, ui::kToolbarSeparator, 5002};
constexpr ui::ToolbarTemplate kToolbar{2, 16, 15, kButtons};
constexpr ui::StringEntry kStrings[] = {
    {57344, "TestCaption"}, {57345, "Ready"}, {5001, "Act prompt\nAct tip"}, {5002, "Other prompt\nOther tip"}};
}  // namespace

const ui::ResourceSet& TestResources() {
    static const ui::DialogTemplate* const dialogs[] = {&kEveryTemplate, &kNoCancelDialog, &kInnerDialog};
    static const ui::MenuTemplate* const menus[] = {&kMenu};
    static const ui::ToolbarTemplate* const toolbars[] = {&kToolbar};
    static const ui::ResourceSet set{dialogs, menus, toolbars, kStrings, {}, {}};
    return set;
}

}  // namespace uitest
