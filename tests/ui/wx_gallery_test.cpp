// The test template under the wx back end in this process: real controls
// mirror the model, programmatic changes raise nothing while a toolkit event
// raises one notification, Escape goes through the model, and work posted
// from another thread runs inside a modal loop.
#include <gtest/gtest.h>

#include <wx/grid.h>
#include <wx/listctrl.h>
#include <wx/treectrl.h>
#include <wx/uiaction.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include <wx/listctrl.h>

#include "platform/ui/post_queue.h"
#include "platform/ui/wx.h"
#include "platform/ui/wx/src/wx_impl.h"
#include "tests/ui/ui_fixture.h"
#include "tests/ui/wx_settled_rig.h"

namespace {

// A dialog that runs its steps once its modal loop runs, the first from a
// post made by another thread and each next one from a later post (so the
// toolkit's queued work of a step is done before the next), then ends
// through Escape as a user would.
class CheckedDialog : public ui::Dialog {
public:
    using Step = std::function<void(CheckedDialog&)>;
    CheckedDialog(int tmpl, Step check) : ui::Dialog(tmpl), steps_{std::move(check)} {}
    CheckedDialog(int tmpl, std::vector<Step> steps) : ui::Dialog(tmpl), steps_(std::move(steps)) {}
    bool OnInitDialog() override {
        ui::Dialog::OnInitDialog();
        std::thread([this] { ui::PostToUi(this, [this] { Run(); }); }).join();
        return true;
    }
    void Run() {
        ranInLoop = true;
        if (next_ < steps_.size()) steps_[next_++](*this);
        if (Ended()) return;
        bool failed = ::testing::Test::HasFatalFailure();
        if (next_ < steps_.size() && !failed)
            ui::PostToUi(this, [this] { Run(); });
        else if (!keepOpen || failed)
            PressEscapeThroughToolkit();
    }
    void PressEscapeThroughToolkit() {
        auto& impl = static_cast<ui::WxBackend*>(ui::CurrentBackend())->Impl();
        ui::WxWindow* w = impl.Find(this);
        ASSERT_NE(w, nullptr);
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = WXK_ESCAPE;
        key.SetEventObject(w->top);
        w->top->ProcessWindowEvent(key);
    }
    bool ranInLoop = false;
    bool keepOpen = false;  // after the last step: something else ends it

private:
    std::vector<Step> steps_;
    size_t next_ = 0;
};

// A control's text as one string, from the model and from the toolkit in the
// same form, so that one comparison covers labels, values, entries, rows,
// columns, tree items with their open and selected marks, and grid cells.
void ModelTreeItems(const ui::Control& c, const std::vector<ui::TreeHandle>& items, int depth, std::ostream& o) {
    for (ui::TreeHandle h : items) {
        const ui::TreeItem& item = c.tree.at(h);
        o << std::string(static_cast<size_t>(depth) * 2, ' ') << item.text;
        if (item.hasChildren || !item.children.empty()) o << " +";
        if (item.expanded && !item.children.empty()) o << " open";
        if (c.treeSelection == h) o << " *";
        o << "\n";
        ModelTreeItems(c, item.children, depth + 1, o);
    }
}

std::string ModelText(const ui::Control& c) {
    std::ostringstream o;
    switch (c.kind) {
        case ui::ControlKind::CheckBox:
        case ui::ControlKind::Radio:
            o << c.text << (c.checked ? " [x]" : " [ ]");
            break;
        case ui::ControlKind::Combo:
            for (const std::string& e : c.entries) o << e << "|";
            o << " #" << c.selection << " = " << c.text;
            break;
        case ui::ControlKind::ReportList:
            for (const std::string& col : c.columns) o << col << "|";
            o << "\n";
            for (size_t r = 0; r < c.rows.size(); ++r) {
                for (size_t col = 0; col < std::max<size_t>(1, c.columns.size()); ++col)
                    o << (col < c.rows[r].size() ? c.rows[r][col] : "") << "|";
                o << (c.rowSelected[r] ? " *" : "") << "\n";
            }
            break;
        case ui::ControlKind::Tree:
            ModelTreeItems(c, c.treeRoots, 0, o);
            break;
        case ui::ControlKind::Grid:
            // The layer's cell (r, c) is the toolkit's.
            for (int r = 0; r < c.gridRows; ++r) {
                for (int col = 0; col < static_cast<int>(c.columns.size()); ++col) {
                    auto it = c.cells.find({r, col});
                    o << (it == c.cells.end() ? "" : it->second) << "|";
                }
                o << "\n";
            }
            break;
        case ui::ControlKind::BitmapStatic:
        case ui::ControlKind::IconStatic:
        case ui::ControlKind::IconButton:
            break;
        default:
            o << c.text;
    }
    return o.str();
}

void WxTreeItems(wxTreeCtrl* tree, const wxTreeItemId& parent, int depth, std::ostream& o) {
    wxTreeItemIdValue cookie;
    for (wxTreeItemId item = tree->GetFirstChild(parent, cookie); item.IsOk(); item = tree->GetNextChild(parent, cookie)) {
        o << std::string(static_cast<size_t>(depth) * 2, ' ') << ui::Utf8(tree->GetItemText(item));
        if (tree->ItemHasChildren(item)) o << " +";
        if (tree->IsExpanded(item) && tree->GetChildrenCount(item, false) > 0) o << " open";
        if (tree->GetSelection() == item) o << " *";
        o << "\n";
        WxTreeItems(tree, item, depth + 1, o);
    }
}

std::string WxText(wxWindow* w, const ui::Control& c) {
    std::ostringstream o;
    switch (c.kind) {
        case ui::ControlKind::CheckBox:
            o << ui::Utf8(w->GetLabel()) << (static_cast<wxCheckBox*>(w)->GetValue() ? " [x]" : " [ ]");
            break;
        case ui::ControlKind::Radio:
            o << ui::Utf8(w->GetLabel()) << (static_cast<wxRadioButton*>(w)->GetValue() ? " [x]" : " [ ]");
            break;
        case ui::ControlKind::Edit:
            o << ui::Utf8(static_cast<wxTextCtrl*>(w)->GetValue());
            break;
        case ui::ControlKind::Combo: {
            auto* items = dynamic_cast<wxItemContainer*>(w);
            for (unsigned i = 0; i < items->GetCount(); ++i) o << ui::Utf8(items->GetString(i)) << "|";
            o << " #" << items->GetSelection() << " = ";
            if (auto* combo = dynamic_cast<wxComboBox*>(w))
                o << ui::Utf8(combo->GetValue());
            else
                o << ui::Utf8(items->GetStringSelection());
            break;
        }
        case ui::ControlKind::ReportList: {
            auto* list = static_cast<wxListCtrl*>(w);
            for (int col = 0; col < list->GetColumnCount(); ++col) {
                wxListItem item;
                item.SetMask(wxLIST_MASK_TEXT);
                list->GetColumn(col, item);
                o << ui::Utf8(item.GetText()) << "|";
            }
            o << "\n";
            for (long r = 0; r < list->GetItemCount(); ++r) {
                for (int col = 0; col < std::max(1, list->GetColumnCount()); ++col)
                    o << ui::Utf8(list->GetItemText(r, col)) << "|";
                o << (list->GetItemState(r, wxLIST_STATE_SELECTED) ? " *" : "") << "\n";
            }
            break;
        }
        case ui::ControlKind::Tree: {
            auto* tree = static_cast<wxTreeCtrl*>(w);
            if (tree->GetRootItem().IsOk()) WxTreeItems(tree, tree->GetRootItem(), 0, o);
            break;
        }
        case ui::ControlKind::Grid: {
            auto* grid = static_cast<wxGrid*>(w);
            for (int r = 0; r < grid->GetNumberRows(); ++r) {
                for (int col = 0; col < grid->GetNumberCols(); ++col) o << ui::Utf8(grid->GetCellValue(r, col)) << "|";
                o << "\n";
            }
            break;
        }
        case ui::ControlKind::BitmapStatic:
        case ui::ControlKind::IconStatic:
        case ui::ControlKind::IconButton:
            break;
        default:
            o << ui::Utf8(w->GetLabel());
    }
    return o.str();
}

// Ends a dialog through Escape when what should end it has not within the
// limit, so that a fault shows as a failure rather than a hang.
class Watchdog {
public:
    Watchdog(ui::Dialog& d, std::chrono::seconds limit)
        : thread_([this, &d, limit] {
              std::unique_lock<std::mutex> lock(m_);
              if (cv_.wait_for(lock, limit, [this] { return done_; })) return;
              fired = true;
              ui::PostToUi(&d, [&d] { d.PressEscape(); });
          }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(m_);
            done_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }
    std::atomic<bool> fired{false};

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool done_ = false;
    std::thread thread_;
};

// Counts every notification a window raises, by code and control.
struct Raised {
    void Watch(ui::Window& w) {
        for (const auto& [id, c] : w.Controls()) {
            for (ui::Notify code : {ui::Notify::Clicked, ui::Notify::EditChange, ui::Notify::EditUpdate,
                                    ui::Notify::SelChange, ui::Notify::DropDown, ui::Notify::TreeSelChanged})
                w.OnNotify(code, id, [this, code, id = id] { ++count[{static_cast<int>(code), id}]; });
            w.OnTreeExpanding(id, [this, id = id](ui::TreeHandle h) {
                ++expanding[{id, h}];
                if (refuse.count(h) != 0) return false;
                if (onExpanding) onExpanding(id, h);
                return true;
            });
        }
    }
    int Total() const {
        int n = 0;
        for (const auto& [k, v] : count) n += v;
        for (const auto& [k, v] : expanding) n += v;
        return n;
    }
    int Of(ui::Notify code, int id) { return count[{static_cast<int>(code), id}]; }
    std::map<std::pair<int, int>, int> count;
    std::map<std::pair<int, ui::TreeHandle>, int> expanding;
    std::set<ui::TreeHandle> refuse;
    std::function<void(int, ui::TreeHandle)> onExpanding;  // fills the item
};

class UiWxGallery : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* display = std::getenv("DISPLAY");
        if (display == nullptr || *display == '\0') return;
        static int argc = 1;
        static char name[] = "wx_gallery_tests";
        static char* argv[] = {name, nullptr};
        toolkit_ = ui::WxToolkit::Start(argc, argv).release();
    }
    void SetUp() override {
        if (toolkit_ == nullptr) GTEST_SKIP() << "no X display";
        backend_ = std::make_unique<ui::WxBackend>();
        app_ = std::make_unique<uitest::TestApp>();
    }
    void TearDown() override {
        app_.reset();
        backend_.reset();
    }
    ui::WxWindow& Wx(ui::Window& w) { return *backend_->Impl().Find(&w); }

    static ui::WxToolkit* toolkit_;
    std::unique_ptr<ui::WxBackend> backend_;
    std::unique_ptr<uitest::TestApp> app_;
};
ui::WxToolkit* UiWxGallery::toolkit_ = nullptr;

