// Starting and ending wx around the program. The application object parses
// nothing: GTK has taken its options and the program reads the rest.
#include <wx/wx.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/ui/wx.h"

namespace ui {
namespace {

class ToolkitApp : public wxApp {
public:
    // wx's own parser would refuse the program's options.
    bool OnInit() override { return true; }
};

// A toolkit assertion is reported, never shown as a box that stops the run.
void ReportAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg) {
    std::fprintf(stderr, "vexa: toolkit assertion %s at %s:%d (%s) %s\n", static_cast<const char*>(cond.utf8_str()),
                 static_cast<const char*>(file.utf8_str()), line, static_cast<const char*>(func.utf8_str()),
                 static_cast<const char*>(msg.utf8_str()));
}

}  // namespace

std::unique_ptr<WxToolkit> WxToolkit::Start(int& argc, char** argv) {
    const char* x = std::getenv("DISPLAY");
    const char* wl = std::getenv("WAYLAND_DISPLAY");
    bool displayArg = false;
    for (int i = 1; i < argc; ++i) displayArg = displayArg || std::string_view(argv[i]).rfind("--display", 0) == 0;
    if ((x == nullptr || *x == '\0') && (wl == nullptr || *wl == '\0') && !displayArg) return nullptr;
    wxSetAssertHandler(ReportAssert);
    wxApp::SetInstance(new ToolkitApp);
    // Without a display GTK's own message would be all the user sees.
    wxLog::EnableLogging(false);
    // A failed start has cleaned up after itself.
    if (!wxEntryStart(argc, argv)) return nullptr;
    wxLog::EnableLogging(true);
    if (!wxTheApp->CallOnInit()) {
        wxEntryCleanup();
        return nullptr;
    }
    return std::unique_ptr<WxToolkit>(new WxToolkit);
}

std::vector<std::string> WxToolkit::Args() const {
    std::vector<std::string> args;
    if (wxTheApp == nullptr) return args;
    for (int i = 1; i < wxTheApp->argc; ++i) {
        // The buffer lives no longer than the string it came from.
        wxString arg = wxTheApp->argv[i];
        auto utf8 = arg.utf8_str();
        args.emplace_back(utf8.data(), utf8.length());
    }
    return args;
}

WxToolkit::~WxToolkit() {
    if (wxTheApp != nullptr) wxTheApp->OnExit();
    wxEntryCleanup();
}

}  // namespace ui
