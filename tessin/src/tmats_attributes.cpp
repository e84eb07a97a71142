#include "tmats_attributes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "tessin_state.h"

namespace tessin {
namespace {

bool IsAttributeByte(unsigned char c) { return c >= 0x20 && c < 0x80; }

int GroupSlot(char letter) {
    for (int i = 0; i < 6; ++i)
        if (kTmatsGroupLetters[i] == letter) return i;
    return -1;
}

// First position i < limit where `key` occurs, or -1. One memmem over the
// text: it is searched once per channel attribute, and a declared channel
// count may be in the tens of thousands.
int64_t FindText(const char* text, int64_t limit, const char* key, std::size_t keyLength) {
    if (limit <= 0) return -1;
    const void* hit = memmem(text, static_cast<std::size_t>(limit - 1) + keyLength, key, keyLength);
    return hit ? static_cast<const char*>(hit) - text : -1;
}

bool ByteLess(const char* a, const char* b) { return std::strcmp(a, b) < 0; }

void ReportMissing(char* errorText, const char* key) {
    if (!errorText) return;
    char message[kErrorTextSize + 64];
    std::snprintf(message, sizeof message, "Unable to locate %s in the TMATS packet.\r\n", key);
    SetErrorText(errorText, message);
}

}  // namespace

void SetErrorText(char* errorText, std::string_view message) {
    if (!errorText) return;
    std::size_t n = std::min(message.size(), kErrorTextSize - 1);
    std::memcpy(errorText, message.data(), n);
    errorText[n] = '\0';
}

int split_tmats_packet(const char* text, int length, char* errorText) {
    TmatsState& st = State().tmats;
    // A whole setup-record packet starts with the sync word 0xEB25 stored
    // little-endian; its header and channel-specific word are not TMATS.
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    if (!text || length < 0) length = 0;
    std::size_t skip = (length > 28 && bytes[0] == 0x25 && bytes[1] == 0xEB) ? 28 : 0;
    int32_t copyLength = length - static_cast<int32_t>(skip);

    st.packet.reset();
    st.packetLength = 0;
    st.packet.reset(new (std::nothrow) char[static_cast<std::size_t>(copyLength) + kPacketCopyReserve]());
    if (!st.packet) {
        SetErrorText(errorText, "Error allocating buffer for the TMATS packet.\r\n");
        return -1;
    }
    if (copyLength > 0) std::memcpy(st.packet.get(), text + skip, static_cast<std::size_t>(copyLength));
    st.packetLength = copyLength;
    char* copy = st.packet.get();

    std::size_t keyLength = 6;
    if (FindText(copy, int64_t{copyLength} - 6, "G\\106:", 6) < 0) {
        keyLength = 5;
        if (FindText(copy, int64_t{copyLength} - 5, "G\\DSI", 5) < 0) {
            SetErrorText(errorText,
                         "Unable to locate Program Name (G\\106:) or (G\\DSI) attribute in TMATS packet.\r\n");
            return -1;
        }
    }

    if (st.arrayAllocated) {
        st.attributes.clear();  // the capacity stays
        for (auto& g : st.groups) g = {};
    } else {
        try {
            st.attributes.reserve(kInitialAttributeCapacity);
        } catch (const std::bad_alloc&) {
            SetErrorText(errorText, "Error allocating the TMATS attribute pointer array.\r\n");
            return -1;
        }
        st.arrayAllocated = true;
    }

    int64_t limit = int64_t{copyLength} - static_cast<int64_t>(keyLength);
    int64_t start = FindText(copy, limit, "G\\", 2);
    if (start < 0) start = std::max<int64_t>(limit, 0);

    // The copy ends in zero bytes, so the walk also stops at copyLength.
    char* attribute = copy + start;
    for (int64_t i = start; i < copyLength && copy[i] != '\0'; ++i) {
        unsigned char c = static_cast<unsigned char>(copy[i]);
        if (c == ';') {
            copy[i] = '\0';
            try {
                st.attributes.push_back(attribute);
            } catch (const std::bad_alloc&) {
                SetErrorText(errorText, "Error reallocating the TMATS attribute pointer array.\r\n");
                return -1;
            }
            attribute = copy + i + 1;
        } else if (!IsAttributeByte(c)) {
            copy[i] = '\0';
            attribute = copy + i + 1;
        }
    }

    std::sort(st.attributes.begin(), st.attributes.end(), ByteLess);

    int32_t count = static_cast<int32_t>(st.attributes.size());
    char previous = '\0';
    for (int32_t i = 0; i < count; ++i) {
        char first = st.attributes[static_cast<std::size_t>(i)][0];
        int slot = GroupSlot(first);
        if (slot >= 0) {
            if (i == 0 || first != previous) st.groups[slot] = {i, 1};
            else ++st.groups[slot].count;
        }
        previous = first;
    }
    return 0;
}

const char* find_tmats_attribute(const char* text, int length, const char* key, char* value, char* errorText) {
    TmatsState& st = State().tmats;
    std::size_t keyLength = std::strlen(key);
    if (!st.attributes.empty()) {
        auto begin = st.attributes.begin();
        auto end = st.attributes.end();
        int slot = GroupSlot(key[0]);
        if (slot >= 0) {
            const TmatsGroup& g = st.groups[slot];
            begin = st.attributes.begin() + g.start;
            end = begin + g.count;
        }
        // In sorted order the first attribute with the prefix is the first
        // one not below the key.
        auto it = std::lower_bound(begin, end, key, ByteLess);
        if (it != end && std::strncmp(*it, key, keyLength) == 0) {
            const char* rest = *it + keyLength;
            std::size_t n = strnlen(rest, kTmatsValueSize - 1);
            std::memcpy(value, rest, n);
            value[n] = '\0';
            return *it;
        }
        ReportMissing(errorText, key);
        return nullptr;
    }

    if (text && length > 0) {
        int64_t at = FindText(text, int64_t{length} - static_cast<int64_t>(keyLength), key, keyLength);
        if (at >= 0) {
            int64_t i = at + static_cast<int64_t>(keyLength);
            std::size_t n = 0;
            while (i < length && n < kTmatsValueSize - 1 && text[i] != ';' && text[i] != '\0')
                value[n++] = text[i++];
            value[n] = '\0';
            return text + at;
        }
    }
    ReportMissing(errorText, key);
    return nullptr;
}

void free_tmats_attributes() {
    TmatsState& st = State().tmats;
    std::vector<const char*>().swap(st.attributes);
    st.arrayAllocated = false;
    for (auto& g : st.groups) g = {};
    st.packet.reset();
    st.packetLength = 0;
}

}  // namespace tessin
