// Marks the definitions of the C API for export from the shared library; every
// other symbol stays hidden (-fvisibility=hidden).
#pragma once

#if defined(_WIN32)
#define LYRDUA_EXPORT
#else
#define LYRDUA_EXPORT __attribute__((visibility("default")))
#endif
