// A child program for the tests that start other programs: it records the
// arguments it got and the descriptors it holds beside its own path (as
// started), then prints "5" as a permission object would.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool WriteFile(const std::string& path, const std::string& text) {
    std::string temp = path + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "we");
    if (!f) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fclose(f) == 0 && ok;
    return ok && std::rename(temp.c_str(), path.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string fds;
    DIR* dir = ::opendir("/proc/self/fd");
    if (!dir) return 9;
    const int own = ::dirfd(dir);
    while (dirent* e = ::readdir(dir)) {
        if (e->d_name[0] == '.' || std::atoi(e->d_name) == own) continue;
        fds += std::string(fds.empty() ? "" : " ") + e->d_name;
    }
    ::closedir(dir);
    // Arguments end in NUL, so any text (even one with a newline) shows exactly.
    std::string args;
    for (int i = 1; i < argc; ++i) args += std::string(argv[i]) + '\0';
    const std::string self = argv[0];
    if (!WriteFile(self + ".fds", fds + "\n") || !WriteFile(self + ".args", args)) return 8;
    std::printf("5\n");
    return 0;
}
