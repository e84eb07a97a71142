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
 * segment sets, -1 on failure. Offsets are high:low, low unsigned.
 * Opening a segment set raises the process's soft open-file limit to
 * its hard limit, once for the process: a set may hold 1,000 segments. */
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

/* TMATS services for outside programs.
 * GetPCMFormatInfo reads a TMATS source file (text, or a recording that
 * starts with its setup packet) and returns the number of PCM formats with
 * *formats set to the library's array of them; 0 when the file has buses
 * but no PCM format (*formats is then NULL); -1 on failure, with the reason
 * in GetErrMsg() where one is given. The records stay the library's until
 * FreePCMFormatInfo, which releases the last result. GetErrMsg's text holds
 * 512 bytes and is overwritten by the next service call.
 * Texts are zero-terminated and cut to their capacity - 1. */

typedef struct IDCounterInfo {
    int16_t FrameIDPosition;
    int16_t IDCWordLength;
    int16_t IDCStartBit;
    int16_t IDCLength;
    int16_t IDCInitialValue;
    int16_t IDCInitialFrameNum;
    int16_t IDCEndValue;
    int16_t IDCEndFrameNum;
    int16_t IDCDirection; /* 1: counting down */
} IDCounterInfo;

/* One per minor frame of a subcom. */
typedef struct SUBCOM_DETAIL_INFO {
    char Reserved1[4];
    int16_t Frame;
    char SampleID[16];
    char Reserved2[54];
} SUBCOM_DETAIL_INFO;

typedef struct SUBCOM_INFO {
    char ID[12];
    int16_t Loc;
    int16_t Depth;
    SUBCOM_DETAIL_INFO* Details; /* NumFrames entries */
} SUBCOM_INFO;

/* One per word of the minor frame. */
typedef struct MAINFRAME_INFO {
    char Reserved1[4];
    int16_t Num;
    char Type; /* '1' a sample in this word, '2' a subcommutated word */
    char Reserved2;
    char ID[16];
    char Reserved3[44];
} MAINFRAME_INFO;

typedef struct MSG1553_INFO {
    char Reserved1[4];
    int16_t MessageID;
    char BusName[14];
    int16_t RTAddress;
    int16_t Subaddress;
    char TransmitReceive;
    char Reserved2;
    int16_t WordCount;
    char Direction[26]; /* "RT-BC" or "BC-RT" */
    uint16_t CommandWord;
} MSG1553_INFO;

typedef struct MSGLABEL_INFO {
    char Reserved1[4];
    int16_t MessageID;
    char BusName[14];
    int32_t Label;
    int32_t SDI;
    char Reserved2[52];
} MSGLABEL_INFO;

typedef struct MEASURAND_INFO {
    char Reserved1[4];
    char MeasID[16];
    int16_t Type;
    char Reserved2[21];
    char Description[61];
    char Reserved3[18];
    int16_t FormatClass;
    char EUName[16];
    char Reserved4[84];
    double EULowValue;
    double EUHighValue;
} MEASURAND_INFO;

typedef struct EUCM_HISTORY_INFO {
    char Reserved1[4];
    char MeasID[16];
    char EffDateTime[21];
    char EUCMID[89];
} EUCM_HISTORY_INFO;

typedef struct EUCM_INFO {
    char EUCMID[16];
    char Type; /* 'I' pairs, 'P' polynomial, 'T' discrete, 'R' other */
    char Reserved1[158];
    char RawNameX[16];
    char EUNameY[585];
} EUCM_INFO;

typedef struct POLYNOMIAL_INFO {
    char Reserved1[4];
    char EUCMID[16];
    int16_t Count;
    char Reserved2[34];
    double A[10]; /* A0 first */
} POLYNOMIAL_INFO;

typedef struct DISCRETE_INFO {
    char Reserved1[4];
    char MeasurandName[16];
    int16_t Count;
    char ParameterText[22];
    int16_t Kind;
    int16_t Flag;
    char Reserved2[22];
} DISCRETE_INFO;

typedef struct PAIR_SET_INFO {
    char MeasurandName[20];
    char Kind;
    char MeasurandName2[59];
} PAIR_SET_INFO;

typedef struct PAIR_INFO {
    char Reserved1[4];
    char MeasurandName[16];
    int16_t PairNumber;
    char Reserved2[26];
    double TelemetryValue;
    double EngineeringValue;
} PAIR_INFO;

