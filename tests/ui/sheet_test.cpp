// A grid driven as a sheet: rows and columns from 1, a current cell, texts
// outside the sheet or without a current cell dropped, every call logged.
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ui/window.h"
#include "tests/ui/ui_fixture.h"

namespace {
using uitest::kGrid;

struct SheetWindow : ui::Window {
    SheetWindow() { CreateControls(*uitest::TestResources().Dialog(uitest::kTestTemplate)); }
};

TEST(UiLayerSheet, TextsLandAtTheCurrentCellOrNowhere) {
    using Cells = std::map<std::pair<int, int>, std::string>;  // layer cells, from 0
    struct Case {
        const char* what;
        std::function<void(ui::Window&)> calls;
        Cells cells;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"row and column from 1",
         [](ui::Window& w) {
             w.SheetSetMaxRows(kGrid, 2);
             w.SheetSetRow(kGrid, 2);
             w.SheetSetCol(kGrid, 1);
             w.SheetSetText(kGrid, "a");
             w.SheetSetCol(kGrid, 2);
             w.SheetSetText(kGrid, "b");
         },
         {{{1, 0}, "a"}, {{1, 1}, "b"}},
         {"SetMaxRows 2", "SetRow 2", "SetCol 1", "SetText a", "SetCol 2", "SetText b"}},
        {"no current row or column yet",
         [](ui::Window& w) {
             w.SheetSetMaxRows(kGrid, 1);
             w.SheetSetText(kGrid, "nowhere");
             w.SheetSetRow(kGrid, 1);
             w.SheetSetText(kGrid, "still nowhere");
         },
         {},
         {"SetMaxRows 1", "SetText nowhere", "SetRow 1", "SetText still nowhere"}},
        {"outside the rows and the columns",
         [](ui::Window& w) {
             w.SheetSetMaxRows(kGrid, 1);
             w.SheetSetRow(kGrid, 2);
             w.SheetSetCol(kGrid, 1);
             w.SheetSetText(kGrid, "row past");
             w.SheetSetRow(kGrid, 1);
             w.SheetSetCol(kGrid, 3);
             w.SheetSetText(kGrid, "column past");
             w.SheetSetCol(kGrid, 0);
             w.SheetSetText(kGrid, "column 0");
         },
         {},
         {"SetMaxRows 1", "SetRow 2", "SetCol 1", "SetText row past", "SetRow 1", "SetCol 3", "SetText column past",
          "SetCol 0", "SetText column 0"}},
        {"fewer rows drop the cells below",
         [](ui::Window& w) {
             w.SheetSetMaxRows(kGrid, 2);
             w.SheetSetRow(kGrid, 2);
             w.SheetSetCol(kGrid, 1);
             w.SheetSetText(kGrid, "gone");
             w.SheetSetMaxRows(kGrid, 1);
         },
         {},
         {"SetMaxRows 2", "SetRow 2", "SetCol 1", "SetText gone", "SetMaxRows 1"}},
    };
    uitest::HeadlessUi ui;
    uitest::TestApp app;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SheetWindow w;
        c.calls(w);
        const ui::Control* grid = w.Find(kGrid);
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(grid->cells, c.cells);
        EXPECT_EQ(grid->sheetCalls, c.log);
    }
    SheetWindow w;
    EXPECT_FALSE(w.SheetSetMaxRows(uitest::kList, 1)) << "not a grid";
    EXPECT_TRUE(w.Find(uitest::kList)->sheetCalls.empty());
}

}  // namespace
