#pragma once
// Modal dialogs on a template, with data exchange between members and controls.
#include <cstdint>
#include <string>

#include "platform/ui/window.h"

namespace ui {

class Dialog;

// One direction of an exchange: towards the controls, or back (`save`).
// Numbers are written "%u", "%d" or "%.6g" in the C locale; an int read back
// takes the leading decimal number ("" is 0). The exchange never fails.
class DataExchange {
public:
    DataExchange(Window& window, bool save) : window_(window), save_(save) {}
    bool Saving() const { return save_; }
    void Text(int id, std::string& value);
    void UInt(int id, uint32_t& value);
    void Int(int id, int& value);
    void Float(int id, float& value);
    void Check(int id, int& value);
    // A drop-down list exchanges the selected entry's text; "" selects entry 0.
    void ComboText(int id, std::string& value);
    void ComboIndex(int id, int& value);

private:
    Window& window_;
    bool save_;
};

// "%.6g" in the C locale, whatever the process's locale.
std::string FormatFloat(double value);

class Dialog : public Window {
public:
    explicit Dialog(int templateId, Window* owner = nullptr) : templateId_(templateId), owner_(owner) {}

    // Creates the controls, runs OnInitDialog and the modal loop, then
    // destroys the window; the end code (-1 when the template is missing).
    int DoModal();
    void EndDialog(int code);
    bool Ended() const { return ended_; }
    int EndCode() const { return endCode_; }
    int TemplateId() const { return templateId_; }
    Window* Owner() const { return owner_; }

    // Runs DoDataExchange; never fails.
    bool UpdateData(bool save = true);

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(DataExchange&) {}

    // 1 and 2 get OK and Cancel processing; others go to the message map.
    void ButtonClicked(int id) override;
    // Escape: Cancel processing even without a button 2.
    void PressEscape() { OnCancel(); }
    // Enter: the default button, else OK processing.
    void PressEnter();

private:
    int templateId_;
    Window* owner_;
    bool ended_ = false;
    int endCode_ = 0;
};

}  // namespace ui
