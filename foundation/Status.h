#pragma once

// Status propagation and invariant checks shared by every subsystem.

#include "platform/Platform.h"

#include <cstdio>
#include <cstdlib>

// Nothing parseable: no root element, an empty or unrecognised link, malformed text.
inline constexpr OSStatus kNothingParseableErr = -206;
// The path names something that is not a file of its own (a folder, a named pipe, a device).
inline constexpr OSStatus kNotAFileErr = -1302;

// Returns the status of expr from the calling function when it is not noErr.
#define TW_RETURN_IF_ERROR(expr)                                                                                       \
    do {                                                                                                               \
        OSStatus const twStatus_ = (expr);                                                                             \
        if (twStatus_ != noErr)                                                                                        \
            return twStatus_;                                                                                          \
    } while (false)

// Invariants of our own code only; anything a caller or a file can cause gets a status.
#ifndef TW_ASSERT
#ifdef NDEBUG
#define TW_ASSERT(cond) ((void)0)
#else
#define TW_ASSERT(cond)                                                                                                \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            std::fprintf(stderr, "%s, line %d: assertion failed: %s\n", __FILE__, __LINE__, #cond);                    \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)
#endif
#endif