typedef struct DB_SAMPLES_INFO {
    char Reserved1[4];
    char SampleID[16];
    int16_t Type;
    int16_t Size; /* bits */
    int16_t Spare;
    char Reserved2[10];
    char SourceName[16];
    int32_t DirectionOrSDI;
    int32_t CommandWordOrLabel;
    int32_t LocationKind;
    int32_t WordNumber;
    char Reserved3[48];
} DB_SAMPLES_INFO;

typedef struct DB_MEASRU_INFO {
    char Reserved1[4];
    char MeasID[16];
    int16_t ElemNum;
    char Kind; /* 'S' a sample */
    char ElemID[21];
    int16_t DataType;
    int16_t FBit; /* bits counted from 1 at the word's most significant end */
    int16_t LBit;
    char Reserved2[22];
} DB_MEASRU_INFO;

typedef struct PCM_FORMAT_INFO {
    uint16_t FirstGuard; /* 0xAAAA */
    char FormatID[11];
    char FormatVersion[11];
    char FormatUnitID[13];
    char FormatType[11];
    char EffectiveDateAndTime[21];
    char AircraftID[11];
    char DataLinkName[64];
    int16_t ChannelID;
    char CreationDate[11];
    char PCMCode[11];
    double BitRate;
    int16_t PolarityInverted;
    int16_t Reserved1;
    int16_t AutoPolarityCorrection;
    int16_t DataDirectionReversed;
    int16_t DataRandomized;
    char TypeFormat[11];
    int8_t WordLength;
    int16_t LsbFirst;
    int16_t Parity; /* 1 odd, 2 even */
    int16_t ParityTrailing;
    int16_t NumFrames;
    int16_t NumWords; /* the last word is the frame sync word */
    int32_t BitsInMinorFrame;
    int16_t SyncType;
    int16_t SyncPatternLength;
    char SyncPattern[65];
    char SyncMask[65];
    uint16_t* WordLengths; /* word j at [j - 1] */
    int16_t NumIDCounters;
    IDCounterInfo* IDCounters;
    uint16_t* FrameWordMasks; /* word w, frame f at (w - 1) + f * (NumWords - 1) */
    void* Reserved2;      /* released with free() when a caller sets it */
    void* Reserved3;
    int16_t NumMainframeEntries;
    MAINFRAME_INFO* MainframeEntries;
    int16_t NumSubcoms;
    SUBCOM_INFO* Subcoms;
    int16_t NumSubcomDetails;
    SUBCOM_DETAIL_INFO* SubcomDetails;
    uint16_t NumSampleEntries;
    DB_SAMPLES_INFO* SampleEntries;
    int16_t NumMeasurandEntries;
    MEASURAND_INFO* MeasurandEntries;
    uint16_t NumMeasRUEntries;
    DB_MEASRU_INFO* MeasRUEntries;
    int16_t NumEUCMHistoryEntries;
    EUCM_HISTORY_INFO* EUCMHistoryEntries;
    int16_t NumEUCMEntries;
    EUCM_INFO* EUCMEntries;
    int16_t NumPolynomialEntries;
    POLYNOMIAL_INFO* PolynomialEntries;
    int16_t NumDiscreteEntries;
    DISCRETE_INFO* DiscreteEntries;
    int16_t NumPairSetEntries;
    PAIR_SET_INFO* PairSetEntries;
    int16_t NumPairEntries;
    PAIR_INFO* PairEntries;
    uint16_t LastGuard; /* 0xBBBB */
} PCM_FORMAT_INFO;

typedef struct BUS_INFO {
    uint16_t FirstGuard; /* 0xAAAA */
    char BusName[11];
    char BusType[11]; /* beginning with '1': MIL-STD-1553, else labelled */
    char TestArticle[11];
    char DataLinkName[64];
    int16_t ChannelID;
    int16_t ChannelPosition;
    uint16_t NumMessages;
    MSG1553_INFO* Messages1553;
    MSGLABEL_INFO* MessagesLabelled;
    uint16_t SampleCapacity;
    uint16_t NumSampleEntries;
    DB_SAMPLES_INFO* SampleEntries;
    int16_t NumMeasurandEntries;
    MEASURAND_INFO* MeasurandEntries;
    uint16_t NumMeasRUEntries;
    DB_MEASRU_INFO* MeasRUEntries;
    int16_t NumEUCMHistoryEntries;
    EUCM_HISTORY_INFO* EUCMHistoryEntries;
    int16_t NumEUCMEntries;
    EUCM_INFO* EUCMEntries;
    int16_t NumPolynomialEntries;
    POLYNOMIAL_INFO* PolynomialEntries;
    int16_t NumDiscreteEntries;
    DISCRETE_INFO* DiscreteEntries;
    int16_t NumPairSetEntries;
    PAIR_SET_INFO* PairSetEntries;
    int16_t NumPairEntries;
    PAIR_INFO* PairEntries;
    uint16_t LastGuard; /* 0xBBBB */
} BUS_INFO;

