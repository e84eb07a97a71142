#pragma once
#include <cstdint>

// The recorder-drive path behind the input calls (input type above 100).
namespace tessin::stanag {

int Open(const char* path, int inputType);
int64_t Size(const char* path, int inputType);
int64_t Goto(int handle, int64_t offset, int origin);
int Read(int handle, void* buffer, int count);
void Close(int handle);

}  // namespace tessin::stanag
