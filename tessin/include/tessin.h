/* tessin: reads Chapter 10 recordings from every medium and interprets TMATS.
 * Exports are bound by name on Linux; the Windows ordinal of each is noted
 * where one exists. Usable from C. */
#ifndef TESSIN_H
#define TESSIN_H

#include <stdint.h>

#ifdef __cplusplus
#define TESSIN_EXTERN_C extern "C"
#else
#define TESSIN_EXTERN_C
#endif

#define TESSIN_API TESSIN_EXTERN_C __attribute__((visibility("default")))

/* The Windows calling-convention words have no meaning on Linux. */
#ifndef ORVANE_CDECL
#define ORVANE_CDECL
#endif

/* Recording input.
 * Input types: 0 to 100 a plain file or a segment set ("D" plus seven
 * digits, the last three counting segments 000 to 999); above 100 a file on
 * STANAG 4575 recorder drive (type - 100), read through libquillon.
 * Handles: a plain file's descriptor (3 to 999), 1000 + slot for one of 16
 * segment sets, -1 on failure. Offsets are high:low, low unsigned. */
TESSIN_API int ORVANE_CDECL iOpen(const char* path, int inputType);
TESSIN_API int64_t ORVANE_CDECL iSize(const char* path, int inputType);
TESSIN_API int64_t ORVANE_CDECL iGoto(int handle, uint32_t offsetLow, int32_t offsetHigh, int origin);
TESSIN_API int ORVANE_CDECL iRead(int handle, void* buffer, int count);
TESSIN_API int ORVANE_CDECL iClose(int handle);
TESSIN_API int ORVANE_CDECL set_input_file_type(int inputType);

/* TMATS validation.
 * process_tmats_packet checks a TMATS text (or a whole first read that
 * starts with the setup-record packet), writes the TMATS validation log at
 * logPath (none when NULL or empty) and returns a new CHAN_INFO, or NULL.
 * errorText, when given, must hold 80 bytes. Every record stays valid for
 * the life of the process; callers treat it as read-only. */

typedef struct CHAN_ENTRY {
    int16_t DataType;   /* Chapter 10 data type; -1 for an unknown type word */
    uint16_t ChannelID;
    int16_t Enable;
} CHAN_ENTRY;

typedef struct CHAN_REF {
    uint16_t ChannelID;
    int16_t Enable;
} CHAN_REF;

typedef struct TIME_CHAN_INFO {
    uint16_t ChannelID;
    int16_t Enable;
    char TimeFormat;
} TIME_CHAN_INFO;

typedef struct PCM_CHAN_INFO {
    uint16_t ChannelID;
    int16_t Enable;
    char DataLinkName[128];
    int32_t BitRate;
    int16_t PolarityInverted;
    int16_t D9Inverted;
    int8_t WordLength;
    uint8_t FrameVariant;
    int16_t LsbFirst;
    int16_t NumFrames;
    int16_t NumWords;
    int32_t BitsInMinorFrame;
    int16_t SyncPatternLength;
    uint32_t SyncPattern;
    uint32_t SyncMask;
    int16_t FrameIDPosition;
    int16_t IDCWordLength;
    int16_t IDCStartBit;
    int16_t IDCLength;
    int16_t IDCInitialValue;
    int16_t IDCInitialFrameNum;
    int16_t IDCEndValue;
    int16_t IDCEndFrameNum;
    int16_t IDCDirection;
    int16_t DataMode;        /* 1 unpacked, 2 packed, 3 throughput, 0 unknown */
    int16_t WordLengthCount;
    uint16_t* WordLengths;   /* WordLengthCount entries; entry 0 is the sync word */
    int16_t FrameVariantWord;
} PCM_CHAN_INFO;

typedef struct BUS1553_CHAN_INFO {
    uint16_t ChannelID;
    int16_t Enable;
    char BusName[25];
} BUS1553_CHAN_INFO;

typedef struct ANALOG_SUBCHANNEL {
    char Name[33];
    int16_t DataLength;
    int16_t ScaleFactor;
} ANALOG_SUBCHANNEL;

typedef struct ANALOG_CHAN_INFO {
    uint16_t ChannelID;
    int16_t Enable;
    int16_t SubchannelCount;  /* 0 to 256 */
    int16_t Packed;
    double SampleRate;
    ANALOG_SUBCHANNEL Subchannels[256];
    char DsiName[25];
} ANALOG_CHAN_INFO;

typedef struct DISCRETE_CHAN_INFO {
    uint16_t ChannelID;
    int16_t Enable;
    char DsiName[33];
    int16_t MeasurandCount;
    int16_t EventMode;
    double SampleRate;
} DISCRETE_CHAN_INFO;

typedef struct VIDEO_CHAN_INFO {
    uint16_t ChannelID;
    int16_t Enable;
    int32_t EncodingDelay;
    char Name[33];
} VIDEO_CHAN_INFO;

typedef struct SUBCHANNEL_ITEM {
    char Name[25];  /* 12 characters for ARINC 429 */
    int16_t Number;
} SUBCHANNEL_ITEM;

