// Every dialog template of the program and its form, opened under the wx
// back end as a user sees them: no control allotted less than the toolkit's
// natural size for its text, none outside its window, no toolkit warning
// while a window opens, and a picture of each under the build folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <wx/clipbrd.h>
#include <wx/imaglist.h>
#include <wx/treectrl.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include "platform/ui/app.h"
#include "platform/ui/frame.h"
#include "platform/ui/wx.h"
#include "platform/ui/wx/src/wx_impl.h"
#include "tests/support/ch10_fixture.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/wx_settled_rig.h"
#include "vexa/res/resource_ids.h"

namespace {

class ResourcesApp : public ui::App {
public:
    ResourcesApp() : ui::App(vexa::res::Resources(), {}) {}
    ui::InitResult InitInstance() override { return ui::InitResult::Ok; }
};

// A template's dialog with no program behind it, checked once drawn.
class LaidOutDialog : public ui::Dialog {
public:
    LaidOutDialog(int tmpl, std::function<void(ui::Dialog&, ui::WxWindow&)> check)
        : ui::Dialog(tmpl), settled_(*this, [this, check](ui::WxWindow& w) { check(*this, w); }) {}
    bool OnInitDialog() override {
        ui::Dialog::OnInitDialog();
        settled_.Start();
        return true;
    }
    bool Ran() const { return settled_.ran; }

private:
    uitest::SettledCheck settled_;
};

// What the process writes to its standard error while alive, kept in a file.
class StderrCapture {
public:
    StderrCapture() : saved_(dup(2)) {
        std::fflush(stderr);
        int fd = open(file_.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
        dup2(fd, 2);
        close(fd);
    }
    ~StderrCapture() { Restore(); }
    std::string Text() {
        Restore();
        return ch10fix::ReadText(file_);
    }

private:
    void Restore() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
        saved_ = -1;
    }
    ch10fix::TempDir dir_;
    std::string file_ = dir_.File("stderr");
    int saved_;
};

// Lines the toolkit logs as warnings or worse.
std::string ToolkitWarnings(const std::string& err) {
    std::istringstream in(err);
    std::string line, found;
    for (; std::getline(in, line);)
        if (line.find("-WARNING") != std::string::npos || line.find("-CRITICAL") != std::string::npos)
            found += line + "\n";
    return found;
}

bool HasText(ui::ControlKind k) {
    using K = ui::ControlKind;
    return k == K::Static || k == K::PushButton || k == K::CheckBox || k == K::Radio || k == K::Edit ||
           k == K::Combo;
}

bool NeedsTextWidth(ui::ControlKind k) {
    using K = ui::ControlKind;
    return k == K::Static || k == K::PushButton || k == K::CheckBox || k == K::Radio;
}

// Every control: inside the window, and at least as large as its text needs.
void ExpectLaidOut(ui::Window& d, ui::WxWindow& w) {
    wxSize client = w.top->GetClientSize();
    for (const auto& [id, c] : d.Controls()) {
        SCOPED_TRACE("control " + std::to_string(id) + " \"" + c.text + "\"");
        ASSERT_EQ(w.controls.count(id), 1u);
        wxWindow* ctl = w.controls.at(id);
        wxRect at = ctl->GetRect();
        EXPECT_GE(at.x, 0);
        EXPECT_GE(at.y, 0);
        EXPECT_LE(at.GetRight() + 1, client.x) << "window " << client.x << "x" << client.y;
        EXPECT_LE(at.GetBottom() + 1, client.y) << "window " << client.x << "x" << client.y;
        if (!HasText(c.kind)) continue;
        wxSize natural = ctl->GetBestSize();
        EXPECT_GE(at.height, natural.y) << "natural height";
        if (NeedsTextWidth(c.kind)) {
            EXPECT_GE(at.width, natural.x) << "natural width";
        }
    }
}

void TakePicture(const std::string& title, const std::string& name) {
    uitest::TakePicture(WINDOW_SHOT, title, std::string(UI_SMOKE_DIR) + "/" + name + ".png");
}

class UiLayout : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* display = std::getenv("DISPLAY");
        if (display == nullptr || *display == '\0') return;
        static int argc = 1;
        static char name[] = "wx_layout_tests";
        static char* argv[] = {name, nullptr};
        toolkit_ = ui::WxToolkit::Start(argc, argv);
    }
    // The toolkit ends with the suite, freeing what it holds.
    static void TearDownTestSuite() { toolkit_.reset(); }
    void SetUp() override {
        if (toolkit_ == nullptr) GTEST_SKIP() << "no X display";
        backend_ = std::make_unique<ui::WxBackend>();
        app_ = std::make_unique<ResourcesApp>();
    }
    void TearDown() override {
        app_.reset();
        backend_.reset();
    }
    // Opens the template as a dialog, checks it, and gives back what the
    // toolkit wrote while it was open.
    std::string Open(int tmpl, const std::function<void(ui::Dialog&, ui::WxWindow&)>& check) {
        StderrCapture err;
        LaidOutDialog d(tmpl, check);
        d.DoModal();
        EXPECT_TRUE(d.Ran()) << "template " << tmpl << " was never drawn";
        return err.Text();
    }

    static std::unique_ptr<ui::WxToolkit> toolkit_;
    std::unique_ptr<ui::WxBackend> backend_;
    std::unique_ptr<ResourcesApp> app_;
};
std::unique_ptr<ui::WxToolkit> UiLayout::toolkit_;

