#pragma once
// The player: the input handle the stepping reads from, its reset and the
// status record that reports what the reading did.
#include <cstdint>

namespace sandral {

void reset_play_state();
// Closes the handle and clears the open flag.
void close_input();
// 0, or -1 without a handle or when the seek fails.
int seek_input(int64_t offset);

}  // namespace sandral
