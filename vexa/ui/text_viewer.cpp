#include "vexa/ui/text_viewer.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/format.h"
#include "platform/ui/services.h"
#include "vexa/ui/ui_module_state.h"

namespace vexa {
namespace {

std::vector<std::string> SplitAtBlanks(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (c == ' ' || c == '\t') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

bool OnPath(const std::string& name, const std::string& pathVariable) {
    std::size_t start = 0;
    while (start <= pathVariable.size()) {
        std::size_t end = pathVariable.find(':', start);
        if (end == std::string::npos) end = pathVariable.size();
        // Built whole rather than assigned "." after: GCC 12 reads that
        // assignment as an overlapping copy and warns.
        const std::string dir = end > start ? pathVariable.substr(start, end - start) : std::string(".");
        if (::access((dir + "/" + name).c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

std::vector<std::string> TextViewerCommand(const std::string& path, const char* visual,
                                           const std::string& pathVariable) {
    std::vector<std::string> argv = SplitAtBlanks(visual != nullptr ? visual : "");
    if (!argv.empty()) {
        argv.push_back(path);
        return argv;
    }
    if (!pathVariable.empty() && OnPath("xdg-open", pathVariable)) return {"xdg-open", path};
    return {};
}

void ShowTextFile(const std::string& path) {
    const char* pathVariable = std::getenv("PATH");
    std::vector<std::string> argv =
        TextViewerCommand(path, std::getenv("VISUAL"), pathVariable != nullptr ? pathVariable : "");
    if (argv.empty()) {
        ui::AppMessageBox(platform::Format(
            "Can't open '%s': no text viewer found (set VISUAL or install xdg-utils)", path.c_str()));
        return;
    }
    // A viewer that fails to start reports nothing, as the viewer itself would.
    UiState().launchTextViewer(argv);
}

}  // namespace vexa
