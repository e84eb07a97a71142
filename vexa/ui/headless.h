#pragma once
// `vexa --headless`: one validation run with the Open Files choices its
// options make, driven through the same engine entries as the window.
namespace vexa {

// True when the command line asks for the headless run.
bool WantsHeadless(int argc, char** argv);
// 0 when the run completed, every file was validated and no box was
// raised; 2 on a usage error; 1 otherwise, with the reasons on stderr.
int RunHeadless(int argc, char** argv);
// The headless run's usage text.
const char* HeadlessUsage();

}  // namespace vexa
