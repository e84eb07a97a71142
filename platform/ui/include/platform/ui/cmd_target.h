#pragma once
// Command handlers and update handlers of one object in the command chain.
#include <functional>
#include <map>

namespace ui {

// What an update handler decides for a command's menu item, button or dispatch.
struct CmdUi {
    int id = 0;
    bool enabled = true;
    bool checked = false;
    void Enable(bool on = true) { enabled = on; }
    void SetCheck(bool on = true) { checked = on; }
};

class CmdTarget {
public:
    virtual ~CmdTarget() = default;

    void OnCommand(int id, std::function<void()> fn) { commands_[id] = std::move(fn); }
    void OnUpdateCommand(int id, std::function<void(CmdUi&)> fn) { updates_[id] = std::move(fn); }

    bool HasCommand(int id) const { return commands_.count(id) != 0; }
    bool HasUpdate(int id) const { return updates_.count(id) != 0; }
    // Runs the handler; false when there is none.
    bool RunCommand(int id);
    bool RunUpdate(CmdUi& ui);

private:
    std::map<int, std::function<void()>> commands_;
    std::map<int, std::function<void(CmdUi&)>> updates_;
};

}  // namespace ui
