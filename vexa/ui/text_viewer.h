#pragma once
// Shows a text file in the user's viewer: the words of $VISUAL, else
// xdg-open when it is on PATH, else a box saying neither is there.
#include <string>
#include <vector>

namespace vexa {

// The command line for `path`: `visual` split at blanks without quoting
// (null or blank counts as unset), else {"xdg-open", path} when an
// executable xdg-open lies on `pathVariable`; empty when neither.
std::vector<std::string> TextViewerCommand(const std::string& path, const char* visual,
                                           const std::string& pathVariable);

// Starts the viewer on `path` and returns at once; with no viewer, the box
// "Can't open '<path>': no text viewer found (set VISUAL or install xdg-utils)".
void ShowTextFile(const std::string& path);

}  // namespace vexa