TEST_F(UiLayout, EveryTemplateGivesEachControlItsNaturalSizeInsideTheWindowWithoutWarnings) {
    for (const ui::DialogTemplate* t : vexa::res::Resources().dialogs) {
        std::string title(t->title.empty() ? "form" : t->title);
        SCOPED_TRACE("template " + std::to_string(t->id) + " " + title);
        std::string picture = title;
        for (char& ch : picture) ch = ch == ' ' ? '-' : static_cast<char>(std::tolower(ch));
        std::string err = Open(t->id, [&](ui::Dialog& d, ui::WxWindow& w) {
            ExpectLaidOut(d, w);
            wxSize size = w.top->GetSize();
            std::printf("window %d %s: %dx%d\n", t->id, title.c_str(), size.x, size.y);
            EXPECT_LE(size.x, 1280);
            EXPECT_LE(size.y, 1024);
            if (!t->title.empty()) TakePicture(title, "layout-" + picture);
        });
        EXPECT_EQ(ToolkitWarnings(err), "");
    }
}

TEST_F(UiLayout, TheOutputChoosersClosedComboIsNaturalAndInsideTheDialog) {
    Open(vexa::res::kIddViewOutputFile, [](ui::Dialog&, ui::WxWindow& w) {
        wxWindow* combo = w.controls.at(vexa::res::kIdcOutputChooser);
        wxRect at = combo->GetRect();
        EXPECT_EQ(at.height, combo->GetBestSize().y);
        EXPECT_LE(at.GetBottom() + 1, w.top->GetClientSize().y);
        // The text field: where the user types, seen inside the dialog.
        wxPoint text = w.top->ScreenToClient(combo->ClientToScreen(wxPoint(4, at.height / 2)));
        EXPECT_GT(text.y, 0);
        EXPECT_LT(text.y, w.top->GetClientSize().y);
    });
}

// Lets the toolkit handle what the X server has queued.
void Settle() {
    for (int i = 0; i < 10; ++i) {
        wxYield();
        wxMilliSleep(20);
    }
}

// The directory tree shows bitmap 141's images: drives by their type,
// folders closed and open, the network's.
TEST_F(UiLayout, TheDirectoryTreeShowsEachItemsImages) {
    static constexpr int kTree = 1085;
    Open(vexa::res::kIddSelectDir, [](ui::Dialog& d, ui::WxWindow& w) {
        d.TreeSetImageList(kTree, vexa::res::kIdbDirTree);
        struct Item {
            const char* text;
            int image, selected;
        };
        const Item items[] = {{"A:", 2, 2}, {"C:", 3, 3}, {"D:", 5, 5}, {"Network Neighborhood", 7, 7}};
        std::vector<ui::TreeHandle> roots;
        for (const Item& it : items)
            roots.push_back(d.TreeInsert(kTree, ui::kTreeRoot, it.text, it.image, it.selected, true, 0));
        ui::TreeHandle folder = d.TreeInsert(kTree, roots[1], "flights", 0, 1, false, 0);
        d.TreeExpand(kTree, roots[1]);
        d.TreeSelect(kTree, folder);
        auto* tree = static_cast<wxTreeCtrl*>(w.controls.at(kTree));
        ASSERT_NE(tree->GetImageList(), nullptr);
        EXPECT_EQ(tree->GetImageList()->GetImageCount(), 15);
        int width = 0, height = 0;
        tree->GetImageList()->GetSize(0, width, height);
        EXPECT_EQ(width, 17);
        EXPECT_EQ(height, 16);
        for (const auto& [h, item] : w.treeItems.at(kTree)) {
            const ui::TreeItem* m = d.TreeGet(kTree, h);
            SCOPED_TRACE(m->text);
            EXPECT_EQ(tree->GetItemImage(item, wxTreeItemIcon_Normal), m->image);
            EXPECT_EQ(tree->GetItemImage(item, wxTreeItemIcon_Selected), m->selectedImage);
        }
        Settle();
        TakePicture("Select Directory", "select-directory-images");
    });
}

