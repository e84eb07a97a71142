// The test template under the wx back end in this process: real controls
// mirror the model, programmatic changes raise nothing while a toolkit event
// raises one notification, Escape goes through the model, and work posted
// from another thread runs inside a modal loop.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <thread>

#include <wx/listctrl.h>

#include "platform/ui/post_queue.h"
#include "platform/ui/wx.h"
#include "platform/ui/wx/src/wx_impl.h"
#include "tests/ui/ui_fixture.h"

namespace {

// A dialog that runs `check` from a post made by another thread once its
// modal loop runs, then ends through Escape as a user would.
class CheckedDialog : public ui::Dialog {
public:
    CheckedDialog(int tmpl, std::function<void(CheckedDialog&)> check) : ui::Dialog(tmpl), check_(std::move(check)) {}
    bool OnInitDialog() override {
        ui::Dialog::OnInitDialog();
        std::thread([this] { ui::PostToUi(this, [this] { Run(); }); }).join();
        return true;
    }
    void Run() {
        ranInLoop = true;
        check_(*this);
        if (!Ended()) PressEscapeThroughToolkit();
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

private:
    std::function<void(CheckedDialog&)> check_;
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
                c.kind == ui::ControlKind::CheckBox)
                EXPECT_EQ(ui::Utf8(ctl->GetLabel()), c.text) << id;
            if (c.kind == ui::ControlKind::Edit)
                EXPECT_EQ(ui::Utf8(static_cast<wxTextCtrl*>(ctl)->GetValue()), c.text) << id;
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

TEST_F(UiWxGallery, RowSelectionAndDropDownFromTheToolkitReachTheModel) {
    int selections = 0, drops = 0;
    CheckedDialog d(uitest::kTestTemplate, [&](CheckedDialog& self) {
        self.OnNotify(ui::Notify::SelChange, uitest::kList, [&] { ++selections; });
        self.OnNotify(ui::Notify::DropDown, uitest::kEditCombo, [&] { ++drops; });
        for (const char* name : {"a", "b", "c"}) self.ListInsert(uitest::kList, self.ListCount(uitest::kList), name);
        self.ListSelect(uitest::kList, 0, true);
        EXPECT_EQ(selections, 0) << "the program's own selection";
        ui::WxWindow& w = Wx(self);
        auto* list = static_cast<wxListCtrl*>(w.controls[uitest::kList]);
        ASSERT_EQ(list->GetItemCount(), 3);
        EXPECT_TRUE(list->GetItemState(0, wxLIST_STATE_SELECTED) & wxLIST_STATE_SELECTED);
        for (auto [type, row] : {std::pair{wxEVT_LIST_ITEM_SELECTED, 2L}, std::pair{wxEVT_LIST_ITEM_DESELECTED, 0L}}) {
            wxListEvent event(type, list->GetId());
            event.m_itemIndex = row;
            event.SetEventObject(list);
            list->ProcessWindowEvent(event);
        }
        EXPECT_EQ(selections, 2);
        EXPECT_EQ(self.ListSelection(uitest::kList), std::vector<int>{2});
        auto* combo = w.controls[uitest::kEditCombo];
        wxCommandEvent dropped(wxEVT_COMBOBOX_DROPDOWN, combo->GetId());
        dropped.SetEventObject(combo);
        combo->ProcessWindowEvent(dropped);
        EXPECT_EQ(drops, 1);
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

}  // namespace
