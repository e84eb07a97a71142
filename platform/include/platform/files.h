#pragma once
// Where the system's fixed Windows file locations live on Linux, and unique
// temporary names.
#include <string>
#include <string_view>

namespace platform {

// $TESSIN_LOG_DIR when set, else $XDG_STATE_HOME/orvane, else
// ~/.local/state/orvane; created when missing. Empty when it cannot be made.
std::string LogDirectory();

// A fixed Windows log location ("C:/talmorlog/TMATSUtils.log") mapped to the
// same base name inside LogDirectory(). Empty when there is no log directory.
std::string MapFixedLogPath(std::string_view windowsPath);

// mkstemp on prefix + "fnXXXXXX"; an empty prefix means the system's
// temporary directory. The file is created and closed. Empty on failure.
std::string MakeUniqueName(std::string_view prefix);

// A new empty temporary file under the system's temporary directory, named
// from `stem`. Empty on failure.
std::string MakeTempFile(std::string_view stem = "orvane");

// unlink that ignores a missing file.
void RemoveFile(const std::string& path);

}  // namespace platform
