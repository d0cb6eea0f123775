#pragma once

// The options every Quorvel program answers alike: --help and --version print on standard output
// and end with status 0, without needing a display; anything a program does not know is one line on
// standard error and status 2.
class CStandardOptions
{
public:
    // Answer's result when the program is to go on.
    static constexpr int GoOn = -1;
    static constexpr int UsageErrorStatus = 2;

    // For a program without options of its own: answers --help with `usage` and --version, and
    // refuses every other argument. GoOn when there are no arguments.
    static int Answer(int argc, const char* const* argv, const char* program, const char* usage);

    // "<program> <version>" on standard output.
    static void PrintVersion(const char* program);
    // "<program>: <problem> (see '<program> --help')" on standard error.
    static void PrintUsageError(const char* program, const char* problem);
    // `text` on standard output, as the console shows it (os::WriteStandardText).
    static void PrintText(const char* text);
};
