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
 * STANAG 4575 recorder drive (type - 100). The recorder path is not built
 * yet: every call on it fails with -1.
 * Handles: a plain file's descriptor (3 to 999), 1000 + slot for one of 16
 * segment sets, -1 on failure. Offsets are high:low, low unsigned. */
TESSIN_API int ORVANE_CDECL iOpen(const char* path, int inputType);
TESSIN_API int64_t ORVANE_CDECL iSize(const char* path, int inputType);
TESSIN_API int64_t ORVANE_CDECL iGoto(int handle, uint32_t offsetLow, int32_t offsetHigh, int origin);
TESSIN_API int ORVANE_CDECL iRead(int handle, void* buffer, int count);
TESSIN_API int ORVANE_CDECL iClose(int handle);
TESSIN_API int ORVANE_CDECL set_input_file_type(int inputType);

#endif /* TESSIN_H */