TEST_F(UiWxGallery, EveryControlShowsTheModelsState) {
    int checked = 0;
    CheckedDialog d(uitest::kTestTemplate, [&](CheckedDialog& self) {
        ui::WxWindow& w = Wx(self);
        for (const auto& [id, c] : self.Controls()) {
            ASSERT_EQ(w.controls.count(id), 1u) << id;
            wxWindow* ctl = w.controls[id];
            EXPECT_EQ(ctl->IsShown(), c.visible) << id;
            EXPECT_EQ(ctl->IsEnabled(), c.enabled) << id;
            if (c.kind == ui::ControlKind::Static || c.kind == ui::ControlKind::PushButton ||
                c.kind == ui::ControlKind::CheckBox) {
                EXPECT_EQ(ui::Utf8(ctl->GetLabel()), c.text) << id;
            }
            if (c.kind == ui::ControlKind::Edit) {
                EXPECT_EQ(ui::Utf8(static_cast<wxTextCtrl*>(ctl)->GetValue()), c.text) << id;
            }
            // The toolkit's own id is small and maps back to the layer's.
            EXPECT_LE(ctl->GetId(), 32767) << id;
            EXPECT_EQ(w.toLayer[ctl->GetId()], id);
            ++checked;
        }
    });
    EXPECT_EQ(d.DoModal(), ui::kIdCancel);
    EXPECT_TRUE(d.ranInLoop);
    EXPECT_GT(checked, 0);
}

