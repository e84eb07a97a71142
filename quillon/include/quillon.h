/* quillon: STANAG 4575 recorder drives through an outside ingest server.
 * Exports are bound by name on Linux; the Windows ordinals are noted.
 * Usable from C. */
#ifndef QUILLON_H
#define QUILLON_H

#include <stdint.h>

#ifdef __cplusplus
#define QUILLON_EXTERN_C extern "C"
#else
#define QUILLON_EXTERN_C
#endif
#define QUILLON_API QUILLON_EXTERN_C __attribute__((visibility("default")))

/* The Windows standard calling convention has no meaning on Linux. */
#ifndef ORVANE_STDCALL
#define ORVANE_STDCALL
#endif

/* The library writes its result texts without a bound; the caller gives at
 * least this much room:
 * - drive list: drives 0 to 99, each followed by a blank, and the NUL;
 * - volume list: 100 names of up to 32 characters, each followed by a blank;
 * - file list: 227 names of up to 56 characters, each followed by ",";
 * - sizes: one per listed file, at most 227. */
#define QUILLON_DRIVE_LIST_ROOM 291
#define QUILLON_VOLUME_LIST_ROOM 3301
#define QUILLON_FILE_LIST_ROOM 12940
#define QUILLON_MAX_FILES 227

/* Default chunk of a read request (bytes). */
#define QUILLON_DEFAULT_CHUNK 0xFC000

/* Drive texts: a drive number in decimal ("0" to "99") or a drive letter. */

/* Ordinal 1. Drives (0 to 99, stopping at the first the server cannot open)
 * that hold a STANAG 4575 directory, each number followed by a blank.
 * Result: the number listed. */
QUILLON_API int ORVANE_STDCALL GetSTANAGDrives(char* driveList);

/* Ordinal 2. The drive's file names, each followed by ",". Closes any open
 * drive. Result: the number of files; 0 and "" when the drive holds no
 * directory or another drive is open; -1 when the drive could not be read
 * (the server did not open it, or an exchange or a read of its directory
 * failed; the list holds what was read before). */
QUILLON_API int ORVANE_STDCALL GetSTANAGFiles(const char* drive, char* fileList);

/* Ordinal 3. Opens the drive and starts streaming the file whose name
 * matches ignoring ASCII case; writes its size when found.
 * Result: 1 streaming (also when the file is not on the drive: size then
 * unwritten); 4 a drive is already open; 5 bad drive text; 6 the server
 * could not open the device; 7 no directory found; 9 no worker thread;
 * 10 no events. */
QUILLON_API int ORVANE_STDCALL OpenSTANAGFile(const char* drive, const char* fileName, int64_t* fileSize);

/* Ordinal 4. buffer NULL: a position request (high:low bytes into the file,
 * stored when high >= 0; chunk stored when >= 0): 0 done or nothing to do,
 * -1 beyond the file's size. Otherwise a read of the next chunk into buffer
 * (room for the chunk size): the bytes placed. 0 when no stream exists or no
 * answer came within 2,000 ms. Reads are not cut at the file's end. */
QUILLON_API int ORVANE_STDCALL GetNextBuffer(uint32_t positionLow, int32_t positionHigh, void* buffer,
                                              int32_t chunk);

/* Ordinal 5. Stops the stream and closes the open drive. Always 0. */
QUILLON_API int ORVANE_STDCALL CloseSTANAGDrive(void);

/* Ordinal 6. As ordinal 1, with each drive's volume name (up to 32
 * characters) followed by a blank in volumeList, in the same order. */
QUILLON_API int ORVANE_STDCALL GetSTANAGDrivesVolumeNames(char* driveList, char* volumeList);

/* Ordinal 7. As ordinal 2, with each file's size at its index in sizes. */
QUILLON_API int ORVANE_STDCALL GetSTANAGFilesSizes(const char* drive, char* fileList, int64_t* sizes);

#endif /* QUILLON_H */
