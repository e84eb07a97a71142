#pragma once
// The usage of a tool run by hand: asked for, on standard output with
// status 0; after a call it cannot follow, on standard error with status 2.
#include <cstdio>
#include <cstring>

namespace tools {

inline bool AsksForHelp(const char* arg) { return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0; }

// Whether any argument asks for the usage.
inline bool HelpAsked(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (AsksForHelp(argv[i])) return true;
    return false;
}

inline int ShowUsage(const char* usage, bool asked) {
    std::fputs(usage, asked ? stdout : stderr);
    return asked ? 0 : 2;
}

}  // namespace tools
