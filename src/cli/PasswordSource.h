#pragma once

#include "cli/FetchOptions.h"

#include <string>

// Where quorvel-fetch gets the password from: the first line of a file, an environment variable, or,
// with neither given, the operator typing it on the terminal without echo. Never the command line,
// which every user of the machine can read in the process list.
class CPasswordSource
{
public:
    // False with a one-line reason in `error`.
    static bool Read(const SFetchOptions& options, std::string& password, std::string& error);
};
