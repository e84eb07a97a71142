// "Select Directory" on the headless back end: a temporary tree, a link,
// and a fake network through the network interface.
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dirtree.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/ui_fixture.h"
#include "vexa/res/resource_ids.h"
#include "vexa/res/tables.h"
#include "vexa/ui/select_dir_dlg.h"
#include "vexa/ui/ui_module_state.h"

namespace {
namespace fs = std::filesystem;
using vexa::CSelectDirDlg;
using vexa::kDirPathText;
using vexa::kDirTreeId;

class ResourceApp : public ui::App {
public:
    ResourceApp() : ui::App(vexa::res::Resources(), {}) {}
    ui::InitResult InitInstance() override { return ui::InitResult::Ok; }
};

// A domain with a server and its share, a level too long for one buffer,
// and a resource known only by its comment.
class FakeNetwork : public platform::NetworkEnumerator {
public:
    std::vector<platform::NetResource> big;
    FakeNetwork() {
        for (int i = 0; i < 400; ++i) big.push_back(Resource(std::string(60, 'S') + std::to_string(1000 + i), 2));
    }
    static platform::NetResource Resource(std::optional<std::string> remote, int displayType,
                                          std::optional<std::string> comment = std::nullopt) {
        platform::NetResource r;
        r.displayType = displayType;
        r.remoteName = std::move(remote);
        r.comment = std::move(comment);
        return r;
    }
    std::optional<std::vector<platform::NetResource>> Enumerate(const platform::NetResource* parent,
                                                                std::size_t bytes) override {
        ++calls;
        const std::string name = parent ? parent->remoteName.value_or("") : "";
        std::vector<platform::NetResource> level;
        if (!parent)
            level = {Resource("WORKGROUP", 1), Resource("BIG", 1), Resource(std::nullopt, 1, "Printers")};
        else if (name == "WORKGROUP")
            level = {Resource("\\\\SERVER", 2)};
        else if (name == "\\\\SERVER")
            level = {Resource("\\\\SERVER\\Data", platform::kNetDisplayShare), Resource("Whole", platform::kNetDisplayShare)};
        else if (name == "BIG")
            level = big;
        else
            return std::nullopt;
        return platform::FitIntoBuffer(level, bytes);
    }
    int calls = 0;
};

class SelectDir : public ::testing::Test {
protected:
    void SetUp() override {
        vexa::UiState().ResetForTests();
        vexa::UiState().network = &network;
        for (const char* d : {"a/B/cc", "DATA", "Data", "Mixed", "empty", "target/inside"})
            fs::create_directories(fs::path(tmp.Path()) / d);
        fs::create_directory_symlink(fs::path(tmp.Path()) / "target", fs::path(tmp.Path()) / "link");
    }
    void TearDown() override { vexa::UiState().ResetForTests(); }

    // Runs the dialog from `start`; `answer` acts and ends it (Cancel when it does not).
    std::string Run(const std::string& start, const std::function<void(CSelectDirDlg&, ui::Driver&)>& answer) {
        ui.backend.AnswerModal(vexa::res::kIddSelectDir, [&](ui::Dialog& d, ui::Driver& driver) {
            answer(static_cast<CSelectDirDlg&>(d), driver);
            if (!d.Ended()) driver.Click(d, ui::kIdCancel);
        });
        CSelectDirDlg dialog;
        dialog.selectedPath = start;
        dialog.DoModal();
        return dialog.selectedPath;
    }
    static std::vector<std::string> Texts(const CSelectDirDlg& d, ui::TreeHandle parent) {
        std::vector<std::string> out;
        for (ui::TreeHandle h : d.TreeChildren(kDirTreeId, parent)) out.push_back(d.TreeGet(kDirTreeId, h)->text);
        return out;
    }
    static ui::TreeHandle Child(const CSelectDirDlg& d, ui::TreeHandle parent, const std::string& text) {
        for (ui::TreeHandle h : d.TreeChildren(kDirTreeId, parent))
            if (d.TreeGet(kDirTreeId, h)->text == text) return h;
        return ui::kTreeRoot;
    }
    static std::string SelectedText(const CSelectDirDlg& d) {
        const ui::TreeItem* t = d.TreeGet(kDirTreeId, d.TreeSelection(kDirTreeId));
        return t ? t->text : "";
    }