TEST_F(UiWxGallery, ProgrammaticChangesRaiseNothingAndAToolkitEventOne) {
    int edits = 0, selections = 0;
    CheckedDialog d(uitest::kTestTemplate, [&](CheckedDialog& self) {
        self.OnNotify(ui::Notify::EditChange, uitest::kEdit, [&] { ++edits; });
        self.OnNotify(ui::Notify::SelChange, uitest::kDropList, [&] { ++selections; });
        self.SetText(uitest::kEdit, "typed by the program");
        self.ComboAdd(uitest::kDropList, "a");
        self.ComboAdd(uitest::kDropList, "b");
        self.ComboSelect(uitest::kDropList, 1);
        EXPECT_EQ(edits, 0);
        EXPECT_EQ(selections, 0);
        ui::WxWindow& w = Wx(self);
        auto* edit = static_cast<wxTextCtrl*>(w.controls[uitest::kEdit]);
        EXPECT_EQ(ui::Utf8(edit->GetValue()), "typed by the program");
        // As typing does: the control's text changes, then the event comes.
        edit->ChangeValue("by the user");
        EXPECT_EQ(edits, 0);
        wxCommandEvent typed(wxEVT_TEXT, edit->GetId());
        typed.SetEventObject(edit);
        edit->ProcessWindowEvent(typed);
        EXPECT_EQ(edits, 1);
        EXPECT_EQ(self.GetText(uitest::kEdit), "by the user");
    });
    d.DoModal();
    EXPECT_TRUE(d.ranInLoop);
}

TEST_F(UiWxGallery, EscapeWithoutButtonTwoEndsThroughTheModel) {
    CheckedDialog d(uitest::kNoCancelTemplate, [](CheckedDialog&) {});
    EXPECT_EQ(d.DoModal(), ui::kIdCancel);
    EXPECT_TRUE(d.ranInLoop);
    EXPECT_TRUE(d.Ended());
}


// Compares every control of `w` with the toolkit: text, enabled, visible.
void ExpectToolkitShowsModel(ui::WxWindow& wx, const ui::Window& w, const std::string& when) {
    for (const auto& [id, c] : w.Controls()) {
        SCOPED_TRACE(when + ", control " + std::to_string(id));
        ASSERT_EQ(wx.controls.count(id), 1u);
        wxWindow* ctl = wx.controls.at(id);
        EXPECT_EQ(WxText(ctl, c), ModelText(c));
        EXPECT_EQ(ctl->IsShown(), c.visible);
        EXPECT_EQ(ctl->IsEnabled(), c.enabled);
    }
}