TESSIN_API int ORVANE_CDECL GetPCMFormatInfo(const char* tmatsPath, PCM_FORMAT_INFO** formats);
TESSIN_API int ORVANE_CDECL FreePCMFormatInfo(void);
TESSIN_API char* ORVANE_CDECL GetErrMsg(void);

/* Text views of a TMATS source file, written into the caller's buffer of
 * `length` bytes (never past it, always zero-terminated):
 * GetParametersFromTMATS one line "name|kind|description|units|link\n" per
 * measurand that fits; GetTMATSConfigInfo the enabled recorder channels as
 * comma-separated items, ending in ",    " unless the list was cut short.
 * Both return the characters written, or -1 with the reason in GetErrMsg(). */
TESSIN_API int ORVANE_CDECL GetParametersFromTMATS(const char* path, char* buf, int length);
TESSIN_API int ORVANE_CDECL GetTMATSConfigInfo(const char* path, char* buf, int length);

/* Measurand database tables. ProcessTMATS reads a TMATS source file with
 * GetPCMFormatInfo and builds, for the caller to read: a list entry and a
 * definition per measurand, a definition per sample and per word location,
 * all linked. It writes a channel configuration file beside the source (the
 * source's extension replaced by ".cfg"). The result is the number of PCM
 * formats (0 or more), or exactly 0xFFFFFFFF on failure (-1 to a caller
 * that keeps it in 32 bits), with the reason in GetErrMsg(). NULL
 * out-parameters are not written. The tables stay the library's and live
 * until the next ProcessTMATS call starts; the format and bus arrays are
 * released with FreePCMFormatInfo. */
typedef struct DB_IP_HDR DB_IP_HDR;
typedef struct DB_TDEF_MEAS DB_TDEF_MEAS;
typedef struct DB_TDEF_SAMPLE DB_TDEF_SAMPLE;

typedef struct DB_TDEF_MEASRU {
    char Name[33];          /* MeasID */
    char ElemID[33];
    int16_t ElemNum;
    int16_t LastOfMeasurand; /* 1 on the last entry of a run of one name */
    int16_t FBit;
    int16_t LBit;
    int16_t DataType;
    char Reserved1[24];
    char Kind;              /* 'S': the element is a sample */
    char Reserved2[11];
    DB_TDEF_MEAS* Meas;           /* the definition of Name */
    DB_TDEF_MEAS* ElemMeas;       /* the definition named by ElemID (kinds other than 'S') */
    DB_TDEF_SAMPLE* ElemSample;   /* the sample named by ElemID (kind 'S') */
    struct DB_TDEF_MEASRU* Next;  /* the next entry of the run, NULL on the last */
} DB_TDEF_MEASRU;

typedef struct DB_TDEF_FRAGMENT {
    char Kind;
    int16_t DataType;
    int16_t FBit;
    int16_t LBit;
    union {
        double Constant;    /* kind 'C' */
        char ElemID[40];    /* kinds 'M' and 'S' */
    } Value;
} DB_TDEF_FRAGMENT;

typedef struct DB_TDEF_JOIN {
    int16_t TextLength;
    char* Text;             /* the element ids, "concat(a, b)" for several */
    int16_t FragmentCount;
    DB_TDEF_FRAGMENT* Fragments;
    char Reserved[8];
} DB_TDEF_JOIN;

struct DB_TDEF_MEAS {
    char Name[33];
    char Name2[66];
    char Kind;              /* 'M' */
    int16_t Type;
    char ConversionType;    /* 'R', or the conversion's 'P', 'I', 'T' */
    char EUCMID[33];
    int16_t ConversionClass; /* 5 for a polynomial or pair-set conversion */
    char Reserved[6];
    double EULowValue;
    double EUHighValue;
    char EUName[16];
    DB_IP_HDR* PairSet;
    int16_t CoefficientCount;
    double Coefficients[10];
    DB_TDEF_JOIN* Join;
    DB_TDEF_MEASRU* FirstMeasRU;
};

struct DB_TDEF_SAMPLE {
    char Name[40];
    int16_t Type;
    char Reserved1[2];
    int16_t Size;
    int16_t Spare;
    char SourceName[28];
    int16_t DirectionOrSDI;
    int16_t CommandWordOrLabel;
    int16_t LocationKind;
    int16_t WordNumber;
    char Reserved2[32];
    DB_TDEF_MEASRU* FirstMeasRU;
};

