#pragma once

#include "cli/FetchOptions.h"

#include <string>

// The command line of quorvel-fetch.
class CFetchCommandLine
{
public:
    enum class Outcome
    {
        Run,
        ShowHelp,
        ShowVersion,
        Error,
    };

    // Fills `options` from the arguments, with the defaults for what is not given; on Error,
    // `error` says in one line what was wrong. Options take their value as the next argument or
    // after '='.
    static Outcome Parse(int argc, const char* const* argv, SFetchOptions& options, std::string& error);
    static const char* Usage();
};