TEST_F(UiWxGallery, EveryControlsTextFollowsTheModelAndProgramChangesRaiseOnlyTheTreesOwn) {
    using namespace uitest;
    struct Case {
        const char* what;
        std::function<void(ui::Window&)> change;
        int notifications;  // the tree's own, raised by the layer
    };
    ui::TreeHandle lazy = 0, leaf = 0;
    Raised raised;
    const Case cases[] = {
        {"as the template makes it", [](ui::Window&) {}, 0},
        {"texts",
         [](ui::Window& w) {
             w.SetText(kStatic, "Static now");
             w.SetText(kGroup, "Box");
             w.SetText(kButton, "Press");
             w.SetText(kCheck, "Tick");
             w.SetText(kEdit, "typed by the program");
             w.SetText(kReadOnly, "read only");
         },
         0},
        {"checks", [](ui::Window& w) { w.SetCheck(kCheck, true), w.SetCheck(kRadio, true); }, 0},
        {"combo entries and selections",
         [](ui::Window& w) {
             for (const char* e : {"validate.log_chan3", "Validate.a", "validate.logTMATS"}) w.ComboAdd(kDropList, e);
             w.ComboSelect(kDropList, 1);
             w.ComboAdd(kEditCombo, "first");
             w.ComboAdd(kEditCombo, "second");
             w.ComboSelectText(kEditCombo, "second");
         },
         0},
        {"combo selection taken away",
         [](ui::Window& w) {
             w.ComboSelect(kDropList, -1);
             w.ComboSelect(kEditCombo, -1);
         },
         0},
        {"combo emptied", [](ui::Window& w) { w.ComboReset(kEditCombo); }, 0},
        {"list rows and selection",
         [](ui::Window& w) {
             for (const char* name : {"c.ch10", "a.ch10", "b.ch10"}) {
                 int row = w.ListInsert(kList, w.ListCount(kList), name);
                 w.ListSetItem(kList, row, 1, std::string(name) + " size");
             }
             w.ListSelect(kList, 0, true);
             w.ListSelect(kList, 2, true);
         },
         0},
        {"list column inserted before others",
         [](ui::Window& w) { w.ListInsertColumn(kList, 1, "Kind", ui::ColumnAlign::Right, 40); }, 0},
        {"list selection changed", [](ui::Window& w) { w.ListSelect(kList, 0, false); }, 0},
        {"list filled while frozen",
         [](ui::Window& w) {
             w.ListFreeze(kList, true);
             w.ListInsert(kList, 0, "d.ch10");
             w.ListFreeze(kList, false);
         },
         0},
        {"tree items", [&](ui::Window& w) {
             lazy = w.TreeInsert(kTree, ui::kTreeRoot, "Drive 0", 0, 0, true, 0);
             w.TreeInsert(kTree, ui::kTreeRoot, "Drive 1", 0, 0, true, 0);
         }, 0},
        {"tree expanded by the program, first time",
         [&](ui::Window& w) {
             raised.onExpanding = [&w, &leaf](int id, ui::TreeHandle h) {
                 leaf = w.TreeInsert(id, h, "file.ch10", 0, 0, false, 0);
             };
             w.TreeExpand(kTree, lazy);
         },
         1},
        {"tree expanded again", [&](ui::Window& w) { w.TreeExpand(kTree, lazy); }, 0},
        {"tree selection", [&](ui::Window& w) { w.TreeSelect(kTree, leaf); }, 1},
        {"tree selection unchanged", [&](ui::Window& w) { w.TreeSelect(kTree, leaf); }, 0},
        {"tree emptied and filled", [&](ui::Window& w) {
             w.TreeDeleteAll(kTree);
             w.TreeInsert(kTree, ui::kTreeRoot, "Drive 2", 0, 0, false, 0);
         }, 0},
        {"grid cells",
         [](ui::Window& w) {
             w.GridSetRows(kGrid, 3);
             w.GridSetCell(kGrid, 0, 0, "10");
             w.GridSetCell(kGrid, 2, 1, "PCM");
             w.GridSetCurrent(kGrid, 2, 1);
         },
         0},
        {"grid rows taken away", [](ui::Window& w) { w.GridSetRows(kGrid, 2); }, 0},
        {"hidden and disabled",
         [](ui::Window& w) {
             w.Show(kButton, false);
             w.Enable(kEdit, false);
             w.Show(kHiddenButton, true);
             w.Enable(kDisabledButton, true);
         },
         0},
    };
    CheckedDialog d(kTestTemplate, [&](CheckedDialog& self) {
        raised.Watch(self);
        for (const Case& c : cases) {
            int before = raised.Total();
            c.change(self);
            EXPECT_EQ(raised.Total() - before, c.notifications) << c.what;
            ExpectToolkitShowsModel(Wx(self), self, c.what);
        }
    });
    d.DoModal();
    EXPECT_TRUE(d.ranInLoop);
}