typedef struct DB_MEAS_LIST_ENTRY {
    char Name[33];
    char Name2[33];
    char Kind;              /* 'M' */
    char Reserved1[3];
    char Class;             /* 'G' for conversion class 5, else 'D' */
    char Reserved2[5];
    DB_TDEF_MEASRU* FirstMeasRU;
} DB_MEAS_LIST_ENTRY;

/* ExportData writes one CSV at outputFile: a column per parameter named in
 * paramListFile (one name a line), a row per intervalUs microseconds from
 * startTime to endTime ("DDD:HH:MM:SS:uuuuuu", at most 65,535 rows), each
 * cell the first sample at or after the row time from
 * inputFolder/<list base name>/<name>_M.DAT. 0, -2 when the list file
 * cannot be opened, -1 on any other failure (reason in GetErrMsg()). */
TESSIN_API int ORVANE_CDECL ExportData(const char* inputFolder, const char* outputFile, const char* startTime,
                                       const char* endTime, int intervalUs, const char* paramListFile);

/* WriteTMATS writes a TMATS text for PCM recordings from `count` format
 * records (the form GetPCMFormatInfo returns) at `path`; 0, or -1 with the
 * reason in GetErrMsg(). The records are only read. */
TESSIN_API int ORVANE_CDECL WriteTMATS(const char* path, const PCM_FORMAT_INFO* formats, int count);

TESSIN_API uint64_t ORVANE_CDECL ProcessTMATS(const char* path, DB_MEAS_LIST_ENTRY** list, int* listCount,
                                              DB_TDEF_SAMPLE** samples, int* sampleCount, DB_TDEF_MEASRU** measru,
                                              int* measruCount, DB_TDEF_MEAS** meas, int* measCount,
                                              PCM_FORMAT_INFO** formats, int* formatCount, BUS_INFO** buses,
                                              int* busCount);


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
static_assert(sizeof(IDCounterInfo) == 18 && offsetof(IDCounterInfo, IDCDirection) == 16);
static_assert(sizeof(SUBCOM_DETAIL_INFO) == 76 && offsetof(SUBCOM_DETAIL_INFO, Frame) == 4 &&
              offsetof(SUBCOM_DETAIL_INFO, SampleID) == 6);
static_assert(sizeof(MAINFRAME_INFO) == 68 && offsetof(MAINFRAME_INFO, Num) == 4 && offsetof(MAINFRAME_INFO, Type) == 6 &&
              offsetof(MAINFRAME_INFO, ID) == 8);
static_assert(sizeof(MSG1553_INFO) == 56 && offsetof(MSG1553_INFO, MessageID) == 4 &&
              offsetof(MSG1553_INFO, BusName) == 6 && offsetof(MSG1553_INFO, RTAddress) == 20 &&
              offsetof(MSG1553_INFO, Subaddress) == 22 && offsetof(MSG1553_INFO, TransmitReceive) == 24 &&
              offsetof(MSG1553_INFO, WordCount) == 26 && offsetof(MSG1553_INFO, Direction) == 28 &&
              offsetof(MSG1553_INFO, CommandWord) == 54);
static_assert(sizeof(MSGLABEL_INFO) == 80 && offsetof(MSGLABEL_INFO, MessageID) == 4 &&
              offsetof(MSGLABEL_INFO, BusName) == 6 && offsetof(MSGLABEL_INFO, Label) == 20 &&
              offsetof(MSGLABEL_INFO, SDI) == 24);
static_assert(sizeof(MEASURAND_INFO) == 240 && offsetof(MEASURAND_INFO, MeasID) == 4 &&
              offsetof(MEASURAND_INFO, Type) == 20 && offsetof(MEASURAND_INFO, Description) == 43 &&
              offsetof(MEASURAND_INFO, FormatClass) == 122 && offsetof(MEASURAND_INFO, EUName) == 124 &&
              offsetof(MEASURAND_INFO, EULowValue) == 224 && offsetof(MEASURAND_INFO, EUHighValue) == 232);
static_assert(sizeof(EUCM_HISTORY_INFO) == 130 && offsetof(EUCM_HISTORY_INFO, MeasID) == 4 &&
              offsetof(EUCM_HISTORY_INFO, EffDateTime) == 20 && offsetof(EUCM_HISTORY_INFO, EUCMID) == 41);
static_assert(sizeof(EUCM_INFO) == 776 && offsetof(EUCM_INFO, Type) == 16 && offsetof(EUCM_INFO, RawNameX) == 175 &&
              offsetof(EUCM_INFO, EUNameY) == 191);
