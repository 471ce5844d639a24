#pragma once
// The x86 vector intrinsics, for the walks side by side.

// GCC 12 takes the undefined vectors that some of these intrinsics start
// from for uninitialized variables.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
