#pragma once
// The one window reader of the scans: a segment set returns fewer bytes at
// a segment's end, so a window is read until it is full or the input ends.
#include <cstdint>

namespace sandral {

// Reads up to `count` bytes at the handle's position; the bytes read, or -1
// when the first read fails.
int ReadWindow(int handle, uint8_t* buffer, int count);

// Positions the handle at an absolute offset; the input's result.
int64_t GotoOffset(int handle, int64_t offset);

// Opens `path` as a file, or -1.
int OpenForScan(const char* path);
// Closes a handle the scans opened (segment sets included: each slot is
// released again, or 16 scans use them up).
void CloseScan(int handle);

}  // namespace sandral
