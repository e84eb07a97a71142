/* sandral: packet reader and text decoder for an outside viewer.
 * Exports are bound by name on Linux; the Windows ordinal of each is noted
 * once assigned. Usable from C. */
#ifndef SANDRAL_H
#define SANDRAL_H

#include <stdint.h>

#include "tessin.h"

#ifdef __cplusplus
#define SANDRAL_EXTERN_C extern "C"
#else
#define SANDRAL_EXTERN_C
#endif
#define SANDRAL_API SANDRAL_EXTERN_C __attribute__((visibility("default")))

#ifndef ORVANE_STDCALL
#define ORVANE_STDCALL
#endif
#ifndef ORVANE_CDECL
#define ORVANE_CDECL
#endif

/* The caller-owned status record of the player. state: 4 open and idle,
 * 5 playing. timeDigits: BCD digits of the last time packet a channel walk
 * passed. errorText points at a library constant when error is 1. */
typedef struct PlayerStatus {
    int32_t state;
    int32_t timeDigits[12];
    int32_t buffersRead;
    int32_t reading;
    int32_t endOfData;
    int32_t error;
    const char* errorText;
} PlayerStatus;

/* Opens the player on a recording (always returns 0; failures go to the
 * status record). The path is used as given whatever the device flag. */
SANDRAL_API int ORVANE_CDECL ZADODOD_Open(const char* path, int deviceFlag, PlayerStatus* status);
/* Starts playing: the first call in the process reads one slot ahead on a
 * thread of its own. Always 0. */
SANDRAL_API int ORVANE_CDECL ZADODOD_Play(void);
/* Closes the player's input. Always 0. */
SANDRAL_API int ORVANE_CDECL ZADODOD_Close(void);
/* Loads the TMATS record of a recording's first packet; NULL on failure
 * with the reason in message (80 bytes) when given. */
SANDRAL_API CHAN_INFO* ORVANE_CDECL IRIG107_get_contents(int deviceFlag, const char* path, char* message);

/* Capacities of the caller-owned result buffers, NUL included. */
#define SANDRAL_CHANNEL_LIST_SIZE 1000
#define SANDRAL_OFFSET_TEXT_SIZE 20
#define SANDRAL_PERCENT_TEXT_SIZE 4

/* The browse calls. Every argument is a NUL-terminated text (NULL reads as
 * empty); a NULL result buffer is left unwritten. One thread at a time. */
/* Sizes the recording, loads its TMATS record and writes the channel list
 * ("0 - CompGen,ID - TYPE,..."); an unreadable TMATS leaves list as it was. 0. */
SANDRAL_API int ORVANE_STDCALL Ch10GetChannelList(const char* path, char* list);
/* The average packet size large steps use, for "ALL" or a decimal channel. 0. */
SANDRAL_API int ORVANE_STDCALL Ch10AveragePacketSize(const char* channel);
/* Positions at a hexadecimal offset (rounded down to 8). 0. */
SANDRAL_API int ORVANE_STDCALL Ch10PositionOffset(const char* path, const char* hexOffset);
/* Decodes `count` more packets into outName (empty: standard output).
 * 0 printed, 1 output not creatable, 2 end of data. */
SANDRAL_API int ORVANE_STDCALL Ch10GetNextPacket(const char* channel, const char* outName, const char* count);
/* A page by mode: "PREV", "ABS" (skip is a hexadecimal offset), "EOF",
 * "BOF", anything else forward. 0, 1, 2 as above, 3 no position to step from. */
SANDRAL_API int ORVANE_STDCALL Ch10GetPacket(const char* channel, const char* mode, const char* skip,
                                             const char* outName, const char* count);
/* percent x size / 100 as lowercase hexadecimal. 0. */
SANDRAL_API int ORVANE_STDCALL Ch10GetSliderOffset(const char* percent, char* offset);
/* Where the last printed packet lies, in percent. 0. */
SANDRAL_API int ORVANE_STDCALL Ch10GetSliderValue(char* percent);
/* The offset of the first packet at or after "day:hour:minute:second:us";
 * 0 found, 1 not found (offset untouched). */
SANDRAL_API int ORVANE_STDCALL Ch10GoToTime(const char* path, const char* time, char* offset);

#ifdef __cplusplus
#include <cstddef>
static_assert(offsetof(PlayerStatus, state) == 0 && offsetof(PlayerStatus, timeDigits) == 4 &&
              offsetof(PlayerStatus, buffersRead) == 52 && offsetof(PlayerStatus, reading) == 56 &&
              offsetof(PlayerStatus, endOfData) == 60 && offsetof(PlayerStatus, error) == 64 &&
              offsetof(PlayerStatus, errorText) == 72 && sizeof(PlayerStatus) == 80);
#endif

#endif /* SANDRAL_H */