/* ARINC 429, UART and Ethernet channels. */
typedef struct SUBCHAN_CHAN_INFO {
    uint16_t ChannelID;
    int16_t Enable;
    uint16_t SubchannelCount;  /* 0 to 256 */
    SUBCHANNEL_ITEM Subchannels[256];
} SUBCHAN_CHAN_INFO;

typedef struct FIBRE_CHAN_INFO {
    uint16_t ChannelID;
    int16_t Enable;
    char LinkName[33];
} FIBRE_CHAN_INFO;

typedef struct CHAN_INFO {
    char ProgramName[17];
    int16_t EventsEnabled;
    int16_t IndexEnabled;
    uint16_t IrigRevision;
    int16_t FindingCount;
    int16_t ChannelCount;
    CHAN_ENTRY* Channels;  /* sorted by ChannelID */
    int16_t PcmCount;
    PCM_CHAN_INFO* PcmChannels;
    int16_t TimeCount;
    TIME_CHAN_INFO* TimeChannels;
    int16_t Bus1553Count;
    BUS1553_CHAN_INFO* Bus1553Channels;
    int16_t AnalogCount;
    ANALOG_CHAN_INFO* AnalogChannels;
    int16_t DiscreteCount;
    DISCRETE_CHAN_INFO* DiscreteChannels;
    int16_t MessageCount;
    CHAN_REF* MessageChannels;
    int16_t A429Count;
    SUBCHAN_CHAN_INFO* A429Channels;
    int16_t VideoCount;
    VIDEO_CHAN_INFO* VideoChannels;
    int16_t ImageCount;
    CHAN_REF* ImageChannels;
    int16_t UartCount;
    SUBCHAN_CHAN_INFO* UartChannels;
    int16_t OtherCount;
    CHAN_REF* OtherChannels;
    int16_t SourceBits;
    int16_t Ieee1394Count;
    CHAN_REF* Ieee1394Channels;
    int16_t EthernetCount;
    SUBCHAN_CHAN_INFO* EthernetChannels;
    int16_t FibreCount;
    FIBRE_CHAN_INFO* FibreChannels;
} CHAN_INFO;

TESSIN_API CHAN_INFO* ORVANE_CDECL process_tmats_packet(const char* text, int length, char* errorText,
                                                         const char* logPath);

#ifdef __cplusplus
/* Pointer-free records keep the layout of the Windows build. */
#include <cstddef>
static_assert(sizeof(CHAN_ENTRY) == 6 && offsetof(CHAN_ENTRY, ChannelID) == 2 && offsetof(CHAN_ENTRY, Enable) == 4);
static_assert(sizeof(CHAN_REF) == 4 && offsetof(CHAN_REF, Enable) == 2);
static_assert(sizeof(TIME_CHAN_INFO) == 6 && offsetof(TIME_CHAN_INFO, TimeFormat) == 4);
static_assert(sizeof(BUS1553_CHAN_INFO) == 30 && offsetof(BUS1553_CHAN_INFO, BusName) == 4);
static_assert(sizeof(ANALOG_SUBCHANNEL) == 38 && offsetof(ANALOG_SUBCHANNEL, DataLength) == 34 &&
              offsetof(ANALOG_SUBCHANNEL, ScaleFactor) == 36);
static_assert(offsetof(ANALOG_CHAN_INFO, SubchannelCount) == 4 && offsetof(ANALOG_CHAN_INFO, Packed) == 6 &&
              offsetof(ANALOG_CHAN_INFO, SampleRate) == 8 && offsetof(ANALOG_CHAN_INFO, Subchannels) == 16 &&
              offsetof(ANALOG_CHAN_INFO, DsiName) == 16 + 256 * 38 && sizeof(ANALOG_CHAN_INFO) == 9776);
static_assert(offsetof(DISCRETE_CHAN_INFO, DsiName) == 4 && offsetof(DISCRETE_CHAN_INFO, MeasurandCount) == 38 &&
              offsetof(DISCRETE_CHAN_INFO, EventMode) == 40 && offsetof(DISCRETE_CHAN_INFO, SampleRate) == 48 &&
              sizeof(DISCRETE_CHAN_INFO) == 56);
static_assert(offsetof(VIDEO_CHAN_INFO, EncodingDelay) == 4 && offsetof(VIDEO_CHAN_INFO, Name) == 8 &&
              sizeof(VIDEO_CHAN_INFO) == 44);
static_assert(sizeof(SUBCHANNEL_ITEM) == 28 && offsetof(SUBCHANNEL_ITEM, Number) == 26);
static_assert(offsetof(SUBCHAN_CHAN_INFO, SubchannelCount) == 4 && offsetof(SUBCHAN_CHAN_INFO, Subchannels) == 6 &&
              sizeof(SUBCHAN_CHAN_INFO) == 6 + 256 * 28);
static_assert(offsetof(FIBRE_CHAN_INFO, LinkName) == 4 && sizeof(FIBRE_CHAN_INFO) == 38);
#endif

#endif /* TESSIN_H */
