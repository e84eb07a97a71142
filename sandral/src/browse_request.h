#pragma once
// The decode run the two packet calls share, and the paging of
// Ch10GetPacket: modes, the page history and repositioning.
#include <cstdint>

namespace sandral {

// Opens the named listing ("w+") or takes standard output; false, with the
// message on standard error, when the file cannot be made.
bool OpenBrowseOutput(const char* name);
// Writes and closes the listing; standard output is flushed, never closed.
void CloseBrowseOutput();
// Prints the TMATS table and opens the player when due, then decodes;
// 2 when the data ended, else 0.
int RunDecode();
// All 1000 entries empty, the cursor at 500.
void ClearHistory();

struct PacketRequest {
    const char* channel;
    const char* mode;
    const char* skip;
    const char* outName;
    const char* count;
};
int GetPacket(const PacketRequest& request);

}  // namespace sandral
