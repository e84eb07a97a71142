#include "stanag_input.h"

// Recorder drives are reached through quillon, which this build does not
// drive yet: every request fails cleanly.
namespace tessin::stanag {

int Open(const char*, int) { return -1; }
int64_t Size(const char*, int) { return -1; }
int64_t Goto(int, int64_t, int) { return -1; }
int Read(int, void*, int) { return -1; }
void Close(int) {}

}  // namespace tessin::stanag
