/* sandral: packet reader and text decoder for an outside viewer.
 * Exports are bound by name on Linux. */
#ifndef SANDRAL_H
#define SANDRAL_H

#include <stdint.h>

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

#endif /* SANDRAL_H */
