// The module's entry: toolkit, back end and window script around the
// program's run.
#include <string>
#include <vector>

#include "platform/ui/wx.h"
#include "platform/ui/wx_module.h"

extern "C" __attribute__((visibility("default"))) int ui_wx_run(int argc, char** argv, UiWxProgram program,
                                                                 void* context) {
    try {
        auto toolkit = ui::WxToolkit::Start(argc, argv);
        if (!toolkit) return ui::kWxNoDisplay;
        int status = 1;
        {
            ui::WxBackend backend;
            if (!ui::StartUiScriptFromEnvironment(backend)) return ui::kWxBadScript;
            std::vector<std::string> args = toolkit->Args();
            std::vector<char*> pointers;
            for (std::string& a : args) pointers.push_back(a.data());
            pointers.push_back(nullptr);
            status = program(context, static_cast<int>(args.size()), pointers.data());
            ui::StopUiScript();
        }
        return status;
    } catch (...) {
        return ui::kWxFailed;
    }
}