    FakeNetwork network;
    ch10fix::TempDir tmp;
    uitest::HeadlessUi ui;
    ResourceApp app;
};

TEST(SelectDirNames, FormatItemNameAndComponents) {
    struct Name {
        const char* in;
        const char* shown;
    } names[] = {{"DATA", "Data"}, {"ABC1_X", "Abc1_x"}, {"Mixed", "Mixed"}, {"123", "123"},
                 {"/", "/"},       {"", ""},             {"a", "a"},         {"Q", "Q"}};
    for (const Name& n : names) EXPECT_EQ(vexa::FormatItemName(n.in), n.shown) << n.in;

    struct Component {
        const char* path;
        int n;
        std::optional<std::string> part;
    } parts[] = {
        {"/a/B/cc/", 0, ""},  {"/a/B/cc/", 1, "a"},    {"/a/B/cc/", 3, "cc"}, {"/a/B/cc/", 4, ""},
        {"/a/B/cc/", 5, {}},  {"a\\b/c", 1, "b"},      {"a\\b/c", 2, "c"},    {"a", 0, "a"},
        {"a", 1, {}},         {"//srv/sh", 1, ""},     {"//srv/sh", 2, "srv"},
    };
    for (const Component& c : parts) EXPECT_EQ(vexa::GetPathComponent(c.path, c.n), c.part) << c.path << " " << c.n;
}

TEST_F(SelectDir, OpensAlongTheStartPath) {
    struct Case {
        std::string start;
        std::string selected;  // the item shown selected
        std::string path;      // the path handed back
    };
    const std::string t = tmp.Path();
    const Case cases[] = {
        {t + "/a/B/cc/", "cc", t + "/a/B/cc/"},
        {t + "/DATA", "Data", t + "/DATA/"},          // exact match, shown formatted
        {t + "/Data/", "Data", t + "/Data/"},
        {t + "/data/", "Data", t + "/DATA/"},         // the first case-insensitive match
        {t + "/a/zz/B/", "B", t + "/a/B/"},           // a missing component is skipped
        {t + "/nothere/", tmp.Path().substr(tmp.Path().rfind('/') + 1), t + "/"},
        {t + "\\a\\B", "B", t + "/a/B/"},
        {"/", "/", "/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        const std::string result = Run(c.start, [&](CSelectDirDlg& d, ui::Driver& driver) {
            EXPECT_EQ(SelectedText(d), vexa::FormatItemName(c.selected));
            EXPECT_TRUE(d.IsEnabled(ui::kIdOk));
            EXPECT_EQ(*d.GetText(kDirPathText), c.path);
            driver.Click(d, ui::kIdOk);
        });
        EXPECT_EQ(result, c.path);
    }
}