TEST_F(UiWxGallery, TimersFireIntoTheModelOnTheUiThreadUntilKilled) {
    constexpr int kRefresh = 995, kEnd = 996, kKilledAtOnce = 997, kSetTwice = 998;
    std::map<int, int> fired;
    bool offThread = false;
    ui::WxBackendImpl* impl = &backend_->Impl();
    const std::thread::id uiThread = std::this_thread::get_id();
    CheckedDialog d(uitest::kTestTemplate, [&](CheckedDialog& self) {
        self.OnTimer([&, self = &self](int id) {
            offThread = offThread || std::this_thread::get_id() != uiThread;
            ++fired[id];
            // Killed at its third firing; a later one would show it still runs.
            if (id == kRefresh && fired[id] == 3) self->KillTimer(kRefresh);
            if (id == kEnd) self->PressEscape();
        });
        EXPECT_EQ(self.SetTimer(kRefresh, 20), kRefresh);
        EXPECT_EQ(self.SetTimer(kKilledAtOnce, 20), kKilledAtOnce);
        EXPECT_TRUE(self.KillTimer(kKilledAtOnce));
        EXPECT_FALSE(self.KillTimer(kKilledAtOnce));
        // Set again: the later period holds, ending the dialog well after
        // the refresh timer was killed.
        self.SetTimer(kSetTwice, 10);
        self.SetTimer(kSetTwice, 100000);
        self.SetTimer(kEnd, 400);
        EXPECT_TRUE(impl->TimerRunning(&self, kRefresh));
        EXPECT_FALSE(impl->TimerRunning(&self, kKilledAtOnce));
    });
    d.keepOpen = true;  // the end timer ends it
    {
        Watchdog watchdog(d, std::chrono::seconds(20));
        EXPECT_EQ(d.DoModal(), ui::kIdCancel);
        EXPECT_FALSE(watchdog.fired) << "the end timer never fired";
    }
    EXPECT_TRUE(d.ranInLoop);
    EXPECT_EQ(fired[kRefresh], 3);
    EXPECT_EQ(fired[kEnd], 1);
    EXPECT_EQ(fired[kKilledAtOnce], 0);
    EXPECT_EQ(fired[kSetTwice], 0);
    EXPECT_FALSE(offThread);
    for (int id : {kRefresh, kEnd, kSetTwice}) EXPECT_FALSE(impl->TimerRunning(&d, id)) << id << " outlived its window";
}

TEST_F(UiWxGallery, TimerOfAWindowNeverShownStopsWithIt) {
    ui::WxBackendImpl& impl = backend_->Impl();
    auto w = std::make_unique<ui::Window>();
    ui::Window* where = w.get();
    EXPECT_EQ(w->SetTimer(1, 10), 1);
    EXPECT_TRUE(impl.TimerRunning(where, 1));
    w.reset();
    EXPECT_FALSE(impl.TimerRunning(where, 1));
}

TEST_F(UiWxGallery, UsersTreeActionsReachTheModelWithOneNotificationEach) {
    using uitest::kTree;
    struct Case {
        const char* what;
        std::function<void(wxTreeCtrl*)> act;  // as the toolkit does for a click
        int notifications;
        std::function<void(ui::Window&)> check;
    };
    ui::TreeHandle drive0 = 0, drive1 = 0;
    Raised raised;
    CheckedDialog d(uitest::kTestTemplate, [&](CheckedDialog& self) {
        raised.Watch(self);
        raised.onExpanding = [&self](int id, ui::TreeHandle h) {
            if (!self.TreeChildren(id, h).empty()) return;
            for (const char* name : {"a.ch10", "b.ch10"}) self.TreeInsert(id, h, name, 0, 0, false, 0);
        };
        drive0 = self.TreeInsert(kTree, ui::kTreeRoot, "Drive 0", 0, 0, true, 0);
        drive1 = self.TreeInsert(kTree, ui::kTreeRoot, "Drive 1", 0, 0, true, 0);
        raised.refuse.insert(drive1);
        auto* tree = static_cast<wxTreeCtrl*>(Wx(self).controls.at(kTree));
        auto item = [&](ui::TreeHandle h) { return Wx(self).treeItems[kTree].at(h); };
        auto child = [&](int n) { return self.TreeChildren(kTree, drive0).at(static_cast<size_t>(n)); };
        const Case cases[] = {
            {"expand: asked, filled while expanding, shown open", [&](wxTreeCtrl* t) { t->Expand(item(drive0)); }, 1,
             [&](ui::Window& w) {
                 EXPECT_TRUE(w.TreeGet(kTree, drive0)->expanded);
                 EXPECT_EQ(w.TreeChildren(kTree, drive0).size(), 2u);
                 EXPECT_TRUE(tree->IsExpanded(item(drive0)));
             }},
            {"collapse: nothing raised, the model knows", [&](wxTreeCtrl* t) { t->Collapse(item(drive0)); }, 0,
             [&](ui::Window& w) { EXPECT_FALSE(w.TreeGet(kTree, drive0)->expanded); }},
            {"expand again: asked again, not filled twice", [&](wxTreeCtrl* t) { t->Expand(item(drive0)); }, 1,
             [&](ui::Window& w) {
                 EXPECT_EQ(w.TreeChildren(kTree, drive0).size(), 2u);
                 EXPECT_EQ((raised.expanding[{kTree, drive0}]), 2);
             }},
            {"expand refused", [&](wxTreeCtrl* t) { t->Expand(item(drive1)); }, 1,
             [&](ui::Window& w) {
                 EXPECT_FALSE(w.TreeGet(kTree, drive1)->expanded);
                 EXPECT_FALSE(tree->IsExpanded(item(drive1)));
             }},
            {"select a file", [&](wxTreeCtrl* t) { t->SelectItem(item(child(0))); }, 1,
             [&](ui::Window& w) {
                 EXPECT_EQ(w.TreeSelection(kTree), child(0));
                 EXPECT_EQ(raised.Of(ui::Notify::TreeSelChanged, kTree), 1);
             }},
            {"select another", [&](wxTreeCtrl* t) { t->SelectItem(item(child(1))); }, 1,
             [&](ui::Window& w) { EXPECT_EQ(w.TreeSelection(kTree), child(1)); }},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            int before = raised.Total();
            c.act(tree);
            EXPECT_EQ(raised.Total() - before, c.notifications);
            c.check(self);
            ExpectToolkitShowsModel(Wx(self), self, c.what);
        }
    });
    d.DoModal();
    EXPECT_TRUE(d.ranInLoop);
}

