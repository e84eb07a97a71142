#include "platform/path.h"

namespace platform {

std::size_t BaseNameOffset(std::string_view path) {
    std::size_t p = path.rfind('\\');
    if (p == std::string_view::npos) p = path.rfind('/');
    return p == std::string_view::npos ? 0 : p + 1;
}

std::size_t LastSeparator(std::string_view path) { return path.find_last_of("\\/"); }

std::string_view BaseName(std::string_view path) {
    std::size_t p = LastSeparator(path);
    return p == std::string_view::npos ? path : path.substr(p + 1);
}

std::string_view DirName(std::string_view path) {
    std::size_t p = LastSeparator(path);
    return p == std::string_view::npos ? std::string_view{} : path.substr(0, p);
}

std::string StripTrailingSeparators(std::string_view path) {
    std::size_t end = path.find_last_not_of("\\/");
    if (end == std::string_view::npos) return path.empty() ? std::string() : std::string("/");
    return std::string(path.substr(0, end + 1));
}

std::string JoinPath(std::string_view dir, std::string_view name) {
    std::string out(dir);
    if (!out.empty() && !name.empty()) {
        bool dirEnds = out.back() == '/' || out.back() == '\\';
        bool nameStarts = name.front() == '/' || name.front() == '\\';
        if (dirEnds && nameStarts) name.remove_prefix(1);
        else if (!dirEnds && !nameStarts) out.push_back('/');
    }
    out.append(name);
    return out;
}

}  // namespace platform
