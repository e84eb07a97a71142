#pragma once
// A temporary directory for one test, removed with everything in it.
#include <string>
#include <vector>

namespace ch10fix {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// ../shared/data beside the checkout (or $ORVANE_SAMPLE_DIR); empty when absent.
std::string SampleDataDir();
// The recordings (*.c10, *.ch10) there, file names sorted; none when absent.
std::vector<std::string> SampleRecordingNames();

}  // namespace ch10fix