TEST_F(UiWxGallery, UsersListGridAndComboActionsReachTheModelWithOneNotificationEach) {
    using uitest::kGrid;
    using uitest::kList;
    struct Event {
        wxEventType type;
        long row;
    };
    struct Case {
        const char* what;
        std::vector<Event> events;  // the toolkit's events of one user action
        std::vector<int> selection;
    };
    const std::vector<Case> cases = {
        {"click on a row: the old one deselected, the new selected",
         {{wxEVT_LIST_ITEM_DESELECTED, 0}, {wxEVT_LIST_ITEM_SELECTED, 2}},
         {2}},
        {"control-click adds a row", {{wxEVT_LIST_ITEM_SELECTED, 0}}, {0, 2}},
        {"control-click takes one away", {{wxEVT_LIST_ITEM_DESELECTED, 2}}, {0}},
        {"shift-click selects a range", {{wxEVT_LIST_ITEM_SELECTED, 1}, {wxEVT_LIST_ITEM_SELECTED, 2}}, {0, 1, 2}},
    };
    Raised raised;
    std::vector<CheckedDialog::Step> steps;
    steps.push_back([&](CheckedDialog& self) {
        raised.Watch(self);
        for (const char* name : {"a.ch10", "b.ch10", "c.ch10"}) self.ListInsert(kList, self.ListCount(kList), name);
        self.ListSelect(kList, 0, true);
        EXPECT_EQ(raised.Total(), 0);
    });
    for (size_t i = 0; i <= cases.size(); ++i)
        steps.push_back([&, i](CheckedDialog& self) {
            auto* list = static_cast<wxListCtrl*>(Wx(self).controls.at(kList));
            if (i > 0) {
                const Case& done = cases[i - 1];
                SCOPED_TRACE(done.what);
                EXPECT_EQ(raised.Of(ui::Notify::SelChange, kList), static_cast<int>(i)) << "one per action";
                EXPECT_EQ(self.ListSelection(kList), done.selection);
                ExpectToolkitShowsModel(Wx(self), self, done.what);
            }
            if (i == cases.size()) return;
            const Case& c = cases[i];
            {
                // The toolkit shows the user's choice before it tells.
                ui::Quiet q(backend_->Impl().quiet);
                for (const Event& e : c.events)
                    list->SetItemState(e.row, e.type == wxEVT_LIST_ITEM_SELECTED ? wxLIST_STATE_SELECTED : 0,
                                       wxLIST_STATE_SELECTED);
            }
            for (const Event& e : c.events) {
                wxListEvent event(e.type, list->GetId());
                event.SetEventObject(list);
                event.m_itemIndex = e.row;
                list->ProcessWindowEvent(event);
            }
            EXPECT_EQ(raised.Of(ui::Notify::SelChange, kList), static_cast<int>(i)) << "reported once it is whole";
        });
    steps.push_back([&](CheckedDialog& self) {
        auto* grid = static_cast<wxGrid*>(Wx(self).controls.at(kGrid));
        self.GridSetRows(kGrid, 3);
        // Moving to a cell, as the arrow keys do.
        grid->SetGridCursor(1, 1);
        EXPECT_EQ(raised.Of(ui::Notify::SelChange, kGrid), 1);
        EXPECT_EQ(self.Find(kGrid)->gridCurrentRow, 1);
        EXPECT_EQ(self.Find(kGrid)->gridCurrentColumn, 1);
        // The program's move shows and raises nothing.
        self.GridSetCurrent(kGrid, 0, 0);
        self.GridSetCell(kGrid, 0, 0, "10");
        EXPECT_EQ(raised.Of(ui::Notify::SelChange, kGrid), 1);
        EXPECT_EQ(grid->GetGridCursorRow(), 0);
        EXPECT_EQ(grid->GetGridCursorCol(), 0);
    });
    steps.push_back([&](CheckedDialog& self) {
        wxWindow* combo = Wx(self).controls.at(uitest::kEditCombo);
        wxCommandEvent opened(wxEVT_COMBOBOX_DROPDOWN, combo->GetId());
        opened.SetEventObject(combo);
        combo->ProcessWindowEvent(opened);
        EXPECT_EQ(raised.Of(ui::Notify::DropDown, uitest::kEditCombo), 1) << "the user opened the list";
        {
            ui::Quiet q(backend_->Impl().quiet);
            combo->ProcessWindowEvent(opened);
        }
        EXPECT_EQ(raised.Of(ui::Notify::DropDown, uitest::kEditCombo), 1) << "the program's change";
    });
    steps.push_back([&](CheckedDialog& self) {
        using uitest::kEditCombo;
        for (const char* e : {"first", "second"}) self.ComboAdd(kEditCombo, e);
        auto* combo = static_cast<wxComboBox*>(Wx(self).controls.at(kEditCombo));
        auto tell = [combo](wxEventType type, const wxString& text, int index) {
            wxCommandEvent e(type, combo->GetId());
            e.SetEventObject(combo);
            e.SetString(text);
            e.SetInt(index);
            combo->ProcessWindowEvent(e);
        };
        {
            ui::Quiet q(backend_->Impl().quiet);
            combo->SetSelection(1);
        }
        // A choice from the list: the toolkit tells of the new text, then of
        // the choice; one action, one notification.
        tell(wxEVT_TEXT, "second", 1);
        tell(wxEVT_COMBOBOX, "second", 1);
        EXPECT_EQ(raised.Of(ui::Notify::SelChange, kEditCombo), 1);
        EXPECT_EQ(raised.Of(ui::Notify::EditChange, kEditCombo), 0);
        EXPECT_EQ(self.ComboSelection(kEditCombo), 1);
        EXPECT_EQ(self.GetText(kEditCombo), "second");
        // Typing an entry's text selects it in the model, as typing does there.
        {
            ui::Quiet q(backend_->Impl().quiet);
            combo->SetSelection(wxNOT_FOUND);
            combo->ChangeValue("first");
        }
        tell(wxEVT_TEXT, "first", 0);
        EXPECT_EQ(raised.Of(ui::Notify::EditChange, kEditCombo), 1);
        EXPECT_EQ(raised.Of(ui::Notify::SelChange, kEditCombo), 1);
        EXPECT_EQ(self.ComboSelection(kEditCombo), 0);
        EXPECT_EQ(self.GetText(kEditCombo), "first");
    });
    CheckedDialog d(uitest::kTestTemplate, steps);
    d.DoModal();
    EXPECT_TRUE(d.ranInLoop);
}

