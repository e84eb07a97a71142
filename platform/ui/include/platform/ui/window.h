#pragma once
// A window of the layer: controls by id, timers, posted messages and its
// message map. Setting state never raises notifications; the back end's user
// actions do, through the Raise* calls.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/cmd_target.h"
#include "platform/ui/control.h"

namespace ui {

enum class Notify { Clicked, EditChange, EditUpdate, SelChange, DropDown, TreeSelChanged };

struct Rect {
    int x = 0, y = 0, cx = 0, cy = 0;
};

struct WindowLife {
    bool alive = true;
};

class Window : public CmdTarget {
public:
    Window();
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Builds the controls of `tmpl`, dialog units turned into pixels.
    void CreateControls(const DialogTemplate& tmpl);
    // Tells the back end the window exists (once).
    void MarkCreated();
    // Runs the destroy handlers once and drops controls and timers.
    void Destroy();
    bool Destroyed() const { return destroyed_; }

    Control* Find(int id);
    const Control* Find(int id) const;
    const std::map<int, Control>& Controls() const { return controls_; }

    // Each returns false for an id the window lacks.
    bool SetText(int id, std::string_view text);
    std::optional<std::string> GetText(int id) const;
    bool Enable(int id, bool on = true);
    bool IsEnabled(int id) const;
    bool Show(int id, bool on = true);
    bool IsVisible(int id) const;
    bool SetCheck(int id, bool on);
    bool GetCheck(int id) const;
    bool SetBold(int id);
    bool SetIcon(int id, int icon);
    // Refused for a disabled or hidden control.
    bool SetFocus(int id);
    int Focus() const { return focus_; }

    // Combos.
    int ComboAdd(int id, const std::string& text);  // index, or -1
    int ComboInsert(int id, int index, const std::string& text);
    bool ComboReset(int id);
    bool ComboSelect(int id, int index);
    int ComboSelectText(int id, const std::string& text);  // index, or -1
    int ComboFind(int id, const std::string& text) const;
    int ComboSelection(int id) const;
    int ComboCount(int id) const;
    std::string ComboEntry(int id, int index) const;

    // Report lists: columns (the template's captions, or inserted), rows.
    bool ListInsertColumn(int id, int index, const std::string& caption, ColumnAlign align, int width);
    int ListInsert(int id, int row, const std::string& text);
    bool ListSetItem(int id, int row, int column, const std::string& text);
    std::string ListItem(int id, int row, int column) const;
    bool ListDeleteAll(int id);
    bool ListSelect(int id, int row, bool on);
    std::vector<int> ListSelection(int id) const;
    int ListCount(int id) const;
    bool ListFreeze(int id, bool frozen);

    // Trees.
    TreeHandle TreeInsert(int id, TreeHandle parent, const std::string& text, int image, int selectedImage,
                          bool hasChildren, uintptr_t data);
    bool TreeSetReleaser(int id, std::function<void(uintptr_t)> release);
    bool TreeSetImageList(int id, int bitmap);
    const TreeItem* TreeGet(int id, TreeHandle item) const;
    // Shows or drops the item's expand button (an item found empty loses it).
    bool TreeSetHasChildren(int id, TreeHandle item, bool on);
    std::vector<TreeHandle> TreeChildren(int id, TreeHandle item) const;
    // Expands an item; the expanding notification is raised at its first
    // expansion only. False when refused or unknown.
    bool TreeExpand(int id, TreeHandle item);
    bool TreeSelect(int id, TreeHandle item);  // raises "selection changed" on change
    TreeHandle TreeSelection(int id) const;
    bool TreeDeleteAll(int id);

    // Grids.
    bool GridSetRows(int id, int rows);
    bool GridSetCurrent(int id, int row, int column);
    bool GridSetCell(int id, int row, int column, const std::string& text);
    std::string GridCell(int id, int row, int column) const;
    // A grid driven as a sheet: a row count, a current row and column
    // counted from 1, and the current cell's text. A text set outside the
    // rows or columns, or with no current row or column, is ignored. Each
    // call is noted in the control's `sheetCalls`.
    bool SheetSetMaxRows(int id, int rows);
    bool SheetSetRow(int id, int row);
    bool SheetSetCol(int id, int column);
    bool SheetSetText(int id, const std::string& text);

    // Timers: the back end fires them; a killed timer never fires.
    int SetTimer(int id, unsigned periodMs);
    bool KillTimer(int id);
    bool HasTimer(int id) const { return timers_.count(id) != 0; }

    // Queues user message n with a value for this window.
    void PostMessage(int n, intptr_t value);

    // The window's own icon (large and small), a resource id.
    void SetWindowIcon(int icon);
    int WindowIcon() const { return icon_; }
    void SetTitle(std::string_view title);
    const std::string& Title() const { return title_; }
    Rect& Bounds() { return bounds_; }
    const Rect& Bounds() const { return bounds_; }
    // Centres the window on the screen.
    void CenterWindow();

    // The message map.
    void OnNotify(Notify code, int id, std::function<void()> fn);
    void OnTreeExpanding(int id, std::function<bool(TreeHandle)> fn);  // false refuses
    void OnTimer(std::function<void(int)> fn) { timerHandler_ = std::move(fn); }
    void OnUser(int n, std::function<void(intptr_t)> fn) { userHandlers_[n] = std::move(fn); }
    void OnDestroy(std::function<void()> fn) { destroyHandlers_.push_back(std::move(fn)); }

    // Raised by the back end for user actions and by the layer.
    bool RaiseNotify(Notify code, int id);
    bool RaiseTreeExpanding(int id, TreeHandle item);
    void RaiseTimer(int id);
    void RaiseUser(int n, intptr_t value);
    // Handling of a clicked button; dialogs add OK and Cancel processing.
    virtual void ButtonClicked(int id) { RaiseNotify(Notify::Clicked, id); }

    std::weak_ptr<WindowLife> Life() const { return life_; }

protected:
    void Changed(int id);

private:
    std::map<int, Control> controls_;
    std::map<int, unsigned> timers_;
    std::map<std::pair<Notify, int>, std::function<void()>> notifies_;
    std::map<int, std::function<bool(TreeHandle)>> expanding_;
    std::function<void(int)> timerHandler_;
    std::map<int, std::function<void(intptr_t)>> userHandlers_;
    std::vector<std::function<void()>> destroyHandlers_;
    std::shared_ptr<WindowLife> life_;
    std::string title_;
    Rect bounds_;
    int focus_ = 0;
    int icon_ = 0;
    int nextFixedId_ = -1;
    bool created_ = false;
    bool destroyed_ = false;
};

}  // namespace ui
