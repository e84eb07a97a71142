#pragma once
// The TMATS attribute array: a private copy of the text cut into
// "code:value" strings, sorted, indexed by group letter, and the prefix
// look-up every TMATS check goes through.
#include <cstddef>
#include <string_view>

namespace tessin {

constexpr int kTmatsValueSize = 256;      // value buffers of find_tmats_attribute
constexpr std::size_t kErrorTextSize = 80;  // the smallest error text a caller passes
constexpr int kInitialAttributeCapacity = 10000;
constexpr int kPacketCopyReserve = 1024;

// Writes `message` into the caller's error text, cut to fit kErrorTextSize.
void SetErrorText(char* errorText, std::string_view message);

// Copies and splits `text`; 0, or -1 with the reason in errorText.
int split_tmats_packet(const char* text, int length, char* errorText);

// The first attribute (in sorted order) that begins with `key`; its value
// (at most 255 characters) goes to `value`. Searches `text` itself while the
// array is empty. NULL when absent: `value` is left as it was and errorText
// receives the "Unable to locate" message.
const char* find_tmats_attribute(const char* text, int length, const char* key, char* value, char* errorText);

// Releases the array and the packet copy.
void free_tmats_attributes();

}  // namespace tessin
