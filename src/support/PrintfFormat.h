#pragma once

// Lets the compiler check the arguments of a printf-style function against its format.
#if defined(__GNUC__)
#define QUORVEL_PRINTF_FORMAT(formatIndex, firstArgument)                                                    \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define QUORVEL_PRINTF_FORMAT(formatIndex, firstArgument)
#endif

// Marks a function that returns a format derived from its argument at `formatIndex` (a translated
// text), so the format it returns is checked against the argument's conversions.
#if defined(__GNUC__)
#define QUORVEL_FORMAT_ARG(formatIndex) __attribute__((format_arg(formatIndex)))
#else
#define QUORVEL_FORMAT_ARG(formatIndex)
#endif
