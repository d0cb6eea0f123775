#pragma once

// The options every Quorvel program answers alike: --help and --version print on standard output
// and end with status 0, without needing a display. A command-line program refuses anything it does
// not know with one line on standard error and status 2; a window program says in one line that it
// ignores it, and opens its window anyway.
class CStandardOptions
{
public:
    // Answer's result when the program is to go on.
    static constexpr int GoOn = -1;
    static constexpr int UsageErrorStatus = 2;

    // For a program without options of its own: answers --help with `usage` or --version, whichever
    // comes first among the arguments (a toolkit's own options may stand before it); GoOn when
    // neither is there.
    static int Answer(int argc, const char* const* argv, const char* program, const char* usage);
    // For a window program, which reads no other argument: "<program>: unknown option <first
    // argument> ignored (see '<program> --help')" on standard error; nothing without arguments.
    static void ReportIgnoredArguments(int argc, const char* const* argv, const char* program);

    // "<program> <version>" on standard output.
    static void PrintVersion(const char* program);
    // "<program>: <problem> (see '<program> --help')" on standard error.
    static void PrintUsageError(const char* program, const char* problem);
    // `text` on standard output, as the console shows it (os::WriteStandardText).
    static void PrintText(const char* text);
};
