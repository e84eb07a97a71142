#pragma once
#include <cstdint>
#include <string_view>

namespace tessin {

// True when the path names a segment set: the base name (after the last
// "\", else the last "/") is "D" or "d" and seven digits, and the path's
// last "." lies exactly eight characters after the base name's start.
bool IsSegmentSetName(std::string_view path);

// Opens a file read-only as a descriptor that cannot collide with the
// standard streams or with segment-set handles; -1 on failure and for a
// directory.
int OpenReadOnly(const char* path);
// Size through lseek(SEEK_END) (block devices report 0 through fstat); -1 on failure.
int64_t DescriptorSize(int fd);

}  // namespace tessin