// Radio groups as a template writes them, their ids in no order: a group
// starts at a radio marked as one, and the model may check none of a group.
namespace radios {
enum : int { kDisk = 1095, kRmm = 1094, kDir = 1083, kFile = 1084 };
constexpr ui::ControlTemplate kControls[] = {
    {ui::ControlKind::Radio, kDisk, "Open &Disk", 7, 7, 60, 10, ui::kGroup},
    {ui::ControlKind::Radio, kRmm, "Open &RMM", 72, 7, 60, 10},
    {ui::ControlKind::Radio, kDir, "&Source Dir:", 7, 24, 58, 10, ui::kGroup},
    {ui::ControlKind::Radio, kFile, "S&ource File:", 7, 40, 58, 10},
    {ui::ControlKind::PushButton, 1, "OK", 80, 60, 50, 14, ui::kDefault | ui::kGroup},
    {ui::ControlKind::PushButton, 2, "Cancel", 140, 60, 50, 14},
};
constexpr ui::DialogTemplate kDialog{903, "Radios", "MS Sans Serif", 8, 200, 80, kControls};
const ui::DialogTemplate* const kDialogs[] = {&kDialog};
const ui::ResourceSet kResources{kDialogs, {}, {}, {}, {}, {}};
struct App : ui::App {
    App() : ui::App(kResources, {}) {}
    ui::InitResult InitInstance() override { return ui::InitResult::Ok; }
};
}  // namespace radios

