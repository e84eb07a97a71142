// The placing of controls once their natural sizes are known, alone.
#include <gtest/gtest.h>

#include "platform/ui/wx/src/wx_layout.h"

namespace {

using ui::LayoutKind;
using ui::LayoutItem;
using ui::Rect;

LayoutItem Item(LayoutKind kind, Rect at, ui::Size natural = {}, bool combo = false) {
    LayoutItem it;
    it.kind = kind;
    it.at = at;
    it.natural = natural;
    it.combo = combo;
    it.widen = kind == LayoutKind::Text || kind == LayoutKind::Other;
    return it;
}

int Centre(const Rect& r) { return r.y + r.cy / 2; }

TEST(UiLayoutRules, EverythingThatFitsStaysWhereTheTemplatePutsIt) {
    ui::LayoutInput in{{Item(LayoutKind::Text, {10, 10, 80, 20}, {60, 17}),
                        Item(LayoutKind::Field, {100, 8, 100, 24}, {40, 24})},
                       {220, 50}};
    ui::LayoutResult out = ui::LayOut(in);
    EXPECT_EQ(out.window.cx, 220);
    EXPECT_EQ(out.window.cy, 50);
    EXPECT_EQ(out.at[1].y, 8);
    EXPECT_EQ(out.at[1].cy, 24);
    EXPECT_EQ(Centre(out.at[0]), Centre(out.at[1])) << "the label on its field's row";
}

TEST(UiLayoutRules, AClosedComboTakesItsNaturalHeightAtTheTemplatesTop) {
    // The template's height is the open list's, far below the window.
    ui::LayoutInput in{{Item(LayoutKind::Text, {5, 19, 90, 19}, {70, 17}),
                        Item(LayoutKind::Field, {112, 14, 488, 255}, {80, 34}, true),
                        Item(LayoutKind::Other, {616, 14, 106, 34}, {80, 34})},
                       {737, 97}};
    ui::LayoutResult out = ui::LayOut(in);
    EXPECT_EQ(out.at[1].y, 14);
    EXPECT_EQ(out.at[1].cy, 34);
    EXPECT_EQ(out.window.cy, 97) << "the list's height is no part of the window";
    EXPECT_NEAR(Centre(out.at[0]), Centre(out.at[1]), 1);
}

TEST(UiLayoutRules, GrownRowsMoveTheRowsBelowAndTheBoxAndWindowGrowWithThem) {
    // A box holding three rows of label and edit, 26 apart, edits 34 high.
    std::vector<LayoutItem> items{Item(LayoutKind::Box, {5, 5, 300, 100})};
    for (int row = 0; row < 3; ++row) {
        items.push_back(Item(LayoutKind::Text, {12, 22 + row * 26, 90, 19}, {85, 17}));
        items.push_back(Item(LayoutKind::Field, {110, 20 + row * 26, 120, 25}, {40, 34}));
    }
    items.push_back(Item(LayoutKind::Other, {200, 110, 100, 29}, {60, 34}));  // a button below the box
    ui::LayoutResult out = ui::LayOut({items, {320, 150}});
    for (int row = 0; row < 3; ++row) {
        const Rect& label = out.at[1 + row * 2];
        const Rect& edit = out.at[2 + row * 2];
        SCOPED_TRACE(row);
        EXPECT_EQ(edit.cy, 34);
        EXPECT_EQ(Centre(label), Centre(edit));
        if (row > 0) {
            EXPECT_GE(edit.y, out.at[row * 2].y + out.at[row * 2].cy) << "below the edit above";
        }
    }
    const Rect& box = out.at[0];
    const Rect& last = out.at[6];
    EXPECT_GE(box.y + box.cy, last.y + last.cy) << "the box holds its grown rows";
    const Rect& button = out.at[7];
    EXPECT_GE(button.y, box.y + box.cy) << "what lay below the box still does";
    EXPECT_EQ(button.cy, 34);
    EXPECT_GE(out.window.cy, button.y + button.cy);
    EXPECT_GT(out.window.cy, 150);
}

TEST(UiLayoutRules, ControlsSideBySideDoNotPushEachOtherAndTextsWidenToTheirNaturalWidth) {
    ui::LayoutInput in{{Item(LayoutKind::Other, {10, 10, 50, 20}, {70, 34}),
                        Item(LayoutKind::Other, {100, 10, 50, 20}, {40, 34})},
                       {200, 60}};
    ui::LayoutResult out = ui::LayOut(in);
    EXPECT_EQ(out.at[0].y, out.at[1].y);
    EXPECT_EQ(out.at[0].cx, 70);
    EXPECT_EQ(out.at[1].cx, 50);
    EXPECT_EQ(out.window.cx, 200);
}

}  // namespace
