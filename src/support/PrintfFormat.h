#pragma once

// Lets the compiler check the arguments of a printf-style function against its format.
#if defined(__GNUC__)
#define QUORVEL_PRINTF_FORMAT(formatIndex, firstArgument)                                                    \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define QUORVEL_PRINTF_FORMAT(formatIndex, firstArgument)
#endif