TEST_F(UiWxGallery, RadioGroupsFollowTheTemplateAndAUsersClickClearsOnlyItsOwnGroup) {
    using namespace radios;
    app_.reset();
    App app;
    struct Case {
        const char* what;
        int click;     // by the user; 0: none
        int program;   // checked by the program; 0: none
        std::map<int, bool> checked;
    };
    const Case cases[] = {
        {"none checked at first", 0, 0, {{kDisk, false}, {kRmm, false}, {kDir, false}, {kFile, false}}},
        {"a click in the first group", kRmm, 0, {{kDisk, false}, {kRmm, true}, {kDir, false}, {kFile, false}}},
        {"the program checks in the second", 0, kDir, {{kDisk, false}, {kRmm, true}, {kDir, true}, {kFile, false}}},
        {"a click in the second", kFile, 0, {{kDisk, false}, {kRmm, true}, {kDir, false}, {kFile, true}}},
        {"a click back in the first", kDisk, 0, {{kDisk, true}, {kRmm, false}, {kDir, false}, {kFile, true}}},
    };
    CheckedDialog d(kDialog.id, [&](CheckedDialog& self) {
        Raised raised;
        raised.Watch(self);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            if (c.program != 0) self.SetCheck(c.program, true);
            if (c.click != 0) {
                // The toolkit checks the button, clearing its group, then tells.
                auto* rb = static_cast<wxRadioButton*>(Wx(self).controls.at(c.click));
                {
                    ui::Quiet q(backend_->Impl().quiet);
                    rb->SetValue(true);
                }
                wxCommandEvent click(wxEVT_RADIOBUTTON, rb->GetId());
                click.SetEventObject(rb);
                click.SetInt(1);
                rb->ProcessWindowEvent(click);
                EXPECT_EQ(raised.Of(ui::Notify::Clicked, c.click), 1);
            }
            for (auto [id, on] : c.checked) EXPECT_EQ(self.GetCheck(id), on) << id;
            ExpectToolkitShowsModel(Wx(self), self, c.what);
        }
    });
    d.DoModal();
    EXPECT_TRUE(d.ranInLoop);
}

// A real pointer on the X server (the XTest extension): the toolkit's own
// events of a click reach the model once, and the model ends up as the
// toolkit shows it.
TEST_F(UiWxGallery, RealClicksOnAListAndATreeReachTheModelOnce) {
    using uitest::kList;
    using uitest::kTree;
    Raised raised;
    ui::TreeHandle second = 0;
    bool simulated = true;
    // Clicks at a point of a control and lets the toolkit handle it until
    // the click's notification has come, and a while after it, when a
    // second one would come.
    auto click = [&simulated](wxWindow* ctl, wxPoint at, const std::function<bool()>& arrived) {
        wxUIActionSimulator sim;
        simulated = simulated && sim.MouseMove(ctl->ClientToScreen(at));
        wxYield();
        simulated = simulated && sim.MouseClick();
        if (simulated) {
            EXPECT_TRUE(uitest::YieldUntil(arrived)) << "no notification of the click";
        }
        for (int i = 0; i < 10; ++i) {
            wxYield();
            wxMilliSleep(20);
        }
    };
    std::vector<CheckedDialog::Step> steps;
    steps.push_back([&](CheckedDialog& self) {
        raised.Watch(self);
        for (const char* name : {"a.ch10", "b.ch10", "c.ch10"}) self.ListInsert(kList, self.ListCount(kList), name);
        self.TreeInsert(kTree, ui::kTreeRoot, "Drive 0", 0, 0, true, 0);
        second = self.TreeInsert(kTree, ui::kTreeRoot, "Drive 1", 0, 0, false, 0);
    });
    steps.push_back([&](CheckedDialog& self) {
        auto* list = static_cast<wxListCtrl*>(Wx(self).controls.at(kList));
        wxRect row;
        ASSERT_TRUE(list->GetItemRect(1, row));
        click(list, wxPoint(row.x + 10, row.y + row.height / 2),
              [&] { return raised.Of(ui::Notify::SelChange, kList) > 0; });
    });
    steps.push_back([&](CheckedDialog& self) {
        if (!simulated) return;
        EXPECT_EQ(raised.Of(ui::Notify::SelChange, kList), 1);
        std::vector<int> selection = self.ListSelection(kList);
        EXPECT_NE(std::find(selection.begin(), selection.end(), 1), selection.end());
        ExpectToolkitShowsModel(Wx(self), self, "a click on a row");
        auto* tree = static_cast<wxTreeCtrl*>(Wx(self).controls.at(kTree));
        wxRect item;
        ASSERT_TRUE(tree->GetBoundingRect(Wx(self).treeItems[kTree].at(second), item, true));
        click(tree, wxPoint(item.x + 5, item.y + item.height / 2),
              [&] { return raised.Of(ui::Notify::TreeSelChanged, kTree) > 0; });
    });
    steps.push_back([&](CheckedDialog& self) {
        if (!simulated) return;
        EXPECT_EQ(raised.Of(ui::Notify::TreeSelChanged, kTree), 1);
        EXPECT_EQ(self.TreeSelection(kTree), second);
        ExpectToolkitShowsModel(Wx(self), self, "a click on an item");
    });
    CheckedDialog d(uitest::kTestTemplate, steps);
    d.DoModal();
    EXPECT_TRUE(d.ranInLoop);
    if (!simulated) GTEST_SKIP() << "the X server takes no simulated input";
}

}  // namespace