// The View menu's item `text`, as the user sees it once the menu opens.
bool ShownChecked(wxFrame* f, const char* text) {
    wxMenuEvent opened(wxEVT_MENU_OPEN);
    opened.SetEventObject(f);
    f->ProcessWindowEvent(opened);
    int id = f->GetMenuBar()->FindMenuItem("View", text);
    wxMenuItem* item = id == wxNOT_FOUND ? nullptr : f->GetMenuBar()->FindItem(id);
    EXPECT_NE(item, nullptr) << text;
    return item != nullptr && item->IsCheckable() && item->IsChecked();
}

// The main frame with the form, its bars and the program's menu, as the
// program makes them; checked once it has been drawn.
TEST_F(UiLayout, TheFormGivesEachControlItsNaturalSizeAndTheFrameFitsTheScreen) {
    StderrCapture err;
    ui::Frame frame;
    frame.SetMenu(vexa::res::kIdrMainFrame);
    frame.SetStyle(ui::kCaption | ui::kSysMenu | ui::kMinimizeBox);
    frame.Bounds() = ui::Rect{0, 0, 1280, 1024};
    frame.SetTitle("Kelvane layout");
    frame.MarkCreated();
    ASSERT_TRUE(frame.CreateToolbar(vexa::res::kIdrToolbar));
    ASSERT_TRUE(frame.CreateStatusBar({"", "CAP", "NUM", "SCRL"}));
    ui::FormView view(vexa::res::kIddForm);
    view.SetParentFrame(&frame);
    frame.SetView(&view);
    ui::Size form = view.FormSize();
    frame.Bounds() = ui::Rect{(1280 - form.cx) / 2, (1024 - form.cy) / 2, form.cx, form.cy};
    view.CreateControls(*vexa::res::Resources().Dialog(vexa::res::kIddForm));
    view.ResizeParentToFit(false);
    ui::WxBackendImpl& impl = backend_->Impl();
    wxFrame* f = impl.MainWxFrame();
    ASSERT_NE(f, nullptr);
    f->Show();
    for (int i = 0; i < 250 && !impl.Ready(*impl.Find(&frame)); ++i) Settle();
    Settle();
    ui::WxWindow& w = *impl.Find(&view);
    ExpectLaidOut(view, w);
    wxSize outer = f->GetSize();
    std::printf("frame: %dx%d, form %dx%d\n", outer.x, outer.y, w.top->GetClientSize().x, w.top->GetClientSize().y);
    EXPECT_LE(outer.x, 1280);
    EXPECT_LE(outer.y, 1024);
    TakePicture("Kelvane layout", "layout-form");
    // The framework's bar commands show a check while their bar shows.
    EXPECT_TRUE(ShownChecked(f, "Toolbar"));
    EXPECT_TRUE(ShownChecked(f, "Status Bar"));
    frame.DispatchCommand(ui::kIdViewToolbar);
    EXPECT_FALSE(ShownChecked(f, "Toolbar"));
    EXPECT_TRUE(ShownChecked(f, "Status Bar"));
    view.Destroy();
    frame.Destroy();
    Settle();
    EXPECT_EQ(ToolkitWarnings(err.Text()), "");
}

TEST_F(UiLayout, NumberEditsRefuseWhatIsNotDigitsTypedOrPasted) {
    bool simulated = true;
    bool pasted = true;
    Open(vexa::res::kIddOpenFiles, [&](ui::Dialog& d, ui::WxWindow& w) {
        for (int id : {1062, 1063, 1069, 1071, 1074}) {
            SCOPED_TRACE("edit " + std::to_string(id));
            auto* edit = static_cast<wxTextCtrl*>(w.controls.at(id));
            d.SetText(id, "5");
            edit->SetFocus();
            edit->SetInsertionPointEnd();
            Settle();
            wxUIActionSimulator sim;
            // Keys arrive in order: the last digit shows once the refused
            // keys before it have been handled.
            simulated = simulated && sim.Text("a-9x1");
            if (simulated) {
                EXPECT_TRUE(uitest::YieldUntil([&] { return d.GetText(id) == "591"; })) << d.GetText(id).value_or("(none)");
                EXPECT_EQ(ui::Utf8(edit->GetValue()), "591");
            }
            // A paste, from the clipboard as the user's Ctrl+V takes it.
            for (const char* clip : {"x7", "12"}) {
                if (!wxTheClipboard->Open()) {
                    pasted = false;
                    continue;
                }
                wxTheClipboard->SetData(new wxTextDataObject(clip));
                wxTheClipboard->Close();
                edit->SetInsertionPointEnd();
                edit->Paste();
                Settle();
            }
            if (!pasted) continue;
            // The refused paste went before the accepted one.
            std::string expected = simulated ? "59112" : "512";
            EXPECT_TRUE(uitest::YieldUntil([&] { return d.GetText(id) == expected; })) << d.GetText(id).value_or("(none)");
            EXPECT_EQ(d.GetText(id), expected);
            EXPECT_EQ(ui::Utf8(edit->GetValue()), expected);
        }
    });
    if (!simulated && !pasted) GTEST_SKIP() << "the X server takes no simulated input";
}

}  // namespace
