/* quillon: STANAG 4575 recorder drives through an outside ingest server.
 * Exports are bound by name on Linux; the Windows ordinals are noted. */
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

#endif /* QUILLON_H */