TEST_F(SelectDir, RelativeStartEmptyDirectoryLinksAndOrder) {
    char old[4096];
    ASSERT_NE(::getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(::chdir(tmp.Path().c_str()), 0);
    const std::string result = Run("a/B", [&](CSelectDirDlg& d, ui::Driver& driver) {
        EXPECT_EQ(SelectedText(d), "B");
        // The temporary directory's level in order, the link among them.
        ui::TreeHandle top = d.TreeGet(kDirTreeId, d.TreeSelection(kDirTreeId))->parent;
        top = d.TreeGet(kDirTreeId, top)->parent;
        EXPECT_EQ(Texts(d, top), (std::vector<std::string>{"a", "Data", "Data", "empty", "link", "Mixed", "target"}));
        // An empty directory loses its button once expanded; the link lists its target's directory.
        ui::TreeHandle empty = Child(d, top, "empty");
        EXPECT_TRUE(d.TreeGet(kDirTreeId, empty)->hasChildren);
        ASSERT_TRUE(driver.ExpandTree(d, kDirTreeId, empty));
        EXPECT_FALSE(d.TreeGet(kDirTreeId, empty)->hasChildren);
        EXPECT_EQ(*d.GetText(kDirPathText), tmp.Path() + "/empty/");
        ui::TreeHandle link = Child(d, top, "link");
        ASSERT_TRUE(driver.ExpandTree(d, kDirTreeId, link));
        EXPECT_EQ(Texts(d, link), std::vector<std::string>{"inside"});
        driver.Click(d, ui::kIdOk);
    });
    ASSERT_EQ(::chdir(old), 0);
    EXPECT_EQ(result, tmp.Path() + "/link/");
}

TEST_F(SelectDir, NetworkLevels) {
    const std::string result = Run("", [&](CSelectDirDlg& d, ui::Driver& driver) {
        EXPECT_FALSE(d.IsEnabled(ui::kIdOk)) << "nothing selected yet";
        EXPECT_EQ(*d.GetText(kDirPathText), "Blar blar blar...");
        ui::TreeHandle net = Child(d, ui::kTreeRoot, vexa::kNetworkRootText);
        ASSERT_NE(net, ui::kTreeRoot);
        EXPECT_EQ(d.TreeGet(kDirTreeId, net)->image, 7);
        ASSERT_TRUE(driver.ExpandTree(d, kDirTreeId, net));
        EXPECT_FALSE(d.IsEnabled(ui::kIdOk));
        EXPECT_EQ(*d.GetText(kDirPathText), "");
        EXPECT_EQ(Texts(d, net), (std::vector<std::string>{"Workgroup", "Big", "Printers"}));

        ui::TreeHandle domain = Child(d, net, "Workgroup");
        EXPECT_EQ(d.TreeGet(kDirTreeId, domain)->image, 8);
        ASSERT_TRUE(driver.ExpandTree(d, kDirTreeId, domain));
        EXPECT_FALSE(d.IsEnabled(ui::kIdOk));
        ui::TreeHandle server = Child(d, domain, "Server");
        ASSERT_NE(server, ui::kTreeRoot);
        ASSERT_TRUE(driver.ExpandTree(d, kDirTreeId, server));
        EXPECT_FALSE(d.IsEnabled(ui::kIdOk));
        EXPECT_EQ(Texts(d, server), (std::vector<std::string>{"Data", "Whole"}));
        ui::TreeHandle share = Child(d, server, "Data");
        EXPECT_EQ(d.TreeGet(kDirTreeId, share)->image, 1);
        ASSERT_TRUE(driver.SelectTree(d, kDirTreeId, share));
        EXPECT_TRUE(d.IsEnabled(ui::kIdOk));
        EXPECT_EQ(*d.GetText(kDirPathText), "\\\\SERVER/Data/");

        // One buffer: the level that does not fit is cut.
        ui::TreeHandle big = Child(d, net, "Big");
        ASSERT_TRUE(driver.ExpandTree(d, kDirTreeId, big));
        const std::size_t fits = platform::FitIntoBuffer(network.big, vexa::kNetworkBufferBytes).size();
        EXPECT_LT(fits, network.big.size());
        EXPECT_EQ(d.TreeChildren(kDirTreeId, big).size(), fits);
        // A level that cannot be enumerated loses its button.
        ui::TreeHandle printers = Child(d, net, "Printers");
        ASSERT_TRUE(driver.ExpandTree(d, kDirTreeId, printers));
        EXPECT_FALSE(d.TreeGet(kDirTreeId, printers)->hasChildren);
        ASSERT_TRUE(driver.SelectTree(d, kDirTreeId, share));
        driver.Click(d, ui::kIdCancel);
    });
    EXPECT_EQ(result, "\\\\SERVER/Data/") << "Cancel sets the path too";
    EXPECT_EQ(Run("", [](CSelectDirDlg&, ui::Driver&) {}), "") << "no selection";
}

}  // namespace
