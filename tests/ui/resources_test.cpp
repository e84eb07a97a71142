// The program's resource tables hold together: every command has its
// prompt, every toolbar button its image, every image its declared size and
// every addressed control a unique id.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "platform/ui/resource.h"
#include "vexa/res/resource_ids.h"

namespace {
namespace res = vexa::res;

// Width, height, colours and characters per pixel of an XPM, and whether
// its pixel rows match them and use only declared colours.
bool XpmIsWellFormed(const ui::ImageResource& image, int& width, int& height) {
    if (image.xpm.empty()) return false;
    std::istringstream values(image.xpm[0]);
    int colours = 0, perPixel = 0;
    if (!(values >> width >> height >> colours >> perPixel) || perPixel != 1) return false;
    if (image.xpm.size() != static_cast<size_t>(1 + colours + height)) return false;
    std::set<char> keys;
    for (int i = 1; i <= colours; ++i) keys.insert(image.xpm[static_cast<size_t>(i)][0]);
    for (int row = 0; row < height; ++row) {
        std::string_view line = image.xpm[static_cast<size_t>(1 + colours + row)];
        if (line.size() != static_cast<size_t>(width)) return false;
        for (char c : line)
            if (keys.count(c) == 0) return false;
    }
    return true;
}

TEST(Resources, CommandsHavePromptsAndToolbarButtonsImages) {
    const ui::ResourceSet& set = res::Resources();
    const ui::ToolbarTemplate* toolbar = set.Toolbar(res::kIdrToolbar);
    ASSERT_NE(toolbar, nullptr);
    int n = 0;
    for (int id : toolbar->buttons) {
        if (id == ui::kToolbarSeparator) continue;
        SCOPED_TRACE(id);
        std::string_view s = set.String(id);
        EXPECT_NE(s.find('\n'), std::string_view::npos) << "prompt and tooltip";
        const ui::ImageResource* image = set.Image(toolbar->firstImage + n++);
        ASSERT_NE(image, nullptr);
        int w = 0, h = 0;
        EXPECT_TRUE(XpmIsWellFormed(*image, w, h));
        EXPECT_EQ(w, toolbar->buttonWidth);
        EXPECT_EQ(h, toolbar->buttonHeight);
    }
    EXPECT_EQ(set.String(res::kCmdOpenFiles), "Open Files\nOpen Source and Output Files");
    const ui::MenuTemplate* menu = set.Menu(res::kIdrMainFrame);
    ASSERT_NE(menu, nullptr);
    for (const ui::MenuItem& popup : menu->bar)
        for (const ui::MenuItem& item : popup.popup)
            if (item.id != 0) { EXPECT_FALSE(set.String(item.id).empty()) << item.text; }
    const ui::ImageResource* icon = set.Image(res::kIdrMainFrame);
    ASSERT_NE(icon, nullptr);
    int w = 0, h = 0;
    EXPECT_TRUE(XpmIsWellFormed(*icon, w, h));
    // The directory tree's fifteen images of 17 pixels side by side.
    const ui::ImageResource* tree = set.Image(res::kIdbDirTree);
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(XpmIsWellFormed(*tree, w, h));
    EXPECT_EQ(w, 15 * 17);
}

TEST(Resources, TemplatesAddressEachControlOnce) {
    for (int id : {res::kIddForm, res::kIddAbout, res::kIddOpenFiles, res::kIddSelectDir}) {
        SCOPED_TRACE(id);
        const ui::DialogTemplate* tmpl = res::Resources().Dialog(id);
        ASSERT_NE(tmpl, nullptr);
        std::set<int> ids;
        for (const ui::ControlTemplate& c : tmpl->controls) {
            if (c.id < 0) continue;
            EXPECT_TRUE(ids.insert(c.id).second) << "control " << c.id << " twice";
            EXPECT_LE(c.x + c.cx, tmpl->cx) << c.id;
            EXPECT_LE(c.y + c.cy, tmpl->cy) << c.id;
        }
    }
    // The form's addressed controls: the boxes and texts the view exchanges and its buttons.
    const ui::DialogTemplate* form = res::Resources().Dialog(res::kIddForm);
    std::set<int> ids;
    for (const ui::ControlTemplate& c : form->controls)
        if (c.id >= 0) ids.insert(c.id);
    const std::set<int> expected{1004, 1006, 1092, 1019, 1029, 1037, 1008, 1026, 1030, 1032, 1010, 1034, 1012,
                                 1035, 1059, 1047, 1048, 1049, 1050, 1051, 1052, 1053, 1061, 1062, 1025,
                                 1041, 1065, 1066, 1069, 1070, 1068, 1024, 1013, 1014, 1015, 1016};
    EXPECT_EQ(ids, expected);

    // Open Files: every control its handlers and exchange address, and the
    // source lists with their browse buttons start disabled.
    const ui::DialogTemplate* open = res::Resources().Dialog(res::kIddOpenFiles);
    ASSERT_NE(open, nullptr);
    std::set<int> openIds, disabled;
    for (const ui::ControlTemplate& c : open->controls) {
        if (c.id < 0) continue;
        openIds.insert(c.id);
        if (c.style & ui::kDisabled) disabled.insert(c.id);
    }
    const std::set<int> openExpected{1095, 1094, 1083, 1022, 1025, 1084, 1016, 1023, 1028, 1029, 1026,
                                     1027, 1085, 1042, 1052, 1059, 1061, 1067, 1062, 1064, 1063, 1065,
                                     1071, 1069, 1051, 1075, 1076, 1074, 1, 2};
    EXPECT_EQ(openIds, openExpected);
    EXPECT_EQ(disabled, (std::set<int>{1022, 1025, 1016, 1023, 1028, 1029}));
}

}  // namespace
