#pragma once
// A temporary directory for one test, removed with everything in it.
#include <string>

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

}  // namespace ch10fix