static_assert(sizeof(POLYNOMIAL_INFO) == 136 && offsetof(POLYNOMIAL_INFO, EUCMID) == 4 &&
              offsetof(POLYNOMIAL_INFO, Count) == 20 && offsetof(POLYNOMIAL_INFO, A) == 56);
static_assert(sizeof(DISCRETE_INFO) == 70 && offsetof(DISCRETE_INFO, MeasurandName) == 4 &&
              offsetof(DISCRETE_INFO, Count) == 20 && offsetof(DISCRETE_INFO, ParameterText) == 22 &&
              offsetof(DISCRETE_INFO, Kind) == 44 && offsetof(DISCRETE_INFO, Flag) == 46);
static_assert(sizeof(PAIR_SET_INFO) == 80 && offsetof(PAIR_SET_INFO, Kind) == 20 &&
              offsetof(PAIR_SET_INFO, MeasurandName2) == 21);
static_assert(sizeof(PAIR_INFO) == 64 && offsetof(PAIR_INFO, MeasurandName) == 4 &&
              offsetof(PAIR_INFO, PairNumber) == 20 && offsetof(PAIR_INFO, TelemetryValue) == 48 &&
              offsetof(PAIR_INFO, EngineeringValue) == 56);
static_assert(sizeof(DB_SAMPLES_INFO) == 116 && offsetof(DB_SAMPLES_INFO, SampleID) == 4 &&
              offsetof(DB_SAMPLES_INFO, Type) == 20 && offsetof(DB_SAMPLES_INFO, Size) == 22 &&
              offsetof(DB_SAMPLES_INFO, Spare) == 24 && offsetof(DB_SAMPLES_INFO, SourceName) == 36 &&
              offsetof(DB_SAMPLES_INFO, DirectionOrSDI) == 52 && offsetof(DB_SAMPLES_INFO, CommandWordOrLabel) == 56 &&
              offsetof(DB_SAMPLES_INFO, LocationKind) == 60 && offsetof(DB_SAMPLES_INFO, WordNumber) == 64);
static_assert(sizeof(DB_MEASRU_INFO) == 72 && offsetof(DB_MEASRU_INFO, MeasID) == 4 &&
              offsetof(DB_MEASRU_INFO, ElemNum) == 20 && offsetof(DB_MEASRU_INFO, Kind) == 22 &&
              offsetof(DB_MEASRU_INFO, ElemID) == 23 && offsetof(DB_MEASRU_INFO, DataType) == 44 &&
              offsetof(DB_MEASRU_INFO, FBit) == 46 && offsetof(DB_MEASRU_INFO, LBit) == 48);
/* Records with pointers: the natural 64-bit layout. */
static_assert(sizeof(SUBCOM_INFO) == 24 && offsetof(SUBCOM_INFO, Details) == 16);
static_assert(sizeof(PCM_FORMAT_INFO) == 600 && offsetof(PCM_FORMAT_INFO, LastGuard) == 592);
static_assert(sizeof(BUS_INFO) == 280 && offsetof(BUS_INFO, LastGuard) == 272);
static_assert(sizeof(DB_TDEF_FRAGMENT) == 48 && offsetof(DB_TDEF_FRAGMENT, Value) == 8);
static_assert(offsetof(DB_TDEF_MEASRU, Kind) == 100 && offsetof(DB_TDEF_MEASRU, Meas) == 112 &&
              sizeof(DB_TDEF_MEASRU) == 144);
static_assert(offsetof(DB_TDEF_MEAS, Type) == 100 && offsetof(DB_TDEF_MEAS, ConversionClass) == 136 &&
              offsetof(DB_TDEF_MEAS, EULowValue) == 144 && offsetof(DB_TDEF_MEAS, PairSet) == 176 &&
              offsetof(DB_TDEF_MEAS, Coefficients) == 192 && sizeof(DB_TDEF_MEAS) == 288);
static_assert(offsetof(DB_TDEF_SAMPLE, Size) == 44 && offsetof(DB_TDEF_SAMPLE, SourceName) == 48 &&
              offsetof(DB_TDEF_SAMPLE, WordNumber) == 82 && offsetof(DB_TDEF_SAMPLE, FirstMeasRU) == 120 &&
              sizeof(DB_TDEF_SAMPLE) == 128);
static_assert(offsetof(DB_TDEF_JOIN, FragmentCount) == 16 && sizeof(DB_TDEF_JOIN) == 40);
static_assert(offsetof(DB_MEAS_LIST_ENTRY, Class) == 70 && sizeof(DB_MEAS_LIST_ENTRY) == 88);
#endif

#endif /* TESSIN_H */
