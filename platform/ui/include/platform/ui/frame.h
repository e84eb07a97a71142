#pragma once
// The main frame with its toolbar, status bar and menu, and the form view
// that fills it.
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/backend.h"
#include "platform/ui/window.h"

namespace ui {

class Document;
class FormView;

inline constexpr int kIdAppExit = 57665;
inline constexpr int kIdViewToolbar = 59392;
inline constexpr int kIdViewStatusBar = 59393;
inline constexpr int kIdsIdleMessage = 57345;

enum FrameStyle : uint32_t {
    kCaption = 1u << 0,
    kSysMenu = 1u << 1,
    kMinimizeBox = 1u << 2,
    kMaximizeBox = 1u << 3,
    kThickFrame = 1u << 4,
    kAddToTitle = 1u << 5,
};

struct CreateStruct {
    uint32_t style = kCaption | kSysMenu | kMinimizeBox | kMaximizeBox | kThickFrame | kAddToTitle;
    int x = 0, y = 0, cx = 0, cy = 0;
};

struct BarButton {
    int id = 0;  // 0: separator
    bool enabled = false;
    bool checked = false;
};

struct Toolbar {
    bool created = false;
    bool visible = false;
    std::vector<BarButton> buttons;
};

struct StatusBar {
    bool created = false;
    bool visible = false;
    std::vector<std::string> panes;
    bool promptShown = false;  // the message pane shows a command's prompt
};

struct MenuEntry {
    int id = 0;  // 0: separator
    std::string text;
    bool enabled = false;
    bool checked = false;
};

class Frame : public Window {
public:
    Frame();

    virtual bool PreCreateWindow(CreateStruct& cs);
    // 0, or -1 when the frame cannot be created.
    virtual int OnCreate(const CreateStruct& cs);
    // Bars and view are placed by the back end; the model keeps no layout.
    void RecalcLayout() {}
    uint32_t Style() const { return style_; }
    void SetStyle(uint32_t style) { style_ = style; }

    // Toolbar from a resource, status bar panes from indicator texts.
    bool CreateToolbar(int resourceId);
    bool CreateStatusBar(const std::vector<std::string>& indicators);
    Toolbar& GetToolbar() { return toolbar_; }
    StatusBar& GetStatusBar() { return status_; }
    // A program's text in the message pane; stays until a prompt replaces it.
    void SetMessageText(const std::string& text);
    // The prompt of command `id` (the text before "\n" of its string).
    void ShowPrompt(int id);
    void SetMenu(int resourceId) { menuId_ = resourceId; }
    int MenuId() const { return menuId_; }

    // The command chain: view, document, frame, app.
    void SetView(FormView* view) { view_ = view; }
    FormView* View() const { return view_; }
    void SetDocument(Document* doc) { doc_ = doc; }
    Document* GetDocument() const { return doc_; }

    // Enabled and checked state of a command by the update rules.
    CmdUi UpdateCommand(int id);
    // Updates and dispatches; false when the command is disabled or unhandled.
    bool DispatchCommand(int id);
    // The menu's popup `index` as its update handlers leave it.
    std::vector<MenuEntry> OpenMenu(int index);
    // Idle processing: toolbar states and the message pane.
    void OnIdle();

    // Asked before closing; false keeps the frame.
    std::function<bool()> canClose;
    // Closes and destroys the frame, view and document.
    void Close();
    bool Closed() const { return closed_; }

private:
    std::vector<CmdTarget*> Chain();
    Toolbar toolbar_;
    StatusBar status_;
    FormView* view_ = nullptr;
    Document* doc_ = nullptr;
    uint32_t style_ = 0;
    int menuId_ = 0;
    bool closed_ = false;
};

class FormView : public Window {
public:
    explicit FormView(int templateId) : templateId_(templateId) {}
    int TemplateId() const { return templateId_; }
    Frame* ParentFrame() const { return frame_; }
    void SetParentFrame(Frame* frame) { frame_ = frame; }
    // The form's size in pixels.
    Size FormSize() const;
    // Sizes the frame to the form; with `shrinkOnly` it never grows.
    void ResizeParentToFit(bool shrinkOnly);
    virtual void OnInitialUpdate() {}

private:
    int templateId_;
    Frame* frame_ = nullptr;
};

}  // namespace ui
