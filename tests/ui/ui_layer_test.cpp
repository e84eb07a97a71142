// The window layer on its headless back end: notifications, refusals,
// trees, combos, exchange, routing, the status bar and modal dialogs.
#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <map>

#include "platform/ui/dialog.h"
#include "platform/ui/services.h"
#include "tests/ui/ui_fixture.h"

namespace {
using namespace uitest;
using ui::Notify;

// A window on the test template that counts every notification.
struct CountingWindow : ui::Window {
    std::map<std::pair<Notify, int>, int> raised;
    CountingWindow() {
        CreateControls(*TestResources().Dialog(kTestTemplate));
        for (Notify n : {Notify::Clicked, Notify::EditChange, Notify::SelChange, Notify::TreeSelChanged})
            for (const auto& [id, c] : Controls()) OnNotify(n, id, [this, n, id = id] { ++raised[{n, id}]; });
    }
    int Count() const {
        int n = 0;
        for (const auto& [k, v] : raised) n += v;
        return n;
    }
};

TEST(UiLayer, ProgrammaticChangesRaiseNothingAndUserActionsRaiseOneEach) {
    HeadlessUi ui;
    TestApp app;
    struct Case {
        const char* what;
        std::function<bool(CountingWindow&, ui::Driver&)> act;
        Notify expected;
        int id;  // 0: nothing is raised
    };
    const Case cases[] = {
        {"set text", [](CountingWindow& w, ui::Driver&) { return w.SetText(kEdit, "x"); }, Notify::EditChange, 0},
        {"set check", [](CountingWindow& w, ui::Driver&) { return w.SetCheck(kCheck, true); }, Notify::Clicked, 0},
        {"select entry",
         [](CountingWindow& w, ui::Driver&) {
             w.ComboAdd(kDropList, "a");
             return w.ComboSelect(kDropList, 0);
         },
         Notify::SelChange, 0},
        {"type", [](CountingWindow& w, ui::Driver& d) { return d.Type(w, kEdit, "abc"); }, Notify::EditChange, kEdit},
        {"click", [](CountingWindow& w, ui::Driver& d) { return d.Click(w, kButton); }, Notify::Clicked, kButton},
        {"click check", [](CountingWindow& w, ui::Driver& d) { return d.Click(w, kCheck); }, Notify::Clicked, kCheck},
        {"user select",
         [](CountingWindow& w, ui::Driver& d) {
             w.ComboAdd(kDropList, "a");
             return d.SelectCombo(w, kDropList, 0);
         },
         Notify::SelChange, kDropList},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CountingWindow w;
        ASSERT_TRUE(c.act(w, ui.driver));
        if (c.id == 0) {
            EXPECT_EQ(w.Count(), 0);
        } else {
            EXPECT_EQ(w.Count(), 1);
            EXPECT_EQ((w.raised[{c.expected, c.id}]), 1);
        }
    }
}

TEST(UiLayer, DriverIsRefusedWhatAUserIsRefused) {
    HeadlessUi ui;
    TestApp app;
    CountingWindow w;
    struct Case {
        const char* what;
        std::function<bool()> act;
    };
    const Case cases[] = {
        {"letters into digits-only", [&] { return ui.driver.Type(w, kDigits, "12a"); }},
        {"typing into read-only", [&] { return ui.driver.Type(w, kReadOnly, "1"); }},
        {"typing into a drop-down list", [&] { return ui.driver.Type(w, kDropList, "x"); }},
        {"click hidden", [&] { return ui.driver.Click(w, kHiddenButton); }},
        {"click disabled", [&] { return ui.driver.Click(w, kDisabledButton); }},
        {"focus hidden", [&] { return ui.driver.Focus(w, kHiddenButton); }},
        {"focus disabled", [&] { return ui.driver.Focus(w, kDisabledButton); }},
        {"click a static", [&] { return ui.driver.Click(w, kStatic); }},
        {"select a missing entry", [&] { return ui.driver.SelectCombo(w, kDropList, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(c.act());
    }
    EXPECT_EQ(w.Count(), 0);
    EXPECT_EQ(w.GetText(kDigits), "");
    EXPECT_EQ(w.Focus(), 0);
    EXPECT_TRUE(ui.driver.Type(w, kDigits, "0123"));
    EXPECT_EQ(w.GetText(kDigits), "0123");
}

TEST(UiLayer, MissingIdsReturnFalseAndChangeNothing) {
    HeadlessUi ui;
    TestApp app;
    CountingWindow w;
    constexpr int kMissing = 4242;
    const std::pair<const char*, std::function<bool()>> cases[] = {
        {"text", [&] { return w.SetText(kMissing, "x"); }},
        {"enable", [&] { return w.Enable(kMissing, false); }},
        {"show", [&] { return w.Show(kMissing, true); }},
        {"check", [&] { return w.SetCheck(kMissing, true); }},
        {"bold", [&] { return w.SetBold(kMissing); }},
        {"icon", [&] { return w.SetIcon(kMissing, 128); }},
        {"focus", [&] { return w.SetFocus(kMissing); }},
        {"combo select", [&] { return w.ComboSelect(kMissing, 0); }},
        {"list item", [&] { return w.ListSetItem(kMissing, 0, 0, "x"); }},
        {"grid cell", [&] { return w.GridSetCell(kMissing, 0, 0, "x"); }},
        {"tree delete", [&] { return w.TreeDeleteAll(kMissing); }},
        {"list item on a combo", [&] { return w.ListSetItem(kDropList, 0, 0, "x"); }},
    };
    for (const auto& [what, act] : cases) {
        SCOPED_TRACE(what);
        EXPECT_FALSE(act());
    }
    EXPECT_FALSE(w.GetText(kMissing).has_value());
    EXPECT_EQ(w.Count(), 0);
}

TEST(UiLayer, TreeExpandAndSelectNotifications) {
    HeadlessUi ui;
    TestApp app;
    CountingWindow w;
    int expanding = 0;
    w.OnTreeExpanding(kTree, [&](ui::TreeHandle item) {
        ++expanding;
        if (w.TreeChildren(kTree, item).empty()) w.TreeInsert(kTree, item, "child", 0, 0, false, 0);
        return true;
    });
    ui::TreeHandle root = w.TreeInsert(kTree, ui::kTreeRoot, "root", 1, 2, true, 0);
    ASSERT_NE(root, ui::kTreeRoot);

    EXPECT_TRUE(w.TreeExpand(kTree, root));
    EXPECT_TRUE(w.TreeExpand(kTree, root));
    EXPECT_EQ(expanding, 1) << "a programmatic expand asks only the first time";
    EXPECT_EQ(w.TreeChildren(kTree, root).size(), 1u);

    EXPECT_TRUE(ui.driver.ExpandTree(w, kTree, root));
    EXPECT_TRUE(ui.driver.ExpandTree(w, kTree, root));
    EXPECT_EQ(expanding, 3) << "a user's expand asks every time";
    EXPECT_EQ(w.TreeChildren(kTree, root).size(), 1u);

    ui::TreeHandle child = w.TreeChildren(kTree, root)[0];
    EXPECT_TRUE(w.TreeSelect(kTree, child));
    EXPECT_TRUE(w.TreeSelect(kTree, child));
    EXPECT_EQ((w.raised[{Notify::TreeSelChanged, kTree}]), 1) << "only a change is announced";
    EXPECT_EQ(w.TreeSelection(kTree), child);

    w.OnTreeExpanding(kTree, [](ui::TreeHandle) { return false; });
    ui::TreeHandle other = w.TreeInsert(kTree, ui::kTreeRoot, "other", 0, 0, true, 0);
    EXPECT_FALSE(w.TreeExpand(kTree, other));
    EXPECT_FALSE(w.TreeGet(kTree, other)->expanded);
}

TEST(UiLayer, TreeReleasesItemDataOnDeleteAllAndDestroy) {
    HeadlessUi ui;
    TestApp app;
    int released = 0;
    auto release = [&](uintptr_t data) {
        delete reinterpret_cast<std::string*>(data);
        ++released;
    };
    {
        CountingWindow w;
        w.TreeSetReleaser(kTree, release);
        ui::TreeHandle a = w.TreeInsert(kTree, ui::kTreeRoot, "a", 0, 0, true,
                                        reinterpret_cast<uintptr_t>(new std::string("a")));
        w.TreeInsert(kTree, a, "b", 0, 0, false, reinterpret_cast<uintptr_t>(new std::string("b")));
        w.TreeSelect(kTree, a);
        EXPECT_TRUE(w.TreeDeleteAll(kTree));
        EXPECT_EQ(released, 2);
        EXPECT_TRUE(w.TreeChildren(kTree, ui::kTreeRoot).empty());
        EXPECT_EQ(w.TreeSelection(kTree), ui::kTreeRoot);
        w.TreeInsert(kTree, ui::kTreeRoot, "c", 0, 0, false, reinterpret_cast<uintptr_t>(new std::string("c")));
    }
    EXPECT_EQ(released, 3) << "destroying the window releases what is left";
}

TEST(UiLayer, SortedComboAndExactSelection) {
    HeadlessUi ui;
    TestApp app;
    CountingWindow w;
    for (const char* s : {"validate.log_chan3", "validate.logTMATS", "Validate.a"}) w.ComboAdd(kDropList, s);
    ASSERT_EQ(w.ComboCount(kDropList), 3);
    EXPECT_EQ(w.ComboEntry(kDropList, 0), "Validate.a");
    EXPECT_EQ(w.ComboEntry(kDropList, 1), "validate.log_chan3");
    EXPECT_EQ(w.ComboEntry(kDropList, 2), "validate.logTMATS");

    struct Case {
        std::string text;
        int expected;
    };
    const Case cases[] = {{"validate.logTMATS", 2}, {"validate.logtmats", -1}, {"validate", -1}, {"", -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        w.ComboSelect(kDropList, 1);
        EXPECT_EQ(w.ComboSelectText(kDropList, c.text), c.expected);
        EXPECT_EQ(w.ComboSelection(kDropList), c.expected < 0 ? 1 : c.expected);
    }
    // The unsorted combo keeps the order of adding; insertion goes where asked.
    w.ComboAdd(kEditCombo, "b");
    w.ComboAdd(kEditCombo, "a");
    w.ComboInsert(kEditCombo, 0, "c");
    EXPECT_EQ(w.ComboEntry(kEditCombo, 0), "c");
    EXPECT_EQ(w.ComboEntry(kEditCombo, 2), "a");
    EXPECT_EQ(w.Count(), 0);
}

TEST(UiLayer, ReportListAndGridKeepTheirCells) {
    HeadlessUi ui;
    TestApp app;
    {
        CountingWindow w;
        ASSERT_EQ(w.Find(kList)->columns, (std::vector<std::string>{"Name", "Size", "Date"}));
        EXPECT_TRUE(w.ListFreeze(kList, true));
        for (const char* name : {"c", "a", "b"}) {
            int row = w.ListInsert(kList, w.ListCount(kList), name);
            EXPECT_TRUE(w.ListSetItem(kList, row, 1, std::string(name) + "-size"));
        }
        EXPECT_TRUE(w.ListFreeze(kList, false));
        EXPECT_FALSE(w.ListSetItem(kList, 0, 3, "no such column"));
        EXPECT_FALSE(w.ListSetItem(kList, 3, 0, "no such row"));
        EXPECT_TRUE(w.ListInsertColumn(kList, 1, "Kind", ui::ColumnAlign::Right, 40));
        EXPECT_EQ(w.ListItem(kList, 0, 0), "c");
        EXPECT_EQ(w.ListItem(kList, 0, 1), "");
        EXPECT_EQ(w.ListItem(kList, 0, 2), "c-size") << "sub-items move with their column";
        EXPECT_EQ(w.Find(kList)->columnAlign[1], ui::ColumnAlign::Right);

        // A user's selection with additions comes back in list order.
        EXPECT_TRUE(ui.driver.SelectListRow(w, kList, 2));
        EXPECT_TRUE(ui.driver.SelectListRow(w, kList, 0, true));
        EXPECT_EQ(w.ListSelection(kList), (std::vector<int>{0, 2}));
        EXPECT_TRUE(ui.driver.SelectListRow(w, kList, 1));
        EXPECT_EQ(w.ListSelection(kList), (std::vector<int>{1}));
        EXPECT_EQ((w.raised[{Notify::SelChange, kList}]), 3);

        struct Case {
            const char* what;
            int row, column;
            bool accepted;
        };
        EXPECT_TRUE(w.GridSetRows(kGrid, 2));
        const Case cells[] = {{"first", 0, 0, true},     {"last", 1, 1, true},      {"row past", 2, 0, false},
                              {"column past", 0, 2, false}, {"negative", -1, 0, false}};
        for (const Case& c : cells) {
            SCOPED_TRACE(c.what);
            EXPECT_EQ(w.GridSetCell(kGrid, c.row, c.column, c.what), c.accepted);
            EXPECT_EQ(w.GridSetCurrent(kGrid, c.row, c.column), c.accepted);
            EXPECT_EQ(w.GridCell(kGrid, c.row, c.column), c.accepted ? c.what : "");
        }
        EXPECT_TRUE(w.GridSetRows(kGrid, 1));
        EXPECT_EQ(w.GridCell(kGrid, 1, 1), "") << "cells of removed rows go";
        EXPECT_EQ(w.GridCell(kGrid, 0, 0), "first");
        EXPECT_EQ(ui.backend.WindowsAlive(), 1);
    }
    { ui::Window neverShown; }
    EXPECT_EQ(ui.backend.WindowsAlive(), 0) << "a window never created is not counted gone";
}

struct ExchangeDialog : ui::Dialog {
    ExchangeDialog() : ui::Dialog(kTestTemplate) {}
    std::string listText;
    int number = 0;
    uint32_t unsignedNumber = 4000000000u;
    float ratio = 0.125f;
    void DoDataExchange(ui::DataExchange& dx) override {
        dx.ComboText(kDropList, listText);
        dx.Int(kEdit, number);
        dx.UInt(kDigits, unsignedNumber);
        dx.Float(kReadOnly, ratio);
    }
};

// A numeric locale with a decimal comma, as a German desktop has.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST(UiLayer, ExchangeIsLocaleFreeAndNeverFails) {
    HeadlessUi ui;
    TestApp app;
    std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    std::string previousC = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"})
        if (std::setlocale(LC_NUMERIC, name) != nullptr) break;

    ExchangeDialog d;
    d.CreateControls(*TestResources().Dialog(kTestTemplate));
    for (const char* s : {"b", "a"}) d.ComboAdd(kDropList, s);
    d.UpdateData(false);
    EXPECT_EQ(d.GetText(kReadOnly), "0.125");
    EXPECT_EQ(d.GetText(kDigits), "4000000000");
    EXPECT_EQ(d.ComboSelection(kDropList), 0) << "\"\" selects the first entry";
    d.listText = "zz";
    d.UpdateData(false);
    EXPECT_EQ(d.ComboSelection(kDropList), 0) << "a text not listed leaves the selection";
    d.ratio = 1234567.0f;
    d.UpdateData(false);
    EXPECT_EQ(d.GetText(kReadOnly), "1.23457e+06");

    struct Case {
        std::string text;
        int expected;
    };
    for (const Case& c : {Case{"", 0}, Case{"12abc", 12}, Case{"  -7", -7}, Case{"99999999999", 2147483647}}) {
        SCOPED_TRACE(c.text);
        d.number = 5;
        d.SetText(kEdit, c.text);
        EXPECT_TRUE(d.UpdateData(true));
        EXPECT_EQ(d.number, c.expected);
    }
    EXPECT_TRUE(ui.backend.Boxes().empty());
    std::setlocale(LC_NUMERIC, previousC.c_str());
    std::locale::global(previous);
}

// A frame chain with handlers at each level.
struct ChainView : ui::FormView {
    ChainView() : ui::FormView(kTestTemplate) {}
};
struct ChainFrame : ui::Frame {
    int OnCreate(const ui::CreateStruct&) override {
        return CreateToolbar(2) && CreateStatusBar({"", "CAP", "NUM", "SCRL"}) ? 0 : -1;
    }
};
struct ChainApp : TestApp {
    ChainApp() {
        AddDocTemplate(ui::DocTemplate{1, [] { return std::make_unique<ui::Document>(); },
                                       [] { return std::make_unique<ChainFrame>(); },
                                       [] { return std::make_unique<ChainView>(); }});
    }
};

TEST(UiLayer, CommandsRouteViewFirstAndUpdateHandlersDecide) {
    HeadlessUi ui;
    ChainApp app;
    ASSERT_TRUE(app.NewDocument());
    ui::Frame& frame = *app.MainFrame();
    std::vector<std::string> ran;
    frame.OnCommand(5001, [&] { ran.push_back("frame"); });
    app.View()->OnCommand(5001, [&] { ran.push_back("view"); });
    app.OnCommand(5001, [&] { ran.push_back("app"); });

    EXPECT_TRUE(ui.driver.Command(5001));
    EXPECT_EQ(ran, std::vector<std::string>{"view"});

    // No handler anywhere: disabled on menu, toolbar and dispatch.
    ui.driver.Idle();
    EXPECT_FALSE(ui.driver.Command(5002));
    EXPECT_FALSE(frame.GetToolbar().buttons[2].enabled);
    EXPECT_FALSE(ui.driver.OpenMenu(0)[1].enabled);
    EXPECT_FALSE(ui.driver.ChooseMenu(0, 5002));

    // An update handler enables a command nobody handles and disables a handled one.
    app.GetDocument()->OnUpdateCommand(5002, [](ui::CmdUi& c) { c.Enable(true); });
    app.OnUpdateCommand(5001, [](ui::CmdUi& c) { c.Enable(false); });
    ui.driver.Idle();
    EXPECT_TRUE(frame.GetToolbar().buttons[2].enabled);
    EXPECT_FALSE(frame.GetToolbar().buttons[0].enabled);
    EXPECT_TRUE(ui.driver.OpenMenu(0)[1].enabled);
    EXPECT_FALSE(ui.driver.OpenMenu(0)[0].enabled);
    EXPECT_FALSE(ui.driver.Command(5001));
    EXPECT_EQ(ran.size(), 1u);
}

TEST(UiLayer, StatusBarShowsReadyAtIdleAndKeepsAProgramTextUntilAPrompt) {
    HeadlessUi ui;
    ChainApp app;
    ASSERT_TRUE(app.NewDocument());
    ui::Frame& frame = *app.MainFrame();
    frame.OnCommand(5001, [] {});
    auto& panes = frame.GetStatusBar().panes;
    ASSERT_EQ(panes.size(), 4u);
    ui.driver.Idle();
    EXPECT_EQ(panes[0], "Ready");
    frame.SetMessageText("Validation completed");
    ui.driver.Idle();
    EXPECT_EQ(panes[0], "Validation completed");
    frame.ShowPrompt(5001);
    EXPECT_EQ(panes[0], "Act prompt");
    ui.driver.Idle();
    EXPECT_EQ(panes[0], "Ready");
}

struct OuterDialog : ui::Dialog {
    std::vector<std::string>* log;
    explicit OuterDialog(std::vector<std::string>* l) : ui::Dialog(kNoCancelTemplate), log(l) {
        OnNotify(Notify::Clicked, kButton8, [this] { OnOK(); });
        OnNotify(Notify::Clicked, kButton, [this] {
            ui::Dialog inner(kInnerTemplate, this);
            inner.OnDestroy([this] { log->push_back("inner destroyed"); });
            log->push_back("inner " + std::to_string(inner.DoModal()));
        });
        OnDestroy([this] { log->push_back("outer destroyed"); });
    }
};

TEST(UiLayer, ModalDialogsEndByTheirButtonsAndAlwaysRunTheDestroyHook) {
    HeadlessUi ui;
    TestApp app;
    struct Case {
        const char* what;
        std::function<void(ui::Dialog&, ui::Driver&)> answer;
        int code;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"escape without button 2", [](ui::Dialog& d, ui::Driver& dr) { dr.Escape(d); }, ui::kIdCancel,
         {"outer destroyed"}},
        {"button 8 is OK processing", [](ui::Dialog& d, ui::Driver& dr) { dr.Click(d, kButton8); }, ui::kIdOk,
         {"outer destroyed"}},
        {"enter without a default button", [](ui::Dialog& d, ui::Driver& dr) { dr.Enter(d); }, ui::kIdOk,
         {"outer destroyed"}},
        {"nested",
         [](ui::Dialog& d, ui::Driver& dr) {
             EXPECT_TRUE(dr.Click(d, kButton));
             dr.Escape(d);
         },
         ui::kIdCancel, {"inner destroyed", "inner 1", "outer destroyed"}},
    };
    ui.backend.AnswerModal(kInnerTemplate, [&](ui::Dialog& d, ui::Driver& dr) {
        EXPECT_EQ(ui.backend.ModalStack(), (std::vector<int>{kNoCancelTemplate, kInnerTemplate}));
        dr.Enter(d);
    });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ui.backend.AnswerModal(kNoCancelTemplate, c.answer);
        std::vector<std::string> log;
        OuterDialog d(&log);
        EXPECT_EQ(d.DoModal(), c.code);
        EXPECT_EQ(log, c.log);
        EXPECT_TRUE(ui.backend.ModalStack().empty());
    }
}

TEST(UiLayer, UnansweredDialogsFailWithTheirIdAndBoxesAreRecorded) {
    HeadlessUi ui;
    ui.expectFailures = true;
    TestApp app;
    ui::Dialog d(kTestTemplate);
    EXPECT_EQ(d.DoModal(), ui::kIdCancel);
    ASSERT_EQ(ui.backend.Failures().size(), 1u);
    EXPECT_NE(ui.backend.Failures()[0].find("900"), std::string::npos);

    EXPECT_EQ(ui::OpenFileDialog("Pick Source", {{"Chapter 10", "*.ch10"}}, "/tmp"), std::nullopt);
    ASSERT_EQ(ui.backend.Failures().size(), 2u);
    EXPECT_NE(ui.backend.Failures()[1].find("Pick Source"), std::string::npos);

    EXPECT_EQ(ui::AppMessageBox("plain"), ui::kIdOk);
    EXPECT_EQ(ui::AppMessageBox("informed", ui::Icon::Information), ui::kIdOk);
    ASSERT_EQ(ui.backend.Boxes().size(), 2u);
    EXPECT_EQ(ui.backend.Boxes()[0].caption, "TestCaption");
    EXPECT_EQ(ui.backend.Boxes()[0].icon, ui::Icon::Warning) << "an OK box without an icon warns";
    EXPECT_EQ(ui.backend.Boxes()[1].icon, ui::Icon::Information);
}

}  // namespace
