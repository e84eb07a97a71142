#pragma once
#include <cstdint>
#include <string_view>

namespace tessin::segments {

// Opening a set raises the process's soft open-file limit to its
// hard limit, once for the process: a set may hold 1,000 segments.
int Open(std::string_view path);        // handle 1000 + slot, or -1
int64_t Size(std::string_view path);    // sum of the segments, -1 when none
int64_t Goto(int handle, int64_t offset, int origin);
int Read(int handle, void* buffer, int count);
void Close(int handle);

}  // namespace tessin::segments
